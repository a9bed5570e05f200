#include "ui/KeyMgr.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/Entities.h"
#include "platform/HotKeys.h"
#include "platform/Resources.h"

using namespace ui;
using ::testing::ElementsAre;

namespace {

void Load(TKeyboardManager& manager, const std::string& text) {
  platform::TMemoryStream stream(text.data(), text.size());
  manager.LoadFromStream(&stream);
}

void LoadBuiltIn(TKeyboardManager& manager) {
  auto stream = platform::OpenResource("Keyboard");
  ASSERT_NE(stream, nullptr);
  manager.LoadFromStream(stream.get());
}

}  // namespace

TEST(KeyboardManager, KeyTextsOfEveryCodeParseBack) {
  int named = 0;
  for (int code = 0; code < 256; ++code) {
    const std::string name = KeyName(code);
    if (name.front() != '<') ++named;
    EXPECT_EQ(ParseKeyText(name).Code, code) << name;
    const std::string full =
        KeyToText(code, platform::ssCtrl | platform::ssAlt | platform::ssShift);
    EXPECT_EQ(full, "Ctrl+Alt+Shift+" + name);
    const TParsedKey parsed = ParseKeyText(full);
    EXPECT_EQ(parsed.Code, code) << full;
    EXPECT_EQ(parsed.Modifiers,
              unsigned{platform::MOD_CONTROL | platform::MOD_ALT | platform::MOD_SHIFT});
  }
  EXPECT_EQ(named, 1 + 4 + 3 + 4 + 8 + 7 + 36 + 4 + 10 + 6 + 12 + 2 + 6 + 3 + 7 + 4 + 1);
}

TEST(KeyboardManager, KeyNamesAndModifierOrder) {
  EXPECT_EQ(KeyToText(112, platform::ssCtrl | platform::ssShift), "Ctrl+Shift+F1");
  EXPECT_EQ(KeyToText(250, 0), "<250>");
  EXPECT_EQ(KeyToText(27, platform::ssAlt), "Alt+Esc");
  EXPECT_EQ(KeyName(0), "Zilch");
  EXPECT_EQ(KeyName(108), "NP sep");
  EXPECT_EQ(KeyName(172), "Web/Home");
  EXPECT_EQ(KeyName(220), "\\");
  EXPECT_EQ(KeyName(123), "F12");
  EXPECT_EQ(KeyName(124), "<124>");
  EXPECT_EQ(KeyName(105), "NP9");

  const TParsedKey space = ParseKeyText("Ctrl+Alt+Space");
  EXPECT_EQ(space.Modifiers, 3u);
  EXPECT_EQ(space.Code, 32);
  const TParsedKey swapped = ParseKeyText("Alt+Ctrl+Space");
  EXPECT_EQ(swapped.Modifiers, unsigned{platform::MOD_ALT});
  EXPECT_EQ(swapped.Code, 0) << "modifiers are only taken in their fixed order";
  EXPECT_EQ(ParseKeyText("ctrl+f1").Code, 0) << "the key name compares exactly";
  EXPECT_EQ(ParseKeyText("ctrl+F1").Modifiers, unsigned{platform::MOD_CONTROL});
  EXPECT_EQ(ParseKeyText("").Code, 0);
  EXPECT_EQ(ParseKeyText("<250>").Code, 250) << "unnamed codes read back too";
  EXPECT_EQ(ParseKeyText("<256>").Code, 0);
}

TEST(KeyboardManager, BuiltInBindings) {
  app::TEntityManager bus;
  TKeyboardManager manager(bus);
  LoadBuiltIn(manager);
  EXPECT_EQ(manager.FindCommand("main", "esc"), "Application.Exit");
  EXPECT_EQ(manager.FindCommand("About", "Esc"), "") << "the section Any applies nowhere else";
  EXPECT_EQ(manager.FindCommand("Main", "Ctrl+F1"), "Window.Show(About)");
  EXPECT_EQ(manager.FindCommand("Main", "\\"), "Playlist.Bookmarks");
  EXPECT_EQ(manager.FindCommand("Any", "Window.Hide"), "Esc")
      << "written command first, stored as written";
  EXPECT_EQ(manager.KeyForCommand("Main", "Application.Help"), "F1");
  EXPECT_EQ(manager.KeyForCommand("Main", "application.exit"), "Esc");
  EXPECT_EQ(manager.KeyForCommand("*", "Playlist.OpenFiles"), "L") << "the last match wins";
  EXPECT_EQ(manager.KeyForCommand("Main", "GUI.Minimize"), "End");
  EXPECT_EQ(manager.KeyForCommand("Main", "GUI.StayOnTop"), "A");
  EXPECT_EQ(manager.KeyForCommand("Main", "Application.SelectSkin"), "F12");
  EXPECT_EQ(manager.KeyForCommand("Main", "Application.Undo"), "Ctrl+Z");
  EXPECT_EQ(manager.KeyForCommand("*", "Application.Minimize"), "Ctrl+Alt+F12");
  EXPECT_EQ(manager.KeyForCommand("Other", "Application.Exit"), "");

  // No program registers the commands of the "System" bindings on this bus,
  // so no key is taken from the rest of the desktop.
  EXPECT_TRUE(manager.HotKeys().empty());
  EXPECT_EQ(manager.Aliases().front().Section, "System");
  EXPECT_EQ(manager.Aliases().back().Key, "\\");
  EXPECT_EQ(manager.Aliases().size(), 4u + 1u + 11u + 6u + 8u + 17u + 8u + 14u);
}

TEST(KeyboardManager, WildcardSectionAndOddLines) {
  app::TEntityManager bus;
  TKeyboardManager manager(bus);
  Load(manager,
       "F5 ~ Before.Header\n"
       "  <*>  \n"
       "F2 ~ Everywhere\n"
       "no tilde here\n"
       "<\n"
       "F3~ A ~ B\n");
  EXPECT_THAT(manager.Aliases().front().Section, "-");
  EXPECT_EQ(manager.FindCommand("AnyWindow", "F2"), "Everywhere");
  EXPECT_EQ(manager.FindCommand("-", "F5"), "Before.Header");
  EXPECT_EQ(manager.Aliases()[2].Key, "");
  EXPECT_EQ(manager.Aliases()[2].Command, "no tilde here");
  EXPECT_EQ(manager.Aliases()[3].Section, "") << "a lone '<' names the empty section";
  EXPECT_EQ(manager.Aliases()[3].Command, "A ~ B");
  EXPECT_EQ(manager.FindCommand("", "f3"), "A ~ B");
}

TEST(KeyboardManager, HotKeysQueueTheirCommandsAndReloadReplacesThem) {
  app::TEntityManager bus;
  app::TBasicEntity first(0, 0, 0);
  app::TBasicEntity second(0, 0, 0);
  app::TStringEntity only;
  bus.RegisterEntity("First", &first);
  bus.RegisterEntity("Second", &second);
  bus.RegisterEntity("Only", &only);
  TKeyboardManager manager(bus);
  Load(manager,
       "<System>\nCtrl+Alt+Space ~ First\nCtrl+Alt+Space ~ Second\nCtrl+Alt+F12 ~ Third\n"
       "Ctrl+Alt+Up ~ Only(argument)\n");
  ASSERT_EQ(manager.HotKeys().size(), 3u) << "no key for a command nobody registered";
  EXPECT_EQ(manager.HotKeys()[2].Command, "Only(argument)");
  app::TBasicEntity third(0, 0, 0);
  bus.RegisterEntity("Third", &third);
  manager.SetSystemKeys();
  ASSERT_EQ(manager.HotKeys().size(), 4u) << "taken once the command exists, and only once";
  EXPECT_EQ(manager.HotKeys()[2].Command, "Third");
  EXPECT_EQ(manager.HotKeys()[0].Atom, manager.HotKeys()[1].Atom) << "one atom per key text";
  EXPECT_NE(manager.HotKeys()[0].Atom, manager.HotKeys()[2].Atom);
  manager.OnHotKey(manager.HotKeys()[0].Atom);
  EXPECT_EQ(bus.PopFromQueue(), "First");
  EXPECT_EQ(bus.PopFromQueue(), "Second");
  EXPECT_EQ(bus.PopFromQueue(), "");

  const std::uint16_t oldAtom = manager.HotKeys()[0].Atom;
  Load(manager, "<system>\nCtrl+Alt+Up ~ Only\n");
  EXPECT_NE(platform::GlobalGetAtomName(oldAtom), "Ctrl+Alt+Space") << "the old atoms are released";
  ASSERT_EQ(manager.HotKeys().size(), 1u);
  EXPECT_EQ(manager.HotKeys()[0].Command, "Only");
  manager.LoadFromStream(nullptr);
  EXPECT_TRUE(manager.HotKeys().empty());
  EXPECT_TRUE(manager.Aliases().empty());
  for (const char* name : {"First", "Second", "Third", "Only"}) bus.UnregisterEntity(name);
}

TEST(KeyboardManager, JunkInputKeepsTheGoodLines) {
  app::TEntityManager bus;
  app::TBasicEntity long_(0, 0, 0);
  app::TBasicEntity last(0, 0, 0);
  bus.RegisterEntity("Long", &long_);
  bus.RegisterEntity("Last", &last);
  TKeyboardManager manager(bus);
  std::string junk = "<Main>\nEsc ~ Application.Exit\n";
  for (int i = 0; i < 256; ++i) junk.push_back(static_cast<char>(i));
  junk += "\n" + std::string(300000, '~') + "\n<System>\n" + std::string(100000, 'k') + " ~ Long\n";
  junk += "Ctrl+Alt+F12 ~ Last";
  Load(manager, junk);
  EXPECT_EQ(manager.FindCommand("Main", "Esc"), "Application.Exit");
  EXPECT_EQ(manager.FindCommand("System", std::string(100000, 'k')), "Long");
  EXPECT_EQ(manager.FindCommand("System", "Ctrl+Alt+F12"), "Last");
  EXPECT_EQ(manager.HotKeys().size(), 2u);
  bus.UnregisterEntity("Long");
  bus.UnregisterEntity("Last");
}
