#pragma once

#include <chrono>

// Measures how long a player took for one reply, on the monotonic clock.
namespace match {

class TReplyTimer {
 public:
  TReplyTimer() : start_(std::chrono::steady_clock::now()) {}

  double Milliseconds() const {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start_)
        .count();
  }

 private:
  std::chrono::steady_clock::time_point start_;
};

}  // namespace match
