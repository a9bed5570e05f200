#include "app/AppCore.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include <algorithm>
#include <memory>
#include <stdexcept>

#include "LogCapture.h"
#include "app/TextStream.h"
#include "app/VerInfo.h"
#include "platform/Application.h"
#include "tests/support/TestApplication.h"

using namespace app;
using ::testing::ElementsAre;
using ::testing::IsSupersetOf;

namespace {

// A UI manager that records what the core asks of it. "Main" counts as
// visible for a given number of ticks.
class TRecordingUI : public TUIManagerBase {
 public:
  TRecordingUI(TEntityManager& bus, std::vector<std::string>& calls) : Bus(&bus), Calls(calls) {}

  void LoadDefaultSkin() override { Calls.push_back("LoadDefaultSkin"); }
  void ShowWindow(const std::string& name) override { Calls.push_back("ShowWindow(" + name + ")"); }
  bool WindowExists(const std::string& name) override { return HasAlertWindow && name == "Alert"; }
  void ShowModal(const std::string& name) override {
    Calls.push_back("ShowModal(" + name + ")=" + Bus->GetString("Alert.Text"));
  }
  void HideAll() override {
    Calls.push_back("HideAll@" + std::to_string(Bus->GetValue("System.Timer")));
  }
  bool AnyWindowVisible() override {
    if (ThrowOnTick) {
      ThrowOnTick = false;
      throw std::runtime_error("tick failed");
    }
    return VisibleTicks-- > 0;
  }
  void SetUseTray(bool) override {}
  void LoadKeyBindings(platform::TStream& stream) override {
    Calls.push_back("LoadKeyBindings:" + TTextStream(stream).ReadLine());
  }
  void SetSystemKeys() override { Calls.push_back("SetSystemKeys"); }
  void LoadLanguage(platform::TStream& stream) override {
    Calls.push_back("LoadLanguage:" + std::to_string(stream.GetSize() > 0));
  }
  void LoadSkinFromFolder(const std::string& path) override { Calls.push_back("Folder:" + path); }
  void LoadSkinFromZIP(const std::string& path) override { Calls.push_back("ZIP:" + path); }

  TEntityManager* Bus;
  std::vector<std::string>& Calls;
  bool HasAlertWindow = true;
  bool ThrowOnTick = false;
  int VisibleTicks = 0;
};

// An application over the recording UI with a settable clock and shell.
class TProbeApp : public TAppCore {
 public:
  std::string GetTitle() const override { return "Probe"; }

  // Builds the bus and the UI without platform windows.
  void MakeBus() {
    CreateEntityManager();
    CreateUIManager();
  }
  void Tick() { OnTimer(); }

  TRecordingUI* UI = nullptr;
  std::vector<std::string> Calls;
  int InitialVisibleTicks = 0;
  bool ThrowOnFirstTick = false;
  std::vector<std::string> QueuedAtStart;
  TClockTime Clock;
  std::vector<std::string> Opened;
  std::vector<std::string> TimerValues;

 protected:
  std::unique_ptr<TUIManagerBase> NewUIManager(TEntityManager& bus) override {
    auto ui = std::make_unique<TRecordingUI>(bus, Calls);
    ui->VisibleTicks = InitialVisibleTicks;
    ui->ThrowOnTick = ThrowOnFirstTick;
    for (const std::string& command : QueuedAtStart) bus.PushToQueue(command);
    UI = ui.get();
    return ui;
  }
  TClockTime LocalClock() const override { return Clock; }
  void ShellOpen(const std::string& target, bool maximized) override {
    Opened.push_back(target + (maximized ? " max" : ""));
  }
};

// Records the notifications of one name.
struct TWatch {
  std::vector<std::string> Seen;
  TEntityManager* Bus = nullptr;
  void On(TEntityHolder& sender) { Seen.push_back(Bus->GetString(sender.Name)); }
};

}  // namespace

TEST(AppCore, VersionTextForms) {
  TFixedFileInfo release;
  release.Signature = TFixedFileInfo::kSignature;
  release.ProductVersionMS = (2u << 16) | 0u;
  release.ProductVersionLS = (3u << 16) | 200u;
  release.FileFlagsMask = TFixedFileInfo::kPreRelease;
  EXPECT_EQ(TFileVersionInfo("x", release).GetVersionText(), "2.0");
  TFixedFileInfo beta = release;
  beta.FileFlags = TFixedFileInfo::kPreRelease;
  EXPECT_EQ(TFileVersionInfo("x", beta).GetVersionText(), "2.0 Beta 3 (build 200)");
  beta.FileFlagsMask = 0;
  EXPECT_EQ(TFileVersionInfo("x", beta).GetVersionText(), "2.0")
      << "the flag counts only under its mask";
  beta.Signature = 0x12345678;
  EXPECT_EQ(TFileVersionInfo("x", beta).GetVersionText(), "");
  EXPECT_EQ(TFileVersionInfo("x", std::nullopt).GetVersionText(), "");
  EXPECT_EQ(TFileVersionInfo("/bin/sh").GetVersionText(), "") << "other files carry no version";
  EXPECT_EQ(TFileVersionInfo(platform::ExecutablePath()).GetVersionText().substr(0, 3), "2.0");
}

TEST(AppCore, TitleLineUsesTheDerivedTitle) {
  TLogCapture log;
  auto application = CreateApplication<TProbeApp>();
  const std::string expected = "=== Probe " + application->GetVersion() + " ===";
  EXPECT_THAT(log.Messages(), ElementsAre(expected));
}

TEST(AppCore, RegistersEntitiesInOrderAndTitleFollowsItsEntity) {
  TProbeApp application;
  application.MakeBus();
  TEntityManager& bus = *application.EntityManager();
  application.RegisterEntities();
  EXPECT_EQ(bus.GetString("Application.Title"), "Probe " + application.GetVersion());
  EXPECT_EQ(bus.GetString("System.Time"), "00:00");
  EXPECT_EQ(bus.GetValue("System.Timer"), 0);
  auto* exit = dynamic_cast<TBasicEntity*>(bus.GetHolder("Application.Exit").Entity);
  ASSERT_NE(exit, nullptr);
  EXPECT_EQ(exit->Max, 1);

  bus.SetString("Application.Title", "Renamed");
  EXPECT_EQ(platform::ApplicationTitle(), "Renamed");

  bus.Execute("System.Execute(https://ludex.example.org/)");
  EXPECT_THAT(application.Opened, ElementsAre("https://ludex.example.org/"));
  EXPECT_EQ(bus.GetString("System.Execute"), "") << "the document name is taken and cleared";

  application.UnregisterEntities();
  for (const char* name :
       {"Application.Exit", "Application.Title", "Application.Help", "System.Time", "System.Timer",
        "System.Execute", "Application.ReloadSkin", "Application.SelectSkin"}) {
    EXPECT_EQ(bus.GetHolder(name).Entity, nullptr) << name;
  }
  EXPECT_EQ(bus.GetHolder("Application.Title").Clients[0].IsAssigned(), false);
}

TEST(AppCore, ClockBlinksOncePerSecondAndTimerCountsTicks) {
  EXPECT_EQ(TProbeApp::ClockText(9, 5, 0), "09:05");
  TProbeApp application;
  application.MakeBus();
  application.RegisterEntities();
  TEntityManager& bus = *application.EntityManager();
  application.UI->VisibleTicks = 100;
  TWatch watch{{}, &bus};
  bus.AddClient("System.Time", MakeCallback<&TWatch::On>(&watch));

  application.Clock = {23, 7, 40};
  application.Tick();
  application.Tick();  // same second: not set again
  application.Clock = {23, 7, 41};
  application.Tick();
  application.Clock = {23, 8, 42};
  application.Tick();
  EXPECT_THAT(watch.Seen, ElementsAre("23:07", "23 07", "23:08"));
  EXPECT_EQ(bus.GetValue("System.Timer"), 4);
  bus.RemoveClient("System.Time", MakeCallback<&TWatch::On>(&watch));
  application.UnregisterEntities();
}

TEST(AppCore, AlertUsesTheSkinWindowWhenThereIsOne) {
  TLogCapture log;
  TProbeApp application;
  application.MakeBus();
  application.Alert("White win!");
  EXPECT_THAT(application.Calls, ElementsAre("ShowModal(Alert)=White win!"));
  EXPECT_EQ(application.EntityManager()->GetHolder("Alert.Text").Entity, nullptr);
  application.AppException("disk full");
  EXPECT_THAT(log.Messages(),
              IsSupersetOf(
                  {"!Alert(White win!)", "TAppCore.AppException! disk full", "!Alert(disk full)"}));
}

TEST(AppCore, LoadResourcesHandsTheBuiltInTextsToTheUI) {
  TProbeApp application;
  application.MakeBus();
  application.LoadResources();
  EXPECT_THAT(application.Calls, ElementsAre("LoadKeyBindings:<System>\n", "LoadLanguage:1"));
  EXPECT_EQ(application.Settings().ReadString("Application.Skin"), "");
}

TEST(AppCore, HelpFallsBackToAnAlert) {
  TProbeApp application;
  application.MakeBus();
  application.RegisterEntities();
  application.EntityManager()->Execute("Application.Help");
  EXPECT_THAT(application.Calls, ElementsAre("ShowModal(Alert)=Help file is not available"));
  application.UnregisterEntities();
}

TEST(AppCore, SkinListHoldsTheBuiltInEntryFoldersAndZipFiles) {
  const std::vector<platform::TDirEntry> entries{{"readme.txt", false},
                                                 {"wood", true},
                                                 {"Marble.zip", false},
                                                 {"Glass.ZIP", false},
                                                 {"..", true}};
  EXPECT_THAT(TAppCore::SkinListEntries(entries),
              ElementsAre("", "Glass.ZIP", "Marble.zip", "wood"));
  EXPECT_THAT(TAppCore::SkinListEntries({}), ElementsAre(""));
}

TEST(AppCore, AppObjectsRunInitAfterConstructionAndDoneBeforeDestruction) {
  testing_support::TTestApplication application;
  EXPECT_EQ(app::Application, &application);
  struct TProbe : TAppObject {
    TProbe(TAppCore& owner, std::vector<std::string>& journal)
        : TAppObject(owner), Journal(journal) {
      Journal.push_back("construct");
    }
    ~TProbe() override { Journal.push_back("destroy"); }
    void Init() override { Journal.push_back("init"); }
    void Done() override { Journal.push_back("done"); }
    std::vector<std::string>& Journal;
  };
  std::vector<std::string> journal;
  {
    auto probe = MakeAppObject<TProbe>(application, journal);
    EXPECT_EQ(probe->EntityManager(), application.EntityManager());
    EXPECT_EQ(&probe->Application(), &application);
  }
  EXPECT_THAT(journal, ElementsAre("construct", "init", "done", "destroy"));
  application.Alert("Draw!");
  EXPECT_THAT(application.Alerts, ElementsAre("Draw!"));
}

TEST(AppCore, RunGoesThroughItsWholeLife) {
  TLogCapture log;
  std::vector<std::string> calls;
  {
    TProbeApp application;
    // The first tick fails, the next three find "Main" visible, the fifth
    // finds no window and quits.
    application.ThrowOnFirstTick = true;
    application.InitialVisibleTicks = 3;
    application.QueuedAtStart = {"Application.ReloadSkin"};
    application.Run();
    calls = application.Calls;
  }
  EXPECT_THAT(calls, ElementsAre("LoadDefaultSkin", "LoadKeyBindings:<System>\n", "LoadLanguage:1",
                                 "SetSystemKeys", "ShowWindow(Main)", "ShowWindow(Main)",
                                 "ShowModal(Alert)=tick failed", "HideAll@5"));
  const std::vector<std::string> messages = log.Messages();
  auto position = [&](const std::string& text) {
    return std::find(messages.begin(), messages.end(), text) - messages.begin();
  };
  EXPECT_LT(position("+TAppCore.Run"), position("+TAppCore.CreateUI"));
  EXPECT_LT(position("-TAppCore.CreateUI"), position("=== Application has been shown"));
  EXPECT_LT(position("=== Application has been shown"),
            position("=== Application has been hidden"));
  EXPECT_LT(position("=== Application has been hidden"), position("+TAppCore.DestroyUI"));
  EXPECT_LT(position("+TAppCore.DestroyUI"), position("-TAppCore.DestroyUI"));
  EXPECT_LT(position("-TAppCore.DestroyUI"), position("-TAppCore.Run"));
  EXPECT_LT(position("-TAppCore.Run"), static_cast<long>(messages.size()));
}

TEST(AppCore, SettingsFileMarksTheFirstRun) {
  const std::string folder =
      platform::JoinPath(platform::TempDirectory(), "ludex-firstrun-" + std::to_string(::getpid()));
  struct TFirstRunProbe : TAppCore {
    explicit TFirstRunProbe(std::string path) : path_(std::move(path)) {}
    std::string SettingsPath() const override { return path_; }
    int FirstRuns = 0;
    void OnFirstRun() override { ++FirstRuns; }
    std::string path_;
  };
  // The folder is made by the first save.
  const std::string path = platform::JoinPath(folder, "probe.ini");
  TFirstRunProbe first(path);
  first.LoadSettings();
  EXPECT_EQ(first.FirstRuns, 1);
  first.Settings().WriteString("Application.Skin", "Wood");
  first.SaveSettings();

  TFirstRunProbe second(path);
  second.LoadSettings();
  EXPECT_EQ(second.FirstRuns, 0);
  EXPECT_EQ(second.Settings().ReadString("Application.Skin"), "Wood");
  EXPECT_EQ(second.Settings().ReadString("Application.FirstRun"), "No");
  std::filesystem::remove_all(folder);
}

// The platform's program-wide state belongs to the application object: what
// was set before it exists carries over, and nothing of it (hooks holding on
// to objects, a title, a quit) outlives it.
TEST(PlatformState, TakenOverByTheApplicationAndEndedWithIt) {
  ASSERT_FALSE(platform::ApplicationExists());
  platform::SetApplicationTitle("Before");
  platform::PostQuit(4);
  auto witness = std::make_shared<int>(0);
  {
    platform::TApplication application;
    EXPECT_EQ(platform::ApplicationTitle(), "Before");
    EXPECT_EQ(platform::RunMessageLoop(), 4) << "the quit posted before waits for the loop";
    EXPECT_THROW(platform::TApplication second, std::logic_error);
    EXPECT_EQ(platform::ApplicationTitle(), "Before") << "a refused second one takes nothing";

    platform::SetExceptionHandler([witness](const std::string&) { ++*witness; });
    platform::SetApplicationHook([witness](platform::TAppEvent) { ++*witness; });
    platform::CallGuarded([] { throw std::runtime_error("boom"); });
    EXPECT_EQ(*witness, 1);
    EXPECT_EQ(witness.use_count(), 3);
  }
  EXPECT_EQ(witness.use_count(), 1) << "the hooks ended with the application";
  EXPECT_EQ(platform::ApplicationTitle(), "");
  platform::CallGuarded([] { throw std::runtime_error("after"); });
  EXPECT_EQ(*witness, 1);
}
