#include "tools/match/Openings.h"

#include <algorithm>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <utility>

#include "games/checkers/CheckersThinker.h"
#include "games/chess/ChessEngine.h"
#include "tools/match/Text.h"

namespace match {
namespace {

using chess::TEngineBoard;
using chess::TRules;

// The from and to squares of every legal move: promotions to different
// pieces count once, as the program's rules only know the queen.
std::vector<std::pair<int, int>> MoveSquares(const TEngineBoard& board) {
  std::vector<std::pair<int, int>> squares;
  for (const chess::TEngineMove& move : board.LegalMoves())
    squares.emplace_back(move.From, move.To);
  std::sort(squares.begin(), squares.end());
  squares.erase(std::unique(squares.begin(), squares.end()), squares.end());
  return squares;
}

std::string Ply(std::size_t index, const std::string& text) {
  return "move " + std::to_string(index + 1) + " '" + text + "'";
}

}  // namespace

std::vector<TOpening> ParseOpenings(std::string_view text) {
  std::vector<TOpening> openings;
  std::istringstream stream{std::string(text)};
  int number = 0;
  for (std::string line; std::getline(stream, line);) {
    ++number;
    const std::size_t comment = line.find('#');
    if (comment != std::string::npos) line.erase(comment);
    std::vector<std::string> moves = SplitWords(line);
    if (!moves.empty()) openings.push_back({std::move(moves), number});
  }
  return openings;
}

std::vector<TOpening> LoadOpenings(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error("cannot read the openings file " + path);
  std::ostringstream text;
  text << file.rdbuf();
  return ParseOpenings(text.str());
}

std::string ChessOpeningProblem(const TOpening& opening) {
  TEngineBoard program(TRules::Program);
  TEngineBoard standard(TRules::Standard);
  for (std::size_t i = 0; i < opening.Moves.size(); ++i) {
    const std::string& text = opening.Moves[i];
    if (MoveSquares(program) != MoveSquares(standard))
      return "the rule books allow different moves before " + Ply(i, text);
    const std::optional<chess::TEngineMove> move = standard.ParseUci(text);
    const std::optional<chess::TEngineMove> programMove = program.ParseUci(text);
    if (!move || !programMove) return Ply(i, text) + " is not legal";
    standard.Play(*move);
    program.Play(*programMove);
  }
  if (standard.LegalMoves().empty()) return "the opening ends the game";
  return "";
}

std::string CheckersOpeningProblem(const TOpening& opening) {
  checkers::TCheckersThinker thinker;
  for (std::size_t i = 0; i < opening.Moves.size(); ++i) {
    const std::string& text = opening.Moves[i];
    thinker.GenerateMoves();
    if (std::find(thinker.Moves.begin(), thinker.Moves.end(), text) == thinker.Moves.end())
      return Ply(i, text) + " is not legal";
    thinker.Position.ApplyMove(text);
    thinker.Position.Flip();
  }
  if (thinker.HasNoMoves()) return "the opening ends the game";
  return "";
}

}  // namespace match
