// Runs the built program on the offscreen platform and checks the log it
// writes. The program is copied under a name of this test's own, since the
// log file is named after the executable and lives in the shared temporary
// folder.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "LogCapture.h"
#include "platform/Files.h"

using ::testing::ElementsAreArray;
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

  // Runs the program and returns its exit status.
  int Run() const {
    const std::string command =
        "QT_QPA_PLATFORM=offscreen timeout 60 '" + path_ + "' >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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
  ASSERT_EQ(program.Run(), 0);

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

  const std::vector<std::string> run(messages.begin() + static_cast<long>(next) + 2,
                                     messages.end() - 2);
  EXPECT_THAT(
      run, ElementsAreArray({"+TAppCore.Run", "+TAppCore.CreateUI", "-TAppCore.CreateUI",
                             "+TKeyboardManager.LoadFromStream", "+TKeyboardManager.SetSystemKeys",
                             "-TKeyboardManager.SetSystemKeys", "-TKeyboardManager.LoadFromStream",
                             "=== Application has been shown", "=== Application has been hidden",
                             "+TAppCore.DestroyUI", "TEntityManager.Destroy: Entity holders left=8",
                             "-TAppCore.DestroyUI", "-TAppCore.Run"}));
}

TEST(RunTranscript, WithoutTheLogFileNothingIsWritten) {
  TProgramCopy program;
  ASSERT_EQ(program.Run(), 0);
  EXPECT_FALSE(platform::FileExists(program.LogPath()));
}
