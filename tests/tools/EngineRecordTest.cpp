// ludex-engine pgn and pdn: a game file checked as the program opens it.
#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <string>

#include "tests/tools/ToolRun.h"

namespace {

tool_test::TToolRun CheckRecord(const std::string& format, const std::string& text) {
  const std::string path = "/tmp/ludex-record-" + std::to_string(::getpid()) + "." + format;
  std::ofstream(path, std::ios::binary) << text;
  tool_test::TToolRun run = tool_test::RunCommand(std::string(LUDEX_BINARY_DIR "/ludex-engine ") +
                                                  format + " " + path + " 2>&1");
  std::remove(path.c_str());
  return run;
}

TEST(EngineRecord, PrintsTheMovesInTheProgramsNotation) {
  const tool_test::TToolRun chess = CheckRecord(
      "pgn",
      "[Event \"x\"]\r\n\r\n1. e4 {open} e5 2. Nf3 (2. f4) Nc6 3. Bb5 a6 4. Bxc6 dxc6 5. 0-0 *");
  EXPECT_EQ(chess.Status, 0);
  EXPECT_EQ(chess.Out,
            "1. E2-E4 E7-E5\n2. G1-F3 B8-C6\n3. F1-B5 A7-A6\n4. B5:C6 D7:C6\n5. E1-G1\n*\n");

  const tool_test::TToolRun checkers =
      CheckRecord("pdn", "[GameType \"25\"]\n1. c3-d4 f6-e5 2. d4xf6 g7xe5 *");
  EXPECT_EQ(checkers.Status, 0);
  EXPECT_EQ(checkers.Out, "1. c3-d4 f6-e5\n2. d4-f6 g7-e5\n*\n");
}

TEST(EngineRecord, ABadFileIsNamedWithExitStatusOne) {
  const tool_test::TToolRun illegal = CheckRecord("pgn", "1. e4 e5 2. Ke3 *");
  EXPECT_EQ(illegal.Status, 1);
  EXPECT_NE(illegal.Out.find("move 2. Ke3"), std::string::npos) << illegal.Out;
  const tool_test::TToolRun junk = CheckRecord("pdn", std::string("\x7f"
                                                                  "ELF\0\0",
                                                                  6));
  EXPECT_EQ(junk.Status, 1);
  const tool_test::TToolRun missing =
      tool_test::RunCommand(LUDEX_BINARY_DIR "/ludex-engine pgn /nonexistent.pgn 2>&1");
  EXPECT_EQ(missing.Status, 1);
  EXPECT_EQ(tool_test::RunCommand(LUDEX_BINARY_DIR "/ludex-engine pgn 2>/dev/null").Status, 2);
}

}  // namespace
