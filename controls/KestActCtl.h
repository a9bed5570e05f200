#pragma once

#include "controls/KestCtl.h"

namespace controls {

// A control that reacts to the mouse: it knows whether the mouse hovers
// over it and never drags its window on its own.
class TKestActiveControl : public TKestControl {
 public:
  explicit TKestActiveControl(TKestControl& owner);

  bool Hover() const { return hover_; }
  // Stores the state and calls HoverChanged, only when it changes.
  void SetHover(bool hover);

 protected:
  // Asks for a mouse-leave notice on every move and marks the control
  // hovered.
  void MouseMove(const platform::TMouseEvent& event) override;
  void MouseLeft() override;

  // After a mouse-leave notice has cleared the hover state.
  virtual void MouseLeave() {}
  virtual void HoverChanged() {}

 private:
  bool hover_ = false;
};

}  // namespace controls
