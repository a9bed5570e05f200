#pragma once

#include "platform/Bitmap.h"

namespace skinart {

// The whole mix.bmp of the built-in skin: every picture at its area, the
// rest Fuchsia. Needs the application object (text is rendered).
platform::TBitmap BuildSheet();

}  // namespace skinart
