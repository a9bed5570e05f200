#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <future>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "app/Random.h"
#include "games/chess/ChessEngine.h"
#include "games/chess/ChessEngineBoard.h"
#include "games/chess/ChessEval.h"
#include "games/chess/ChessThinker.h"
#include "tests/app/LogCapture.h"
#include "tests/chess/ChessTestPositions.h"

namespace {

using chess::TChessEngine;
using chess::TChessMove;
using chess::TChessPosition;
using chess::TEngineBoard;
using chess::TEngineMove;
using chess::TRules;
using chess::TSearchLimits;
using chess::TSearchResult;

TEngineBoard Fen(const std::string& fen, TRules rules = TRules::Standard) {
  std::string error;
  std::optional<TEngineBoard> board = TEngineBoard::FromFen(fen, rules, &error);
  EXPECT_TRUE(board) << fen << ": " << error;
  return board ? *board : TEngineBoard(rules);
}

std::uint64_t Perft(const TEngineBoard& board, int depth) {
  const std::vector<TEngineMove> moves = board.LegalMoves();
  if (depth <= 1) return depth == 1 ? moves.size() : 1;
  std::uint64_t count = 0;
  for (const TEngineMove& move : moves) {
    TEngineBoard next = board;
    next.Play(move);
    count += Perft(next, depth - 1);
  }
  return count;
}

auto MoveKey(const TChessMove& m) { return std::tie(m.FromX, m.FromY, m.ToX, m.ToY, m.Capture); }

chess::TChessMoveArray Sorted(chess::TChessMoveArray moves) {
  std::sort(moves.begin(), moves.end(),
            [](const TChessMove& a, const TChessMove& b) { return MoveKey(a) < MoveKey(b); });
  return moves;
}

chess::TChessMoveArray ThinkerMoves(const TChessPosition& position) {
  chess::TChessThinker thinker;
  thinker.SetPosition(position);
  thinker.GenerateLegalMoves();
  return Sorted(thinker.Moves);
}

chess::TChessMoveArray EngineMoves(const TEngineBoard& board) {
  chess::TChessMoveArray moves;
  for (const TEngineMove& move : board.LegalMoves()) moves.push_back(board.ToPositionMove(move));
  return Sorted(moves);
}

// Plays random legal moves under the program's rules and checks at every
// step that the board's moves are the thinker's on the game's position.
void CheckRandomPlayout(TEngineBoard board, std::mt19937& random, int plies) {
  for (int ply = 0; ply < plies; ++ply) {
    const TChessPosition position = board.ToPosition();
    SCOPED_TRACE(board.ToFen());
    ASSERT_EQ(EngineMoves(board), ThinkerMoves(position));
    const std::vector<TEngineMove> moves = board.LegalMoves();
    if (moves.empty()) return;
    ASSERT_TRUE(board.Play(moves[random() % moves.size()]));
  }
}

TEST(ChessEngineBoard, ProgramRulesGiveTheThinkersMovesAlongRandomGames) {
  std::mt19937 random(5);
  for (int game = 0; game < 40; ++game)
    CheckRandomPlayout(TEngineBoard(TRules::Program), random, 80);
  for (const std::string& text : chess_test::SpecialPositions()) {
    const TEngineBoard board = TEngineBoard::FromPosition(chess_test::Pos(text), TRules::Program);
    for (int game = 0; game < 6; ++game) CheckRandomPlayout(board, random, 30);
  }
}

TEST(ChessEngineBoard, ProgramRulesPerftEqualsTheThinkers) {
  for (const std::string& text : chess_test::SpecialPositions()) {
    SCOPED_TRACE(text);
    const TChessPosition position = chess_test::Pos(text);
    chess::TChessThinker thinker;
    thinker.SetPosition(position);
    EXPECT_EQ(Perft(TEngineBoard::FromPosition(position, TRules::Program), 3), thinker.Perft(3));
  }
}

TEST(ChessEngineBoard, ProgramLongCastlingAlsoWatchesB1) {
  // On the empty b1 the program lets a king castle past a pawn's diagonal
  // but not past its straight step or a piece's attack.
  const std::string diagonal = "r3k2r/8/8/8/8/8/p7/R3K2R w KQkq - 0 1";
  const std::string straight = "r3k2r/8/8/8/8/8/1p6/R3K2R w KQkq - 0 1";
  const TEngineMove longCastle{4, 2, chess::kEmpty};
  EXPECT_TRUE(Fen(diagonal, TRules::Program).IsLegal(longCastle));
  EXPECT_TRUE(Fen(diagonal, TRules::Standard).IsLegal(longCastle));
  EXPECT_FALSE(Fen(straight, TRules::Program).IsLegal(longCastle));
  // The straight step's pawn covers c1 as well.
  EXPECT_FALSE(Fen(straight, TRules::Standard).IsLegal(longCastle));
  // A rook attacking b1: only the program refuses.
  const std::string rook = "r3k2r/8/8/8/1r6/8/8/R3K2R w KQkq - 0 1";
  EXPECT_FALSE(Fen(rook, TRules::Program).IsLegal(longCastle));
  EXPECT_TRUE(Fen(rook, TRules::Standard).IsLegal(longCastle));
  // A pawn covering d1 or f1 stops both.
  EXPECT_FALSE(Fen("r3k2r/8/8/8/8/8/4p3/R3K2R w KQkq - 0 1", TRules::Standard).IsLegal(longCastle));
  EXPECT_FALSE(Fen("r3k2r/8/8/8/8/8/4p3/R3K2R w KQkq - 0 1", TRules::Standard)
                   .IsLegal({4, 6, chess::kEmpty}));
}

TEST(ChessEngineBoard, StandardPerftOfTheWellKnownPositions) {
  struct TCase {
    const char* Fen;
    int Depth;
    std::uint64_t Nodes;
  };
  const TCase cases[] = {
      {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 4, 197281},
      {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 3, 97862},
      {"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", 4, 43238},
      {"r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", 3, 9467},
      {"r2q1rk1/pP1p2pp/Q4n2/bbp1p3/Np6/1B3NBn/pPPP1PPP/R3K2R b KQ - 0 1", 3, 9467},
      {"rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8", 3, 62379},
      {"r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10", 3, 89890},
  };
  for (const TCase& c : cases) EXPECT_EQ(Perft(Fen(c.Fen), c.Depth), c.Nodes) << c.Fen;
}

TEST(ChessEngineBoard, FenRoundTripsAndBadFensSayWhy) {
  for (const char* fen : {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
                          "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
                          "rnbqkbnr/ppp1pppp/8/8/3pP3/8/PPPP1PPP/RNBQKBNR b Kq e3 0 3",
                          "8/8/8/8/8/8/8/K6k b - - 99 120"})
    EXPECT_EQ(Fen(fen).ToFen(), fen);
  EXPECT_EQ(Fen("4k3/8/8/8/8/8/8/4K3 w - -").ToFen(), "4k3/8/8/8/8/8/8/4K3 w - - 0 1");

  const std::pair<const char*, const char*> bad[] = {
      {"4k3/8/8/8/8/8/8/4K3 w", "FEN needs"},
      {"4k3/8/8/8/8/8/8/4K3 x - -", "side to move"},
      {"4k3/8/8/8/8/8/8/4X3 w - -", "bad character 'X'"},
      {"4k3/8/8/8/8/8/8/8 w - -", "White needs exactly one king"},
      {"8/8/8/8/8/8/8/8 w - -", "needs exactly one king"},
      {"4k3/8/8/8/8/8/8/4K2 w - -", "rank 1 does not hold 8 squares"},
      {"4k3/9/8/8/8/8/8/4K3 w - -", "bad character '9'"},
      {"4k3/45/8/8/8/8/8/4K3 w - -", "rank 7 does not hold 8 squares"},
      {"4k3/8/8/8/8/8/4K3 w - -", "8 ranks"},
      {"4k3/8/8/8/8/8/8/4K3 w KQx -", "bad castling rights"},
      {"4k3/8/8/8/8/8/8/4K3 w - e4", "bad en-passant square"},
      {"4k3/8/8/8/8/8/8/4K3 w - - x 1", "bad move counters"},
      {"4k2P/8/8/8/8/8/8/4K3 w - -", "first or last rank"},
      {"4k3/8/8/8/8/8/8/4K2r b - -", "not to move is in check"},
  };
  for (const auto& [fen, reason] : bad) {
    std::string error;
    EXPECT_FALSE(TEngineBoard::FromFen(fen, TRules::Standard, &error)) << fen;
    EXPECT_NE(error.find(reason), std::string::npos) << fen << ": " << error;
  }
}

TEST(ChessEngineBoard, UciMovesParseAndPrint) {
  const TEngineBoard kiwipete =
      Fen("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1");
  ASSERT_TRUE(kiwipete.ParseUci("e1g1"));
  EXPECT_EQ(*kiwipete.ParseUci("e1c1"), (TEngineMove{4, 2, chess::kEmpty}));
  EXPECT_FALSE(kiwipete.ParseUci("e1e3"));
  EXPECT_FALSE(kiwipete.ParseUci("e2"));
  EXPECT_FALSE(kiwipete.ParseUci("i2i4"));
  EXPECT_EQ(TEngineBoard::ToUci(*kiwipete.ParseUci("d5e6")), "d5e6");

  const std::string promotion = "1n2k3/P7/8/8/8/8/8/4K3 w - - 0 1";
  for (const char* text : {"a7a8q", "a7a8r", "a7b8n", "a7b8b"}) {
    const std::optional<TEngineMove> move = Fen(promotion).ParseUci(text);
    ASSERT_TRUE(move) << text;
    EXPECT_EQ(TEngineBoard::ToUci(*move), text);
  }
  EXPECT_EQ(Fen(promotion).ParseUci("a7a8")->Promotion, chess::kQueen);
  EXPECT_FALSE(Fen(promotion).ParseUci("a7a8k"));
  EXPECT_FALSE(Fen(promotion, TRules::Program).ParseUci("a7a8n"));
  EXPECT_EQ(Fen(promotion, TRules::Program).LegalMoves().size(), 2u + 5u);
  EXPECT_EQ(Fen(promotion, TRules::Standard).LegalMoves().size(), 8u + 5u);
}

TEST(ChessEngineBoard, GamePositionsOfBlackAreMirrored) {
  TChessPosition position;
  position.ApplyMove({4, 1, 4, 3, false});
  position.Flip();
  const TEngineBoard board = TEngineBoard::FromPosition(position, TRules::Program);
  EXPECT_TRUE(board.WhiteToMove());
  EXPECT_EQ(chess::PositionToText(board.ToPosition()), chess::PositionToText(position));

  TEngineBoard game(TRules::Program);
  ASSERT_TRUE(game.Play(*game.ParseUci("e2e4")));
  EXPECT_FALSE(game.WhiteToMove());
  EXPECT_EQ(chess::PositionToText(game.ToPosition()), chess::PositionToText(position));
  // Black's e7-e5 is E2-E4 in the coordinates the game shows Black.
  EXPECT_EQ(game.ToPositionMove(*game.ParseUci("e7e5")), (TChessMove{4, 1, 4, 3, false}));
}

TEST(ChessEngineBoard, RepetitionsAndTheHalfMoveClockAreCounted) {
  TEngineBoard board;
  for (int round = 0; round < 2; ++round)
    for (const char* move : {"g1f3", "g8f6", "f3g1", "f6g8"})
      ASSERT_TRUE(board.Play(*board.ParseUci(move)));
  EXPECT_EQ(board.Repetitions(), 3);
  EXPECT_EQ(board.HalfMoveClock(), 8);
  EXPECT_EQ(board.Hash(), TEngineBoard().Hash());
  ASSERT_TRUE(board.Play(*board.ParseUci("e2e4")));
  EXPECT_EQ(board.HalfMoveClock(), 0);
  EXPECT_EQ(board.Repetitions(), 1);
  EXPECT_FALSE(board.Play({12, 28, chess::kEmpty}));
}

// The same position with the colours' roles swapped: ranks mirrored,
// letters' cases swapped, the other side to move.
std::string MirroredFen(const std::string& fen) {
  std::istringstream fields(fen);
  std::string placement, side, castling, passed;
  fields >> placement >> side >> castling >> passed;
  std::vector<std::string> ranks;
  std::istringstream rankText(placement);
  for (std::string rank; std::getline(rankText, rank, '/');) ranks.push_back(rank);
  std::string mirrored;
  for (auto rank = ranks.rbegin(); rank != ranks.rend(); ++rank) {
    for (char c : *rank) mirrored += std::isalpha(c) ? static_cast<char>(c ^ 0x20) : c;
    if (rank + 1 != ranks.rend()) mirrored += '/';
  }
  std::string rights;
  for (char c : castling) rights += c == '-' ? c : static_cast<char>(c ^ 0x20);
  std::sort(rights.begin(), rights.end());
  if (passed != "-") passed[1] = passed[1] == '3' ? '6' : '3';
  return mirrored + (side == "w" ? " b " : " w ") + rights + " " + passed;
}

chess::engine::TPosition EnginePosition(const std::string& fen) {
  std::string error;
  int fullMove = 0;
  return *chess::engine::ParseFen(fen, TRules::Standard, error, fullMove);
}

TEST(ChessEngineEval, ScoresBothColoursAlike) {
  std::mt19937 random(9);
  TEngineBoard board;
  for (int ply = 0; ply < 400; ++ply) {
    const std::vector<TEngineMove> moves = board.LegalMoves();
    if (moves.empty() || board.HalfMoveClock() > 30) board = TEngineBoard();
    const std::string fen = board.ToFen();
    SCOPED_TRACE(fen);
    ASSERT_EQ(chess::engine::Evaluate(EnginePosition(fen)),
              chess::engine::Evaluate(EnginePosition(MirroredFen(fen))));
    const std::vector<TEngineMove> now = board.LegalMoves();
    board.Play(now[random() % now.size()]);
  }
}

TEST(ChessEngineEval, ExchangesCountRecapturesAndXRays) {
  struct TCase {
    const char* Fen;
    const char* Move;
    int Threshold;
    bool Wins;
  };
  const TCase cases[] = {
      {"4k3/8/8/3p4/4P3/8/8/4K3 w - - 0 1", "e4d5", 100, true},
      {"4k3/8/8/3p4/4P3/8/8/4K3 w - - 0 1", "e4d5", 101, false},
      {"4k3/2p5/3p4/8/8/8/3R4/4K3 w - - 0 1", "d2d6", 0, false},
      {"4k3/2p5/3p4/8/8/8/3R4/4K3 w - - 0 1", "d2d6", -400, true},
      // Rook takes rook, is taken, and the second rook behind takes back.
      {"3r2k1/3r4/8/8/8/8/3R4/3RK3 w - - 0 1", "d2d7", 500, true},
      {"3r2k1/3r4/8/8/8/8/3R4/3RK3 w - - 0 1", "d2d7", 501, false},
      // A king may not take back on a defended square.
      {"8/8/8/8/8/4k3/3p4/2B1K2R w - - 0 1", "c1d2", 100, true},
      // Promotion without capture gains a queen for a pawn.
      {"8/P7/8/8/8/8/8/k3K3 w - - 0 1", "a7a8q", 800, true},
  };
  for (const TCase& c : cases) {
    const TEngineBoard board = Fen(c.Fen);
    const std::optional<TEngineMove> move = board.ParseUci(c.Move);
    ASSERT_TRUE(move) << c.Fen;
    const auto packed = chess::engine::PackMove(move->From, move->To, move->Promotion);
    EXPECT_EQ(chess::engine::ExchangeAtLeast(EnginePosition(c.Fen), packed, c.Threshold), c.Wins)
        << c.Fen << " " << c.Move << " " << c.Threshold;
  }
}

TSearchResult SearchFen(const std::string& fen, int depth, TRules rules = TRules::Standard) {
  TChessEngine engine;
  TSearchLimits limits;
  limits.MaxDepth = depth;
  return engine.Search(Fen(fen, rules), limits);
}

TEST(ChessEngineSearch, FindsMatesAtTheirDistance) {
  struct TCase {
    const char* Fen;
    const char* Move;
    int MateIn;
  };
  const TCase cases[] = {
      {"6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", "a1a8", 1},
      {"k7/8/2K5/8/8/8/8/7R w - - 0 1", nullptr, 2},
      {"r5rk/5p1p/5R2/4B3/8/8/7P/7K w - - 0 1", "f6a6", 3},
      {"2r3k1/p4p2/3Rp2p/1p2P1pK/8/1P4P1/P3Q2P/1q6 b - - 0 1", "b1g6", 3},
  };
  for (const TCase& c : cases) {
    const TSearchResult result = SearchFen(c.Fen, 8);
    ASSERT_TRUE(result.Best) << c.Fen;
    if (c.Move) {
      EXPECT_EQ(TEngineBoard::ToUci(*result.Best), c.Move) << c.Fen;
    }
    EXPECT_EQ(result.Info.MateIn, c.MateIn) << c.Fen;
  }
  // The side being mated sees its own distance, negative.
  EXPECT_EQ(SearchFen("k7/8/1K6/8/8/8/8/7R b - - 0 1", 6).Info.MateIn, -1);
}

TEST(ChessEngineSearch, TakesAHangingQueenAndAvoidsLosingItsOwn) {
  EXPECT_EQ(TEngineBoard::ToUci(*SearchFen("4k3/8/8/3q4/8/8/3R4/4K3 w - - 0 1", 4).Best), "d2d5");
  const TSearchResult result = SearchFen("4k3/8/2n5/8/8/8/3Q4/4K3 b - - 0 1", 4);
  EXPECT_LT(result.Info.Score, -500);
}

TEST(ChessEngineSearch, StalemateAndRepetitionAreDraws) {
  const TSearchResult stalemate = SearchFen("k7/8/1QK5/8/8/8/8/8 b - - 0 1", 4);
  EXPECT_FALSE(stalemate.Best);
  EXPECT_EQ(stalemate.Info.Score, 0);

  // A queen down, White returns to a position met before rather than lose.
  TEngineBoard board = Fen("k7/8/8/8/8/8/q7/4K1N1 w - - 0 1");
  for (const char* move : {"g1f3", "a2b2", "f3g1", "b2a2"})
    ASSERT_TRUE(board.Play(*board.ParseUci(move)));
  TChessEngine engine;
  TSearchLimits limits;
  limits.MaxDepth = 5;
  const TSearchResult result = engine.Search(board, limits);
  EXPECT_EQ(TEngineBoard::ToUci(*result.Best), "g1f3");
  EXPECT_EQ(result.Info.Score, 0);

  // Bare kings and the fifty-move rule.
  EXPECT_EQ(SearchFen("8/8/4k3/8/8/3BK3/8/8 w - - 0 1", 4).Info.Score, 0);
  EXPECT_EQ(SearchFen("4k3/8/8/8/8/8/R7/4K3 w - - 99 80", 3).Info.Score, 0);
}

TEST(ChessEngineSearch, HonoursDepthNodesAndTheStopFlag) {
  std::vector<int> depths;
  TSearchLimits limits;
  limits.MaxDepth = 3;
  limits.OnInfo = [&](const chess::TSearchInfo& info) { depths.push_back(info.Depth); };
  TChessEngine engine;
  const TSearchResult result = engine.Search(TEngineBoard(), limits);
  EXPECT_EQ(depths, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(result.Info.Depth, 3);
  ASSERT_TRUE(result.Best);
  EXPECT_TRUE(TEngineBoard().IsLegal(*result.Best));
  EXPECT_FALSE(result.Info.Pv.empty());

  TSearchLimits nodes;
  nodes.MaxNodes = 5000;
  const TSearchResult bounded = engine.Search(TEngineBoard(), nodes);
  EXPECT_LE(bounded.Info.Nodes, 5000u);
  EXPECT_TRUE(bounded.Best);

  std::atomic<bool> stop{false};
  TSearchLimits endless;
  endless.Stop = &stop;
  const TEngineBoard kiwipete =
      Fen("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1");
  auto search = std::async(std::launch::async, [&] { return engine.Search(kiwipete, endless); });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  stop = true;
  ASSERT_EQ(search.wait_for(std::chrono::seconds(5)), std::future_status::ready);
  const TSearchResult stopped = search.get();
  ASSERT_TRUE(stopped.Best);
  EXPECT_TRUE(kiwipete.IsLegal(*stopped.Best));
}

TEST(ChessEngineSearch, SurvivesGamePositionsNoGameReaches) {
  std::mt19937 random(3);
  for (int round = 0; round < 20; ++round) {
    TChessPosition position;
    for (std::uint16_t& value : position.Squares)
      value = static_cast<std::uint16_t>(round % 2 ? random() % 0x300 : random());
    position.EnPassant = {static_cast<int>(random() % 10) - 1, static_cast<int>(random() % 10) - 1};
    const TEngineBoard board = TEngineBoard::FromPosition(position, TRules::Program);
    TChessEngine engine;
    TSearchLimits limits;
    limits.MaxDepth = 3;
    limits.MaxNodes = 20000;
    const TSearchResult result = engine.Search(board, limits);
    EXPECT_TRUE(!result.Best || board.IsLegal(*result.Best));
    EXPECT_EQ(chess::PositionToText(
                  TEngineBoard::FromPosition(board.ToPosition(), TRules::Program).ToPosition()),
              chess::PositionToText(board.ToPosition()));
  }
}

TEST(ChessEngineLevels, DeeperLevelsPlayLegalMovesInTheGamesCoordinates) {
  TChessPosition position;
  position.ApplyMove({4, 1, 4, 3, false});
  position.Flip();
  TChessEngine engine;
  TLogCapture log;
  for (int level : {1, 2}) {
    TChessMove move{};
    ASSERT_TRUE(chess::ChooseLevelMove(engine, position, {}, level, move));
    const chess::TChessMoveArray legal = ThinkerMoves(position);
    EXPECT_NE(std::find(legal.begin(), legal.end(), move), legal.end());
  }
  const std::vector<std::string> messages = log.Messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[1].rfind("TChessEngine.ChooseLevelMove:Level=2 Depth=", 0), 0u);

  TChessMove none{1, 2, 3, 4, true};
  EXPECT_FALSE(
      chess::ChooseLevelMove(engine, chess_test::Pos("8/8/8/8/8/8/1q6/K1k5 - -"), {}, 2, none));
}

TEST(ChessEngineLevels, EarlierPositionsCountAsDraws) {
  // A rook up, the mover finds every move but Kd2 returning to one of its
  // earlier positions after any reply, so Kd2 is the only way to win.
  const TChessPosition position = chess_test::Pos("8/8/8/4k3/8/8/8/R3K3 - -");
  const TEngineBoard board = TEngineBoard::FromPosition(position, TRules::Program);
  const TEngineMove kept = *board.ParseUci("e1d2");
  std::vector<TChessPosition> earlier;
  for (const TEngineMove& move : board.LegalMoves()) {
    if (move == kept) continue;
    TEngineBoard reply = board;
    reply.Play(move);
    for (const TEngineMove& answer : reply.LegalMoves()) {
      TEngineBoard next = reply;
      next.Play(answer);
      earlier.push_back(next.ToPosition());
    }
  }
  TChessEngine engine;
  TChessMove move{};
  ASSERT_TRUE(chess::ChooseLevelMove(engine, position, earlier, 2, move));
  EXPECT_EQ(move, board.ToPositionMove(kept));
}

TEST(ChessEngineLevels, LevelZeroIsTheOriginalSearch) {
  const TChessPosition position = chess_test::Pos(chess_test::kKiwipete);
  for (int draw : {0, 60, 97}) {
    TChessMove original{};
    std::vector<std::string> originalLog;
    {
      TLogCapture log;
      app::TFixedRandom fixed(draw);
      chess::TChessThinker thinker;
      thinker.SetPosition(position);
      thinker.GetBestWhiteMove(original);
      originalLog = log.Messages();
    }
    TLogCapture log;
    app::TFixedRandom fixed(draw);
    TChessEngine engine;
    TChessMove level0{};
    ASSERT_TRUE(chess::ChooseLevelMove(engine, position, {}, 0, level0));
    EXPECT_EQ(level0, original);
    EXPECT_EQ(log.Messages(), originalLog);
  }
}

}  // namespace
