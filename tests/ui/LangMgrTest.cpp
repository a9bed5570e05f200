#include "ui/LangMgr.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/Resources.h"

using ui::TLanguageManager;

namespace {

void Load(TLanguageManager& manager, const std::string& text) {
  platform::TMemoryStream stream(text.data(), text.size());
  manager.LoadFromStream(&stream);
}

}  // namespace

TEST(LanguageManager, TranslateIgnoresCaseAndMarksMissingNames) {
  TLanguageManager manager;
  Load(manager,
       "# comment=ignored\n"
       "; another=ignored\n"
       "   Application.Exit=Exit   \r\n"
       "\n"
       "no equals sign\n"
       "Window.Show(About)= About \\nLudex\n"
       "Empty=\n");
  EXPECT_EQ(manager.Translate("application.exit"), "Exit");
  EXPECT_EQ(manager.Translate("WINDOW.SHOW(ABOUT)"), " About \r\nLudex") << "inner spaces stay";
  EXPECT_EQ(manager.Translate("Empty"), "");
  EXPECT_EQ(manager.Translate("GUI.ShowHints"), "<GUI.ShowHints>");
  EXPECT_EQ(manager.Translate("# comment"), "<# comment>");
  EXPECT_EQ(manager.Entries().size(), 3u);
  manager.LoadFromStream(nullptr);
  EXPECT_EQ(manager.Entries().size(), 3u);
  manager.Clear();
  EXPECT_EQ(manager.Translate("Application.Exit"), "<Application.Exit>");
}

TEST(LanguageManager, ReplacementIsCaseSensitiveAndTheLaterSortedEntryWins) {
  TLanguageManager manager;
  Load(manager, "Application.Exit=Exit\nGame.Chess=Chess\n");
  Load(manager, "Application.Exit=Leave\n");
  EXPECT_EQ(manager.Translate("Application.Exit"), "Leave");
  EXPECT_EQ(manager.Entries().size(), 2u);
  Load(manager, "application.exit=Quit\n");
  EXPECT_THAT(manager.Entries(),
              ::testing::ElementsAre("Application.Exit=Leave", "application.exit=Quit",
                                     "Game.Chess=Chess"));
  EXPECT_EQ(manager.Translate("APPLICATION.EXIT"), "Quit");
  EXPECT_EQ(manager.Translate("Game.Chess"), "Chess") << "other entries stay";
}

TEST(LanguageManager, BuiltInEnglishCaptions) {
  TLanguageManager manager;
  auto stream = platform::OpenResource("LangEn");
  ASSERT_NE(stream, nullptr);
  manager.LoadFromStream(stream.get());
  EXPECT_EQ(manager.Translate("Game.Chess"), "Chess");
  EXPECT_EQ(manager.Translate("Game.Checkers"), "Checkers");
  EXPECT_EQ(manager.Translate("Application.NewGame"), "New Game");
  EXPECT_EQ(manager.Translate("System.Execute(https://ludex.example.org/)"), "Visit Home Page");
  for (const char* name : {"Window.Show(About)", "Window.ToggleControl(PLPanel)", "Application",
                           "Application.StayOnTop", "GUI.Minimize", "Application.Exit",
                           "Application.Preferences", "Application.Help"}) {
    EXPECT_NE(manager.Translate(name).front(), '<') << name;
  }
}

TEST(LanguageManager, JunkInputKeepsTheGoodLines) {
  std::string junk = "Good.One=1\n";
  for (int i = 0; i < 256; ++i) junk.push_back(static_cast<char>(i));
  junk += "\n" + std::string(200000, 'x') + "=long\n";
  junk += std::string(100000, '=') + "\n";
  junk += "Good.Two=2";  // no line end at the end of the text
  TLanguageManager manager;
  Load(manager, junk);
  EXPECT_EQ(manager.Translate("Good.One"), "1");
  EXPECT_EQ(manager.Translate("Good.Two"), "2");
  EXPECT_EQ(manager.Translate(std::string(200000, 'x')), "long");
}
