#pragma once

#include "platform/Bitmap.h"

namespace skinart::walnut {

// dialogs.bmp of the Walnut skin: the About, Options and Alert windows and
// the pictures of their controls (see WalnutLayout.h). Needs the
// application object.
platform::TBitmap DialogSheet();

}  // namespace skinart::walnut
