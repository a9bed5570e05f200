#pragma once

#include <string>

namespace skintool {

// Builds the window `name` of the pack (a skin folder, a ZIP file, or
// "builtin") exactly as the program does, paints it offscreen and writes it
// as a PNG, transparent outside the window's region. Returns the exit status.
int Render(const std::string& pack, const std::string& name, const std::string& output);

}  // namespace skintool
