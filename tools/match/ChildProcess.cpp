#include "tools/match/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace match {
namespace {

// How long a program may take to end by itself once its input closed.
constexpr auto kGraceTime = std::chrono::milliseconds(500);

struct TPipe {
  int Read = -1;
  int Write = -1;
};

TPipe MakePipe() {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0)
    throw std::runtime_error(std::string("cannot make a pipe: ") + std::strerror(errno));
  return {ends[0], ends[1]};
}

void CloseFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

bool HasEnded(pid_t pid) { return ::waitpid(pid, nullptr, WNOHANG) == pid; }

}  // namespace

TChildProcess::TChildProcess(const std::vector<std::string>& argv) {
  if (argv.empty()) throw std::runtime_error("no program to start");
  // A program that ends early must not take this process down with it: a
  // write into its closed input fails with EPIPE instead of a signal.
  ::signal(SIGPIPE, SIG_IGN);
  TPipe toChild = MakePipe();
  TPipe fromChild = MakePipe();
  posix_spawn_file_actions_t actions;
  ::posix_spawn_file_actions_init(&actions);
  ::posix_spawn_file_actions_adddup2(&actions, toChild.Read, STDIN_FILENO);
  ::posix_spawn_file_actions_adddup2(&actions, fromChild.Write, STDOUT_FILENO);
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  const int error = ::posix_spawnp(&pid_, args[0], &actions, nullptr, args.data(), environ);
  ::posix_spawn_file_actions_destroy(&actions);
  CloseFd(toChild.Read);
  CloseFd(fromChild.Write);
  input_ = toChild.Write;
  output_ = fromChild.Read;
  if (error != 0) {
    CloseFd(input_);
    CloseFd(output_);
    pid_ = -1;
    throw std::runtime_error("cannot start " + argv[0] + ": " + std::strerror(error));
  }
}

TChildProcess::~TChildProcess() {
  CloseFd(input_);
  CloseFd(output_);
  if (pid_ < 0) return;
  const auto deadline = TClock::now() + kGraceTime;
  while (!HasEnded(pid_)) {
    if (TClock::now() >= deadline) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

bool TChildProcess::WriteLine(std::string_view line) {
  std::string text(line);
  text += '\n';
  std::size_t written = 0;
  while (written < text.size()) {
    const ssize_t n = ::write(input_, text.data() + written, text.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    written += static_cast<std::size_t>(n);
  }
  return true;
}

TChildProcess::TRead TChildProcess::ReadLine(std::string& line, TClock::time_point deadline) {
  for (;;) {
    const std::size_t end = pending_.find('\n');
    if (end != std::string::npos || pending_.size() >= kMaxLineLength ||
        (ended_ && !pending_.empty())) {
      const std::size_t length = std::min({end, pending_.size(), kMaxLineLength});
      line = pending_.substr(0, length);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      pending_.erase(0, end == length ? length + 1 : length);
      return TRead::Line;
    }
    if (ended_) return TRead::Ended;
    bool timedOut = false;
    if (!FillBuffer(deadline, timedOut) && timedOut) return TRead::TimedOut;
  }
}

// Reads what the program has written, waiting until the deadline; sets
// ended_ at the end of its output.
bool TChildProcess::FillBuffer(TClock::time_point deadline, bool& timedOut) {
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(deadline - TClock::now()).count();
  if (left <= 0) {
    timedOut = true;
    return false;
  }
  pollfd request{output_, POLLIN, 0};
  const int ready = ::poll(&request, 1, static_cast<int>(std::min<long long>(left, 1 << 30)));
  if (ready < 0 && errno == EINTR) return false;
  if (ready <= 0) {
    timedOut = ready == 0;
    if (ready < 0) ended_ = true;
    return false;
  }
  char buffer[4096];
  const ssize_t n = ::read(output_, buffer, sizeof buffer);
  if (n < 0 && errno == EINTR) return false;
  if (n <= 0) {
    ended_ = true;
    return false;
  }
  pending_.append(buffer, static_cast<std::size_t>(n));
  return true;
}

}  // namespace match
