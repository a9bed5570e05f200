#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tools/engine/Uci.h"
#include "tools/engine/UciSearcher.h"

// The UCI session driven line by line, its searches run at once and kept
// small; the tool's own process, threads and pipes are tested in
// EngineUciTest.
namespace {

using engine::TUciSession;

class UciSession : public ::testing::Test {
 protected:
  // Sends lines (each gets its line end) and returns the answers they gave.
  std::vector<std::string> Send(const std::string& lines) {
    const std::size_t before = answers_.size();
    std::string input;
    for (std::size_t start = 0; start <= lines.size();) {
      const std::size_t end = std::min(lines.find('\n', start), lines.size());
      input += lines.substr(start, end - start) + "\n";
      start = end + 1;
    }
    session_.Feed(input);
    return {answers_.begin() + static_cast<std::ptrdiff_t>(before), answers_.end()};
  }
  static std::vector<std::string> Starting(const std::vector<std::string>& lines,
                                           const std::string& prefix) {
    std::vector<std::string> found;
    for (const std::string& line : lines)
      if (line.rfind(prefix, 0) == 0) found.push_back(line);
    return found;
  }
  // The move of the one bestmove line among lines.
  static std::string BestMove(const std::vector<std::string>& lines) {
    const std::vector<std::string> best = Starting(lines, "bestmove ");
    if (best.size() == 1) return best[0].substr(9);
    // Built step by step: GCC 12 at -O3 warns falsely about "(" + string.
    std::string count = std::to_string(best.size());
    count.append(" answers)");
    return count.insert(0, 1, '(');
  }
  std::string Fen() const { return session_.Board().ToFen(); }

  engine::TInlineSearcher searcher_{4, 200000};
  std::vector<std::string> answers_;
  TUciSession session_{searcher_, [this](const std::string& line) { answers_.push_back(line); }};
};

const std::string kStartFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

TEST_F(UciSession, IntroducesItselfAndAnswersIsReady) {
  const std::vector<std::string> intro = Send("uci");
  ASSERT_EQ(intro.size(), 4u);
  EXPECT_EQ(intro[0].rfind("id name Ludex ", 0), 0u) << intro[0];
  EXPECT_EQ(intro[1].rfind("id author ", 0), 0u);
  EXPECT_EQ(intro[2], "option name Level type spin default 2 min 0 max 2");
  EXPECT_EQ(intro[3], "uciok");
  EXPECT_EQ(Send("isready"), std::vector<std::string>{"readyok"});
  // Blank lines, debug and register are quietly accepted.
  EXPECT_EQ(Send("\n  \t\ndebug on\nregister later"), std::vector<std::string>{});
}

TEST_F(UciSession, SearchesThePositionAfterTheMovesAndReportsEachDepth) {
  EXPECT_EQ(Send("position startpos moves e2e4 e7e5"), std::vector<std::string>{});
  EXPECT_EQ(Fen(), "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq e6 0 2");
  const std::vector<std::string> answers = Send("go depth 3");
  const std::vector<std::string> infos = Starting(answers, "info depth ");
  ASSERT_GE(infos.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(infos[i].rfind("info depth " + std::to_string(i + 1) + " score ", 0), 0u) << infos[i];
    for (const char* field : {" nodes ", " time ", " nps ", " pv "})
      EXPECT_NE(infos[i].find(field), std::string::npos) << field << " in " << infos[i];
  }
  EXPECT_EQ(answers.back().rfind("bestmove ", 0), 0u);
  EXPECT_TRUE(session_.Board().ParseUci(BestMove(answers))) << BestMove(answers);
}

TEST_F(UciSession, WritesPromotionsMatesAndTheNullMove) {
  Send("position fen 8/P7/8/8/8/8/8/k1K5 w - - 0 1");
  EXPECT_EQ(BestMove(Send("go depth 3")), "a7a8q");
  // Mate in one: the score says so.
  Send("position fen 6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1");
  const std::vector<std::string> mate = Send("go depth 2");
  EXPECT_EQ(BestMove(mate), "a1a8");
  EXPECT_NE(mate[mate.size() - 2].find(" score mate 1 "), std::string::npos)
      << mate[mate.size() - 2];
  // Checkmated and stalemated: nothing to play.
  Send("position fen 7k/6Q1/6K1/8/8/8/8/8 b - - 0 1");
  EXPECT_EQ(BestMove(Send("go depth 2")), "0000");
  Send("position fen 7k/5Q2/6K1/8/8/8/8/8 b - - 0 1");
  EXPECT_EQ(BestMove(Send("go movetime 50")), "0000");
}

TEST_F(UciSession, AnIllegalMoveKeepsThePositionBeforeTheCommand) {
  Send("position startpos moves d2d4");
  const std::string before = Fen();
  for (const char* bad : {"position startpos moves e2e4 e7e5 e1e2 e8e7 e2e5",
                          "position startpos moves e2e4 e7e5 g1f3 b8c6 zz9 a7a6",
                          "position startpos moves e2e4 e7e5 g1f3 b8c6 e2e4"}) {
    const std::vector<std::string> answers = Send(bad);
    ASSERT_EQ(answers.size(), 1u) << bad;
    EXPECT_EQ(answers[0].rfind("info string illegal move \"", 0), 0u) << answers[0];
    EXPECT_NE(answers[0].find("(move 5 of the list)"), std::string::npos) << answers[0];
    EXPECT_EQ(Fen(), before) << bad;
  }
  // Castling is the king's move; a promotion carries its letter.
  Send("position startpos moves e2e4 e7e5 g1f3 b8c6 f1c4 g8f6 e1g1");
  EXPECT_EQ(Fen(), "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQ1RK1 b kq - 5 4");
  Send("position fen 8/P7/8/8/8/8/8/k1K5 w - - 0 1 moves a7a8n");
  EXPECT_EQ(Fen(), "N7/8/8/8/8/8/8/k1K5 b - - 0 1");
}

TEST_F(UciSession, CompletesShortFensAndRejectsBadOnes) {
  std::vector<std::string> answers = Send("position fen 4k3/8/8/8/8/8/8/4K2R");
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_EQ(answers[0], "info string incomplete FEN read as \"4k3/8/8/8/8/8/8/4K2R w - -\"");
  EXPECT_EQ(Fen(), "4k3/8/8/8/8/8/8/4K2R w - - 0 1");
  answers = Send("position fen 4k3/8/8/8/8/8/8/4K2R b moves e8d7");
  EXPECT_EQ(answers.size(), 1u);
  EXPECT_EQ(Fen(), "8/3k4/8/8/8/8/8/4K2R w - - 1 2");
  // Without the move counters the FEN is whole enough to say nothing.
  EXPECT_EQ(Send("position fen 4k3/8/8/8/8/8/8/4K2R w K -"), std::vector<std::string>{});
  EXPECT_EQ(Fen(), "4k3/8/8/8/8/8/8/4K2R w K - 0 1");

  const std::string kept = Fen();
  for (const char* bad :
       {"position fen", "position fen moves e2e4", "position fen 8/8/8 w - - 0 1",
        "position fen 4k3/8/8/8/8/8/8/4K2R w - - 0 1 extra", "position fen 4k3/8/8/8/8/8/8/4K2R x",
        "position", "position start", "position startpos e2e4", "position startpos mvoes e2e4"}) {
    answers = Send(bad);
    ASSERT_EQ(answers.size(), 1u) << bad;
    EXPECT_EQ(answers[0].rfind("info string ", 0), 0u) << bad;
    EXPECT_NE(answers[0].find("the position stays"), std::string::npos) << answers[0];
    EXPECT_EQ(Fen(), kept) << bad;
  }
}

TEST_F(UciSession, SetsTheLevelAndRefusesOtherValues) {
  EXPECT_EQ(session_.Level(), 2);
  EXPECT_EQ(Send("setoption name Level value 0"), std::vector<std::string>{});
  EXPECT_EQ(session_.Level(), 0);
  Send("setoption name level value 1");
  EXPECT_EQ(session_.Level(), 1);
  for (const char* bad :
       {"setoption name Level value 3", "setoption name Level value -1",
        "setoption name Level value x", "setoption name Level", "setoption name Level value 1 2"}) {
    const std::vector<std::string> answers = Send(bad);
    ASSERT_EQ(answers.size(), 1u) << bad;
    EXPECT_EQ(answers[0].rfind("info string Level takes a number from 0 to 2", 0), 0u)
        << answers[0];
    EXPECT_NE(answers[0].find("it stays 1"), std::string::npos) << answers[0];
  }
  EXPECT_EQ(Send("setoption name Hash value 64"),
            std::vector<std::string>{"info string unknown option \"Hash\""});
  EXPECT_EQ(Send("setoption Level 2").size(), 1u);
  EXPECT_EQ(session_.Level(), 1);
  // Level 0 searches three plies whatever the host asks.
  Send("setoption name Level value 0\nposition startpos");
  EXPECT_EQ(Starting(Send("go depth 9"), "info depth ").back().rfind("info depth 3 ", 0), 0u);
}

TEST_F(UciSession, InfiniteAndPonderingSearchesAnswerOnlyWhenTold) {
  EXPECT_EQ(Starting(Send("go infinite"), "bestmove"), std::vector<std::string>{});
  EXPECT_EQ(Send("isready"), std::vector<std::string>{"readyok"});
  const std::vector<std::string> stopped = Send("stop");
  ASSERT_EQ(stopped.size(), 1u);
  EXPECT_TRUE(session_.Board().ParseUci(BestMove(stopped)));
  EXPECT_EQ(Send("stop"), std::vector<std::string>{}) << "nothing to stop";

  // A ponder search turns into an ordinary one at ponderhit: one answer.
  EXPECT_EQ(Starting(Send("go ponder wtime 1000 btime 1000"), "bestmove"),
            std::vector<std::string>{});
  EXPECT_EQ(BestMove(Send("ponderhit")).size(), 4u);
  EXPECT_EQ(Send("ponderhit"), std::vector<std::string>{});
  // A new go ends the held search with its answer first.
  Send("go infinite");
  const std::vector<std::string> next = Send("go depth 1");
  EXPECT_EQ(Starting(next, "bestmove").size(), 2u);
  // The end of the input answers a held search too.
  Send("go infinite");
  const std::size_t before = answers_.size();
  session_.Finish();
  EXPECT_TRUE(session_.Ended());
  ASSERT_EQ(answers_.size(), before + 1);
  EXPECT_EQ(answers_.back().rfind("bestmove ", 0), 0u);
}

TEST_F(UciSession, ReadsBadGoParametersAsWellAsItCan) {
  const std::vector<std::string> answers =
      Send("go depth x nodes 500 sideways searchmoves e2e4 d2d4 movestogo");
  const std::vector<std::string> notes = Starting(answers, "info string ");
  ASSERT_EQ(notes.size(), 4u);
  EXPECT_EQ(notes[0], "info string go: depth needs a number, not \"x\"");
  EXPECT_EQ(notes[1], "info string go: unknown parameter \"sideways\"");
  EXPECT_EQ(notes[2], "info string searchmoves is not supported: every move is searched");
  EXPECT_EQ(notes[3], "info string go: movestogo needs a number, not nothing");
  EXPECT_EQ(Starting(answers, "bestmove ").size(), 1u);
  // Numbers beyond any clock or below zero are searched with all the same.
  EXPECT_EQ(
      Starting(Send("go wtime -5 btime 99999999999999999 winc 5 binc -5 movestogo 0"), "bestmove ")
          .size(),
      1u);
  EXPECT_EQ(Starting(Send("go nodes 0 depth 0 mate 0"), "bestmove ").size(), 1u);
}

TEST_F(UciSession, BoundsLinesAndQuotesJunkHarmlessly) {
  std::vector<std::string> answers = Send(std::string(TUciSession::kMaxLineLength + 1, 'x'));
  EXPECT_EQ(answers, std::vector<std::string>{"info string line longer than 65536 bytes ignored"});
  // A line of exactly the limit is read.
  answers = Send("isready" + std::string(TUciSession::kMaxLineLength - 7, ' '));
  EXPECT_EQ(answers, std::vector<std::string>{"readyok"});
  // Control characters separate words; the word quoted is cut short.
  answers = Send(std::string("\x01\xff\x7f", 3) + std::string(100, 'y') + " isready");
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_EQ(answers[0],
            "info string unknown command \"\\xFF\\x7F" + std::string(38, 'y') + "...\"");
  EXPECT_EQ(Send("isready\r"), std::vector<std::string>{"readyok"});
  // Lines may arrive in pieces.
  Send("position startpos moves e2e4");
  const std::size_t before = answers_.size();
  session_.Feed("isr");
  EXPECT_EQ(answers_.size(), before);
  session_.Feed("eady\nuc");
  EXPECT_EQ(answers_.back(), "readyok");
  session_.Feed("inewgame\n");
  EXPECT_EQ(Fen(), kStartFen);
}

TEST_F(UciSession, QuitEndsTheSessionAndIgnoresTheRest) {
  EXPECT_FALSE(session_.Feed("quit\nisready\n"));
  EXPECT_TRUE(session_.Ended());
  EXPECT_EQ(answers_, std::vector<std::string>{});
  EXPECT_FALSE(session_.HandleLine("isready"));
  session_.Finish();
  EXPECT_EQ(answers_, std::vector<std::string>{});
}

TEST_F(UciSession, TheEndOfTheInputReadsALastLineWithoutItsLineEnd) {
  session_.Feed("isready");
  EXPECT_EQ(answers_, std::vector<std::string>{});
  session_.Finish();
  EXPECT_EQ(answers_, std::vector<std::string>{"readyok"});
}

}  // namespace
