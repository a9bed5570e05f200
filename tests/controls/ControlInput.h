#pragma once

#include <string>

#include "controls/KestCtl.h"
#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/Snapshot.h"
#include "platform/Window.h"

// Mouse input and pictures for the tests of the mouse-active controls:
// events go through the window hooks the platform calls, so the tests see
// what a user's mouse would cause.
namespace controls_test {

inline platform::TMouseEvent MouseAt(int x, int y,
                                     platform::TMouseButton button = platform::TMouseButton::Left) {
  platform::TMouseEvent event;
  event.Button = button;
  event.Client = {x, y};
  return event;
}

inline void Move(platform::TWindowBase& control, int x = 1, int y = 1) {
  control.OnMouseMove(MouseAt(x, y));
}
inline void Press(platform::TWindowBase& control, int x = 1, int y = 1,
                  platform::TMouseButton button = platform::TMouseButton::Left) {
  control.OnMouseDown(MouseAt(x, y, button));
}
inline void Release(platform::TWindowBase& control, int x = 1, int y = 1,
                    platform::TMouseButton button = platform::TMouseButton::Left) {
  control.OnMouseUp(MouseAt(x, y, button));
}
inline void Leave(platform::TWindowBase& control) { control.OnMouseLeave(); }

// The picture of a control as it paints itself now.
inline platform::TBitmap Picture(platform::TWindowBase& control) {
  return platform::GrabWindow(control);
}

// Whether the control asked to be redrawn since it last painted. It is
// painted then, so that each call sees only what came after the one before.
inline bool AskedForRepaint(platform::TWindowBase& control) {
  const bool pending = control.InvalidationPending();
  Picture(control);
  return pending;
}

// Text measured in a control's font.
inline int TextWidthIn(const controls::TKestControl& control, const std::string& text) {
  platform::TBitmap bitmap(1, 1);
  platform::TCanvas canvas(bitmap);
  canvas.Font = control.Font;
  return canvas.TextWidth(text);
}

// A picture of `cells` in a row, laid out as skin areas cut them: each
// `width` x `height` pixels of one colour, framed by a one-pixel border of
// `frame`, with a one-pixel gap of `frame` between neighbours.
inline platform::TBitmap Strip(std::initializer_list<platform::TColor> cells, int width, int height,
                               platform::TColor frame) {
  const int count = static_cast<int>(cells.size());
  platform::TBitmap bitmap(count * (width + 1), height);
  bitmap.Fill(frame);
  int left = 0;
  for (const platform::TColor color : cells) {
    for (int y = 1; y < height - 1; ++y) {
      for (int x = 1; x < width - 1; ++x) bitmap.SetPixel(left + x, y, color);
    }
    left += width + 1;
  }
  return bitmap;
}

}  // namespace controls_test
