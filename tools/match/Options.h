#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/match/MakeOpenings.h"
#include "tools/match/Match.h"

// The command line of ludex-match.
namespace match {

// A malformed command line; what() says what is wrong.
class TUsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// "level:N" or "uci:PROGRAM [ARG...]" (the words split at blanks).
TPlayerSpec ParsePlayer(const std::string& text);

// The arguments after the program's name for a match. Throws TUsageError.
TMatchOptions ParseMatchOptions(const std::vector<std::string>& args);
// The arguments after "--make-openings". Throws TUsageError.
TMakeOpeningsOptions ParseMakeOpeningsOptions(const std::vector<std::string>& args);

}  // namespace match
