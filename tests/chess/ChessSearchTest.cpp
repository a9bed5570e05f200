#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "app/Random.h"
#include "games/chess/ChessSearchBoard.h"
#include "games/chess/ChessThinker.h"
#include "tests/app/LogCapture.h"
#include "tests/chess/ChessTestPositions.h"
#include "tests/chess/PlainChessSearch.h"

namespace {

using chess::TChessMove;
using chess::TChessPosition;
using chess::TChessThinker;
using chess_test::Pos;

std::string Text(const TChessPosition& position) { return chess::PositionToText(position); }

std::vector<TChessPosition> SpecialPositions() {
  std::vector<TChessPosition> positions;
  for (const std::string& text : chess_test::SpecialPositions()) positions.push_back(Pos(text));
  return positions;
}

// The oracle's legal moves as the product's move records.
chess::TChessMoveArray OracleMoves(const TChessPosition& position) {
  plain_chess::Chess oracle = plain_chess::Chess::From(position);
  oracle.GenerateLegal();
  chess::TChessMoveArray moves;
  for (const plain_chess::Move& m : oracle.moves)
    moves.push_back({m.fx, m.fy, m.tx, m.ty, m.capture});
  return moves;
}

TEST(ChessSearch, GenerationLegalityAndShallowValuesMatchThePlainRules) {
  std::vector<TChessPosition> positions = chess_test::RandomPlayPositions(2500, 11);
  for (const TChessPosition& special : SpecialPositions()) positions.push_back(special);
  for (std::size_t i = 0; i < positions.size(); ++i) {
    const TChessPosition& position = positions[i];
    SCOPED_TRACE(Text(position));
    TChessThinker thinker;
    thinker.SetPosition(position);
    thinker.GenerateLegalMoves();
    ASSERT_EQ(thinker.Moves, OracleMoves(position));
    plain_chess::Chess oracle = plain_chess::Chess::From(position);
    ASSERT_EQ(thinker.IsInCheck(), oracle.InCheck());
    ASSERT_EQ(thinker.Search(0), oracle.Search(0));
    ASSERT_EQ(thinker.Search(1), oracle.Search(1));
    if (i % 25 == 0) {
      ASSERT_EQ(thinker.Perft(2), oracle.Perft(2));
      ASSERT_EQ(thinker.Search(2), oracle.Search(2));
    }
    ASSERT_EQ(thinker.Position, position);
  }
}

TEST(ChessSearch, SearchBoardPlaysMovesLikeThePosition) {
  // Every pseudo move made on the search board gives the position ApplyMove
  // and Flip give, with the evaluation it predicted.
  std::vector<TChessPosition> positions = chess_test::RandomPlayPositions(400, 5);
  for (const TChessPosition& special : SpecialPositions()) positions.push_back(special);
  for (const TChessPosition& position : positions) {
    const auto board = chess::TSearchBoard::FromPosition(position);
    ASSERT_TRUE(board.has_value()) << Text(position);
    ASSERT_EQ(board->Evaluate(), position.Evaluate());
    chess::TSearchBoard::TMoveList list;
    board->GeneratePseudoMoves(list);
    TChessThinker thinker;
    thinker.SetPosition(position);
    thinker.GeneratePseudoMoves();
    ASSERT_EQ(static_cast<std::size_t>(list.Count), thinker.Moves.size()) << Text(position);
    // The single-move test agrees with the generation, castlings aside.
    std::array<std::array<bool, 64>, 64> generated{};
    for (int i = 0; i < list.Count; ++i) {
      const chess::TSearchBoard::TMove move = list.Moves[i];
      const bool castling = chess::PieceType(position.Squares[move.From]) == chess::kKing &&
                            move.From == 4 && (move.To == 6 || move.To == 2);
      generated[move.From][move.To] = !castling;
    }
    for (std::uint8_t from = 0; from < 64; ++from)
      for (std::uint8_t to = 0; to < 64; ++to)
        ASSERT_EQ(board->IsPseudoMove({from, to}), generated[from][to])
            << Text(position) << " " << int(from) << "-" << int(to);
    for (int i = 0; i < list.Count; ++i) {
      const chess::TSearchBoard::TMove move = list.Moves[i];
      chess::TSearchBoard after = *board;
      after.MakeMove(move);
      TChessPosition expected = position;
      expected.ApplyMove({move.From & 7, move.From >> 3, move.To & 7, move.To >> 3, false});
      ASSERT_EQ(-after.Evaluate(), board->Evaluate() + board->Gain(move)) << Text(position);
      expected.Flip();
      ASSERT_EQ(after.Evaluate(), expected.Evaluate()) << Text(position);
      for (int square = 0; square < 64; ++square) {
        const std::uint16_t value = expected.Squares[square];
        ASSERT_EQ(after.SquareValue(square), chess::PieceType(value) ? value : 0)
            << Text(position) << " square " << square;
      }
    }
  }
}

TEST(ChessSearch, RootScoresEqualThePlainSearch) {
  // Full 3-ply root scores on written positions and a spread of random ones;
  // the larger run is the benchmark's comparison mode.
  std::vector<TChessPosition> positions = SpecialPositions();
  const std::vector<TChessPosition> random = chess_test::RandomPlayPositions(3000, 23);
  for (std::size_t i = 0; i < random.size(); i += 150) positions.push_back(random[i]);
  for (const TChessPosition& position : positions) {
    TChessThinker thinker;
    thinker.SetPosition(position);
    thinker.GenerateLegalMoves();
    plain_chess::Chess oracle = plain_chess::Chess::From(position);
    EXPECT_EQ(thinker.ScoreMoves(thinker.Moves), oracle.RootScores()) << Text(position);
  }
}

TEST(ChessSearch, PositionsOutsideTheSearchBoardFallBackToThePlainRules) {
  // An en-passant square no double step could leave, and a piece whose
  // colour byte is neither side's: the rules still apply literally.
  for (const char* text : {"4k3/8/8/8/8/8/3P4/4K3 - e3", "4k3/8/8/8/8/8/8/R3K2R KQ e1",
                           "4k3/8/4p3/3P4/8/8/8/4K3 - e6"}) {
    const TChessPosition position = Pos(text);
    EXPECT_FALSE(chess::TSearchBoard::FromPosition(position).has_value()) << text;
    TChessThinker thinker;
    thinker.SetPosition(position);
    thinker.GenerateLegalMoves();
    plain_chess::Chess oracle = plain_chess::Chess::From(position);
    EXPECT_EQ(thinker.Moves, OracleMoves(position)) << text;
    EXPECT_EQ(thinker.ScoreMoves(thinker.Moves), oracle.RootScores()) << text;
    EXPECT_EQ(thinker.Perft(3), oracle.Perft(3)) << text;
  }
  TChessPosition odd = Pos("4k3/8/8/8/8/8/8/4K2R K -");
  odd.SetSquare({3, 3}, chess::MakePiece(chess::kKnight, 2));
  EXPECT_FALSE(chess::TSearchBoard::FromPosition(odd).has_value());
  TChessThinker thinker;
  thinker.SetPosition(odd);
  thinker.Search(2);
  thinker.Perft(2);
  EXPECT_EQ(thinker.Position, odd);
}

TEST(ChessSearch, WrittenPositionsCountLikeThePlainRules) {
  // Three plies of castling, en passant and promotion, where the search
  // board decides legality below the first move.
  for (const std::string& text : chess_test::SpecialPositions()) {
    if (text == chess_test::kKiwipete) continue;
    TChessThinker thinker;
    thinker.SetPosition(Pos(text));
    plain_chess::Chess oracle = plain_chess::Chess::From(thinker.Position);
    EXPECT_EQ(thinker.Perft(3), oracle.Perft(3)) << text;
  }
}

TEST(ChessSearch, PerftFromTheStartMatchesTheStandardCounts) {
  TChessThinker thinker;
  const std::uint64_t expected[] = {1, 20, 400, 8902, 197281, 4865609};
  for (int depth = 0; depth <= 5; ++depth) EXPECT_EQ(thinker.Perft(depth), expected[depth]);
  thinker.SetPosition(Pos(chess_test::kKiwipete));
  plain_chess::Chess oracle = plain_chess::Chess::From(thinker.Position);
  EXPECT_EQ(thinker.Perft(1), 48u);
  // One less than the usual 2039: after Nxd7 the knight reaches b8, and a
  // reply landing on b8 refuses Black's long castling.
  EXPECT_EQ(thinker.Perft(2), 2038u);
  EXPECT_EQ(oracle.Perft(2), 2038u);
  EXPECT_EQ(thinker.Perft(3), oracle.Perft(3));
}

TEST(ChessSearch, BestMoveIsLegalLeavesThePositionAndLogsItsSteps) {
  TLogCapture log;
  TChessThinker thinker;
  thinker.SetPosition(Pos(chess_test::kKiwipete));
  const TChessPosition before = thinker.Position;
  TChessMove move{-5, -5, -5, -5, true};
  {
    app::TFixedRandom draw(60);
    thinker.GetBestWhiteMove(move);
  }
  EXPECT_EQ(thinker.Position, before);
  const chess::TChessMoveArray legal = OracleMoves(before);
  EXPECT_NE(std::find(legal.begin(), legal.end(), move), legal.end());
  const std::vector<std::string> lines = log.Messages();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "TChessThinker.GetBestWhiteMove:Amount=48");
  EXPECT_EQ(lines[1], "TChessThinker.GetBestWhiteMove:Sort");
  // The draw 60 picks the second best unless the best is clearly ahead.
  EXPECT_TRUE(lines[2] == "TChessThinker.GetBestWhiteMove:Dice=60" ||
              lines[2] == "TChessThinker.GetBestWhiteMove:Dice=0");
  EXPECT_EQ(lines[3], lines[2] == "TChessThinker.GetBestWhiteMove:Dice=60"
                          ? "TChessThinker.GetBestWhiteMove:Choice=1"
                          : "TChessThinker.GetBestWhiteMove:Choice=0");

  // The pick is the record of that rank after the exchange sort.
  std::vector<int> scores = thinker.ScoreMoves(legal);
  std::vector<chess::TScoreRecord> records;
  for (int i = 0; i < static_cast<int>(scores.size()); ++i) records.push_back({scores[i], i});
  chess::SortScoreRecords(records);
  const int rank = lines[3].back() - '0';
  EXPECT_EQ(move, legal[records[rank].Index]);
}

TEST(ChessSearch, MatesAreTakenAndLoneMovesPlayedWhateverTheDraw) {
  for (int r : {0, 55, 85, 93, 99}) {
    app::TFixedRandom draw(r);
    TChessThinker mate;
    mate.SetPosition(Pos("6k1/5ppp/8/8/8/8/8/R5K1 - -"));
    TChessMove move;
    mate.GetBestWhiteMove(move);
    EXPECT_EQ(TChessPosition::MoveToText(move), "A1-A8") << r;

    TChessThinker lone;
    lone.SetPosition(Pos("8/8/8/8/3k4/8/1r6/K7 - -"));
    lone.GenerateLegalMoves();
    ASSERT_EQ(lone.Moves.size(), 1u);
    lone.GetBestWhiteMove(move);
    EXPECT_EQ(TChessPosition::MoveToText(move), "A1:B2") << r;
  }
  // With no legal move the record is left untouched and only Amount is logged.
  TLogCapture log;
  TChessThinker none;
  none.SetPosition(Pos("8/8/8/8/8/8/1q6/K1k5 - -"));
  TChessMove untouched{1, 2, 3, 4, true};
  none.GetBestWhiteMove(untouched);
  EXPECT_EQ(untouched, (TChessMove{1, 2, 3, 4, true}));
  EXPECT_EQ(log.Messages(), std::vector<std::string>{"TChessThinker.GetBestWhiteMove:Amount=0"});
}

TEST(ChessSearch, ExchangeSortAndRankTableFollowTheOdds) {
  std::vector<chess::TScoreRecord> records{{5, 0}, {9, 1}, {5, 2}, {9, 3}, {1, 4}};
  chess::SortScoreRecords(records);
  std::vector<int> order;
  for (const chess::TScoreRecord& record : records) order.push_back(record.Index);
  EXPECT_EQ(order, (std::vector<int>{1, 3, 2, 0, 4}));
  // Ranks by draw with five moves, and the fallback to the best when a rank
  // does not exist.
  EXPECT_EQ(chess::ChooseRank(50, 5), 0);
  EXPECT_EQ(chess::ChooseRank(51, 5), 1);
  EXPECT_EQ(chess::ChooseRank(80, 5), 1);
  EXPECT_EQ(chess::ChooseRank(81, 5), 2);
  EXPECT_EQ(chess::ChooseRank(91, 5), 3);
  EXPECT_EQ(chess::ChooseRank(96, 5), 4);
  EXPECT_EQ(chess::ChooseRank(99, 4), 0);
  EXPECT_EQ(chess::ChooseRank(93, 3), 0);
  EXPECT_EQ(chess::ChooseRank(85, 3), 2);
  EXPECT_EQ(chess::ChooseRank(60, 1), 0);
}

}  // namespace
