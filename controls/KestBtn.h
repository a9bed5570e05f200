#pragma once

#include <cstdint>

#include "controls/KestActCtl.h"

namespace controls {

// A skinned push button: its background pack holds four images per state
// row (normal, hover, pressed, disabled); the linked entity's value picks
// the row, and a left click executes the link as an entity command.
class TKestButton : public TKestActiveControl {
 public:
  explicit TKestButton(TKestControl& owner);

  // The row of the image grid: the low 32 bits of the linked value.
  std::int32_t State() const { return state_; }
  // The left button went down on the enabled button and has been neither
  // released nor taken off it yet.
  bool Pressed() const { return pressed_; }
  // The index of the background image the button shows now.
  int ImageIndex() const;

 protected:
  void EntityChanged(app::TEntityHolder& sender) override;
  void MouseDown(const platform::TMouseEvent& event) override;
  void MouseUp(const platform::TMouseEvent& event) override;
  void HoverChanged() override;
  void Paint(platform::TCanvas& canvas) override;

 private:
  void SetPressed(bool pressed);

  std::int32_t state_ = 0;
  bool pressed_ = false;
};

}  // namespace controls
