#pragma once

#include <optional>
#include <string>
#include <string_view>

// The options every Ludex program answers the same way, before it starts any
// work (no window, no display, no Qt): --help prints the usage and the help
// text on standard output, --version the program's name and version, both
// exit with 0; any other word starting with "-" where an option may stand is
// a usage error.
namespace app {

inline constexpr int kUsageStatus = 2;

struct TCommandLineHelp {
  std::string_view Name;   // the program's name, "ludex-skin"
  std::string_view Usage;  // the usage lines, each ending in a line end
  std::string_view Text;   // what --help prints after the usage
};

// The program's name and version, "ludex 2.0".
std::string VersionLine(std::string_view name);

// Answers argv[1] when it is an option: returns the exit status then, and
// nothing when argv[1] is absent or an ordinary argument.
std::optional<int> AnswerOptions(int argc, const char* const* argv, const TCommandLineHelp& help);

// Prints "NAME: complaint" and the usage on standard error; returns the exit
// status of a usage error.
int UsageError(const TCommandLineHelp& help, const std::string& complaint);

}  // namespace app
