#pragma once

#include <vector>

#include "platform/Types.h"

// The screen, the mouse cursor and window animation (GetCursorPos,
// GetSystemMetrics, SystemParametersInfo(SPI_GETWORKAREA), DrawAnimatedRects).
namespace platform {

// The cursor position in screen pixels. On the offscreen platform, which has
// no cursor, the position of the last mouse event (or of SetCursorPos).
TPoint CursorPos();
void SetCursorPos(TPoint screen);

// The primary screen's size, and its work area (the screen without panels
// and task bars), in screen pixels.
int ScreenWidth();
int ScreenHeight();
TRect WorkArea();
// The work areas of every screen attached now, the primary one first.
std::vector<TRect> WorkAreas();
// The window's rectangle moved (never resized) so that it lies on one of
// the screens attached now: on the screen it overlaps most, or else on the
// primary one; as much of it as fits, its top-left corner first.
TRect KeepOnScreens(const TRect& window);

// Whether the desktop wants window animations (the minimise/restore effect).
bool AnimationsEnabled();
// Shows a caption moving from one rectangle to the other (the minimise or
// restore effect), and returns when it has arrived. Does nothing when
// AnimationsEnabled is false.
void AnimateCaption(const TRect& from, const TRect& to);

}  // namespace platform
