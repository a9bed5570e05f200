// Runs the built program on the offscreen platform and checks the log it
// writes. The program is copied under a name of this test's own, since the
// log file is named after the executable and lives in the shared temporary
// folder. Nothing can press its keys offscreen, so the test ends it as a
// session manager would, with SIGTERM.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "LogCapture.h"
#include "platform/Files.h"

using ::testing::StartsWith;

namespace {

class TProgramCopy {
 public:
  TProgramCopy() {
    path_ = platform::JoinPath(platform::TempDirectory(), "ludex-it-" + std::to_string(::getpid()));
    std::filesystem::copy_file(LUDEX_BINARY_DIR "/ludex", path_,
                               std::filesystem::copy_options::overwrite_existing);
  }
  ~TProgramCopy() {
    std::filesystem::remove(path_);
    std::filesystem::remove(LogPath());
  }
  TProgramCopy(const TProgramCopy&) = delete;
  TProgramCopy& operator=(const TProgramCopy&) = delete;

  std::string LogPath() const { return path_ + ".log"; }

  // Runs the program until `ready` says so (or 60 s pass), then sends
  // SIGTERM and returns its exit status.
  template <class TReady>
  int Run(TReady ready) const {
    char* argv[] = {const_cast<char*>(path_.c_str()), nullptr};
    std::vector<std::string> variables = {"QT_QPA_PLATFORM=offscreen"};
    for (char** entry = environ; *entry; ++entry) {
      if (std::string(*entry).rfind("QT_QPA_PLATFORM=", 0) != 0) variables.emplace_back(*entry);
    }
    std::vector<char*> envp;
    for (std::string& variable : variables) envp.push_back(variable.data());
    envp.push_back(nullptr);
    pid_t pid = 0;
    if (::posix_spawn(&pid, path_.c_str(), nullptr, nullptr, argv, envp.data()) != 0) return -1;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!ready() && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  bool LogHas(const std::string& message) const {
    for (const std::string& line : LogMessages()) {
      if (line == message) return true;
    }
    return false;
  }

  std::vector<std::string> LogMessages() const {
    std::ifstream file(LogPath(), std::ios::binary);
    std::vector<std::string> messages;
    for (std::string line; std::getline(file, line);) {
      EXPECT_TRUE(!line.empty() && line.back() == '\r') << "lines end with CR LF";
      if (!line.empty() && line.back() == '\r') line.pop_back();
      messages.push_back(TLogCapture::StripStamp(line));
    }
    return messages;
  }

 private:
  std::string path_;
};

}  // namespace

TEST(RunTranscript, StartsAndStopsInOrderWritingTheLog) {
  TProgramCopy program;
  std::ofstream(program.LogPath()) << "old contents\r\n";
  ASSERT_EQ(program.Run([&] { return program.LogHas("=== Application has been shown"); }), 0);

  std::vector<std::string> messages = program.LogMessages();
  ASSERT_GE(messages.size(), 20u);
  EXPECT_EQ(messages[0], "================| " + program.LogPath() + " |================");
  EXPECT_EQ(messages[1], "+SysInfo");
  EXPECT_THAT(messages[2], StartsWith(" CPU x"));
  EXPECT_THAT(messages[3], StartsWith(" RAM "));
  // The system line and the system folder, then the end of the block.
  std::size_t next = 4;
  while (next < messages.size() && messages[next] != "-SysInfo") ++next;
  ASSERT_LT(next, 7u);
  EXPECT_THAT(messages[next + 1], StartsWith("=== Ludex 2."));
  EXPECT_THAT(messages[next + 1].substr(messages[next + 1].size() - 4), " ===");
  EXPECT_THAT(messages[messages.size() - 2], StartsWith("Memory Leak Guard - Count:"));
  EXPECT_EQ(messages.back(), std::string(45, '='));

  // The milestones of a whole run, in this order, whatever lies between.
  const std::vector<std::string> milestones = {
      "+TAppCore.Run",
      "+TAppCore.CreateUI",
      "+TUIManager.Create",
      "-TUIManager.Create",
      "TUIManager.LoadDefaultSkin:IntSkin.LoadFromZIP(=Resource(DefSkin))",
      "+TSkin.LoadFromZIP",
      "+TSkinResManager.Load",
      "-TSkinResManager.Load",
      "-TSkin.LoadFromZIP",
      "-TAppCore.CreateUI",
      "+TKeyboardManager.LoadFromStream",
      "-TKeyboardManager.LoadFromStream",
      "+TUIManager.CreateWindow(Main)",
      "+TSkinWindow.Create",
      "-TSkinWindow.Create",
      "-TUIManager.CreateWindow",
      "=== Application has been shown",
      "TUIManager.AppHook:WM_ENDSESSION",
      "TEntityManager.Execute(Application.Exit)",
      "=== Application has been hidden",
      "+TAppCore.DestroyUI",
      "+TUIManager.Destroy",
      "+TUIManager.DestroyAll",
      "+TSkinWindow.Destroy",
      "-TSkinWindow.Destroy",
      "-TUIManager.Destroy",
      "-TAppCore.DestroyUI",
      "-TAppCore.Run"};
  std::size_t found = 0;
  for (const std::string& message : messages) {
    if (found < milestones.size() && message == milestones[found]) ++found;
  }
  EXPECT_EQ(found, milestones.size())
      << "missing or out of order: " << milestones[std::min(found, milestones.size() - 1)];
}

TEST(RunTranscript, WithoutTheLogFileNothingIsWritten) {
  TProgramCopy program;
  const auto started = std::chrono::steady_clock::now();
  // Without a log there is nothing to wait for: give it time to start.
  ASSERT_EQ(program.Run([&] {
    return std::chrono::steady_clock::now() - started > std::chrono::seconds(4);
  }),
            0);
  EXPECT_FALSE(platform::FileExists(program.LogPath()));
}
