#pragma once

#include <vector>

#include "tools/skinart/Catalog.h"

namespace skinart {

// The pictures of the Walnut skin: main.bmp, board.bmp and dialogs.bmp.
std::vector<TSheetFile> WalnutSheets();

}  // namespace skinart
