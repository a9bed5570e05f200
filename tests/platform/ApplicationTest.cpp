#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/Window.h"
#include "platform/detail/WindowImpl.h"

namespace platform {
namespace {

// Installs a handler that records messages, and removes it afterwards.
class ApplicationLoop : public ::testing::Test {
 protected:
  void SetUp() override {
    SetExceptionHandler([this](const std::string& message) { messages.push_back(message); });
  }
  void TearDown() override { SetExceptionHandler(nullptr); }

  std::vector<std::string> messages;
};

TEST_F(ApplicationLoop, TimerTicksUntilQuitAndTheLoopReturnsTheExitCode) {
  int ticks = 0;
  TTimer timer(1, [&] {
    if (++ticks == 3) PostQuit(7);
  });
  EXPECT_FALSE(timer.Enabled());
  timer.SetEnabled(true);
  EXPECT_TRUE(timer.Enabled());
  EXPECT_EQ(RunMessageLoop(), 7);
  EXPECT_GE(ticks, 3);

  // A disabled timer stays silent.
  timer.SetEnabled(false);
  const int before = ticks;
  PostDeferred([] { PostQuit(0); });
  EXPECT_EQ(RunMessageLoop(), 0);
  EXPECT_EQ(ticks, before);
}

TEST_F(ApplicationLoop, QuitPostedBeforeTheLoopEndsItAtOnce) {
  PostQuit(5);
  ProcessMessages();  // the quit message is taken out of the queue here
  EXPECT_EQ(RunMessageLoop(), 5);
  // Only once: a stale quit message does not end the next loop.
  PostQuit(1);
  EXPECT_EQ(RunMessageLoop(), 1);
  PostDeferred([] { PostQuit(2); });
  EXPECT_EQ(RunMessageLoop(), 2);
}

TEST_F(ApplicationLoop, ExceptionsReachTheHandlerAndTheLoopGoesOn) {
  int ticks = 0;
  TTimer timer(1, [&] {
    ++ticks;
    if (ticks == 1) throw std::runtime_error("tick failed");
    if (ticks == 2) throw 42;
    PostQuit(0);
  });
  timer.SetEnabled(true);
  PostDeferred([] { throw std::logic_error("deferred failed"); });
  EXPECT_EQ(RunMessageLoop(), 0);
  EXPECT_GE(ticks, 3);
  EXPECT_EQ(messages,
            (std::vector<std::string>{"deferred failed", "tick failed", "Unknown exception"}));
}

TEST_F(ApplicationLoop, DeferredCallsRunInOrderFromProcessMessages) {
  std::vector<int> order;
  PostDeferred([&] {
    order.push_back(1);
    PostDeferred([&] { order.push_back(3); });
  });
  PostDeferred([&] { order.push_back(2); });
  EXPECT_TRUE(order.empty());
  ProcessMessages();
  ProcessMessages();
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST_F(ApplicationLoop, TimerMayDestroyItselfFromItsCallback) {
  std::unique_ptr<TTimer> timer;
  int ticks = 0;
  timer = std::make_unique<TTimer>(1, [&] {
    ++ticks;
    timer.reset();
    PostQuit(0);
  });
  timer->SetEnabled(true);
  EXPECT_EQ(RunMessageLoop(), 0);
  EXPECT_EQ(ticks, 1);
  EXPECT_EQ(timer, nullptr);
}

TEST_F(ApplicationLoop, HandlerFailuresAndMissingHandlerDoNotStopTheLoop) {
  SetExceptionHandler([](const std::string&) { throw std::runtime_error("handler failed"); });
  CallGuarded([] { throw std::runtime_error("first"); });
  SetExceptionHandler(nullptr);
  CallGuarded([] { throw std::runtime_error("second"); });
  SUCCEED();
}

TEST_F(ApplicationLoop, FramelessWindowsShowTheApplicationTitleFromTheStart) {
  const std::string previous = ApplicationTitle();
  SetApplicationTitle("Ludex");
  TWindow main;
  main.SetText("frMain");
  TWindow tool(TWindow::TStyle::Tool);
  tool.SetText("Skin Selector");
  const auto shown = [](TWindow& window) {
    return window.Impl().Widget->windowTitle().toStdString();
  };
  EXPECT_EQ(shown(main), "Ludex") << "what a task list shows, never the window's id";
  EXPECT_EQ(main.Text(), "frMain");
  EXPECT_EQ(shown(tool), "Skin Selector");
  SetApplicationTitle("Ludex 2.0");
  EXPECT_EQ(shown(main), "Ludex 2.0") << "follows the application's title";
  EXPECT_EQ(shown(tool), "Skin Selector");
  SetApplicationTitle(previous);
}

TEST(ApplicationSession, NoDisplayIsReportedInOneLine) {
  // The test process runs on the offscreen platform, so it has a session.
  EXPECT_EQ(GraphicalSessionProblem(), "");
  EXPECT_TRUE(ApplicationExists());
  SetApplicationTitle("Ludex 2.0");
  EXPECT_EQ(ApplicationTitle(), "Ludex 2.0");
}

}  // namespace
}  // namespace platform
