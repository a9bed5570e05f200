#pragma once

#include "platform/Bitmap.h"

namespace skinart::midnight {

// dialogs.bmp of the Midnight skin: the About and Alert windows and the
// pictures of their controls (see MidnightLayout.h). Needs the application
// object.
platform::TBitmap DialogSheet();

}  // namespace skinart::midnight
