#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "games/checkers/CheckersThinker.h"
#include "games/checkers/Pdn.h"

namespace {

using checkers::TCheckersRecord;
using checkers::TCheckersSetUp;
using Moves = std::vector<std::string>;

TCheckersRecord Read(std::string_view text) {
  const app::TRecordRead<TCheckersRecord> read = checkers::ReadPdn(text);
  EXPECT_TRUE(read) << read.Error.Message;
  return read.Record.value_or(TCheckersRecord{});
}

std::string ReadError(std::string_view text) {
  const app::TRecordRead<TCheckersRecord> read = checkers::ReadPdn(text);
  EXPECT_FALSE(read) << "read a game from a bad text";
  return read.Error.Message;
}

TCheckersSetUp Fen(std::string_view fen) {
  std::string error;
  const std::optional<TCheckersSetUp> setUp = checkers::FromPdnFen(fen, error);
  EXPECT_TRUE(setUp) << fen << ": " << error;
  return setUp.value_or(TCheckersSetUp{});
}

std::string Repeated(std::string_view text, int times) {
  std::string repeated;
  for (int i = 0; i < times; ++i) repeated += text;
  return repeated;
}

std::string Movetext(const std::string& pdn) { return pdn.substr(pdn.find("\n\n") + 2); }

TEST(Pdn, WritesTagsAndMovesWithCapturesJoinedByColons) {
  TCheckersRecord record;
  record.Tags = {{"White", "Ann"},
                 {"Event", "Club"},
                 {"GameType", "21"},
                 {"Annotator", "Bo"},
                 {"Date", "today"}};
  record.Moves = {"c3-d4", "f6-e5", "d4-f6", "g7-e5"};
  record.Result = "0-1";
  EXPECT_EQ(checkers::WritePdn(record),
            "[Event \"Club\"]\n[Site \"?\"]\n[Date \"????.??.??\"]\n[Round \"?\"]\n"
            "[White \"Ann\"]\n[Black \"?\"]\n[Result \"0-1\"]\n[GameType \"25\"]\n"
            "[Annotator \"Bo\"]\n\n"
            "1. c3-d4 f6-e5 2. d4:f6 g7:e5 0-1\n");
}

TEST(Pdn, AMultiJumpAndAPromotionInTheMiddleOfACapture) {
  // c3 takes d4 and f6; Black takes back.
  TCheckersRecord record = Read("[FEN \"W:Wc3,a1:Bd4,f6,h8\"]\n1. c3xe5xg7 h8:f6 2. a1-b2 1-0");
  EXPECT_EQ(record.Moves, (Moves{"c3-e5-g7", "h8-f6", "a1-b2"}));
  EXPECT_EQ(Movetext(checkers::WritePdn(record)), "1. c3:e5:g7 h8:f6 2. a1-b2 1-0\n");
  // b6 takes c7 and is crowned on d8, then flies over f6 as a king; h4-e1
  // is a king's move again.
  record = Read("[FEN \"W:Wb6,a1:Bc7,f6,h8\"]\n1. b6:d8:h4 h8-g7 2. h4-e1 *");
  EXPECT_EQ(record.Moves, (Moves{"b6-d8-h4", "h8-g7", "h4-e1"}));
  ASSERT_TRUE(record.SetUp);
  EXPECT_EQ(Movetext(checkers::WritePdn(record)), "1. b6:d8:h4 h8-g7 2. h4-e1 *\n");
  // Without a piece to take from the far row the man's capture ends there.
  EXPECT_EQ(Read("[FEN \"W:Wb6,a1:Bc7,h8\"]\n1. b6:d8 h8-g7 2. d8-a5").Moves,
            (Moves{"b6-d8", "h8-g7", "d8-a5"}));
  EXPECT_EQ(ReadError("[FEN \"W:Wb6,a1:Bc7,f6,h8\"]\n1. b6:d8"),
            "move 1. b6:d8: no such legal move");
}

TEST(Pdn, CapturesByTheirEndsAndNumberedSquares) {
  EXPECT_EQ(Read("[FEN \"W:Wc3,a1:Bd4,f6,h8\"]\n1. c3:g7").Moves, Moves{"c3-e5-g7"});
  // Two ways lead from e1 to e5.
  EXPECT_EQ(ReadError("[FEN \"W:We1:Bd2,d4,f2,f4\"]\n1. e1:e5"),
            "move 1. e1:e5: more than one capture joins these squares");
  EXPECT_EQ(Read("[FEN \"W:We1:Bd2,d4,f2,f4\"]\n1. e1xc3xe5").Moves, Moves{"e1-c3-e5"});
  // 22 is c3, 18 d4, 11 f6, 15 e5, 8 g7.
  EXPECT_EQ(Read("[GameType \"25,W,8,8,A0,0\"]\n1. 22-18 11-15 2. 18x11 8x15").Moves,
            (Moves{"c3-d4", "f6-e5", "d4-f6", "g7-e5"}));
  EXPECT_EQ(Read("1. C3-D4").Moves, Moves{"c3-d4"});
}

TEST(Pdn, SetUpPositionsRoundTrip) {
  const TCheckersSetUp setUp = Fen("W:Wa1,c1,Kd4:Bb8,h6");
  EXPECT_EQ(setUp.Board.Squares[checkers::SquareIndex(3, 3)], checkers::kOwnKing);
  EXPECT_EQ(setUp.Board.Squares[checkers::SquareIndex(7, 5)], checkers::kOtherMan);
  EXPECT_EQ(checkers::ToPdnFen(setUp), "W:Wa1,c1,Kd4:Bb8,h6");
  // Numbers, ranges, counters and a closing dot; Black to move first.
  TCheckersSetUp start;
  start.WhiteToMove = false;
  EXPECT_EQ(Fen(" B:W21-32:B1-12:H0:F1. "), start);
  TCheckersRecord record;
  record.SetUp = Fen("B:WKa1,c3,e3:Bd6,Kb8");
  record.Moves = {"d6-c5", "a1-b2"};
  record.Result = "1-0";
  const std::string pdn = checkers::WritePdn(record);
  EXPECT_NE(pdn.find("[GameType \"25\"]\n[FEN \"B:WKa1,c3,e3:BKb8,d6\"]\n"), std::string::npos)
      << pdn;
  EXPECT_EQ(Movetext(pdn), "1... d6-c5 2. a1-b2 1-0\n");
  const TCheckersRecord read = Read(pdn);
  EXPECT_EQ(read.SetUp, record.SetUp);
  EXPECT_EQ(read.Moves, record.Moves);
  EXPECT_EQ(checkers::WritePdn(read), pdn);
}

TEST(Pdn, BadPositionsAndMovesSayWhy) {
  std::string error;
  for (const auto& [fen, reason] : std::vector<std::pair<std::string, std::string>>{
           {"X:Wa1", "the side to move is 'W' or 'B'"},
           {"W:Wa2", "bad square \"a2\""},
           {"W:Wa1,A1", "square \"A1\" is named twice"},
           {"W:Wb8", "a man stands on its crowning rank at \"b8\""},
           {"W:Ba1", "a man stands on its crowning rank at \"a1\""},
           {"W:W13-25", "White has more than 12 pieces"},
           {"W:W12-3", "bad range of squares \"12-3\""},
           {"W:Wa1:Wc1", "the pieces of W are listed twice"},
           {"W:Wa1:Q", "unknown field \"Q\""},
           {"W:W" + std::string(500, '\xC5'), "bad square \"" + Repeated("\\xC5", 24) + "...\""}}) {
    EXPECT_FALSE(checkers::FromPdnFen(fen, error)) << fen;
    EXPECT_EQ(error, reason) << fen;
  }
  EXPECT_EQ(ReadError("[FEN \"W:Wa2\"]\n1. a1-b2"), "tag FEN: bad square \"a2\"");
  EXPECT_EQ(ReadError("[GameType \"21\"]\n1. 22-18"),
            "tag GameType: \"21\" is not this game (type 25)");
  // A capture is compulsory.
  EXPECT_EQ(ReadError("1. c3-d4 f6-e5 2. a3-b4"), "move 2. a3-b4: no such legal move");
  EXPECT_EQ(ReadError("1. c3-d4 f6-g6"), "move 1... f6-g6: not a move");
  EXPECT_EQ(ReadError("1. 33-29"), "move 1. 33-29: not a move");
  EXPECT_EQ(ReadError("1. c3"), "move 1. c3: not a move");
  EXPECT_EQ(ReadError("1. " + std::string(4000, '-')),
            "move 1. ------------------------...: not a move");
}

// Random games from the start, read back as they were written.
TEST(Pdn, RandomGamesReadBackAsWritten) {
  std::mt19937 random(1957);
  for (int game = 0; game < 60; ++game) {
    TCheckersRecord record;
    record.Result = game % 2 ? "1-0" : "*";
    checkers::TCheckersThinker thinker;
    bool white = true;
    for (int ply = 0; ply < 200; ++ply) {
      thinker.GenerateMoves();
      if (thinker.Moves.empty()) break;
      const std::string move = thinker.Moves[std::uniform_int_distribution<std::size_t>(
          0, thinker.Moves.size() - 1)(random)];
      record.Moves.push_back(white ? move : checkers::TCheckersPosition::TurnedMoveText(move));
      thinker.Position.ApplyMove(move);
      thinker.Position.Flip();
      white = !white;
    }
    const std::string pdn = checkers::WritePdn(record);
    std::istringstream lines(Movetext(pdn));
    for (std::string line; std::getline(lines, line);) ASSERT_LE(line.size(), 79u) << line;
    const TCheckersRecord read = Read(pdn);
    ASSERT_EQ(read.Moves, record.Moves) << pdn;
    EXPECT_EQ(read.Result, record.Result);
  }
}

TEST(Pdn, HostileTextsAreRefusedQuickly) {
  const auto start = std::chrono::steady_clock::now();
  std::mt19937 random(11);
  std::string junk(1 << 20, '\0');
  for (char& c : junk) c = static_cast<char>(random());
  EXPECT_NE(ReadError(junk), "");
  std::string squares;
  for (int i = 0; i < 100000; ++i) squares += "a1:";
  EXPECT_EQ(ReadError("1. " + squares + "a1"), "move 1. a1:a1:a1:a1:a1:a1:a1:a1:...: not a move");
  EXPECT_EQ(ReadError("1. c3-d4 " + std::string(1 << 20, '(')),
            "line 1: variations are nested more than 256 deep");
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 2.0);
}

}  // namespace
