// The time the game shown has been going, for time sliders.
#include "program/GameClock.h"

#include "ProgramFixture.h"

namespace program_test {
namespace {

constexpr std::int64_t kSecond = 10'000'000;

TEST(GameClock, CountsEachGameFromItsStartOnAGrowingScale) {
  app::TEntityManager bus;
  app::TStringListEntity pages;
  pages.Items = {"Game.Chess", "Game.Checkers"};
  bus.RegisterEntity("Application.Game", &pages);
  app::TGameClock::TClock::time_point now{};
  app::TGameClock clock(bus, [&] { return now; });
  now += std::chrono::seconds(90);
  bus.Notify("System.Time");
  EXPECT_EQ(bus.GetValue("Game.Clock"), 90 * kSecond);
  now += std::chrono::minutes(20);
  bus.Notify("System.Time");
  auto* entity = dynamic_cast<app::TBasicEntity*>(bus.GetHolder("Game.Clock").Entity);
  ASSERT_NE(entity, nullptr);
  EXPECT_EQ(entity->Max, 30 * 60 * kSecond) << "the scale grows past the time";

  // A slider that moves the clock gets the time again.
  entity->Value = 0;
  bus.GetHolder("Game.Clock").NotifyOwner();
  EXPECT_EQ(bus.GetValue("Game.Clock"), (90 + 20 * 60) * kSecond);

  clock.Restart();
  EXPECT_EQ(bus.GetValue("Game.Clock"), 0);
  EXPECT_EQ(entity->Max, 15 * 60 * kSecond);
  now += std::chrono::seconds(5);
  pages.ItemIndex = 1;
  bus.Notify("Application.Game");
  EXPECT_EQ(bus.GetValue("Game.Clock"), 5 * kSecond) << "the checkers game, restarted too";
  bus.UnregisterEntity("Application.Game");
}

}  // namespace
}  // namespace program_test
