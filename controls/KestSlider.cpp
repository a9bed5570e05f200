#include "controls/KestSlider.h"

#include <algorithm>

#include "app/Entities.h"
#include "app/TextUtil.h"
#include "skin/AlphaImage.h"
#include "skin/KestRes.h"
#include "skin/KestUtil.h"
#include "skin/XML.h"

namespace controls {

namespace {

bool IsInteger(std::string_view text) {
  return skin::StrToIntDefault(text, 0) != 0 || skin::StrToIntDefault(text, 1) != 1;
}

// Field 0 and then field 1 of a pair attribute over `defaults`; the first
// field that is not an integer ends the reading, so it and any later field
// keep their defaults. Values are kept within a control's side.
platform::TPoint ReadFields(std::string_view text, platform::TPoint defaults) {
  int* fields[] = {&defaults.X, &defaults.Y};
  for (int index = 0; index < 2; ++index) {
    const std::string field = skin::PairField(text, index);
    if (!IsInteger(field)) break;
    *fields[index] = std::clamp(skin::StrToIntDefault(field, 0), -kMaxControlSide, kMaxControlSide);
  }
  return defaults;
}

}  // namespace

int ClampPixel(__int128 value) {
  return static_cast<int>(std::clamp<__int128>(value, -kMaxPixelOffset, kMaxPixelOffset));
}

TKestSlider::TKestSlider(TKestControl& owner) : TKestActiveControl(owner) {}

void TKestSlider::LoadFromXML(const skin::TXMLNode& element) {
  Min = 0;
  Max = 1000;
  Position = 500;
  TKestActiveControl::LoadFromXML(element);
  Vertical = app::SameText(element.GetAttr("Axis"), "Y");
  ReadKnob(element);
  const platform::TPoint margin = ReadFields(element.GetAttr("Margin"), {0, 0});
  TrackStart = KnobCenter.X + margin.X;
  TrackEnd = KnobSize.X > 0 ? KnobCenter.X - KnobSize.X + 1 : 0;
  TrackEnd -= margin.Y;
}

void TKestSlider::ReadKnob(const skin::TXMLNode& element) {
  const std::string bar = element.GetAttr("Bar");
  KnobImages = !bar.empty() && ResManager ? ResManager->GetImage(bar) : nullptr;
  KnobSize = {};
  KnobCenter = {};
  HasHoverKnob = false;
  if (!KnobImages) return;
  HasHoverKnob = KnobImages->Count() > 1;
  const platform::TPoint imageSize{std::clamp(KnobImages->GetWidth(), 0, kMaxControlSide),
                                   std::clamp(KnobImages->GetHeight(), 0, kMaxControlSide)};
  KnobSize = ReadFields(element.GetAttr("BSize"), imageSize);
  KnobCenter = ReadFields(element.GetAttr("BCenter"), {KnobSize.X / 2, KnobSize.Y / 2});
}

int TKestSlider::TrackEndPos() const {
  if (TrackEnd > 0) return TrackEnd;
  return (Vertical ? Height() : Width()) + TrackEnd - 1;
}

int TKestSlider::ValueToPixel() const {
  const __int128 length = TrackEndPos() - TrackStart;
  const __int128 range = __int128{Max} - Min;
  // No range or no track: the knob stays at the track's start.
  if (range == 0 || length <= 0) return 0;
  return ClampPixel((__int128{Position} - Min) * length / range);
}

void TKestSlider::SetFromMouse(int x, int y) {
  const std::int64_t length = std::int64_t{TrackEndPos()} - TrackStart;
  if (length <= 0) {
    // No track to point at: the start of the range.
    Position = Min;
  } else {
    const std::int64_t along =
        Vertical ? std::int64_t{Height()} - TrackStart - y : std::int64_t{x} - TrackStart;
    const std::int64_t p = std::clamp<std::int64_t>(along, 0, length);
    // Lies between Min and Max, so it fits 64 bits again.
    Position = static_cast<std::int64_t>(__int128{p} * (__int128{Max} - Min) / length + Min);
  }
  Invalidate();
  auto* basic = Holder ? dynamic_cast<app::TBasicEntity*>(Holder->Entity) : nullptr;
  if (!basic) return;
  basic->Value = Position;
  // The owner's handler may free this control: nothing touches it after.
  basic->OnExecute(*Holder);
}

void TKestSlider::EntityChanged(app::TEntityHolder& sender) {
  TKestActiveControl::EntityChanged(sender);
  const auto* basic = dynamic_cast<const app::TBasicEntity*>(sender.Entity);
  if (!basic) return;
  Min = basic->Min;
  Max = basic->Max;
  Position = basic->Value;
  Invalidate();
}

void TKestSlider::MouseDown(const platform::TMouseEvent& event) {
  TKestActiveControl::MouseDown(event);
  if (event.Button == platform::TMouseButton::Left) SetFromMouse(event.Client.X, event.Client.Y);
}

void TKestSlider::MouseMove(const platform::TMouseEvent& event) {
  TKestActiveControl::MouseMove(event);
  // The press keeps the capture until the release: a drag follows the mouse.
  if (HasCapture()) SetFromMouse(event.Client.X, event.Client.Y);
}

void TKestSlider::HoverChanged() { Invalidate(); }

void TKestSlider::Paint(platform::TCanvas& canvas) {
  TKestActiveControl::Paint(canvas);
  if (KnobImages && Enabled()) PaintKnob(canvas);
}

void TKestSlider::PaintKnob(platform::TCanvas& canvas) {
  const skin::TAlphaImage& knob = KnobImages->Item(Hover() && HasHoverKnob ? 1 : 0);
  int left = 0;
  int top = 0;
  if (Vertical) {
    top = Height() - ValueToPixel() - TrackStart - KnobCenter.Y;
  } else {
    left = ValueToPixel() + TrackStart - KnobCenter.X;
    top = (Height() - KnobSize.Y) / 2;
  }
  skin::DrawImage(knob, canvas, platform::TRect{left, top, left + KnobSize.X, top + KnobSize.Y});
}

}  // namespace controls
