#pragma once

#include <chrono>
#include <functional>
#include <memory>

#include "app/Entities.h"

namespace app {

// "Game.Clock": how long the game shown has been going, in units of 100
// nanoseconds as time sliders read them, counted from the program's start
// or the last New Game. Its maximum grows in steps of 15 minutes so that the
// time always lies on a slider's scale. A control that moves the value is
// answered with the clock again.
class TGameClock {
 public:
  static constexpr const char* kEntityName = "Game.Clock";
  using TClock = std::chrono::steady_clock;

  TGameClock(TEntityManager& bus, std::function<TClock::time_point()> now = TClock::now);
  ~TGameClock();
  TGameClock(const TGameClock&) = delete;
  TGameClock& operator=(const TGameClock&) = delete;

  // Both games start again.
  void Restart();

 private:
  // Every second ("System.Time"), on a change of page, and when a control
  // moved the value.
  void Update(TEntityHolder& sender);

  TEntityManager* bus_;
  std::function<TClock::time_point()> now_;
  TClock::time_point chessStart_;
  TClock::time_point checkersStart_;
  std::unique_ptr<TBasicEntity> entity_;
  TSubscription seconds_;
  TSubscription pages_;
};

}  // namespace app
