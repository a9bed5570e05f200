#include "controls/KestActCtl.h"

#include "skin/KestUtil.h"

namespace controls {

TKestActiveControl::TKestActiveControl(TKestControl& owner) : TKestControl(owner) {
  Draggable = false;
}

void TKestActiveControl::SetHover(bool hover) {
  if (hover == hover_) return;
  hover_ = hover;
  HoverChanged();
}

void TKestActiveControl::MouseMove(const platform::TMouseEvent& event) {
  TKestControl::MouseMove(event);
  if (!skin::kMouseLeaveTracking) return;
  TrackMouseLeave();
  SetHover(true);
}

void TKestActiveControl::MouseLeft() {
  SetHover(false);
  MouseLeave();
}

}  // namespace controls
