#pragma once

#include <iosfwd>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// The games' halves of the ludex-engine protocol. Each takes the words of one
// command line after the game's name ("moves", "start", ...) and the level
// the computer plays "best" at, and returns the answer line without its line
// end.
namespace engine {

// Malformed input: the tool answers "error: " + what() and goes on.
class EngineError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

std::string RunCheckersCommand(const std::vector<std::string>& words, int level);
std::string RunChessCommand(const std::vector<std::string>& words, int level);

// Speaks the Universal Chess Interface on in and out until "quit" or the end
// of in; alreadyRead is input read before (the line "uci" itself). Returns
// the exit status.
int RunUci(std::istream& in, std::ostream& out, std::string_view alreadyRead);

// "pgn" or "pdn": checks the first game of the file and prints its moves in
// the program's notation; 1 with the reason on err when it cannot be played.
int RunRecordCheck(const std::string& format, const std::string& path, std::ostream& out,
                   std::ostream& err);

// Parses a whole decimal number in [min, max]; throws EngineError naming what.
long long ParseNumber(const std::string& text, long long min, long long max, const char* what);

}  // namespace engine
