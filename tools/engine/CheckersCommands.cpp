// The checkers half of ludex-engine:
//   checkers moves POS | scores POS | best POS R | eval POS | perft POS N
// POS lists ranks 8 to 1 separated by "/", files a to h, one square code per
// square (0 empty, 1/5 man/king of the side to move, which moves up the
// board, 3/7 man/king of the other side), or is the word "start".
#include <cstddef>
#include <string>
#include <vector>

#include "app/Random.h"
#include "games/checkers/CheckersEngine.h"
#include "games/checkers/CheckersThinker.h"
#include "tools/engine/EngineCommands.h"

namespace engine {
namespace {

using checkers::TCheckersPosition;

constexpr long long kMaxPerftDepth = 15;

TCheckersPosition ParsePosition(const std::string& text) {
  TCheckersPosition position;
  if (text == "start") return position;
  if (text.size() != 71)
    throw EngineError("position must be 8 ranks of 8 squares separated by '/', or 'start' (got " +
                      std::to_string(text.size()) + " characters)");
  for (int row = 0; row < 8; ++row) {
    const int rank = 7 - row;
    const std::size_t rowStart = static_cast<std::size_t>(row) * 9;
    if (row > 0 && text[rowStart - 1] != '/')
      throw EngineError("ranks must be separated by '/' (before rank " + std::to_string(rank + 1) +
                        ")");
    for (int file = 0; file < 8; ++file) {
      const char digit = text[rowStart + static_cast<std::size_t>(file)];
      const std::string square = TCheckersPosition::SquareName(file, rank);
      if (digit != '0' && digit != '1' && digit != '3' && digit != '5' && digit != '7')
        throw EngineError("bad square code '" + std::string(1, digit) + "' on " + square +
                          " (0, 1, 3, 5 or 7)");
      if (digit != '0' && !checkers::IsPlayable(file, rank))
        throw EngineError("piece on the unplayable square " + square);
      position.Squares[checkers::SquareIndex(file, rank)] = static_cast<std::int8_t>(digit - '0');
    }
  }
  return position;
}

void ExpectArguments(const std::vector<std::string>& words, std::size_t count, const char* usage) {
  if (words.size() != count) throw EngineError(std::string("usage: checkers ") + usage);
}

std::string Join(const std::vector<std::string>& items) {
  std::string line;
  for (const std::string& item : items) line += (line.empty() ? "" : " ") + item;
  return line;
}

}  // namespace

std::string RunCheckersCommand(const std::vector<std::string>& words, int level) {
  if (words.empty())
    throw EngineError("missing checkers command (moves, scores, best, eval, perft)");
  const std::string& command = words[0];
  checkers::TCheckersThinker thinker;
  if (command == "moves") {
    ExpectArguments(words, 2, "moves POS");
    thinker.Position = ParsePosition(words[1]);
    thinker.GenerateMoves();
    return Join(thinker.Moves);
  }
  if (command == "scores") {
    ExpectArguments(words, 2, "scores POS");
    thinker.Position = ParsePosition(words[1]);
    std::vector<std::string> items;
    for (const checkers::TCheckersScore& record : thinker.ScoreRootMoves())
      items.push_back(thinker.Moves[static_cast<std::size_t>(record.Index)] + "=" +
                      std::to_string(record.Score));
    return Join(items);
  }
  if (command == "best") {
    ExpectArguments(words, 3, "best POS R");
    thinker.Position = ParsePosition(words[1]);
    const int draw = static_cast<int>(ParseNumber(words[2], 0, 99, "draw R"));
    const app::TFixedRandom fixed(draw);
    if (level > checkers::kLowestLevel)
      return checkers::TCheckersEngine().ChooseMove(thinker.Position, {}, level);
    return thinker.GetBestMove();
  }
  if (command == "eval") {
    ExpectArguments(words, 2, "eval POS");
    return std::to_string(ParsePosition(words[1]).Evaluate());
  }
  if (command == "perft") {
    ExpectArguments(words, 3, "perft POS N");
    thinker.Position = ParsePosition(words[1]);
    const int depth = static_cast<int>(ParseNumber(words[2], 0, kMaxPerftDepth, "depth N"));
    return std::to_string(thinker.CountMoveSequences(depth));
  }
  throw EngineError("unknown checkers command '" + command +
                    "' (moves, scores, best, eval, perft)");
}

}  // namespace engine
