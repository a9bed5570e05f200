#include <gtest/gtest.h>

#include <random>

#include "games/checkers/CheckersBoard.h"
#include "games/checkers/CheckersThinker.h"
#include "tests/checkers/CheckersTestPositions.h"

namespace checkers {
namespace {

using fixtures::Board;

TCheckersMoveArray MovesOf(const TCheckersPosition& position) {
  TCheckersThinker thinker;
  thinker.Position = position;
  thinker.GenerateMoves();
  return thinker.Moves;
}

TEST(CheckersPosition, StartPositionPiecesEvaluationAndSymmetry) {
  TCheckersPosition position;
  int own = 0, other = 0;
  for (const char* name : {"a1", "c1", "e1", "g1", "b2", "d2", "f2", "h2", "a3", "c3", "e3", "g3"})
    own += position.Squares[SquareIndex(name[0] - 'a', name[1] - '1')] == kOwnMan;
  for (const char* name : {"b6", "d6", "f6", "h6", "a7", "c7", "e7", "g7", "b8", "d8", "f8", "h8"})
    other += position.Squares[SquareIndex(name[0] - 'a', name[1] - '1')] == kOtherMan;
  EXPECT_EQ(own, 12);
  EXPECT_EQ(other, 12);
  EXPECT_EQ(std::count(position.Squares.begin(), position.Squares.end(), kEmpty), 40);
  EXPECT_EQ(position.Evaluate(), 0);

  TCheckersPosition flipped = position;
  flipped.Flip();
  EXPECT_EQ(flipped, position);
}

TEST(CheckersPosition, FlipTurnsTheBoardAndSwapsColours) {
  TCheckersPosition position =
      Board({{"a1", kOwnMan}, {"c3", kOwnKing}, {"h6", kOtherMan}, {"b8", kOtherKing}});
  TCheckersPosition flipped = position;
  flipped.Flip();
  EXPECT_EQ(flipped,
            Board({{"h8", kOtherMan}, {"f6", kOtherKing}, {"a3", kOwnMan}, {"g1", kOwnKing}}));
  // Flipping turns the evaluation round and twice gives the board back.
  std::mt19937 random(3);
  for (int i = 0; i < 50; ++i) {
    TCheckersPosition board = fixtures::RandomEndgame(random, i % 4, (i + 1) % 4, i % 5, i % 3);
    TCheckersPosition turned = board;
    turned.Flip();
    EXPECT_EQ(turned.Evaluate(), -board.Evaluate());
    EXPECT_EQ(turned.SideScore(), board.OpponentScore());
    turned.Flip();
    EXPECT_EQ(turned, board);
  }
}

TEST(CheckersPosition, EvaluationUsesEachSidesOwnTables) {
  // White man a1: 100 + 1; black man b6 is g3 from Black's side: 100 + 4;
  // black king h8 is a1 from Black's side: 300 + 0; white king d4: 300 + 15.
  const TCheckersPosition position =
      Board({{"a1", kOwnMan}, {"d4", kOwnKing}, {"b6", kOtherMan}, {"h8", kOtherKing}});
  EXPECT_EQ(position.SideScore(), 101 + 315);
  EXPECT_EQ(position.OpponentScore(), 104 + 300);
  EXPECT_EQ(position.Evaluate(), 416 - 404);
  // A man one step from promotion on a side file is worth most.
  EXPECT_EQ(Board({{"a7", kOwnMan}}).Evaluate(), 190);
  EXPECT_EQ(Board({{"h2", kOtherMan}}).Evaluate(), -190);
  // A lone piece's placement worth summed over the four dark squares of each
  // rank, rank 1 first: men gain as they advance, kings in the centre.
  std::vector<int> men, kings;
  for (int rank = 0; rank < 8; ++rank) {
    int man = 0, king = 0;
    for (int file = rank % 2; file < 8; file += 2) {
      const std::string square = TCheckersPosition::SquareName(file, rank);
      man += Board({{square, kOwnMan}}).Evaluate() - kManValue;
      king += Board({{square, kOwnKing}}).Evaluate() - kKingValue;
    }
    men.push_back(man);
    kings.push_back(king);
  }
  EXPECT_EQ(men, (std::vector<int>{4, 9, 17, 31, 69, 152, 315, 0}));
  EXPECT_EQ(kings, (std::vector<int>{0, 15, 25, 30, 30, 25, 15, 0}));
}

TEST(CheckersPosition, ApplyMovePlaysStepsPromotesAndEmptiesStretches) {
  TCheckersPosition simple;
  ASSERT_TRUE(simple.ApplyMove("c3-d4"));
  EXPECT_EQ(simple.Squares[SquareIndex(2, 2)], kEmpty);
  EXPECT_EQ(simple.Squares[SquareIndex(3, 3)], kOwnMan);

  // A king's long jump empties everything between, the victim included.
  TCheckersPosition jump = Board({{"a1", kOwnKing}, {"d4", kOtherMan}, {"h8", kOtherMan}});
  ASSERT_TRUE(jump.ApplyMove("a1-g7"));
  EXPECT_EQ(jump, Board({{"g7", kOwnKing}, {"h8", kOtherMan}}));

  // Reaching rank 8 in the middle of a capture makes the man a king at once.
  TCheckersPosition promotion = Board({{"d6", kOwnMan}, {"e7", kOtherMan}, {"g7", kOtherKing}});
  ASSERT_TRUE(promotion.ApplyMove("D6-F8-H6"));
  EXPECT_EQ(promotion, Board({{"h6", kOwnKing}}));

  // Malformed texts change nothing.
  TCheckersPosition untouched;
  for (const char* text : {"", "c3", "c3-", "c3-d4-", "c3-i4", "c3-d9", "c3-c5", "c3-e4", "a2-h1"})
    EXPECT_FALSE(untouched.ApplyMove(text)) << text;
  EXPECT_EQ(untouched, TCheckersPosition());
}

TEST(CheckersRules, StartPositionMovesInGenerationOrder) {
  EXPECT_EQ(MovesOf(TCheckersPosition()),
            (TCheckersMoveArray{"a3-b4", "c3-b4", "c3-d4", "e3-d4", "e3-f4", "g3-f4", "g3-h4"}));
}

TEST(CheckersRules, CapturesAreCompulsoryAndMenMayStopAfterAnyJump) {
  // The man on a3 could step, but c3 can take: only captures are listed.
  TCheckersThinker thinker;
  thinker.Position = Board({{"a3", kOwnMan}, {"c3", kOwnMan}, {"d4", kOtherMan}});
  thinker.GenerateMoves();
  EXPECT_TRUE(thinker.CaptureFound);
  EXPECT_EQ(thinker.Moves, TCheckersMoveArray{"c3-e5"});

  // A double jump gives both the single and the double jump.
  EXPECT_EQ(MovesOf(Board({{"c3", kOwnMan}, {"d4", kOtherMan}, {"f6", kOtherKing}})),
            (TCheckersMoveArray{"c3-e5", "c3-e5-g7"}));

  // Men capture backwards too; simple moves stay forward only.
  EXPECT_EQ(MovesOf(Board({{"e5", kOwnMan}, {"d4", kOtherMan}})), TCheckersMoveArray{"e5-c3"});
  EXPECT_EQ(MovesOf(Board({{"e5", kOwnMan},
                           {"d6", kOtherMan},
                           {"f6", kOtherMan},
                           {"c7", kOtherMan},
                           {"g7", kOtherMan}})),
            TCheckersMoveArray{});

  thinker.Position = TCheckersPosition();
  thinker.GenerateMoves();
  EXPECT_FALSE(thinker.CaptureFound);
}

TEST(CheckersRules, CapturedPiecesAndTheStartSquareBlockUntilTheMoveEnds) {
  // Four men around c3: each ring of jumps stops before c3 (still occupied),
  // and no taken man is jumped twice.
  EXPECT_EQ(
      MovesOf(Board({{"c3", kOwnMan},
                     {"d4", kOtherMan},
                     {"f4", kOtherMan},
                     {"f2", kOtherMan},
                     {"d2", kOtherMan}})),
      (TCheckersMoveArray{"c3-e1", "c3-e1-g3", "c3-e1-g3-e5", "c3-e5", "c3-e5-g3", "c3-e5-g3-e1"}));
  TCheckersPosition position = Board({{"c3", kOwnMan},
                                      {"d4", kOtherMan},
                                      {"f4", kOtherMan},
                                      {"f2", kOtherMan},
                                      {"d2", kOtherMan}});
  position.ApplyMove("c3-e1-g3-e5");
  EXPECT_EQ(position, Board({{"e5", kOwnMan}, {"d4", kOtherMan}}));
}

TEST(CheckersRules, KingLandingChoicesAndFirstContinuationOnly) {
  // Two empty squares beyond the victim and nothing to take from either.
  EXPECT_EQ(MovesOf(Board({{"a1", kOwnKing}, {"c3", kOtherMan}, {"f6", kOwnMan}})),
            (TCheckersMoveArray{"a1-d4", "a1-e5"}));

  // From c3 the king could go on over b4, from d4 over e3: only the first
  // landing square with a continuation is followed, and no short text stays.
  EXPECT_EQ(
      MovesOf(Board({{"a1", kOwnKing}, {"b2", kOtherMan}, {"b4", kOtherMan}, {"e3", kOtherMan}})),
      TCheckersMoveArray{"a1-c3-a5"});

  // Simple king moves: every direction, nearest square first.
  EXPECT_EQ(MovesOf(Board({{"b2", kOwnKing}, {"d4", kOwnMan}})),
            (TCheckersMoveArray{"b2-a1", "b2-a3", "b2-c1", "b2-c3", "d4-c5", "d4-e5"}));
}

TEST(CheckersRules, PromotionDuringCapture) {
  // Reaching f8 the man goes on as a king over g7: only the long sequence.
  EXPECT_EQ(MovesOf(Board({{"d6", kOwnMan}, {"e7", kOtherMan}, {"g7", kOtherMan}})),
            TCheckersMoveArray{"d6-f8-h6"});
  // With nothing more to take the capture ends on the promotion square.
  TCheckersPosition position = Board({{"d6", kOwnMan}, {"e7", kOtherMan}});
  EXPECT_EQ(MovesOf(position), TCheckersMoveArray{"d6-f8"});
  position.ApplyMove("d6-f8");
  EXPECT_EQ(position.Squares[SquareIndex(5, 7)], kOwnKing);
  // A simple move onto rank 8 promotes as well.
  position = Board({{"a7", kOwnMan}});
  EXPECT_EQ(MovesOf(position), TCheckersMoveArray{"a7-b8"});
  position.ApplyMove("a7-b8");
  EXPECT_EQ(position, Board({{"b8", kOwnKing}}));
}

TEST(CheckersRules, BlockedSideHasNoMoves) {
  TCheckersThinker thinker;
  thinker.Position = Board(
      {{"a7", kOwnMan}, {"b8", kOtherMan}, {"a1", kOwnMan}, {"b2", kOtherMan}, {"c3", kOtherMan}});
  EXPECT_TRUE(thinker.HasNoMoves());
  thinker.Position = Board({{"c3", kOtherMan}});
  EXPECT_TRUE(thinker.HasNoMoves());
  thinker.Position = TCheckersPosition();
  EXPECT_FALSE(thinker.HasNoMoves());
}

TEST(CheckersRules, LegalMoveAndPrefixIgnoreCase) {
  TCheckersThinker thinker;
  thinker.Position = Board({{"c3", kOwnMan}, {"d4", kOtherMan}, {"f6", kOtherKing}});
  EXPECT_FALSE(thinker.IsLegalMove("c3-e5"));  // nothing generated yet
  thinker.GenerateMoves();
  EXPECT_TRUE(thinker.IsLegalMove("c3-e5"));
  EXPECT_TRUE(thinker.IsLegalMove("C3-E5-G7"));
  EXPECT_FALSE(thinker.IsLegalMove("c3-e5-"));
  EXPECT_FALSE(thinker.IsLegalMove("c3"));
  EXPECT_TRUE(thinker.IsMovePrefix("c3"));
  EXPECT_TRUE(thinker.IsMovePrefix("C3-e5-g"));
  EXPECT_TRUE(thinker.IsMovePrefix(""));
  EXPECT_FALSE(thinker.IsMovePrefix("c3-d4"));
  EXPECT_FALSE(thinker.IsMovePrefix("c3-e5-g7-h8"));
}

TEST(CheckersRules, GeneratorMatchesThePlainTranscription) {
  // Texts, order and the capture flag on positions of every kind.
  std::mt19937 random(11);
  std::vector<TCheckersPosition> positions = fixtures::RandomPlayPositions(5, 3000);
  for (int i = 0; i < 3000; ++i)
    positions.push_back(fixtures::RandomEndgame(random, 1 + i % 5, 1 + i % 4, i % 6, i % 7));
  TCheckersThinker fast;
  plain::TPlainThinker slow;
  for (const TCheckersPosition& position : positions) {
    fast.Position = slow.Position = position;
    fast.GenerateMoves();
    slow.GenerateMoves();
    ASSERT_EQ(fast.Moves, slow.Moves);
    ASSERT_EQ(fast.CaptureFound, slow.CaptureFound);
  }
}

}  // namespace
}  // namespace checkers
