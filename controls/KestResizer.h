#pragma once

#include "controls/KestCtl.h"

namespace controls {

// A grip that changes its parent's height (docked top or bottom) or width
// (otherwise) while it is dragged; it never drags the window.
class TKestResizer : public TKestControl {
 public:
  explicit TKestResizer(TKestControl& owner);

  void LoadFromXML(const skin::TXMLNode& element) override;

  // Docked to the top or the bottom: the parent's height changes.
  bool ResizeHeight = false;
  // The cursor in screen pixels at the last button press.
  platform::TPoint StartCursor;
  // The parent's height (or width) at the last button press.
  int StartSize = 0;

 protected:
  void MouseDown(const platform::TMouseEvent& event) override;
  void MouseMove(const platform::TMouseEvent& event) override;

 private:
  void ResizeParent(platform::TPoint cursor);
};

}  // namespace controls
