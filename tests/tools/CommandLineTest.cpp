#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/tools/ToolRun.h"

// The options every program answers: --help, --version and a wrong one, all
// without a display, a window system or Qt's chatter.
namespace {

namespace fs = std::filesystem;

struct TOutcome {
  int Status = -1;
  std::string Out;
  std::string Err;
};

std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

// Runs a built program with no display and no window system chosen; `env`
// goes before it (more variables to unset), `input` is fed to it.
TOutcome RunProgram(const std::string& program, const std::string& args,
                    const std::string& input = "", const std::string& env = "") {
  const fs::path err = fs::temp_directory_path() / ("ludex-cli-" + std::to_string(getpid()));
  const std::string command = "printf '%b' '" + input + "' | env -u DISPLAY -u WAYLAND_DISPLAY " +
                              "-u QT_QPA_PLATFORM " + env + " " LUDEX_BINARY_DIR "/" + program +
                              " " + args + " 2> '" + err.string() + "'";
  const tool_test::TToolRun run = tool_test::RunCommand(command);
  std::ifstream file(err, std::ios::binary);
  TOutcome outcome{
      run.Status, run.Out,
      std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>())};
  fs::remove(err);
  return outcome;
}

class StandardOptions : public ::testing::TestWithParam<const char*> {};

TEST_P(StandardOptions, HelpGoesToStandardOutput) {
  const std::string program = GetParam();
  const TOutcome help = RunProgram(program, "--help");
  EXPECT_EQ(help.Status, 0);
  EXPECT_EQ(FirstLine(help.Out).rfind("usage: " + program + " ", 0), 0u) << help.Out;
  EXPECT_GT(std::count(help.Out.begin(), help.Out.end(), '\n'), 3) << "more than the usage";
  EXPECT_EQ(help.Err, "");
}

TEST_P(StandardOptions, VersionIsOneLineWithTheName) {
  const std::string program = GetParam();
  const TOutcome version = RunProgram(program, "--version");
  EXPECT_EQ(version.Status, 0);
  // "NAME MAJOR.MINOR", perhaps followed by a pre-release's beta and build.
  ASSERT_EQ(version.Out.rfind(program + " ", 0), 0u) << version.Out;
  const std::string number = FirstLine(version.Out.substr(program.size() + 1));
  EXPECT_EQ(version.Out.size(), program.size() + 1 + number.size() + 1) << "one line";
  const std::size_t dot = number.find('.');
  ASSERT_NE(dot, std::string::npos) << number;
  EXPECT_TRUE(dot > 0 && std::isdigit(static_cast<unsigned char>(number[0])) &&
              std::isdigit(static_cast<unsigned char>(number[dot + 1])))
      << number;
  EXPECT_EQ(version.Err, "");
}

TEST_P(StandardOptions, UnknownOptionsAreUsageErrors) {
  const std::string program = GetParam();
  for (const char* option : {"--no-such-option", "-h", "-", "--help=yes", "--version2"}) {
    const TOutcome bad = RunProgram(program, option);
    EXPECT_EQ(bad.Status, 2) << option;
    EXPECT_EQ(bad.Out, "") << option;
    EXPECT_EQ(FirstLine(bad.Err), program + ": unknown option '" + option + "'");
    EXPECT_EQ(FirstLine(bad.Err.substr(bad.Err.find('\n') + 1)).rfind("usage: " + program, 0), 0u)
        << bad.Err;
  }
}

INSTANTIATE_TEST_SUITE_P(Programs, StandardOptions,
                         ::testing::Values("ludex", "ludex-engine", "ludex-skin"),
                         [](const auto& info) {
                           std::string name = info.param;
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

TEST(CommandLine, TheGameTakesNoOtherArguments) {
  const TOutcome extra = RunProgram("ludex", "game.pgn");
  EXPECT_EQ(extra.Status, 2);
  EXPECT_EQ(FirstLine(extra.Err), "ludex: unexpected argument 'game.pgn'");
  // Without a display the program says so instead of starting.
  const TOutcome none = RunProgram("ludex", "");
  EXPECT_EQ(none.Status, 1);
  EXPECT_NE(none.Err.find("no graphical session"), std::string::npos) << none.Err;
}

TEST(CommandLine, EngineReadsOptionsOnlyAsItsFirstArgument) {
  // Standard input holds commands, never options.
  const TOutcome session = RunProgram("ludex-engine", "", "--help\\nchess perft start 2\\n");
  EXPECT_EQ(session.Status, 0);
  EXPECT_EQ(session.Out, "error: unknown game '--help' (checkers or chess)\n400\n");
  // A chess position's "-" fields and a negative number are command words.
  EXPECT_EQ(RunProgram("ludex-engine", "chess eval 4k3/8/8/8/8/8/8/4K2R K -").Out, "500\n");
  const TOutcome negative = RunProgram("ludex-engine", "chess perft start -1");
  EXPECT_EQ(negative.Status, 2);
  EXPECT_EQ(negative.Out.rfind("error: ", 0), 0u) << negative.Out;
}

TEST(CommandLine, SkinToolsPrintNoQtMessages) {
  const fs::path picture =
      fs::temp_directory_path() / ("ludex-cli-" + std::to_string(getpid()) + ".png");
  // Without a runtime folder Qt would complain of it on every start.
  const TOutcome render = RunProgram("ludex-skin", "render builtin Main '" + picture.string() + "'",
                                     "", "-u XDG_RUNTIME_DIR");
  EXPECT_EQ(render.Status, 0);
  EXPECT_EQ(render.Err, "");
  EXPECT_TRUE(fs::exists(picture));
  fs::remove(picture);
  const TOutcome check = RunProgram("ludex-skin", "check '" LUDEX_SOURCE_DIR "/data/Skins/Walnut'",
                                    "", "-u XDG_RUNTIME_DIR");
  EXPECT_EQ(check.Status, 0) << check.Out;
  EXPECT_EQ(check.Err, "");
  // Its own messages still reach standard error.
  const TOutcome missing =
      RunProgram("ludex-skin", "render builtin NoSuchWindow '" + picture.string() + "'", "",
                 "-u XDG_RUNTIME_DIR");
  EXPECT_EQ(missing.Status, 1);
  EXPECT_EQ(missing.Err, "ludex-skin: builtin: no window \"NoSuchWindow\"\n");
}

}  // namespace
