#pragma once

#include <string>

// Standard dialogs (Win32 MessageBox).
namespace platform {

enum class TMessageIcon { None, Information, Warning, Error };

// Shows a modal message box with an OK button, owned by no window, and
// returns when the user has closed it.
void MessageBox(const std::string& text, const std::string& caption, TMessageIcon icon);

}  // namespace platform
