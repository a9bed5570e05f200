// Choosing, reloading and listing skins, and help, in the whole program.
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include <gmock/gmock.h>

#include "ProgramFixture.h"
#include "app/AdvINIFile.h"
#include "platform/Window.h"

namespace program_test {
namespace {

using ::testing::ElementsAre;

TEST_F(Program, WithoutSkinsFolderOnlyTheBuiltInIsListedAndReloadShowsItsMain) {
  Start();
  Bus().Execute("Application.SelectSkin");
  EXPECT_EQ(ListedSkins(), std::vector<std::string>{""});
  EXPECT_TRUE(App().SkinSelector()->Visible());
  controls::TSkinWindow* before = MainWindow();
  ASSERT_NE(before, nullptr);
  Bus().Execute("Application.ReloadSkin");
  ASSERT_NE(MainWindow(), nullptr);
  EXPECT_EQ(MainWindow(), before) << "nothing was loaded, so nothing was rebuilt";
  EXPECT_TRUE(BuiltInMain()) << "the built-in Main with its boards";
}

TEST_F(Program, ChoosingASkinShowsItsMainAndTheCurrentOneOnlyRaisesTheSelector) {
  WriteSkin("Blue", MarkedSkin("BlueMark"));
  WriteZipSkin("Green.ZIP", MarkedSkin("GreenMark"));
  WriteFile(SkinsFolder() + "/notes.txt", "not a skin");
  Start();
  Bus().Execute("Application.SelectSkin");
  EXPECT_EQ(ListedSkins(), (std::vector<std::string>{"", "Blue", "Green.ZIP"}));

  ChooseSkin("Blue");
  EXPECT_NE(Control("BlueMark"), nullptr);
  EXPECT_EQ(App().Settings().ReadString("Application.Skin"), "Blue");
  controls::TSkinWindow* blue = MainWindow();
  ChooseSkin("Blue");
  EXPECT_EQ(MainWindow(), blue) << "the current skin is not loaded again";

  ChooseSkin("Green.ZIP");
  EXPECT_NE(Control("GreenMark"), nullptr);
  Bus().Execute("Application.SelectSkin");
  EXPECT_EQ(App().SkinList()->Item(App().SkinList()->ItemIndex()), "Green.ZIP");

  // F11 reads the chosen skin again from disk.
  WriteZipSkin("Green.ZIP", MarkedSkin("GreenAgain"));
  Bus().Execute("Application.ReloadSkin");
  EXPECT_NE(Control("GreenAgain"), nullptr);

  ChooseSkin("");
  EXPECT_TRUE(BuiltInMain()) << "back to the built-in skin";
  EXPECT_EQ(Control("GreenAgain"), nullptr);
}

TEST_F(Program, HostileSkinsFoldersAreListedEscapedAndNeverCrash) {
  WriteSkin("Blue", MarkedSkin("BlueMark"));
  WriteSkin("ctl\x01name", MarkedSkin("ControlMark"));
  WriteSkin(
      "bad\xff"
      "name",
      MarkedSkin("InvalidMark"));
  WriteSkin("back\\slash", MarkedSkin("SlashMark"));
  std::filesystem::create_directories(SkinsFolder() + "/folder.zip");  // a ".zip" folder
  std::filesystem::create_directory_symlink("loop", SkinsFolder() + "/loop");
  std::filesystem::create_directories(SkinsFolder() + "/locked");
  ::chmod((SkinsFolder() + "/locked").c_str(), 0);
  for (int i = 0; i < 20000; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "/junk%05d.txt", i);
    WriteFile(SkinsFolder() + name, "");
  }
  Start();
  Bus().Execute("Application.SelectSkin");
  EXPECT_THAT(ListedSkins(), ElementsAre("", "back\\\\slash", "bad\\xFFname", "Blue",
                                         "ctl\\x01name", "folder.zip", "locked"))
      << "the symbolic-link loop is neither a folder nor a file";

  ChooseSkin("bad\\xFFname");
  EXPECT_NE(Control("InvalidMark"), nullptr) << "the entry loads the folder with its real name";
  ChooseSkin("ctl\\x01name");
  EXPECT_NE(Control("ControlMark"), nullptr);
  ChooseSkin("back\\\\slash");
  EXPECT_NE(Control("SlashMark"), nullptr);
  for (const char* nothing : {"folder.zip", "locked"}) {
    ChooseSkin(nothing);
    EXPECT_TRUE(BuiltInMain()) << nothing << ": the built-in Main";
  }
  App().Settings().WriteString("Application.Skin", "loop");
  Bus().Execute("Application.ReloadSkin");
  EXPECT_NE(MainWindow(), nullptr);
}

// A stand-in for the desktop's opener: it writes what it was asked to open.
class Help : public Program {
 protected:
  void SetUp() override {
    const std::string bin = Folder() + "/bin";
    std::filesystem::create_directories(bin);
    opened_ = Folder() + "/opened.txt";
    WriteFile(bin + "/xdg-open", "#!/bin/sh\necho \"$1\" >> '" + opened_ + "'\n");
    ::chmod((bin + "/xdg-open").c_str(), 0755);
    const char* path = std::getenv("PATH");
    savedPath_ = path ? path : "";
    ::setenv("PATH", (bin + ":" + savedPath_).c_str(), 1);
    std::filesystem::create_directories(Folder() + "/Help");
  }
  void TearDown() override { ::setenv("PATH", savedPath_.c_str(), 1); }

  // What the stand-in opened, once it has run (it runs on its own).
  std::string Opened() {
    for (int i = 0; i < 500 && !std::filesystem::exists(opened_); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::string text;
    if (std::FILE* file = std::fopen(opened_.c_str(), "rb")) {
      char buffer[4096];
      text.assign(buffer, std::fread(buffer, 1, sizeof buffer, file));
      std::fclose(file);
    }
    std::filesystem::remove(opened_);
    return text;
  }

 private:
  std::string opened_;
  std::string savedPath_;
};

TEST_F(Help, OpensTheLanguagesPageThenEnglishThenAlerts) {
  WriteFile(Folder() + "/Help/English.html", "<html></html>");
  WriteFile(Folder() + "/Help/German.html", "<html></html>");
  Start();
  Bus().Execute("Application.Help");
  EXPECT_EQ(Opened(), Folder() + "/Help/English.html\n") << "no language set: English";
  App().Settings().WriteString("Application.Language", "German");
  Bus().Execute("Application.Help");
  EXPECT_EQ(Opened(), Folder() + "/Help/German.html\n");
  App().Settings().WriteString("Application.Language", "French");
  Bus().Execute("Application.Help");
  EXPECT_EQ(Opened(), Folder() + "/Help/English.html\n") << "a missing page falls back";
  EXPECT_TRUE(App().Alerts.empty());

  std::filesystem::remove(Folder() + "/Help/English.html");
  Bus().Execute("Application.Help");
  EXPECT_EQ(App().Alerts, std::vector<std::string>{"Help file is not available"});
}

}  // namespace
}  // namespace program_test
