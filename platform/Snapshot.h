#pragma once

#include <string>

#include "platform/Bitmap.h"

// Pictures of windows as the screen would show them, for previews and
// golden-picture tests (no screen is needed: it works offscreen too).
namespace platform {

class TWindowBase;

// The window with all its visible children painted, at its own size but no
// larger than a screen could show (the desktop, and at least 4096 pixels a
// side): a hostile window costs no more than a real one. For a window with a
// region, pixels outside the region are left black.
TBitmap GrabWindow(TWindowBase& window);

// Writes the bitmap as a PNG file with an alpha channel: opaque inside the
// window's region (everywhere when it has none), fully transparent outside.
// False when the file cannot be written.
bool SaveWindowPng(TWindowBase& window, const TBitmap& picture, const std::string& path);

}  // namespace platform
