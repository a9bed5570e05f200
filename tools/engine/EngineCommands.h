#pragma once

#include <stdexcept>
#include <string>
#include <vector>

// The games' halves of the ludex-engine protocol. Each takes the words of one
// command line after the game's name ("moves", "start", ...) and returns the
// answer line without its line end.
namespace engine {

// Malformed input: the tool answers "error: " + what() and goes on.
class EngineError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

std::string RunCheckersCommand(const std::vector<std::string>& words);
std::string RunChessCommand(const std::vector<std::string>& words);

// Parses a whole decimal number in [min, max]; throws EngineError naming what.
long long ParseNumber(const std::string& text, long long min, long long max, const char* what);

}  // namespace engine
