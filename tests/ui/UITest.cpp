#include "ui/UI.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "app/Entities.h"
#include "controls/KestWnd.h"
#include "platform/Application.h"
#include "platform/Stream.h"
#include "platform/Tray.h"
#include "tests/support/MemoryPack.h"

namespace {

using controls::TSkinWindow;

constexpr const char* kSkin = R"skin(<SKIN>
  <MACROS id="Both" do1="First" do2="Second"/>
  <MACROS id="Self" do1="First" do2="Application.RunMacros(Self)"/>
  <MACROS id="Ping" do1="First" do2="Application.RunMacros(Pong)"/>
  <MACROS id="Pong" do1="Second" do2="Application.RunMacros(Ping)"/>
  <MACROS id="Fan" do1="Application.RunMacros(Fan)" do2="Application.RunMacros(Fan)"
          do3="Application.RunMacros(Fan)" do4="Application.RunMacros(Fan)"
          do5="Application.RunMacros(Fan)" do6="Application.RunMacros(Fan)"
          do7="Application.RunMacros(Fan)" do8="Application.RunMacros(Fan)" do9="First"/>
  <WINDOW id="Main" size="120,80"><BUTTON id="Exit" link="Application.Exit"/><PANEL id="Plain" hint="Own"/></WINDOW>
  <WINDOW id="Alert" size="60,40"/>
</SKIN>)skin";

// Counts the executions of one command.
struct TCounter {
  int Count = 0;
  void Run(app::TEntityHolder&) { ++Count; }
};

class UIManager : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::TMemoryPack pack;
    pack.Add("interface.xml", kSkin);
    ui.LoadSkin(pack);
    const std::string keys =
        "<Main>\r\nEsc ~ Application.Exit\r\nA ~ Count\r\n<Alert>\r\nA ~ Alerted\r\n";
    platform::TMemoryStream stream(keys.data(), keys.size());
    ui.LoadKeyBindings(stream);
    const std::string captions = "Application.Exit=Exit\r\n";
    platform::TMemoryStream language(captions.data(), captions.size());
    ui.LoadLanguage(language);
    entities.RegisterEntity("First", &firstEntity);
    entities.RegisterEntity("Second", &secondEntity);
  }
  void TearDown() override {
    entities.UnregisterEntity("First");
    entities.UnregisterEntity("Second");
  }
  app::TEntityManager entities;
  ui::TUIManager ui{entities};
  // What the skin's macros run.
  TCounter firstRuns;
  TCounter secondRuns;
  app::TBasicEntity firstEntity{0, 0, 0, app::MakeCallback<&TCounter::Run>(&firstRuns)};
  app::TBasicEntity secondEntity{0, 0, 0, app::MakeCallback<&TCounter::Run>(&secondRuns)};
};

TEST_F(UIManager, WindowsComeAndGoAndTheListKeepsOnlyWhatIsOpen) {
  ui.ShowWindow("Main");
  TSkinWindow* first = ui.GetWindow("Main");
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(first->Form().Visible());
  EXPECT_TRUE(ui.AnyWindowVisible());
  EXPECT_EQ(ui.GetWindow("main"), nullptr);  // ids compare exactly
  ui.DestroyWindow(first);
  EXPECT_EQ(ui.GetWindow("Main"), nullptr);
  EXPECT_FALSE(ui.AnyWindowVisible());
  ASSERT_EQ(ui.OpenWindows().size(), 1u);
  EXPECT_EQ(ui.OpenWindows()[0], nullptr) << "an empty entry until the next window comes";
  for (int i = 0; i < 100; ++i) {
    ui.ShowWindow("Main");
    ui.DestroyAll();
  }
  ui.ShowWindow("Main");
  ASSERT_EQ(ui.OpenWindows().size(), 1u) << "the list does not grow with each window";
  EXPECT_NE(ui.OpenWindows()[0], nullptr);
  EXPECT_TRUE(ui.WindowExists("Alert"));
  EXPECT_FALSE(ui.WindowExists("Nowhere"));
  EXPECT_EQ(ui.OpenWindows().size(), 1u) << "the second probe dropped the first one's entry";
  ui.HideAll();
  EXPECT_FALSE(ui.AnyWindowVisible());
}

TEST_F(UIManager, KeysRunInTheSectionOfTheWindowThatGetsThemExitAndReloadQueued) {
  TCounter counter;
  app::TBasicEntity count(0, 0, 0, app::MakeCallback<&TCounter::Run>(&counter));
  entities.RegisterEntity("Count", &count);
  TCounter alerted;
  app::TBasicEntity alertedEntity(0, 0, 0, app::MakeCallback<&TCounter::Run>(&alerted));
  entities.RegisterEntity("Alerted", &alertedEntity);
  ui.ShowWindow("Main");
  ui.ShowWindow("Alert");
  TSkinWindow* main = ui.GetWindow("Main");
  // No window is active (as after a modal box closed without a window
  // manager): the form that gets the key still decides the section.
  ASSERT_EQ(ui.ActiveWindow(), nullptr);
  int key = platform::VK_ESCAPE;
  main->Form().OnKeyDown(key, 0);
  EXPECT_EQ(entities.QueueLength(), 1u);
  EXPECT_EQ(entities.PopFromQueue(), "Application.Exit");
  int letter = 'A';
  main->Form().OnKeyDown(letter, 0);
  EXPECT_EQ(counter.Count, 1);
  EXPECT_EQ(entities.QueueLength(), 0u);
  // The same key in another window runs that window's binding.
  int alertKey = 'A';
  ui.GetWindow("Alert")->Form().OnKeyDown(alertKey, 0);
  EXPECT_EQ(counter.Count, 1);
  EXPECT_EQ(alerted.Count, 1);
  entities.UnregisterEntity("Alerted");
  entities.UnregisterEntity("Count");
}

TEST_F(UIManager, HintsShowCaptionAndKeyUnlessSwitchedOff) {
  ui.ShowWindow("Main");
  TSkinWindow* main = ui.GetWindow("Main");
  controls::TKestControl* exit = ui.FindControl("Exit");
  controls::TKestControl* plain = ui.FindControl("Plain");
  ASSERT_NE(exit, nullptr);
  std::string text = "ignored";
  ui.OnShowHint(text, *exit);
  EXPECT_EQ(text, "Exit (Esc)");
  ui.OnShowHint(text, *plain);
  EXPECT_EQ(text, "Own");
  ui.OnShowHint(text, *main);  // no link: no hint
  EXPECT_EQ(text, "");
  entities.Execute("GUI.ShowHints");
  EXPECT_EQ(entities.GetValue("GUI.ShowHints"), 0);
  ui.OnShowHint(text, *exit);
  EXPECT_EQ(text, "");
  entities.Execute("GUI.ShowHints");
  ui.OnShowHint(text, *exit);
  EXPECT_EQ(text, "Exit (Esc)");
}

TEST_F(UIManager, TheTrayToggleNotifiesEachTimeAndTipsAreCut) {
  TCounter notified;
  entities.AddClient("GUI.UseTray", app::MakeCallback<&TCounter::Run>(&notified));
  ui.SetUseTray(true);
  EXPECT_EQ(entities.GetValue("GUI.UseTray"), 1);
  ASSERT_NE(ui.TrayIcon(), nullptr);
  entities.Execute("GUI.UseTray");
  EXPECT_EQ(entities.GetValue("GUI.UseTray"), 0);
  EXPECT_EQ(ui.TrayIcon(), nullptr);
  entities.Execute("GUI.UseTray");
  EXPECT_EQ(entities.GetValue("GUI.UseTray"), 1);
  EXPECT_EQ(notified.Count, 3);
  ui.SetUseTray(true);  // already on: nothing
  EXPECT_EQ(notified.Count, 3);
  entities.Execute("GUI.TrayHint(" + std::string(64, 'x') + ")");
  if (ui.TrayIcon()->Shown()) {
    EXPECT_EQ(ui.TrayIcon()->Tip(), std::string(63, 'x'));
  }
  EXPECT_EQ(platform::CutTip(std::string(64, 'x')), std::string(63, 'x'));
  entities.RemoveClient("GUI.UseTray", app::MakeCallback<&TCounter::Run>(&notified));
}

TEST_F(UIManager, MacrosControlsAndTheUserSkinComeFirst) {
  entities.Execute("Application.RunMacros(Both)");
  entities.Execute("Application.RunMacros(Missing)");
  EXPECT_EQ(firstRuns.Count, 1);
  EXPECT_EQ(secondRuns.Count, 1);
  ui.ShowWindow("Main");
  controls::TKestControl* plain = ui.FindControl("plain");
  ASSERT_NE(plain, nullptr);
  entities.Execute("GUI.ToggleControl(Plain)");
  EXPECT_FALSE(plain->Visible());
  entities.Execute("GUI.ToggleControl(Plain)");
  EXPECT_TRUE(plain->Visible());
  entities.Execute("GUI.HideWindow(Main)");
  EXPECT_FALSE(ui.GetWindow("Main")->Form().Visible());
  entities.Execute("GUI.ShowWindow(Main)");
  EXPECT_TRUE(ui.GetWindow("Main")->Form().Visible());
}

TEST_F(UIManager, MacrosThatRunThemselvesStop) {
  entities.Execute("Application.RunMacros(Self)");
  EXPECT_EQ(firstRuns.Count, 16) << "one run per level of nesting allowed";
  firstRuns.Count = 0;
  entities.Execute("Application.RunMacros(Ping)");
  EXPECT_EQ(firstRuns.Count + secondRuns.Count, 16);
  firstRuns.Count = 0;
  // Nine commands each running the macro again: 8^16 runs unbounded.
  entities.Execute("Application.RunMacros(Fan)");
  EXPECT_GT(firstRuns.Count, 0);
  EXPECT_LE(firstRuns.Count, 1000) << "the runs one outermost macro causes are bounded";
  firstRuns.Count = 0;
  entities.Execute("Application.RunMacros(Both)");
  EXPECT_EQ(firstRuns.Count, 1) << "the next macro starts afresh";
}

}  // namespace
