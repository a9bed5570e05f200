#include <gtest/gtest.h>
#include <sys/wait.h>

#include <unistd.h>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/tools/ToolRun.h"

namespace {

const std::string kEngine = LUDEX_BINARY_DIR "/ludex-engine";
const std::string kStart =
    "03030303/30303030/03030303/00000000/00000000/10101010/01010101/10101010";

struct TRun {
  std::string Output;
  int Status;
};

TRun RunEngine(const std::string& arguments, const std::string& input = "") {
  const std::filesystem::path inputFile = std::filesystem::temp_directory_path() /
                                          ("ludex-engine-checkers-" + std::to_string(getpid()));
  std::ofstream(inputFile) << input;
  const std::string command = kEngine + " " + arguments + " < " + inputFile.string();
  const tool_test::TToolRun run = tool_test::RunCommand(command);
  std::filesystem::remove(inputFile);
  return {run.Out, run.Status};
}

TEST(EngineCheckers, AnswersCommandsGivenAsArguments) {
  const std::string startMoves = "a3-b4 c3-b4 c3-d4 e3-d4 e3-f4 g3-f4 g3-h4\n";
  TRun run = RunEngine("checkers moves start");
  EXPECT_EQ(run.Output, startMoves);
  EXPECT_EQ(run.Status, 0);
  EXPECT_EQ(RunEngine("checkers moves " + kStart).Output, startMoves);

  EXPECT_EQ(RunEngine("checkers scores start").Output,
            "a3-b4=-9 c3-b4=-5 c3-d4=-17 e3-d4=-17 e3-f4=-5 g3-f4=-20 g3-h4=-25\n");
  // Sorted: c3-b4, e3-f4 (-5), a3-b4 (-9), c3-d4, e3-d4 (-17).
  EXPECT_EQ(RunEngine("checkers best start 0").Output, "c3-b4\n");
  EXPECT_EQ(RunEngine("checkers best start 51").Output, "e3-f4\n");
  EXPECT_EQ(RunEngine("checkers best start 81").Output, "a3-b4\n");
  EXPECT_EQ(RunEngine("checkers best start 91").Output, "e3-d4\n");
  EXPECT_EQ(RunEngine("checkers best start 99").Output, "c3-d4\n");
  EXPECT_EQ(RunEngine("checkers eval start").Output, "0\n");
  EXPECT_EQ(RunEngine("checkers perft start 0").Output, "1\n");
  EXPECT_EQ(RunEngine("checkers perft start 3").Output, "302\n");
  EXPECT_EQ(RunEngine("checkers perft start 6").Output, "39446\n");

  // A lone white man on a1 against a black man on b2 must take.
  const std::string capture =
      "00000000/00000000/00000000/00000000/00000000/00000000/03000000/10000000";
  EXPECT_EQ(RunEngine("checkers moves " + capture).Output, "a1-c3\n");
  EXPECT_EQ(RunEngine("checkers scores " + capture).Output, "a1-c3=10000\n");
  EXPECT_EQ(RunEngine("checkers best " + capture + " 77").Output, "a1-c3\n");
  EXPECT_EQ(RunEngine("checkers eval " + capture).Output, std::to_string(101 - (100 + 75)) + "\n");
  // Blocked: no move, empty answers, still a success.
  const std::string blocked =
      "03000000/10000000/00000000/00000000/00000000/00000000/00000000/00000000";
  run = RunEngine("checkers moves " + blocked);
  EXPECT_EQ(run.Output, "\n");
  EXPECT_EQ(run.Status, 0);
  EXPECT_EQ(RunEngine("checkers best " + blocked + " 5").Output, "\n");
  EXPECT_EQ(RunEngine("checkers perft " + blocked + " 2").Output, "0\n");
}

TEST(EngineCheckers, BestPlaysAtTheLevelGiven) {
  EXPECT_EQ(RunEngine("checkers best start 51 --level 0").Output, "e3-f4\n");
  // The deeper levels play a legal move, and the only one when it must take.
  const std::string startMoves = RunEngine("checkers moves start").Output;
  for (const char* level : {"1", "2"}) {
    const std::string best =
        RunEngine("checkers --level " + std::string(level) + " best start 0").Output;
    ASSERT_EQ(best.size(), 6u) << best;
    EXPECT_NE(startMoves.find(best.substr(0, 5)), std::string::npos) << best;
    const std::string capture =
        "00000000/00000000/00000000/00000000/00000000/00000000/03000000/10000000";
    EXPECT_EQ(RunEngine("checkers best " + capture + " 77 --level " + level).Output, "a1-c3\n");
  }
  // Blocked: no move at any level.
  const std::string blocked =
      "03000000/10000000/00000000/00000000/00000000/00000000/00000000/00000000";
  EXPECT_EQ(RunEngine("checkers best " + blocked + " 5 --level 2").Output, "\n");
}

TEST(EngineCheckers, RejectsMalformedCommandsWithStatusTwo) {
  const std::string bad[] = {
      "checkers moves 0303030/30303030/03030303/00000000/00000000/10101010/01010101/10101010",
      "checkers moves 03030303/30303030/03030303/00000000/00000000/10101010/01010101/101010100",
      "checkers moves 03030303/30303030/03030303/00000000/00000000/10101010/01010101-10101010",
      "checkers moves 03030303/30303030/03030303/00000000/00000000/10101010/01010101/10101012",
      "checkers moves 03030303/30303030/03030303/00000000/00000000/10101010/01010101/11101010",
      "checkers moves",
      "checkers moves start start",
      "checkers dance start",
      "checkers",
      "checkers best start 100",
      "checkers best start -1",
      "checkers best start x",
      "checkers best start",
      "checkers perft start",
      "checkers perft start 99",
      "checkers best start 0 --level 3",
      "checkers best start 0 --level",
      "checkers scores start --level 1",
  };
  for (const std::string& command : bad) {
    const TRun run = RunEngine(command);
    EXPECT_EQ(run.Output.rfind("error: ", 0), 0u) << command << " -> " << run.Output;
    EXPECT_EQ(std::count(run.Output.begin(), run.Output.end(), '\n'), 1) << command;
    EXPECT_EQ(run.Status, 2) << command;
  }
  EXPECT_NE(RunEngine(bad[3]).Output.find("'2' on h1"), std::string::npos);
  EXPECT_NE(RunEngine(bad[4]).Output.find("unplayable square b1"), std::string::npos);
  EXPECT_NE(RunEngine(bad[9]).Output.find("out of range"), std::string::npos);
}

TEST(EngineCheckers, AnswersEveryInputLineAndGoesOnAfterErrors) {
  const TRun run = RunEngine("",
                             "checkers moves start\n"
                             "checkers moves 12345678\n"
                             "checkers eval start\n"
                             "checkers frobnicate\n"
                             "\n"
                             "checkers perft start 2\n");
  EXPECT_EQ(run.Status, 0);
  std::istringstream lines(run.Output);
  std::vector<std::string> answers;
  for (std::string line; std::getline(lines, line);) answers.push_back(line);
  ASSERT_EQ(answers.size(), 6u) << run.Output;
  EXPECT_EQ(answers[0], "a3-b4 c3-b4 c3-d4 e3-d4 e3-f4 g3-f4 g3-h4");
  EXPECT_EQ(answers[1].rfind("error: ", 0), 0u);
  EXPECT_EQ(answers[2], "0");
  EXPECT_EQ(answers[3].rfind("error: ", 0), 0u);
  EXPECT_EQ(answers[4].rfind("error: ", 0), 0u);
  EXPECT_EQ(answers[5], "49");
}

}  // namespace
