#include "program/GameClock.h"

#include <algorithm>

#include "program/Advantage.h"

namespace app {

namespace {

// 100-nanosecond units, as time sliders count.
constexpr std::int64_t kPerSecond = 10'000'000;
constexpr std::int64_t kScaleStep = 15 * 60 * kPerSecond;

}  // namespace

TGameClock::TGameClock(TEntityManager& bus, std::function<TClock::time_point()> now)
    : bus_(&bus),
      now_(std::move(now)),
      chessStart_(now_()),
      checkersStart_(chessStart_),
      entity_(std::make_unique<TBasicEntity>(0, 0, kScaleStep,
                                             MakeCallback<&TGameClock::Update>(this))) {
  bus.RegisterEntity(kEntityName, entity_.get());
  const TCallback update = MakeCallback<&TGameClock::Update>(this);
  seconds_.Subscribe(bus.GetHolder("System.Time"), update);
  pages_.Subscribe(bus.GetHolder("Application.Game"), update);
}

TGameClock::~TGameClock() {
  seconds_.Cancel();
  pages_.Cancel();
  bus_->UnregisterEntity(kEntityName, entity_);
}

void TGameClock::Restart() {
  chessStart_ = checkersStart_ = now_();
  TEntityHolder& holder = bus_->GetHolder(kEntityName);
  Update(holder);
}

void TGameClock::Update(TEntityHolder&) {
  const TClock::time_point start = CheckersShown(*bus_) ? checkersStart_ : chessStart_;
  const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(now_() - start).count();
  const std::int64_t value = std::max<std::int64_t>(elapsed, 0) * kPerSecond;
  entity_->Value = value;
  entity_->Max = (value / kScaleStep + 1) * kScaleStep;
  bus_->Notify(kEntityName);
}

}  // namespace app
