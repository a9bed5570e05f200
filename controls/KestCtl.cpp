#include "controls/KestCtl.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "app/Entities.h"
#include "app/TextUtil.h"
#include "controls/KestWnd.h"
#include "platform/Canvas.h"
#include "platform/Screen.h"
#include "skin/AlphaImage.h"
#include "skin/ImageEffect.h"
#include "skin/KestRes.h"
#include "skin/KestUtil.h"
#include "skin/XML.h"

namespace controls {

namespace {

using platform::TPoint;

constexpr const char* kLanguages = "Application.Languages";

int ClampSide(int value) { return std::clamp(value, 0, kMaxControlSide); }

// Controls of up to this many pixels take the shape of their whole
// background, as any window a screen shows does; a larger one, which only
// a hostile skin makes, is shaped where it can be seen.
constexpr std::int64_t kWholeShapePixels = std::int64_t{2048} * 2048;

int ClampPosition(int value) { return std::clamp(value, -kMaxControlSide, kMaxControlSide); }

std::string Upper(std::string_view text) {
  std::string result(text);
  for (char& c : result) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  }
  return result;
}

}  // namespace

bool IsIdentifier(std::string_view text) {
  const auto letter = [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
  };
  if (text.empty() || !letter(text.front())) return false;
  return std::all_of(text.begin(), text.end(),
                     [&](char c) { return letter(c) || (c >= '0' && c <= '9'); });
}

TKestControl::TKestControl(TKestControl& owner) : platform::TChildWindow(owner), owner_(&owner) {
  BindHooks();
}

TKestControl::TKestControl(platform::TWindowBase& parent) : platform::TChildWindow(parent) {
  BindHooks();
}

TKestControl::~TKestControl() {
  Unbind();
  // Children go before this window, in reverse order of creation.
  while (!controls_.empty()) controls_.pop_back();
}

void TKestControl::BindHooks() {
  SetClient(this);
  SetParentColor(true);
  OnPaint = [this](platform::TCanvas& canvas) {
    canvas.Font = Font;
    Paint(canvas);
  };
  OnMouseDown = [this](const platform::TMouseEvent& event) { MouseDown(event); };
  OnMouseMove = [this](const platform::TMouseEvent& event) { MouseMove(event); };
  OnMouseUp = [this](const platform::TMouseEvent& event) { MouseUp(event); };
  OnMouseLeave = [this] { MouseLeft(); };
  OnResize = [this] { Resized(); };
  OnHitTest = [this](TPoint screen) { return HitTest(screen); };
}

void TKestControl::Unbind() {
  const app::TCallback changed = app::MakeCallback<&TKestControl::EntityChanged>(this);
  for (app::TEntityHolder* holder : boundHolders_) holder->RemoveClient(changed);
  boundHolders_.clear();
  Holder = nullptr;
  if (languagesSubscribed_) {
    languagesSubscribed_ = false;
    if (app::TEntityManager* entities = Entities()) {
      entities->RemoveClient(kLanguages, app::MakeCallback<&TKestControl::LanguageChanged>(this));
    }
  }
}

TKestControl& TKestControl::Adopt(std::unique_ptr<TKestControl> control) {
  controls_.push_back(std::move(control));
  return *controls_.back();
}

app::TEntityManager* TKestControl::Entities() const {
  return ResManager ? ResManager->EntityManager : nullptr;
}

std::string TKestControl::Caption(std::string_view name) const {
  return ResManager ? ResManager->Caption(name) : std::string(name);
}

// ---- loading ------------------------------------------------------------

void TKestControl::LoadFromXML(const skin::TXMLNode& element) {
  Id = element.GetAttr("id");
  SetDiagnosticName(element.Name);
  const std::string hint = element.GetAttr("Hint");
  SetHint(hint.empty() ? "<>" : hint);
  ReadBounds(element);
  ReadAlign(element);
  const std::string color = element.GetAttr("BGColor");
  if (!color.empty() && ResManager) SetColor(ResManager->GetColor(color));
  ReadBackground(element);
  BindLink(element);
  const std::string cursor = element.GetAttr("Cursor");
  if (app::SameText(cursor, "HandPoint")) SetCursor(platform::TCursor::Hand);
  if (app::SameText(cursor, "Help")) SetCursor(platform::TCursor::Help);
  if (app::SameText(element.GetAttr("Visible"), "No")) Hide();
  if (ResManager) {
    if (auto* menu = ResManager->Find<skin::TSkinResMenu>(element.GetAttr("Popup"))) {
      SetPopupMenu(menu->Menu.get());
    }
  }
  ApplyFont(element);
  Resized();
}

void TKestControl::SetDiagnosticName(const std::string& tag) {
  char handle[32];
  std::snprintf(handle, sizeof handle, "%.4X", static_cast<unsigned>(Handle()));
  std::string name = tag + "_" + handle;
  if (!IsIdentifier(name)) return;
  if (!Id.empty()) {
    const std::string named = tag + "_" + Id;
    if (IsIdentifier(named)) name = named;
  }
  SetText(name);
}

void TKestControl::ReadBounds(const skin::TXMLNode& element) {
  const std::string pos = element.GetAttr("Pos");
  const std::string size = element.GetAttr("Size");
  platform::TAnchors anchors = platform::akLeft | platform::akTop;
  const int parentWidth = Parent() ? Parent()->ClientWidth() : 0;
  const int parentHeight = Parent() ? Parent()->ClientHeight() : 0;

  int left = ClampPosition(skin::StrToIntDefault(skin::PairField(pos, 0), 5));
  if (left < 0) {
    anchors = (anchors & ~platform::akLeft) | platform::akRight;
    left += parentWidth;
  }
  int top = ClampPosition(skin::StrToIntDefault(skin::PairField(pos, 1), 5));
  if (top < 0) {
    anchors = (anchors & ~platform::akTop) | platform::akBottom;
    top += parentHeight;
  }
  int width = ClampPosition(skin::StrToIntDefault(skin::PairField(size, 0), 25));
  if (width < 1) {
    anchors |= platform::akRight;
    width += parentWidth - left;
  }
  int height = ClampPosition(skin::StrToIntDefault(skin::PairField(size, 1), 25));
  if (height < 1) {
    anchors |= platform::akBottom;
    height += parentHeight - top;
  }
  SetAnchors(anchors);
  SetBounds(left, top, ClampSide(width), ClampSide(height));
}

void TKestControl::ReadAlign(const skin::TXMLNode& element) {
  SetAlign(platform::TAlign::None);
  const std::string align = Upper(element.GetAttr("Align"));
  if (align == "TOP") SetAlign(platform::TAlign::Top);
  if (align == "BOTTOM") SetAlign(platform::TAlign::Bottom);
  if (align == "LEFT") SetAlign(platform::TAlign::Left);
  if (align == "RIGHT") SetAlign(platform::TAlign::Right);
  if (align == "CLIENT") SetAlign(platform::TAlign::Client);
  if (align == "HORIZONTAL") SetAnchors(platform::akTop);
  if (align == "VERTICAL") SetAnchors(platform::akLeft);
  if (align == "CENTER") {
    SetAnchors(0);
    const int parentWidth = Parent() ? Parent()->ClientWidth() : 0;
    const int parentHeight = Parent() ? Parent()->ClientHeight() : 0;
    SetPosition((parentWidth - Width()) / 2, (parentHeight - Height()) / 2);
  }
}

void TKestControl::ReadBackground(const skin::TXMLNode& element) {
  const std::string bg = element.GetAttr("BG");
  if (!bg.empty() && ResManager) {
    BGPack = ResManager->GetImage(bg);
    BGImage = BGPack ? &BGPack->Item(0) : nullptr;
  }
  if (element.GetAttr("Size").empty() && BGImage) {
    SetSize(ClampSide(BGImage->GetWidth()), ClampSide(BGImage->GetHeight()));
  }
}

void TKestControl::BindLink(const skin::TXMLNode& element) {
  Link = element.GetAttr("Link");
  app::TEntityManager* entities = Entities();
  if (Link.empty() || !entities) return;
  Holder = &entities->GetHolder(Link);
  boundHolders_.push_back(Holder);
  Holder->AddClient(app::MakeCallback<&TKestControl::EntityChanged>(this));
  EntityChanged(*Holder);
}

void TKestControl::ApplyFont(const skin::TXMLNode& element) {
  if (!ResManager) return;
  if (auto* font = ResManager->Find<skin::TSkinResFont>(element.GetAttr("Font"))) {
    if (font->IsSystem) {
      Font.Family = font->Font.Family;
      Font.Size = font->Font.Size;
      Font.Bold = font->Font.Bold;
    }
  }
  const std::string color = element.GetAttr("FGColor");
  if (!color.empty()) Font.Color = ResManager->GetColor(color);
}

void TKestControl::AfterLoad() {
  for (const auto& control : controls_) control->AfterLoad();
  shapeReady_ = true;
  UpdateShape();
}

void TKestControl::SubscribeLanguages() {
  if (languagesSubscribed_) return;
  app::TEntityManager* entities = Entities();
  if (!entities) return;
  languagesSubscribed_ = true;
  entities->AddClient(kLanguages, app::MakeCallback<&TKestControl::LanguageChanged>(this));
}

// ---- state --------------------------------------------------------------

void TKestControl::EntityChanged(app::TEntityHolder& sender) {
  SetControlEnabled(sender.Entity != nullptr && sender.Entity->Enabled);
  Invalidate();
}

void TKestControl::LanguageChanged(app::TEntityHolder&) { Invalidate(); }

void TKestControl::SetControlEnabled(bool enabled) {
  if (enabled == Enabled()) return;
  Invalidate();
  SetEnabled(enabled);
}

// ---- painting and shape -------------------------------------------------

void TKestControl::Paint(platform::TCanvas& canvas) { PaintBackground(canvas); }

void TKestControl::PaintBackground(platform::TCanvas& canvas) {
  if (BGImage) skin::DrawImage(*BGImage, canvas, platform::TRect{0, 0, Width(), Height()});
}

void TKestControl::Resized() {
  if (shapeReady_) UpdateShape();
}

void TKestControl::UpdateShape() {
  if (auto shape = BackgroundShape()) ApplyShape(*shape);
}

void TKestControl::ApplyShape(const platform::TRegion& shape) { SetRegion(shape); }

// The shape of the opaque pixels of a transparent background, or none.
std::optional<platform::TRegion> TKestControl::BackgroundShape() const {
  if (!BGImage || !BGImage->IsTransparent()) return std::nullopt;
  const platform::TRect whole{0, 0, Width(), Height()};
  // A nine-piece region is laid out over the whole control but built from
  // the image's own pieces: it costs the image's size, not the control's.
  const bool ninePiece = dynamic_cast<const skin::TCenterSplitImage*>(BGImage) != nullptr;
  if (whole.Area() <= kWholeShapePixels || ninePiece) return BGImage->CreateRegion(whole);
  // Every other region follows the pixels one to one, so the region of the
  // part that can be seen is that part of the whole one.
  const platform::TRect seen = SeenPart();
  if (seen.IsEmpty()) return std::nullopt;
  std::optional<platform::TRegion> shape = BGImage->CreateRegion(seen);
  if (shape) shape->Offset(seen.Left, seen.Top);
  return shape;
}

// The part of the control inside every window above it, in its own
// coordinates.
platform::TRect TKestControl::SeenPart() const {
  platform::TRect seen{0, 0, Width(), Height()};
  std::int64_t dx = 0, dy = 0;  // this control's origin in the parent's coordinates
  for (const platform::TWindowBase* window = this; window->Parent() != nullptr;
       window = window->Parent()) {
    dx += window->Left();
    dy += window->Top();
    const platform::TWindowBase& parent = *window->Parent();
    seen = platform::Intersect(seen,
                               platform::TRect{platform::ClampToInt(-dx), platform::ClampToInt(-dy),
                                               platform::ClampToInt(parent.ClientWidth() - dx),
                                               platform::ClampToInt(parent.ClientHeight() - dy)});
  }
  return seen;
}

platform::THitTest TKestControl::HitTest(TPoint) { return platform::THitTest::Client; }

// ---- window dragging ----------------------------------------------------

TSkinForm* TKestControl::FindHostForm() {
  TSkinForm* found = nullptr;
  for (platform::TWindowBase* window = this; window != nullptr; window = window->Parent()) {
    if (auto* form = dynamic_cast<TSkinForm*>(window)) found = form;
  }
  return found;
}

void TKestControl::MouseDown(const platform::TMouseEvent& event) {
  if (Draggable) BeginDrag(event.Screen);
}

void TKestControl::MouseMove(const platform::TMouseEvent& event) {
  if (HasCapture() && Dragging) DragMove(event.Screen);
}

void TKestControl::MouseUp(const platform::TMouseEvent&) { Dragging = false; }

void TKestControl::BeginDrag(TPoint cursor) {
  dragForm_ = FindHostForm();
  dragCursor_ = cursor;
  dragOrigin_ = dragForm_ ? TPoint{dragForm_->Left(), dragForm_->Top()} : TPoint{};
  Dragging = true;
}

void TKestControl::DragMove(TPoint cursor) {
  if (!dragForm_) return;
  int x = dragOrigin_.X + cursor.X - dragCursor_.X;
  int y = dragOrigin_.Y + cursor.Y - dragCursor_.Y;
  const platform::TRect work = platform::WorkArea();
  const int snap = platform::ScreenWidth() / 50;
  const int width = dragForm_->Width();
  const int height = dragForm_->Height();
  if (std::abs(x - work.Left) < snap) x = work.Left;
  if (std::abs(y - work.Top) < snap) y = work.Top;
  if (std::abs(x + width - work.Right) < snap) x = work.Right - width;
  if (std::abs(y + height - work.Bottom) < snap) y = work.Bottom - height;
  dragForm_->SetPosition(x, y);
}

// ---- lookup -------------------------------------------------------------

TKestControl* FindControl(const TKestControl& root, std::string_view id) {
  for (const auto& child : root.Controls()) {
    if (TKestControl* deeper = FindControl(*child, id)) return deeper;
    if (app::SameText(child->Id, id)) return child.get();
  }
  return nullptr;
}

}  // namespace controls
