#include "tools/match/WorkerPool.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <stdexcept>
#include <vector>

namespace match {
namespace {

struct TRunning {
  int Index = 0;
  pid_t Pid = -1;
  int Output = -1;
  std::string Answer;
};

void WriteAll(int fd, const std::string& text) {
  std::size_t written = 0;
  while (written < text.size()) {
    const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    written += static_cast<std::size_t>(n);
  }
}

// In the child: runs the job, writes its answer and ends without running
// the parent's exit handlers or flushing its buffers a second time.
[[noreturn]] void RunChild(const TJob& job, int index, int output) {
  int status = 0;
  try {
    WriteAll(output, job(index));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "ludex-match: job %d: %s\n", index + 1, error.what());
    status = 1;
  }
  std::fflush(stderr);
  ::_exit(status);
}

TRunning Start(const TJob& job, int index) {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0)
    throw std::runtime_error(std::string("cannot make a pipe: ") + std::strerror(errno));
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  if (pid < 0) {
    ::close(ends[0]);
    ::close(ends[1]);
    throw std::runtime_error(std::string("cannot fork: ") + std::strerror(errno));
  }
  if (pid == 0) {
    ::close(ends[0]);
    RunChild(job, index, ends[1]);
  }
  ::close(ends[1]);
  return {index, pid, ends[0], ""};
}

// Reads from the job's pipe; true once its output has ended.
bool ReadSome(TRunning& running) {
  char buffer[4096];
  const ssize_t n = ::read(running.Output, buffer, sizeof buffer);
  if (n < 0 && errno == EINTR) return false;
  if (n <= 0) return true;
  running.Answer.append(buffer, static_cast<std::size_t>(n));
  return false;
}

std::optional<std::string> Finish(TRunning& running) {
  ::close(running.Output);
  int status = 0;
  while (::waitpid(running.Pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return running.Answer;
}

}  // namespace

void RunJobs(int count, int workers, const TJob& job, const TJobDone& done) {
  std::vector<TRunning> running;
  int next = 0;
  while (next < count || !running.empty()) {
    while (next < count && static_cast<int>(running.size()) < std::max(workers, 1))
      running.push_back(Start(job, next++));
    std::vector<pollfd> requests;
    for (const TRunning& each : running) requests.push_back({each.Output, POLLIN, 0});
    if (::poll(requests.data(), requests.size(), -1) < 0 && errno != EINTR)
      throw std::runtime_error(std::string("poll failed: ") + std::strerror(errno));
    for (std::size_t i = requests.size(); i-- > 0;) {
      if (requests[i].revents == 0 || !ReadSome(running[i])) continue;
      TRunning finished = std::move(running[i]);
      running.erase(running.begin() + static_cast<std::ptrdiff_t>(i));
      done(finished.Index, Finish(finished));
    }
  }
}

}  // namespace match
