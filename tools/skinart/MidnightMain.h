#pragma once

#include "platform/Bitmap.h"

namespace skinart::midnight {

// main.bmp of the Midnight skin: the main window, its side panel and the
// pictures of their controls (see MidnightLayout.h). Needs the application
// object.
platform::TBitmap MainSheet();

}  // namespace skinart::midnight
