#pragma once

#include "platform/Bitmap.h"

namespace skinart::walnut {

// main.bmp of the Walnut skin: the main window and the pictures of the
// controls on it (see WalnutLayout.h). Needs the application object.
platform::TBitmap MainSheet();

}  // namespace skinart::walnut
