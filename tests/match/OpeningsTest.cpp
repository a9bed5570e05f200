#include <gtest/gtest.h>

#include <set>
#include <string>

#include "games/checkers/CheckersBoard.h"
#include "games/chess/ChessEngine.h"
#include "tools/match/Openings.h"
#include "tools/match/Text.h"

namespace match {
namespace {

std::vector<TOpening> Book(const std::string& name) {
  return LoadOpenings(std::string(LUDEX_SOURCE_DIR) + "/tools/match/" + name);
}

TEST(MatchOpenings, ParseSkipsCommentsAndBlankLines) {
  const std::vector<TOpening> openings =
      ParseOpenings("# a book\n\ne2e4 e7e5   # king's pawn\n  \td2d4\td7d5\r\n#\n");
  ASSERT_EQ(openings.size(), 2u);
  EXPECT_EQ(openings[0].Moves, (std::vector<std::string>{"e2e4", "e7e5"}));
  EXPECT_EQ(openings[0].Line, 3);
  EXPECT_EQ(JoinWords(openings[1].Moves), "d2d4 d7d5");
  EXPECT_EQ(openings[1].Line, 4);
  EXPECT_THROW(LoadOpenings("/nonexistent/book.txt"), std::runtime_error);
}

TEST(MatchOpenings, ProblemsAreNamed) {
  EXPECT_EQ(ChessOpeningProblem({{"e2e4", "e7e5"}, 1}), "");
  EXPECT_EQ(ChessOpeningProblem({{"e2e4", "e7e4"}, 1}), "move 2 'e7e4' is not legal");
  // Fool's mate leaves no game to play.
  EXPECT_EQ(ChessOpeningProblem({{"f2f3", "e7e5", "g2g4", "d8h4"}, 1}),
            "the opening ends the game");
  EXPECT_EQ(CheckersOpeningProblem({{"c3-d4", "c3-d4"}, 1}), "");
  EXPECT_EQ(CheckersOpeningProblem({{"c3-d5"}, 1}), "move 1 'c3-d5' is not legal");
  EXPECT_EQ(CheckersOpeningProblem({{"C3-D4"}, 1}), "move 1 'C3-D4' is not legal");
}

TEST(MatchOpenings, ChessBookIsLegalUnderBothRulesAndVaried) {
  const std::vector<TOpening> book = Book("openings-chess.txt");
  EXPECT_GE(book.size(), 50u);
  std::set<std::string> positions;
  for (const TOpening& opening : book) {
    SCOPED_TRACE("line " + std::to_string(opening.Line) + ": " + JoinWords(opening.Moves));
    EXPECT_EQ(ChessOpeningProblem(opening), "");
    EXPECT_GE(opening.Moves.size(), 4u);
    EXPECT_LE(opening.Moves.size(), 8u);
    chess::TEngineBoard board(chess::TRules::Standard);
    for (const std::string& move : opening.Moves)
      if (const auto parsed = board.ParseUci(move)) board.Play(*parsed);
    EXPECT_TRUE(positions.insert(board.ToFen().substr(0, board.ToFen().find(' '))).second)
        << "reaches the position of an earlier line";
  }
}

TEST(MatchOpenings, CheckersBookIsLegalAndVaried) {
  const std::vector<TOpening> book = Book("openings-checkers.txt");
  EXPECT_GE(book.size(), 50u);
  std::set<std::string> lines;
  for (const TOpening& opening : book) {
    SCOPED_TRACE("line " + std::to_string(opening.Line) + ": " + JoinWords(opening.Moves));
    EXPECT_EQ(CheckersOpeningProblem(opening), "");
    EXPECT_GE(opening.Moves.size(), 2u);
    EXPECT_LE(opening.Moves.size(), 4u);
    EXPECT_TRUE(lines.insert(JoinWords(opening.Moves)).second) << "listed twice";
  }
}

}  // namespace
}  // namespace match
