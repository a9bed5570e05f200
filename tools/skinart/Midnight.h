#pragma once

#include <vector>

#include "tools/skinart/Catalog.h"

namespace skinart {

// The pictures of the Midnight skin: main.bmp, board.bmp and dialogs.bmp.
std::vector<TSheetFile> MidnightSheets();

}  // namespace skinart
