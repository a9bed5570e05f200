#include "skin/KestRes.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "app/Entities.h"
#include "app/MultiLog.h"
#include "app/TextUtil.h"
#include "platform/Bmp.h"
#include "platform/Canvas.h"
#include "platform/Stream.h"
#include "platform/SysColors.h"
#include "skin/ImageEffect.h"
#include "skin/KestUtil.h"
#include "skin/StreamPack.h"
#include "skin/XML.h"

namespace skin {

namespace {

using platform::TCanvas;
using platform::TColor;
using platform::TRect;

// An AREA grid may not describe more cells than this: a real skin has a
// few dozen, and a hostile "repeat" would otherwise allocate without bound.
constexpr std::int64_t kMaxAreaCells = 4096;

// The dimensions of the drawn text of a menu item.
constexpr int kMenuTextGap = 32;
constexpr int kMenuExtraHeight = 7;
constexpr int kSeparatorHeight = 3;
constexpr int kMenuStripWidth = 20;
constexpr int kMenuTextLeft = 22;
constexpr int kMenuTextTop = 3;
constexpr int kMenuKeyRightGap = 5;

struct TStandardColor {
  const char* Id;
  std::uint32_t Rgb;
};

constexpr TStandardColor kStandardColors[] = {
    {"Black", 0x000000},  {"Maroon", 0x800000},  {"Green", 0x008000}, {"Olive", 0x808000},
    {"Navy", 0x000080},   {"Purple", 0x800080},  {"Teal", 0x008080},  {"Gray", 0x808080},
    {"Silver", 0xC0C0C0}, {"Red", 0xFF0000},     {"Lime", 0x00FF00},  {"Yellow", 0xFFFF00},
    {"Blue", 0x0000FF},   {"Fuchsia", 0xFF00FF}, {"Aqua", 0x00FFFF},  {"White", 0xFFFFFF},
};

TColor SwapRgb(std::uint32_t rgb) {
  return platform::RGB(static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                       static_cast<std::uint8_t>(rgb));
}

// The cell in `column` and `row` of a grid whose cells are `size` apart
// plus a one-pixel gap. Far-off cells saturate instead of overflowing.
TRect CellRect(platform::TPoint pos, platform::TPoint size, int column, int row) {
  const auto coordinate = [](std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, -(1 << 30), 1 << 30));
  };
  const int left = coordinate(pos.X + std::int64_t{column} * (std::int64_t{size.X} + 1));
  const int top = coordinate(pos.Y + std::int64_t{row} * (std::int64_t{size.Y} + 1));
  return TRect{left, top, coordinate(std::int64_t{left} + size.X),
               coordinate(std::int64_t{top} + size.Y)};
}

bool IsTag(const TXMLNode& node, std::string_view tag) { return app::SameText(node.Name, tag); }

}  // namespace

// ---- resources ----------------------------------------------------------

void TSkinResource::Load(const TXMLNode& node, TStreamPack&) { Id = node.GetAttr("id"); }

void TSkinResColor::Load(const TXMLNode& node, TStreamPack& pack) {
  TSkinResource::Load(node, pack);
  Color = HexToColor(node.GetAttr("RGB"));
}

void TSkinResFont::Load(const TXMLNode& node, TStreamPack& pack) {
  TSkinResource::Load(node, pack);
  if (app::SameText(node.GetAttr("type"), "System")) {
    IsSystem = true;
    Font.Family = node.GetAttr("family");
    Font.Size = StrToIntDefault(node.GetAttr("size"), 8);
    Font.Bold = app::SameText(node.GetAttr("style"), "Bold");
    return;
  }
  Symbols = node.GetAttr("symbols");
  if (TImagePack* pattern = Manager->GetImage(node.GetAttr("pattern"))) {
    Glyphs = std::make_unique<TImagePack>(pattern->Item(0));
    Glyphs->SplitByUnderline();
  }
}

void TSkinResFont::DrawText(TCanvas& canvas, const TRect& rect, std::string_view text) const {
  if (IsSystem) {
    canvas.Font = Font;
    canvas.TextRect(rect, rect.Left, rect.Top, text);
    return;
  }
  if (!Glyphs) return;
  int x = rect.Left;
  for (char c : text) {
    const std::size_t found = Symbols.rfind(c);
    const int index = found == std::string::npos ? 0 : static_cast<int>(found);
    const TAlphaImage& glyph = Glyphs->Item(index);
    const int width = glyph.GetWidth();
    DrawImage(glyph, canvas, TRect{x, rect.Top, x + width, rect.Top + glyph.GetHeight()});
    x += width + 1;
  }
}

int TSkinResFont::TextWidth(TCanvas& canvas, std::string_view text) const {
  return IsSystem ? canvas.TextWidth(text) : 6;
}

// ---- images -------------------------------------------------------------

void TSkinResImage::Load(const TXMLNode& node, TStreamPack& pack) {
  TSkinResource::Load(node, pack);
  FileName = node.GetAttr("file");
  try {
    ReadBitmap(pack);
    Image = std::make_unique<TAlphaBMPImage>(*Bitmap);
    Areas.push_back(std::make_unique<TNamedImagePack>(*Image, std::string()));
    for (std::size_t i = 0; i < node.ChildCount(); ++i) {
      const TXMLNode& child = *node.Child(i);
      if (IsTag(child, "Area")) LoadArea(child);
    }
  } catch (const std::exception&) {
    // A broken image leaves what was built so far; the skin goes on.
  }
}

void TSkinResImage::ReadBitmap(TStreamPack& pack) {
  for (const auto& resource : Manager->Resources()) {
    if (resource->Kind != rkImage) continue;
    const auto& earlier = static_cast<const TSkinResImage&>(*resource);
    if (earlier.Bitmap && app::SameText(earlier.FileName, FileName)) {
      Bitmap = earlier.Bitmap;
      return;
    }
  }
  std::unique_ptr<platform::TStream> stream = pack.OpenStream(FileName);
  Bitmap = std::make_shared<const platform::TBitmap>(stream ? platform::LoadBmp(*stream)
                                                            : platform::TBitmap());
}

void TSkinResImage::LoadArea(const TXMLNode& area) {
  auto pack = std::make_unique<TNamedImagePack>(*Image, area.GetAttr("id"));
  pack->Clear();
  const platform::TPoint repeat = ParsePair(area.GetAttr("repeat"), 1, 1);
  const platform::TPoint pos = ParsePair(area.GetAttr("pos"), 0, 0);
  const platform::TPoint size = ParsePair(area.GetAttr("size"), 10, 10);
  if (repeat.X >= 1 && repeat.Y >= 1 &&
      static_cast<std::int64_t>(repeat.X) * repeat.Y <= kMaxAreaCells) {
    for (int row = 0; row < repeat.Y; ++row) {
      for (int column = 0; column < repeat.X; ++column) {
        pack->AddRegion(CellRect(pos, size, column, row));
      }
    }
  }
  if (app::SameText(area.GetAttr("split"), "Underline")) pack->SplitByUnderline();
  pack->Apply(
      [&](std::unique_ptr<TAlphaImage> cell) { return ApplyEffects(area, std::move(cell)); });
  Areas.push_back(std::move(pack));
}

std::unique_ptr<TAlphaImage> TSkinResImage::ApplyEffects(const TXMLNode& area,
                                                         std::unique_ptr<TAlphaImage> cell) const {
  const std::string mask = area.GetAttr("mask");
  if (app::SameText(PairField(mask, 0), "Color")) {
    auto masked = std::make_unique<TAlphedImage>(std::move(cell));
    masked->SetMaskColor(Manager->GetColor(PairField(mask, 1)));
    cell = std::move(masked);
  }
  const std::string resize = area.GetAttr("resize");
  if (app::SameText(resize, "Stretch")) return std::make_unique<TStretchedImage>(std::move(cell));
  if (app::SameText(resize, "Tile")) return std::make_unique<TTiledImage>(std::move(cell));
  if (app::SameText(resize, "Split")) {
    const platform::TPoint size = ParsePair(area.GetAttr("size"), 10, 10);
    const platform::TPoint center = ParsePair(area.GetAttr("center"), size.X / 2, size.Y / 2);
    auto split = std::make_unique<TCenterSplitImage>(std::move(cell));
    split->CenterX = center.X;
    split->CenterY = center.Y;
    return split;
  }
  return cell;
}

TNamedImagePack* TSkinResImage::GetArea(std::string_view name) const {
  if (Areas.empty()) return nullptr;
  if (!name.empty()) {
    for (const auto& area : Areas) {
      if (app::SameText(area->Name, name)) return area.get();
    }
  }
  return Areas.front().get();
}

// ---- menus --------------------------------------------------------------

TSkinResMenu::TSkinResMenu(TSkinResManager& manager)
    : TSkinResource(manager, rkMenu), Menu(std::make_unique<platform::TPopupMenu>()) {}

void TSkinResMenu::Load(const TXMLNode& node, TStreamPack& pack) {
  TSkinResource::Load(node, pack);
  Menu->Clear();
  Items.clear();
  Menu->OnPopup = [this] { OnPopup(); };
  for (std::size_t i = 0; i < node.ChildCount(); ++i) {
    const TXMLNode& child = *node.Child(i);
    platform::TMenuItem& item = Menu->Add();
    AddItems(item, child);
  }
  BGColor = node.GetAttr("bgcolor");
}

// Fills `item` from its element and adds the element's children as its
// submenu.
void TSkinResMenu::AddItems(platform::TMenuItem& item, const TXMLNode& node) {
  auto entry = std::make_unique<TEntMenuItem>();
  TEntMenuItem* record = entry.get();
  record->Item = &item;
  record->Link = node.GetAttr("link");
  item.Caption.assign(1, '-');  // a separator until a caption is set
  item.Separator = record->Link.empty();
  item.OnClick = [this, record] { ClickItem(*record); };
  item.OnMeasure = [this, record](TCanvas& canvas, int& width, int& height) {
    MeasureItem(*record, canvas, width, height);
  };
  item.OnDraw = [this, record](TCanvas& canvas, const TRect& rect, bool selected) {
    DrawItem(*record, canvas, rect, selected);
  };
  Items.push_back(std::move(entry));
  for (std::size_t i = 0; i < node.ChildCount(); ++i) AddItems(item.Add(), *node.Child(i));
}

void TSkinResMenu::OnPopup() {
  Section = "Main";
  for (const auto& entry : Items) {
    if (entry->Link.empty()) continue;
    entry->Item->Caption = Manager->Caption(entry->Link);
    entry->KeyText = Manager->KeyText(Section, entry->Link);
  }
}

void TSkinResMenu::MeasureItem(const TEntMenuItem& item, TCanvas& canvas, int& width,
                               int& height) const {
  const std::string& caption = item.Item->Caption;
  if (caption == "-") {
    height = kSeparatorHeight;
    return;
  }
  width = canvas.TextWidth(caption) + canvas.TextWidth(item.KeyText) + kMenuTextGap;
  height = canvas.TextHeight(caption + item.KeyText) + kMenuExtraHeight;
}

void TSkinResMenu::DrawItem(const TEntMenuItem& item, TCanvas& canvas, const TRect& rect,
                            bool selected) const {
  using platform::SystemColor;
  using platform::TSystemColor;
  canvas.Font = platform::TPopupMenu::DefaultFont();
  const TColor background =
      BGColor.empty() ? SystemColor(TSystemColor::ButtonFace) : Manager->GetColor(BGColor);
  const TColor workspace = SystemColor(TSystemColor::AppWorkspace);
  if (selected) {
    canvas.FillRect(rect, SystemColor(TSystemColor::Highlight));
  } else {
    canvas.FillRect(TRect{rect.Left, rect.Top, rect.Left + kMenuStripWidth, rect.Bottom},
                    workspace);
    canvas.FillRect(TRect{rect.Left + kMenuStripWidth, rect.Top, rect.Right, rect.Bottom},
                    background);
  }
  if (item.Item->Caption == "-") {
    canvas.FillRect(TRect{rect.Left, rect.Top + 1, rect.Right, rect.Bottom - 1}, workspace);
    return;
  }
  if (item.Link.empty()) return;
  canvas.TextOut(rect.Left + kMenuTextLeft, rect.Top + kMenuTextTop, item.Item->Caption);
  canvas.TextOut(rect.Right - kMenuKeyRightGap - canvas.TextWidth(item.KeyText),
                 rect.Top + kMenuTextTop, item.KeyText);
}

void TSkinResMenu::ClickItem(const TEntMenuItem& item) const {
  if (!item.Link.empty() && Manager->EntityManager) Manager->EntityManager->Execute(item.Link);
}

// ---- macros -------------------------------------------------------------

void TSkinResMacros::Load(const TXMLNode& node, TStreamPack& pack) {
  TSkinResource::Load(node, pack);
  Commands.clear();
  for (char digit = '1'; digit <= '9'; ++digit) {
    std::string command = node.GetAttr(std::string("do") + digit);
    if (!command.empty()) Commands.push_back(std::move(command));
  }
}

void TSkinResMacros::Run() const {
  if (!Manager->EntityManager) return;
  for (const std::string& command : Commands) Manager->EntityManager->Execute(command);
}

// ---- manager ------------------------------------------------------------

void TSkinResManager::Load(const TXMLNode& root, TStreamPack& pack) {
  app::Log("+TSkinResManager.Load");
  AddStandardColors();
  for (std::size_t i = 0; i < root.ChildCount(); ++i) {
    const TXMLNode& child = *root.Child(i);
    std::unique_ptr<TSkinResource> resource;
    if (IsTag(child, "COLOR"))
      resource = std::make_unique<TSkinResColor>(*this);
    else if (IsTag(child, "FONT"))
      resource = std::make_unique<TSkinResFont>(*this);
    else if (IsTag(child, "MENU"))
      resource = std::make_unique<TSkinResMenu>(*this);
    else if (IsTag(child, "IMAGE"))
      resource = std::make_unique<TSkinResImage>(*this);
    else if (IsTag(child, "MACROS"))
      resource = std::make_unique<TSkinResMacros>(*this);
    if (!resource) continue;
    resource->Load(child, pack);
    resources_.push_back(std::move(resource));
  }
  app::Log("-TSkinResManager.Load");
}

TSkinResource* TSkinResManager::FindResource(std::uint8_t kind, std::string_view id) const {
  for (const auto& resource : resources_) {
    if (resource->Kind == kind && app::SameText(resource->Id, id)) return resource.get();
  }
  return nullptr;
}

std::string TSkinResManager::Caption(std::string_view name) const {
  return CaptionOf ? CaptionOf(name) : std::string(name);
}

std::string TSkinResManager::KeyText(std::string_view section, std::string_view command) const {
  return KeyTextOf ? KeyTextOf(section, command) : std::string();
}

TColor TSkinResManager::GetColor(std::string_view text) const {
  if (!text.empty() && text.front() == '#') return HexToColor(text);
  const auto* color = Find<TSkinResColor>(text);
  return color ? color->Color : 0;
}

TImagePack* TSkinResManager::GetImage(std::string_view id) const {
  const std::size_t dot = id.find('.');
  const std::string_view imageId = id.substr(0, dot);
  const std::string_view areaId =
      dot == std::string_view::npos ? std::string_view() : id.substr(dot + 1);
  const auto* image = Find<TSkinResImage>(imageId);
  return image ? image->GetArea(areaId) : nullptr;
}

void TSkinResManager::AddStandardColors() {
  for (const TStandardColor& color : kStandardColors) {
    resources_.push_back(std::make_unique<TSkinResColor>(*this, color.Id, SwapRgb(color.Rgb)));
  }
}

}  // namespace skin
