#pragma once

#include <string>

// Standard dialogs (Win32 MessageBox).
namespace platform {

enum class TMessageIcon { None, Information, Warning, Error };

// Shows a modal message box with an OK button, owned by no window, and
// returns when the user has closed it.
void MessageBox(const std::string& text, const std::string& caption, TMessageIcon icon);

// The desktop's file dialogs (GetOpenFileName, GetSaveFileName). filter is
// "Description (*.ext)"; the answer is the chosen path, or empty when the
// user cancelled. Saving suggests the given path and asks before it
// replaces a file.
std::string ChooseFileToOpen(const std::string& title, const std::string& filter);
std::string ChooseFileToSave(const std::string& title, const std::string& filter,
                             const std::string& suggested);

}  // namespace platform
