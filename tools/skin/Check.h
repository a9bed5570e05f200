#pragma once

#include <string>

namespace skintool {

// Checks the pack (a skin folder, a ZIP file, or "builtin") for faults a
// skin author would want to know of: XML the reader had to repair, tags and
// attributes nothing reads, names of images, areas, fonts, menus, macros,
// templates and program entities that name nothing, macros and templates
// that use themselves, a missing "Main" window and limits reached. The skin
// is loaded and each window built exactly as the program does, and what
// they look up is observed. Prints one finding a line,
// "FILE:ELEMENT-PATH@ATTRIBUTE: message"; returns 0 when there is none,
// 1 when there are findings.
int Check(const std::string& pack);

}  // namespace skintool
