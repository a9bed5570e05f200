// Tests that need processes of their own: the hot-key probe on a private
// Xvfb server, and start-up without any graphical session.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace platform {
namespace {

const char* const kProbe = LUDEX_BINARY_DIR "/ludex-hotkey-probe";

// The environment of this process with some variables replaced or removed
// (a value of nullptr removes the variable).
std::vector<std::string> EnvironmentWith(
    const std::vector<std::pair<std::string, const char*>>& changes) {
  std::vector<std::string> result;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    const std::string name = text.substr(0, text.find('='));
    bool changed = false;
    for (const auto& change : changes) changed = changed || change.first == name;
    if (!changed) result.push_back(text);
  }
  for (const auto& [name, value] : changes) {
    if (value != nullptr) result.push_back(name + "=" + value);
  }
  return result;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

struct TRunResult {
  int ExitCode = -1;  // -1: did not end in time or did not start
  std::string Output;
};

// Runs the program with the environment and collects what it writes to
// standard error and standard output; kills it after the timeout.
TRunResult RunProgram(const std::string& program, std::vector<std::string> environment,
                      std::chrono::seconds timeout) {
  TRunResult result;
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return result;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDERR_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
  std::string path = program;
  char* argv[] = {path.data(), nullptr};
  std::vector<char*> envp = Pointers(environment);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, envp.data());
  posix_spawn_file_actions_destroy(&actions);
  close(pipeFds[1]);
  if (spawned != 0) {
    close(pipeFds[0]);
    return result;
  }
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  char buffer[512];
  for (;;) {
    pollfd fd{pipeFds[0], POLLIN, 0};
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    if (poll(&fd, 1, static_cast<int>(left.count())) <= 0) break;
    const ssize_t count = read(pipeFds[0], buffer, sizeof buffer);
    if (count <= 0) break;
    result.Output.append(buffer, static_cast<std::size_t>(count));
  }
  close(pipeFds[0]);
  // The output ends when the program closes it; its exit may follow a
  // little later.
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() >= deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return result;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (WIFEXITED(status)) result.ExitCode = WEXITSTATUS(status);
  return result;
}

// A private X server on a display number it picks itself (-displayfd),
// stopped with the object.
class TXvfb {
 public:
  TXvfb() {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", 0, 0);
    std::string fd = std::to_string(pipeFds[1]);
    std::vector<std::string> args = {"Xvfb", "-displayfd", fd,          "-screen",
                                     "0",    "640x480x24", "-nolisten", "tcp"};
    std::vector<char*> argv = Pointers(args);
    if (posix_spawnp(&pid_, "Xvfb", &actions, nullptr, argv.data(), environ) != 0) pid_ = 0;
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    ReadDisplay(pipeFds[0]);
    close(pipeFds[0]);
  }
  ~TXvfb() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
  }
  // ":N", or empty when the server did not start.
  const std::string& Display() const { return display_; }

 private:
  void ReadDisplay(int fd) {
    std::string number;
    char ch = 0;
    pollfd poller{fd, POLLIN, 0};
    while (poll(&poller, 1, 10000) > 0 && read(fd, &ch, 1) == 1 && ch != '\n') number += ch;
    if (!number.empty()) display_ = ":" + number;
  }

  pid_t pid_ = 0;
  std::string display_;
};

TEST(HotKeysOnX11, RegisteredKeysFireAndTakenOnesAreRefused) {
  TXvfb server;
  if (server.Display().empty()) GTEST_SKIP() << "Xvfb could not be started";
  const TRunResult run = RunProgram(kProbe,
                                    EnvironmentWith({{"QT_QPA_PLATFORM", "xcb"},
                                                     {"DISPLAY", server.Display().c_str()},
                                                     {"WAYLAND_DISPLAY", nullptr}}),
                                    std::chrono::seconds(60));
  if (run.ExitCode == 10) GTEST_SKIP() << "no XTest here; registration was checked: " << run.Output;
  EXPECT_EQ(run.ExitCode, 0) << run.Output;
}

TEST(ApplicationStartUp, WithoutAGraphicalSessionOneLineAndExitStatusOne) {
  const TRunResult run = RunProgram(
      kProbe,
      EnvironmentWith(
          {{"QT_QPA_PLATFORM", nullptr}, {"DISPLAY", nullptr}, {"WAYLAND_DISPLAY", nullptr}}),
      std::chrono::seconds(30));
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_EQ(run.Output,
            "ludex: no graphical session (neither DISPLAY nor WAYLAND_DISPLAY is set)\n");

  // A display that nobody serves is no session either.
  const TRunResult unserved = RunProgram(
      kProbe,
      EnvironmentWith(
          {{"QT_QPA_PLATFORM", nullptr}, {"DISPLAY", ":4093"}, {"WAYLAND_DISPLAY", nullptr}}),
      std::chrono::seconds(30));
  EXPECT_EQ(unserved.ExitCode, 1);
  EXPECT_NE(unserved.Output.find("ludex: no graphical session"), std::string::npos);
}

}  // namespace
}  // namespace platform
