#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

// A program run beside the match with pipes on its standard input and
// output, read line by line against a deadline. Its standard error is ours.
// Starting one makes this process ignore SIGPIPE.
namespace match {

class TChildProcess {
 public:
  using TClock = std::chrono::steady_clock;
  enum class TRead { Line, Ended, TimedOut };

  // Starts argv[0], looked up in PATH when it holds no "/". Throws
  // std::runtime_error when it cannot be started.
  explicit TChildProcess(const std::vector<std::string>& argv);
  // Closes its input, gives it a moment to end and kills it if it does not.
  ~TChildProcess();
  TChildProcess(const TChildProcess&) = delete;
  TChildProcess& operator=(const TChildProcess&) = delete;

  // Writes the line and its line end; false when the program no longer reads.
  bool WriteLine(std::string_view line);
  // The next output line without its line end (a line longer than
  // kMaxLineLength is cut there). Ended when the output closed.
  TRead ReadLine(std::string& line, TClock::time_point deadline);

  static constexpr std::size_t kMaxLineLength = 65536;

 private:
  bool FillBuffer(TClock::time_point deadline, bool& timedOut);

  pid_t pid_ = -1;
  int input_ = -1;   // the program's standard input, written here
  int output_ = -1;  // its standard output, read here
  std::string pending_;
  bool ended_ = false;
};

}  // namespace match
