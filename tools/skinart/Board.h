#pragma once

#include "platform/Bitmap.h"
#include "tools/skinart/Theme.h"

// The board both games share and the square highlights.
namespace skinart {

// 8 x 8 squares, file a on the left, rank 1 at the bottom, a1 dark.
platform::TBitmap Board(const TBoardTheme& theme = kBuiltinBoard);
// A selected or target square: over a dark square, or over a light one.
platform::TBitmap SquareHighlight(bool dark, const TBoardTheme& theme = kBuiltinBoard);

}  // namespace skinart
