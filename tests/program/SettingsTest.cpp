// The settings that last from one run to the next, and a settings file that
// cannot be trusted.
#include "ProgramFixture.h"
#include "controls/KestWnd.h"
#include "platform/Files.h"
#include "platform/Screen.h"
#include "tests/app/LogCapture.h"

namespace program_test {
namespace {

std::string ReadText(const std::string& path) {
  std::string text;
  EXPECT_TRUE(platform::ReadWholeFile(path, 4 << 20, text)) << path;
  return text;
}

void Toggle(app::TEntityManager& bus, const char* name) { bus.Execute(name); }

TEST_F(Program, SettingsAreWrittenAtTheEndAndTakenBackAtTheNextStart) {
  WriteSkin("Plain", R"(<SKIN><WINDOW id="Main" size="200,120"/></SKIN>)");
  StartWithSettings();
  App().Settings().WriteString("Application.Skin", "Plain");
  Toggle(Bus(), "GUI.StayOnTop");
  Toggle(Bus(), "GUI.ShowHints");
  Toggle(Bus(), "GUI.UseTray");
  auto& level = dynamic_cast<app::TBasicEntity&>(*Bus().GetHolder("Application.Level").Entity);
  level.Value = 2;
  Bus().GetHolder("Application.Level").NotifyOwner();
  MainWindow()->Form().SetPosition(40, 30);
  StopWithSettings();

  const std::string saved = ReadText(SettingsFile());
  EXPECT_NE(saved.find("[GUI]\r\nShowHints=0\r\nStayOnTop=1\r\nUseTray=0\r\n"), std::string::npos)
      << saved;
  EXPECT_NE(saved.find("Level=2\r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("[Main]\r\nLeft=40\r\nTop=30\r\n"), std::string::npos) << saved;

  StartWithSettings();
  EXPECT_EQ(Bus().GetValue("GUI.StayOnTop"), 1);
  EXPECT_EQ(Bus().GetValue("GUI.ShowHints"), 0);
  EXPECT_EQ(Bus().GetValue("GUI.UseTray"), 0);
  EXPECT_EQ(Bus().GetValue("Application.Level"), 2);
  EXPECT_EQ(Bus().GetString("Application.LevelName"), "Strong");
  EXPECT_EQ(App().ChessGame()->Level(), 2);
  EXPECT_FALSE(BuiltInMain()) << "the chosen skin is shown";
  EXPECT_EQ(MainWindow()->Form().Left(), 40);
  EXPECT_EQ(MainWindow()->Form().Top(), 30);
  EXPECT_EQ(App().Settings().ReadString("Application.FirstRun"), "No");
}

TEST_F(Program, AWindowPlaceOffEveryScreenIsBroughtBack) {
  std::filesystem::create_directories(Folder() + "/config/ludex");
  WriteFile(SettingsFile(), "[Main]\r\nLeft=50000\r\nTop=-9000\r\n\r\n[EOF]\r\n");
  StartWithSettings();
  const platform::TRect area = platform::WorkArea();
  const platform::TRect main = MainWindow()->Form().BoundsRect();
  EXPECT_EQ(main.Right, area.Right) << "moved back to the right edge";
  EXPECT_EQ(main.Top, area.Top);
}

TEST_F(Program, ADamagedSettingsFileIsSetAsideAndTheDefaultsApply) {
  struct TCase {
    const char* What;
    std::string Text;
  };
  const TCase cases[] = {
      {"cut short", "[GUI]\r\nStayOnTop=1\r\nShowHints=0\r\n"},
      {"binary junk", std::string("[GUI]\r\nStayOnTop=1\r\n\0\x01\x02\r\n[EOF]\r\n", 30)},
      {"far too large", "[GUI]\r\nStayOnTop=1\r\n" + std::string(2 << 20, 'x') + "\r\n[EOF]\r\n"},
  };
  for (const TCase& test : cases) {
    SCOPED_TRACE(test.What);
    std::filesystem::create_directories(Folder() + "/config/ludex");
    std::filesystem::remove(SettingsFile() + ".bad");
    WriteFile(SettingsFile(), test.Text);
    TLogCapture log;
    StartWithSettings();
    EXPECT_EQ(Bus().GetValue("GUI.StayOnTop"), 0) << "the default";
    EXPECT_TRUE(ReadText(SettingsFile() + ".bad") == test.Text) << "kept aside as it was";
    EXPECT_FALSE(std::filesystem::exists(SettingsFile()));
    int notes = 0;
    for (const std::string& line : log.Messages())
      notes += line.find("TAppCore.LoadSettings: ") != std::string::npos;
    EXPECT_EQ(notes, 1);

    // The next save writes a sound file and leaves the damaged one alone.
    StopWithSettings();
    EXPECT_NE(ReadText(SettingsFile()).find("StayOnTop=0"), std::string::npos);
    EXPECT_TRUE(ReadText(SettingsFile() + ".bad") == test.Text);
  }
}

TEST_F(Program, AFailedSaveLeavesTheOldFileWhole) {
  StartWithSettings();
  Toggle(Bus(), "GUI.StayOnTop");
  StopWithSettings();
  const std::string before = ReadText(SettingsFile());

  // The new file cannot be made (its name is taken by a folder), as when the
  // disk is full or the folder read-only.
  StartWithSettings();
  Toggle(Bus(), "GUI.StayOnTop");
  const std::string blocker = SettingsFile() + ".new-" + std::to_string(::getpid());
  std::filesystem::create_directories(blocker);
  TLogCapture log;
  StopWithSettings();
  EXPECT_EQ(ReadText(SettingsFile()), before);
  bool noted = false;
  for (const std::string& line : log.Messages())
    noted = noted || line.find("TAppCore.SaveSettings: cannot create") != std::string::npos;
  EXPECT_TRUE(noted);
  std::filesystem::remove(blocker);
}

TEST_F(Program, ASettingsFileThatCannotBeSetAsideIsNotSavedOver) {
  // A folder in the file's place cannot be read, and a folder of the same
  // name with ".bad" blocks setting it aside.
  std::filesystem::create_directories(SettingsFile());
  std::filesystem::create_directories(SettingsFile() + ".bad/inside");
  StartWithSettings();
  StopWithSettings();
  EXPECT_TRUE(std::filesystem::is_directory(SettingsFile()));
}

}  // namespace
}  // namespace program_test
