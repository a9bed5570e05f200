#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "games/chess/ChessBoard.h"
#include "games/chess/ChessThinker.h"
#include "tests/chess/ChessTestPositions.h"

namespace {

using chess::TChessMove;
using chess::TChessPosition;
using chess::TChessThinker;
using chess_test::MoveTexts;
using chess_test::Pos;

std::string LegalMoves(const TChessPosition& position) {
  TChessThinker thinker;
  thinker.SetPosition(position);
  thinker.GenerateLegalMoves();
  return MoveTexts(thinker.Moves);
}

bool HasMove(const TChessPosition& position, const std::string& text) {
  const std::string moves = " " + LegalMoves(position) + " ";
  return moves.find(" " + text + " ") != std::string::npos;
}

TChessMove Move(int fromX, int fromY, int toX, int toY, bool capture = false) {
  return {fromX, fromY, toX, toY, capture};
}

TEST(ChessRules, StartPositionHasTwentyMovesInGenerationOrder) {
  EXPECT_EQ(LegalMoves(TChessPosition()),
            "B1-A3 B1-C3 G1-F3 G1-H3 A2-A4 A2-A3 B2-B4 B2-B3 C2-C4 C2-C3 D2-D4 D2-D3 "
            "E2-E4 E2-E3 F2-F4 F2-F3 G2-G4 G2-G3 H2-H4 H2-H3");
  // The start position and its text agree, and a flipped start is the start.
  TChessPosition start;
  EXPECT_EQ(chess::PositionToText(start), "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR KQkq -");
  start.Flip();
  EXPECT_EQ(start, TChessPosition());
  EXPECT_EQ(TChessPosition().Evaluate(), 0);
}

TEST(ChessRules, EnPassantIsSetByADoubleStepOnlyAndTakesThePawnBeside) {
  TChessPosition position;
  position.ApplyMove(Move(4, 1, 4, 3));
  EXPECT_EQ(position.EnPassant, (platform::TPoint{4, 2}));
  position.Flip();
  EXPECT_EQ(position.EnPassant, (platform::TPoint{4, 5}));
  position.ApplyMove(Move(6, 0, 5, 2));
  EXPECT_EQ(position.EnPassant, (platform::TPoint{-1, -1}));

  const TChessPosition ready = Pos("4k3/8/8/3pP3/8/8/8/4K3 - d6");
  TChessThinker thinker;
  thinker.SetPosition(ready);
  thinker.GenerateLegalMoves();
  const auto taking = std::find_if(thinker.Moves.begin(), thinker.Moves.end(),
                                   [](const TChessMove& m) { return m.ToX == 3 && m.ToY == 5; });
  ASSERT_NE(taking, thinker.Moves.end());
  EXPECT_FALSE(taking->Capture);
  EXPECT_EQ(TChessPosition::MoveToText(*taking), "E5-D6");
  TChessPosition after = ready;
  after.ApplyMove(*taking);
  EXPECT_EQ(chess::PositionToText(after), "4k3/8/3P4/8/8/8/8/4K3 - -");

  // Taking en passant is refused when it opens the king's rank, and only
  // possible straight after the double step.
  EXPECT_FALSE(HasMove(Pos("8/8/8/K2pP2r/8/8/8/4k3 - d6"), "E5-D6"));
  EXPECT_FALSE(HasMove(Pos("4k3/8/8/3pP3/8/8/8/4K3 - -"), "E5-D6"));
}

TEST(ChessRules, PawnsPromoteToAQueenWithAndWithoutCapture) {
  const TChessPosition position = Pos("3rk3/2P5/8/8/8/8/8/4K3 - -");
  EXPECT_TRUE(HasMove(position, "C7-C8"));
  EXPECT_TRUE(HasMove(position, "C7:D8"));
  TChessPosition straight = position;
  straight.ApplyMove(Move(2, 6, 2, 7));
  EXPECT_EQ(straight.GetSquare({2, 7}), chess::MakePiece(chess::kQueen, chess::kSideToMove));
  TChessPosition capture = position;
  capture.ApplyMove(Move(2, 6, 3, 7, true));
  EXPECT_EQ(chess::PositionToText(capture), "3Qk3/8/8/8/8/8/8/4K3 - -");
}

TEST(ChessRules, CastlingIsRefusedInCheckAcrossAttacksAndWithoutRights) {
  const std::string open = "r3k2r/8/8/8/8/8/8/R3K2R ";
  EXPECT_TRUE(HasMove(Pos(open + "KQkq -"), "E1-G1"));
  EXPECT_TRUE(HasMove(Pos(open + "KQkq -"), "E1-C1"));
  // In check.
  EXPECT_FALSE(HasMove(Pos("r3k2r/8/8/8/4r3/8/8/R3K2R KQkq -"), "E1-G1"));
  EXPECT_FALSE(HasMove(Pos("r3k2r/8/8/8/4r3/8/8/R3K2R KQkq -"), "E1-C1"));
  // Through or onto an attacked square; the other side stays allowed.
  EXPECT_FALSE(HasMove(Pos("r3k2r/8/8/8/5r2/8/8/R3K2R KQkq -"), "E1-G1"));
  EXPECT_TRUE(HasMove(Pos("r3k2r/8/8/8/5r2/8/8/R3K2R KQkq -"), "E1-C1"));
  EXPECT_FALSE(HasMove(Pos("r3k2r/8/8/8/6r1/8/8/R3K2R KQkq -"), "E1-G1"));
  EXPECT_FALSE(HasMove(Pos("r3k2r/8/8/8/3r4/8/8/R3K2R KQkq -"), "E1-C1"));
  EXPECT_TRUE(HasMove(Pos("r3k2r/8/8/8/3r4/8/8/R3K2R KQkq -"), "E1-G1"));
  EXPECT_FALSE(HasMove(Pos("r3k2r/8/8/8/2r5/8/8/R3K2R KQkq -"), "E1-C1"));
  // A reply landing on b1 refuses the long castling; a pawn's diagonal onto
  // the empty b1 is no such reply.
  EXPECT_FALSE(HasMove(Pos("r3k2r/8/8/8/1r6/8/8/R3K2R KQkq -"), "E1-C1"));
  EXPECT_FALSE(HasMove(Pos("r3k2r/8/8/8/8/n7/8/R3K2R KQkq -"), "E1-C1"));
  EXPECT_TRUE(HasMove(Pos("r3k2r/8/8/8/8/8/p7/R3K2R KQkq -"), "E1-C1"));
  // A pawn's diagonal onto the rook that has just arrived does count.
  EXPECT_FALSE(HasMove(Pos("r3k2r/8/8/8/8/8/6p1/R3K2R KQkq -"), "E1-G1"));
  // A piece between king and rook.
  EXPECT_FALSE(HasMove(Pos("r3k2r/8/8/8/8/8/8/RN2K1NR KQkq -"), "E1-C1"));
  EXPECT_FALSE(HasMove(Pos("r3k2r/8/8/8/8/8/8/R3KB1R KQkq -"), "E1-G1"));
  // Rights lost.
  EXPECT_FALSE(HasMove(Pos(open + "Qkq -"), "E1-G1"));
  EXPECT_FALSE(HasMove(Pos(open + "Kkq -"), "E1-C1"));
}

TEST(ChessRules, CastlingRightsFollowKingAndRookMovesAndCaptures) {
  const TChessPosition open = Pos("r3k2r/8/8/8/8/8/6B1/R3K2R KQkq -");
  TChessPosition king = open;
  king.ApplyMove(Move(4, 0, 4, 1));
  EXPECT_FALSE(king.OwnLongCastle || king.OwnShortCastle);
  EXPECT_TRUE(king.OppLongCastle && king.OppShortCastle);
  TChessPosition rook = open;
  rook.ApplyMove(Move(0, 0, 0, 5));
  EXPECT_FALSE(rook.OwnLongCastle);
  EXPECT_TRUE(rook.OwnShortCastle);
  rook.ApplyMove(Move(7, 0, 7, 2));
  EXPECT_FALSE(rook.OwnShortCastle);

  // The bishop takes the rook on a8: the other side loses its long castling,
  // which after the flip is its own.
  TChessPosition taken = open;
  taken.ApplyMove(Move(6, 1, 0, 7, true));
  EXPECT_FALSE(taken.OppLongCastle);
  EXPECT_TRUE(taken.OppShortCastle);
  taken.Flip();
  EXPECT_FALSE(taken.OwnLongCastle);
  EXPECT_TRUE(taken.OwnShortCastle);
  // A new rook on the corner does not bring the right back.
  taken.SetSquare({0, 0}, chess::MakePiece(chess::kRook, chess::kSideToMove));
  EXPECT_FALSE(HasMove(taken, "E1-C1"));
  EXPECT_TRUE(HasMove(taken, "E1-G1"));
  // The same on h8 takes the short right; the other side taking on h1 is that
  // capture seen from its side, and costs us our short right.
  taken = open;
  taken.ApplyMove(Move(6, 1, 7, 7, true));
  EXPECT_FALSE(taken.OppShortCastle);
  EXPECT_TRUE(taken.OppLongCastle && taken.OwnShortCastle && taken.OwnLongCastle);
  taken = Pos("r3k2r/6b1/8/8/8/8/8/R3K2R KQkq -");
  taken.Flip();
  taken.ApplyMove(Move(6, 1, 7, 7, true));
  taken.Flip();
  EXPECT_EQ(chess::PositionToText(taken), "r3k2r/8/8/8/8/8/8/R3K2b Qkq -");

  // Castling moves the rook too.
  TChessPosition castled = open;
  castled.ApplyMove(Move(4, 0, 2, 0));
  EXPECT_EQ(chess::PositionToText(castled), "r3k2r/8/8/8/8/8/6B1/2KR3R kq -");
  castled = open;
  castled.ApplyMove(Move(4, 0, 6, 0));
  EXPECT_EQ(chess::PositionToText(castled), "r3k2r/8/8/8/8/8/6B1/R4RK1 kq -");
}

TEST(ChessRules, NoLegalMoveIsMateInCheckAndStalemateOtherwise) {
  TChessThinker mate;
  mate.SetPosition(Pos("8/8/8/8/8/8/1q6/K1k5 - -"));
  EXPECT_TRUE(mate.IsInCheck());
  EXPECT_TRUE(mate.IsCheckmate());
  EXPECT_FALSE(mate.IsStalemate());

  TChessThinker stalemate;
  stalemate.SetPosition(Pos("8/8/8/8/8/1q6/8/K1k5 - -"));
  EXPECT_FALSE(stalemate.IsInCheck());
  EXPECT_TRUE(stalemate.IsStalemate());
  EXPECT_FALSE(stalemate.IsCheckmate());

  // In check with a way out is neither; IsInCheck leaves Position and Moves alone.
  TChessThinker check;
  check.SetPosition(Pos("4k2q/8/8/8/8/8/8/K7 - -"));
  check.GenerateLegalMoves();
  EXPECT_EQ(MoveTexts(check.Moves), "A1-B1 A1-A2");
  const chess::TChessMoveArray moves = check.Moves;
  const TChessPosition before = check.Position;
  EXPECT_TRUE(check.IsInCheck());
  EXPECT_EQ(check.Moves, moves);
  EXPECT_EQ(check.Position, before);
  EXPECT_FALSE(check.IsCheckmate() || check.IsStalemate());
}

TEST(ChessRules, FlipIsAMirrorAndTwiceTheIdentity) {
  const TChessPosition position = Pos("r3k2r/1P6/8/8/3p4/8/6p1/R3K1NR Kq e3");
  TChessPosition flipped = position;
  flipped.Flip();
  // Files stay, ranks mirror, colours and the castling sides swap.
  EXPECT_EQ(chess::PositionToText(flipped), "r3k1nr/6P1/8/3P4/8/8/1p6/R3K2R Qk e6");
  flipped.Flip();
  EXPECT_EQ(flipped, position);
  // An en-passant square on the a-file mirrors too.
  flipped = Pos("8/8/8/8/P7/8/8/8 - a3");
  flipped.Flip();
  EXPECT_EQ(chess::PositionToText(flipped), "8/8/8/p7/8/8/8/8 - a6");
  for (const TChessPosition& random : chess_test::RandomPlayPositions(200, 7)) {
    TChessPosition twice = random;
    twice.Flip();
    twice.Flip();
    EXPECT_EQ(twice, random);
    EXPECT_EQ(
        random.Evaluate(), -[&] {
          TChessPosition other = random;
          other.Flip();
          return other.Evaluate();
        }());
  }
  EXPECT_EQ(TChessPosition::MirrorMove(Move(3, 6, 4, 4, true)), Move(3, 1, 4, 3, true));
  EXPECT_EQ(TChessPosition::MoveToText(Move(3, 3, 4, 4, true)), "D4:E5");
}

TEST(ChessRules, EvaluationCountsPlacementAndRooksBehindPawns) {
  // A lone pawn on d4 against a lone king: 100 + 5 x (3 + 2) + 2.
  const TChessPosition pawn = Pos("4k3/8/8/8/3P4/8/8/4K3 - -");
  EXPECT_EQ(pawn.SideScore(), 10000 + 127);
  EXPECT_EQ(pawn.OpponentScore(), 10000);
  // The same pawn with its rook on d1: the rook's 500 + 2 x 3 and 16.
  EXPECT_EQ(Pos("4k3/8/8/8/3P4/8/8/3RK3 - -").SideScore(), 10000 + 127 + 506 + 16);
  // Kings on g1 and c1 and a knight in the centre, seen from their own side.
  EXPECT_EQ(Pos("6k1/8/8/8/8/8/8/2K5 - -").Evaluate(), 32 - 12);
  EXPECT_EQ(Pos("4k3/8/8/4n3/8/8/8/4K3 - -").OpponentScore(), 10000 + 300 + 2 * (3 + 3));
  // A rook in the h1 corner adds its bare 500.
  EXPECT_EQ(Pos("4k3/8/8/8/8/8/8/4K2R - -").SideScore(),
            Pos("4k3/8/8/8/8/8/8/4K3 - -").SideScore() + 500);
}

TEST(ChessRules, PositionTextRejectsMalformedInput) {
  for (const char* bad : {"", "8/8/8/8/8/8/8 - -", "8/8/8/8/8/8/8/8 -", "9/8/8/8/8/8/8/8 - -",
                          "7/8/8/8/8/8/8/8 - -", "8/8/8/8/8/8/8/7x - -", "8/8/8/8/8/8/8/8 KK -",
                          "8/8/8/8/8/8/8/8 X -", "8/8/8/8/8/8/8/8 - i3", "8/8/8/8/8/8/8/8 - e9",
                          "8/8/8/8/8/8/8/8  - -", "8/8/8/8/8/8/8/7p1 - -"})
    EXPECT_THROW(chess::PositionFromText(bad), std::invalid_argument) << bad;
  // Text round-trips, en-passant squares to the corners of the board included.
  for (const char* text : {chess_test::kKiwipete, "8/8/8/8/8/8/8/8 - a3", "8/8/8/8/8/8/8/8 - h6",
                           "8/8/8/8/8/8/8/8 - a1", "8/8/8/8/8/8/8/8 - h8"})
    EXPECT_EQ(chess::PositionToText(Pos(text)), text);
  // Squares off the board read as empty and ignore writes.
  TChessPosition position;
  position.SetSquare({8, 0}, 5);
  position.ClearSquare({-1, 3});
  EXPECT_EQ(position.GetSquare({0, 8}), 0);
  EXPECT_EQ(position, TChessPosition());
  // A square holding no known piece prints as empty.
  position = Pos("8/8/8/8/8/8/8/8 - -");
  position.SetSquare({0, 0}, 7);
  EXPECT_EQ(chess::PositionToText(position), "8/8/8/8/8/8/8/8 - -");
}

}  // namespace
