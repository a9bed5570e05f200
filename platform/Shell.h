#pragma once

#include <string>

// The desktop shell's default action (ShellExecute with the "open" verb).
namespace platform {

enum class TShowMode { Normal, Maximized };

// Opens a URL in the browser, or a file or folder with the program the
// desktop associates with it, through the desktop's "xdg-open" when it is
// on the PATH. The desktop decides how the program's window
// is shown; a maximised request cannot be passed on. False when the text is
// empty or the desktop reports failure.
bool OpenDocument(const std::string& target, TShowMode mode = TShowMode::Normal);

}  // namespace platform
