#include "controls/KestTabs.h"

#include <algorithm>
#include <exception>
#include <limits>

#include "app/Entities.h"
#include "app/TextUtil.h"
#include "controls/TextFit.h"
#include "platform/Canvas.h"
#include "skin/AlphaImage.h"
#include "skin/ImageEffect.h"
#include "skin/KestRes.h"
#include "skin/KestUtil.h"
#include "skin/XML.h"

namespace controls {

namespace {

// Tab extents are kept well inside int, so sums of two stay defined.
constexpr std::int64_t kMaxTabCoordinate = std::int64_t{1} << 30;

int ClampCoordinate(std::int64_t value) {
  return static_cast<int>(std::clamp(value, -kMaxTabCoordinate, kMaxTabCoordinate));
}

platform::TPoint ClampPoint(platform::TPoint point) {
  return {std::clamp(point.X, -kMaxControlSide, kMaxControlSide),
          std::clamp(point.Y, -kMaxControlSide, kMaxControlSide)};
}

}  // namespace

// ---- TKestTabStrip --------------------------------------------------------

TKestTabStrip::TKestTabStrip(TKestControl& owner) : TKestActiveControl(owner) {}

int TKestTabStrip::TabCount() const {
  if (!TabList) return 0;
  return static_cast<int>(
      std::min<std::size_t>(TabList->Items.size(), std::numeric_limits<int>::max()));
}

void TKestTabStrip::LoadStripAttributes(const skin::TXMLNode& element) {
  OverStep = std::clamp(skin::StrToIntDefault(element.GetAttr("OverStep"), 0), -kMaxControlSide,
                        kMaxControlSide);
  SetHint("");
}

skin::TImagePack* TKestTabStrip::FindPack(const skin::TXMLNode& element,
                                          const char* attribute) const {
  const std::string id = element.GetAttr(attribute);
  if (id.empty() || !ResManager) return nullptr;
  return ResManager->GetImage(id);
}

void TKestTabStrip::EntityChanged(app::TEntityHolder& sender) {
  TKestActiveControl::EntityChanged(sender);
  TabList = dynamic_cast<app::TStringListEntity*>(sender.Entity);
  // Without a list no tab can be hit until the next layout.
  if (!TabList) TabRects.clear();
  // The strip shows the page chosen elsewhere (another strip, a list box).
  if (TabList && TabList->ItemIndex >= 0 && TabList->ItemIndex < TabCount())
    SelTab = TabList->ItemIndex;
  SetControlEnabled(true);
  Invalidate();
}

void TKestTabStrip::UpdateHotTab(int x) {
  HotTab = -1;
  for (int i = static_cast<int>(TabRects.size()) - 1; i >= 0; --i) {
    if (TabRects[i].Left <= x && x <= TabRects[i].Right) {
      HotTab = i;
      break;
    }
  }
}

void TKestTabStrip::MouseMove(const platform::TMouseEvent& event) {
  TKestActiveControl::MouseMove(event);
  UpdateHotTab(event.Client.X);
  Invalidate();
}

void TKestTabStrip::MouseDown(const platform::TMouseEvent& event) {
  TKestActiveControl::MouseDown(event);
  if (event.Button != platform::TMouseButton::Left) return;
  // The press itself tells which tab is under the mouse, even when no move
  // came before it.
  UpdateHotTab(event.Client.X);
  if (HotTab < 0 || HotTab == SelTab) {
    BeginDrag(event.Screen);
  } else {
    Select(HotTab);
  }
}

void TKestTabStrip::MouseLeave() {
  HotTab = -1;
  Invalidate();
}

void TKestTabStrip::HoverChanged() { Invalidate(); }

void TKestTabStrip::Select(int index) {
  if (index < 0 || index >= TabCount() || index == SelTab) return;
  SelTab = index;
  TabList->ItemIndex = index;
  app::TEntityHolder* holder = TabList->Holder ? TabList->Holder : Holder;
  const platform::TLifeWatch life = Watch();
  // The owner (the page container) shows the chosen page.
  if (holder) holder->NotifyOwner();
  if (!life.Alive()) return;
  Invalidate();
}

std::vector<std::string> TKestTabStrip::Layout(const platform::TCanvas& canvas) {
  const int count = TabCount();
  const std::int64_t imageWidth = TabPack()->Item(0).GetWidth();
  std::vector<std::string> captions;
  captions.reserve(static_cast<std::size_t>(count));
  std::vector<std::int64_t> lefts, rights;
  lefts.reserve(static_cast<std::size_t>(count));
  rights.reserve(static_cast<std::size_t>(count));
  std::int64_t x = LayoutStart();
  for (int i = 0; i < count; ++i) {
    captions.push_back(LimitCaption(TabCaption(TabList->Items[static_cast<std::size_t>(i)])));
    lefts.push_back(x);
    rights.push_back(x + imageWidth + canvas.TextWidth(captions.back()));
    x = rights.back() - OverStep;
  }
  const std::int64_t shift = LayoutShift(rights.back() - lefts.front());
  TabRects.clear();
  for (int i = 0; i < count; ++i) {
    TabRects.push_back({ClampCoordinate(lefts[i] + shift), ClampCoordinate(rights[i] + shift)});
  }
  return captions;
}

void TKestTabStrip::DrawTab(platform::TCanvas& canvas, int index, const skin::TAlphaImage& image,
                            const skin::TAlphaImage& captionImage, const std::string& caption,
                            platform::TPoint textMove) {
  const TTabRect& rect = TabRects[static_cast<std::size_t>(index)];
  skin::DrawImage(image, canvas, platform::TRect{rect.Left, 0, rect.Right, ClientHeight()});
  // Only a centre-split image says where its caption goes.
  const auto* split = dynamic_cast<const skin::TCenterSplitImage*>(&captionImage);
  if (!split) return;
  try {
    canvas.TextOut(ClampCoordinate(std::int64_t{rect.Left} + split->CenterX + textMove.X),
                   ClampCoordinate(std::int64_t{split->CenterY} + textMove.Y), caption);
  } catch (const std::exception&) {
    // One caption that cannot be drawn leaves the rest of the strip intact.
  }
}

void TKestTabStrip::Paint(platform::TCanvas& canvas) {
  TKestActiveControl::Paint(canvas);
  const skin::TImagePack* pack = TabPack();
  if (!pack || TabCount() == 0) {
    TabRects.clear();
    return;
  }
  const std::vector<std::string> captions = Layout(canvas);
  const skin::TAlphaImage& normal = pack->Item(0);
  // Right to left, so that a tab covers the left edge of its right neighbour.
  for (int i = TabCount() - 1; i >= 0; --i) {
    const bool hot = i == HotTab && pack->Count() >= 2;
    DrawTab(canvas, i, hot ? pack->Item(1) : normal, normal, captions[i], {});
  }
  if (SelTab < 0 || SelTab >= TabCount()) return;
  const skin::TAlphaImage* selected = SelectedImage();
  const skin::TAlphaImage* captionImage = SelectedCaptionImage();
  if (selected && captionImage) {
    DrawTab(canvas, SelTab, *selected, *captionImage, captions[SelTab], SelectedTextMove());
  }
}

// ---- TKestTabs ------------------------------------------------------------

TKestTabs::TKestTabs(TKestControl& owner) : TKestTabStrip(owner) {}

void TKestTabs::LoadFromXML(const skin::TXMLNode& element) {
  TKestTabStrip::LoadFromXML(element);
  TabImages = FindPack(element, "Tabs");
  Margins = ClampPoint(skin::ParsePair(element.GetAttr("Margins"), 0, 0));
  const std::string align = element.GetAttr("TabsAlign");
  TabsAlign = TTabsAlign::Left;
  if (app::SameText(align, "Center")) TabsAlign = TTabsAlign::Center;
  if (app::SameText(align, "Right")) TabsAlign = TTabsAlign::Right;
  LoadStripAttributes(element);
  TextMove = ClampPoint(skin::ParsePair(element.GetAttr("TextMove"), 0, -1));
  SubscribeLanguages();
}

const skin::TAlphaImage* TKestTabs::SelectedImage() const {
  if (!TabImages) return nullptr;
  return TabImages->Count() >= 3 ? &TabImages->Item(2) : &TabImages->GetErrorImage();
}

const skin::TAlphaImage* TKestTabs::SelectedCaptionImage() const {
  return TabImages ? &TabImages->Item(0) : nullptr;
}

std::int64_t TKestTabs::LayoutShift(std::int64_t span) const {
  if (TabsAlign != TTabsAlign::Center) return 0;
  return (Width() - std::int64_t{Margins.X} - span) / 2;
}

}  // namespace controls
