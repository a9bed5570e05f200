#include <gtest/gtest.h>

#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <optional>
#include <string>
#include <vector>

#include "games/chess/ChessEngine.h"
#include "tests/tools/ToolRun.h"

extern char** environ;

// ludex-engine as a UCI engine, driven the way a chess host drives it:
// through pipes, one line at a time, reading the answers as they come.
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

const std::string kEngine = LUDEX_BINARY_DIR "/ludex-engine";
// Searches in this (sanitized, unoptimised) build are slow; an answer that
// takes this long has not come.
constexpr milliseconds kPatience{20000};

class TEngineProcess {
 public:
  explicit TEngineProcess(std::vector<std::string> arguments) {
    std::signal(SIGPIPE, SIG_IGN);
    int input[2];
    int output[2];
    if (::pipe(input) != 0 || ::pipe(output) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], 0);
    posix_spawn_file_actions_adddup2(&actions, output[1], 1);
    for (int fd : {input[0], input[1], output[0], output[1]})
      posix_spawn_file_actions_addclose(&actions, fd);
    arguments.insert(arguments.begin(), kEngine);
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, kEngine.c_str(), &actions, nullptr, argv.data(), environ) != 0)
      pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(input[0]);
    ::close(output[1]);
    in_ = input[1];
    out_ = output[0];
  }
  ~TEngineProcess() {
    CloseInput();
    if (pid_ > 0 && !WaitForExit(milliseconds{2000})) {
      ::kill(pid_, SIGKILL);
      WaitForExit(milliseconds{5000});
    }
    if (out_ >= 0) ::close(out_);
  }

  void Send(const std::string& text) {
    if (::write(in_, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
      ADD_FAILURE() << "could not send " << text;
  }
  void CloseInput() {
    if (in_ >= 0) ::close(in_);
    in_ = -1;
  }
  // Reads answer lines until one starts with prefix; none when the engine
  // said nothing of the kind within the time.
  std::optional<std::string> WaitFor(const std::string& prefix, milliseconds patience = kPatience) {
    const Clock::time_point end = Clock::now() + patience;
    for (;;) {
      for (; next_ < lines_.size(); ++next_)
        if (lines_[next_].rfind(prefix, 0) == 0) return lines_[next_++];
      const auto left = std::chrono::duration_cast<milliseconds>(end - Clock::now());
      if (left.count() <= 0 || !ReadMore(left)) return std::nullopt;
    }
  }
  // Every line read so far.
  const std::vector<std::string>& Lines() const { return lines_; }
  // The exit status, or none when the process did not end in time.
  std::optional<int> WaitForExit(milliseconds patience) {
    const Clock::time_point end = Clock::now() + patience;
    while (!status_ && Clock::now() < end) {
      int status = 0;
      if (::waitpid(pid_, &status, WNOHANG) == pid_)
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      else
        ::usleep(5000);
    }
    return status_;
  }

 private:
  bool ReadMore(milliseconds patience) {
    pollfd poll{out_, POLLIN, 0};
    if (::poll(&poll, 1, static_cast<int>(patience.count())) <= 0) return false;
    char buffer[4096];
    const ssize_t count = ::read(out_, buffer, sizeof buffer);
    if (count <= 0) return false;
    for (ssize_t i = 0; i < count; ++i) {
      if (buffer[i] != '\n') {
        partial_ += buffer[i];
        continue;
      }
      lines_.push_back(partial_);
      partial_.clear();
    }
    return true;
  }

  pid_t pid_ = -1;
  int in_ = -1;
  int out_ = -1;
  std::optional<int> status_;
  std::vector<std::string> lines_;
  std::size_t next_ = 0;
  std::string partial_;
};

// Whether text, after "bestmove ", is a legal move of the board.
bool IsLegalBestMove(const chess::TEngineBoard& board, const std::optional<std::string>& line) {
  return line && line->size() > 9 && board.ParseUci(line->substr(9));
}

chess::TEngineBoard After(const std::vector<std::string>& moves) {
  chess::TEngineBoard board(chess::TRules::Standard);
  for (const std::string& move : moves) board.Play(*board.ParseUci(move));
  return board;
}

TEST(EngineUci, PlaysAScriptedSession) {
  TEngineProcess engine({"uci"});
  engine.Send("uci\n");
  ASSERT_TRUE(engine.WaitFor("uciok"));
  EXPECT_EQ(engine.Lines().front().rfind("id name Ludex ", 0), 0u);
  engine.Send("isready\n");
  ASSERT_TRUE(engine.WaitFor("readyok"));
  engine.Send("ucinewgame\nposition startpos moves e2e4 e7e5\ngo depth 4\n");
  for (int depth = 1; depth <= 4; ++depth)
    EXPECT_TRUE(engine.WaitFor("info depth " + std::to_string(depth) + " score ")) << depth;
  EXPECT_TRUE(IsLegalBestMove(After({"e2e4", "e7e5"}), engine.WaitFor("bestmove ")));

  // A promotion is written with its piece's letter.
  engine.Send("position fen 8/P7/8/8/8/8/8/k1K5 w - - 0 1\ngo depth 3\n");
  EXPECT_EQ(engine.WaitFor("bestmove "), "bestmove a7a8q");
  engine.Send("quit\n");
  EXPECT_EQ(engine.WaitForExit(kPatience), 0);
}

TEST(EngineUci, StopsAnInfiniteSearchAtOnceAndAnswersWhileSearching) {
  TEngineProcess engine({"uci"});
  engine.Send("position startpos\ngo infinite\n");
  ASSERT_TRUE(engine.WaitFor("info depth 2 "));
  engine.Send("isready\n");
  ASSERT_TRUE(engine.WaitFor("readyok", milliseconds{2000}));
  // An infinite search keeps its move to itself until told.
  ::usleep(200000);
  engine.Send("isready\n");
  ASSERT_TRUE(engine.WaitFor("readyok", milliseconds{2000}));
  for (const std::string& line : engine.Lines()) EXPECT_EQ(line.rfind("bestmove", 0), line.npos);

  const Clock::time_point stop = Clock::now();
  engine.Send("stop\n");
  const std::optional<std::string> best = engine.WaitFor("bestmove ");
  const auto delay = std::chrono::duration_cast<milliseconds>(Clock::now() - stop);
  EXPECT_TRUE(IsLegalBestMove(After({}), best));
  EXPECT_LT(delay.count(), 500) << "stop answered after " << delay.count() << " ms";

  // The end of the input stops a search too, and ends the engine.
  engine.Send("go infinite\n");
  ASSERT_TRUE(engine.WaitFor("info depth 1 "));
  engine.CloseInput();
  EXPECT_TRUE(engine.WaitFor("bestmove "));
  EXPECT_EQ(engine.WaitForExit(milliseconds{5000}), 0);
}

TEST(EngineUci, KeepsToTheClock) {
  TEngineProcess engine({"uci"});
  engine.Send("isready\n");
  ASSERT_TRUE(engine.WaitFor("readyok"));
  // Half a second left and no increment: the move comes well within it.
  const Clock::time_point start = Clock::now();
  engine.Send("position startpos moves d2d4\ngo wtime 100000 btime 500 winc 0 binc 0\n");
  EXPECT_TRUE(IsLegalBestMove(After({"d2d4"}), engine.WaitFor("bestmove ")));
  EXPECT_LT(Clock::now() - start, milliseconds{400});
  engine.Send("quit\n");
  EXPECT_EQ(engine.WaitForExit(milliseconds{5000}), 0);
}

TEST(EngineUci, TheLineUciSwitchesAnEngineStartedWithoutArguments) {
  TEngineProcess engine({});
  engine.Send("chess perft start 1\nuci\n");
  EXPECT_EQ(engine.WaitFor("20"), "20");
  EXPECT_TRUE(engine.WaitFor("uciok"));
  engine.Send("isready\n");
  EXPECT_TRUE(engine.WaitFor("readyok"));
  engine.CloseInput();
  EXPECT_EQ(engine.WaitForExit(milliseconds{5000}), 0);
}

TEST(EngineUci, SurvivesJunkAndRefusesArguments) {
  // Binary junk, an endless line and a bad position, then a question.
  const std::string junk =
      "printf '\\001\\377\\000go\\033[2J\\n'; head -c 200000 /dev/zero; "
      "printf '\\nposition startpos moves e2e5\\nisready\\n'";
  const tool_test::TToolRun run = tool_test::RunCommand("(" + junk + ") | " + kEngine + " uci");
  EXPECT_EQ(run.Status, 0);
  EXPECT_NE(run.Out.find("info string line longer than 65536 bytes ignored\n"), std::string::npos);
  EXPECT_NE(run.Out.find("info string illegal move \"e2e5\" (move 1 of the list)"),
            std::string::npos);
  EXPECT_EQ(run.Out.substr(run.Out.size() - 8), "readyok\n") << run.Out;

  EXPECT_EQ(tool_test::RunCommand(kEngine + " uci now 2>/dev/null").Status, 2);
}

}  // namespace
