#include "controls/KestBtn.h"

#include <limits>

#include "app/Entities.h"
#include "skin/AlphaImage.h"

namespace controls {

TKestButton::TKestButton(TKestControl& owner) : TKestActiveControl(owner) {}

int TKestButton::ImageIndex() const {
  // In 64 bits: a row near the 32-bit limit must give the error image, not
  // an overflow.
  std::int64_t index = std::int64_t{state_} * 4;
  if (!Enabled()) {
    index += 3;
  } else {
    index += (Hover() ? 1 : 0) + (pressed_ ? 1 : 0);
  }
  if (index < 0 || index > std::numeric_limits<int>::max()) return -1;
  return static_cast<int>(index);
}

void TKestButton::EntityChanged(app::TEntityHolder& sender) {
  TKestActiveControl::EntityChanged(sender);
  const auto* basic = dynamic_cast<const app::TBasicEntity*>(sender.Entity);
  if (!basic) return;
  const auto state = static_cast<std::int32_t>(basic->Value);
  if (state == state_) return;
  state_ = state;
  Invalidate();
}

void TKestButton::SetPressed(bool pressed) {
  if (pressed == pressed_) return;
  pressed_ = pressed;
  Invalidate();
}

void TKestButton::MouseDown(const platform::TMouseEvent& event) {
  TKestActiveControl::MouseDown(event);
  if (event.Button != platform::TMouseButton::Left) return;
  if (Enabled()) SetPressed(true);
  // Without the capture the release reaches the button only when it
  // happens over it.
  ReleaseCapture();
}

void TKestButton::MouseUp(const platform::TMouseEvent& event) {
  TKestActiveControl::MouseUp(event);
  if (event.Button != platform::TMouseButton::Left || !Enabled() || !pressed_) return;
  SetPressed(false);
  app::TEntityManager* entities = Entities();
  // The command may reload the skin and free this button: nothing touches
  // it afterwards.
  if (entities) entities->Execute(Link);
}

void TKestButton::HoverChanged() {
  // Leaving the button cancels the click.
  if (!Hover()) pressed_ = false;
  Invalidate();
}

void TKestButton::Paint(platform::TCanvas& canvas) {
  if (!BGPack) {
    TKestActiveControl::Paint(canvas);
    return;
  }
  skin::DrawImage(BGPack->Item(ImageIndex()), canvas, platform::TRect{0, 0, Width(), Height()});
}

}  // namespace controls
