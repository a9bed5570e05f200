#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "tests/tools/ToolRun.h"

namespace {

struct Outcome {
  int status = -1;
  std::string out;
};

// Runs the built tool through the shell with the given arguments and
// standard input.
Outcome RunEngine(const std::string& arguments, const std::string& input = "") {
  const std::string inputPath = "/tmp/ludex-enginechess-" + std::to_string(::getpid()) + ".txt";
  std::ofstream(inputPath, std::ios::binary) << input;
  const std::string command =
      std::string("'") + LUDEX_BINARY_DIR + "/ludex-engine' " + arguments + " < " + inputPath;
  const tool_test::TToolRun run = tool_test::RunCommand(command);
  std::remove(inputPath.c_str());
  return {run.Status, run.Out};
}

Outcome Chess(const std::string& arguments) { return RunEngine("chess " + arguments); }

TEST(EngineChess, AnswersMovesPerftEvalAndScores) {
  EXPECT_EQ(Chess("moves start").out,
            "B1-A3 B1-C3 G1-F3 G1-H3 A2-A4 A2-A3 B2-B4 B2-B3 C2-C4 C2-C3 D2-D4 D2-D3 "
            "E2-E4 E2-E3 F2-F4 F2-F3 G2-G4 G2-G3 H2-H4 H2-H3\n");
  const Outcome perft = Chess("perft start 4");
  EXPECT_EQ(perft.out, "197281\n");
  EXPECT_EQ(perft.status, 0);
  EXPECT_EQ(Chess("perft start 0").out, "1\n");
  EXPECT_EQ(Chess("eval start").out, "0\n");
  // A lone pawn on d4 against the other king.
  EXPECT_EQ(Chess("eval 4k3/8/8/8/3P4/8/8/4K3 - -").out, "127\n");
  // En passant written as the square, castling letters for the side to move.
  EXPECT_EQ(Chess("moves 4k3/8/8/3pP3/8/8/8/4K3 - d6").out,
            "E1-D1 E1-F1 E1-D2 E1-E2 E1-F2 E5-E6 E5-D6\n");
  EXPECT_EQ(Chess("moves r3k2r/8/8/8/1r6/8/8/R3K2R Qkq -").out.find("E1-C1"), std::string::npos);
  EXPECT_NE(Chess("moves r3k2r/8/8/8/8/8/8/R3K2R Q -").out.find("E1-C1"), std::string::npos);

  // A mate in one scores 10000 and is the best move whatever the draw; the
  // scores follow the order of the moves.
  const std::string mate = "6k1/5ppp/8/8/8/8/8/R5K1 - -";
  const std::string scores = Chess("scores " + mate).out;
  EXPECT_EQ(scores.rfind("A1-A2=", 0), 0u) << scores;
  EXPECT_NE(scores.find(" A1-A8=10000 "), std::string::npos) << scores;
  EXPECT_EQ(Chess("best " + mate + " 99").out, "A1-A8\n");
  // No legal move: no moves, no best move.
  EXPECT_EQ(Chess("moves 8/8/8/8/8/8/1q6/K1k5 - -").out, "\n");
  EXPECT_EQ(Chess("best 8/8/8/8/8/8/1q6/K1k5 - - 0").out, "\n");
}

TEST(EngineChess, BestMoveFollowsTheDraw) {
  // The draw decides among the five best moves of the start position, which
  // are close together: 0 and 50 pick the best, 51 the second.
  const std::string best = Chess("best start 0").out;
  EXPECT_EQ(Chess("best start 50").out, best);
  EXPECT_NE(Chess("best start 51").out, best);
  EXPECT_EQ(best.size(), 6u) << best;
}

TEST(EngineChess, BestPlaysAtTheLevelGiven) {
  // Level 0 is the original search, the option or not.
  for (const char* draw : {"0", "51", "99"})
    EXPECT_EQ(Chess("best start " + std::string(draw) + " --level 0").out,
              Chess("best start " + std::string(draw)).out);
  // A mate in two (king c7, king a7, rook a1, or king b6 first) that three
  // plies do not see; the deeper search finds it whatever the draw, with
  // the option anywhere after the game.
  const std::string mateInTwo = "k7/8/2K5/8/8/8/8/7R - -";
  EXPECT_EQ(Chess("best " + mateInTwo + " 0").out, "H1-H4\n");
  for (const std::string& command :
       {"chess best " + mateInTwo + " 0 --level 2", "chess --level 2 best " + mateInTwo + " 99"}) {
    const std::string best = RunEngine(command).out;
    EXPECT_TRUE(best == "C6-C7\n" || best == "C6-B6\n") << command << " -> " << best;
  }
  // A mate in one at the quickest level, through standard input too.
  const std::string mate = "6k1/5ppp/8/8/8/8/8/R5K1 - -";
  EXPECT_EQ(Chess("best " + mate + " 99 --level 1").out, "A1-A8\n");
  EXPECT_EQ(RunEngine("", "chess best " + mate + " 50 --level 1\n").out, "A1-A8\n");
  // No legal move: no move at any level.
  EXPECT_EQ(Chess("best 8/8/8/8/8/8/1q6/K1k5 - - 0 --level 2").out, "\n");
}

TEST(EngineChess, MalformedCommandsAnswerErrorsAndTheToolGoesOn) {
  for (const char* bad : {"",
                          "fly start",
                          "moves",
                          "moves 8/8/8 - -",
                          "moves 8/8/8/8/8/8/8/8 - -  extra",
                          "moves 8/8/8/8/8/8/8/9 - -",
                          "moves 8/8/8/8/8/8/8/8 x -",
                          "moves 8/8/8/8/8/8/8/8 - z9",
                          "perft start",
                          "perft start 99",
                          "perft start -1",
                          "best start",
                          "best start 100",
                          "best start x",
                          "eval start extra",
                          "moves 8/8/8/8/8/8/8/7Z - -",
                          "best start 0 --level 3",
                          "best start 0 --level",
                          "best start 0 --level x",
                          "best start 0 --level 1 --level 2",
                          "moves start --level 1",
                          "scores start --level 0"}) {
    const Outcome outcome = Chess(bad);
    EXPECT_EQ(outcome.out.rfind("error: ", 0), 0u) << bad << " -> " << outcome.out;
    EXPECT_EQ(outcome.status, 2) << bad;
  }
  // Through standard input every line gets its answer, errors included.
  const Outcome session =
      RunEngine("", "chess perft start 2\nchess moves nonsense - -\nchess eval start\n");
  EXPECT_EQ(session.status, 0);
  ASSERT_EQ(session.out.substr(0, 4), "400\n") << session.out;
  const std::size_t second = session.out.find('\n', 4);
  EXPECT_EQ(session.out.substr(4, 7), "error: ") << session.out;
  EXPECT_EQ(session.out.substr(second + 1), "0\n");
}

}  // namespace
