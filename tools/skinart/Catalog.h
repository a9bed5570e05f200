#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/Bitmap.h"

// The skins whose pictures this program draws, by name.
namespace skinart {

struct TSheetFile {
  std::string Name;  // the file name in the skin folder
  platform::TBitmap Picture;
};

// The names ludex-skinart knows, the built-in skin's first.
std::vector<std::string_view> SkinNames();
// Every picture file of the skin; empty for a name it does not know.
// Needs the application object (text is rendered).
std::vector<TSheetFile> SkinSheets(std::string_view skin);

}  // namespace skinart
