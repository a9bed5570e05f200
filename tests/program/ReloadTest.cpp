// Skin reloads started from inside the window they destroy, the built-in
// menus, and the skinned alert, in the whole program.
#include <algorithm>
#include <map>

#include "ProgramFixture.h"
#include "app/Entities.h"
#include "controls/KestTabs.h"
#include "controls/KestText.h"
#include "games/chess/ChessBoard.h"
#include "games/chess/ChessGame.h"
#include "platform/Bitmap.h"
#include "platform/Bmp.h"
#include "platform/Menu.h"
#include "platform/SysInfo.h"
#include "skin/KestRes.h"
#include "tests/controls/ControlInput.h"

namespace program_test {
namespace {

using controls_test::Press;
using controls_test::Release;

// Every kind of control that runs a command, each running a skin reload
// that destroys it; a macro that reloads and goes on; a popup menu item.
constexpr const char* kReloadingSkin = R"skin(<SKIN>
  <IMAGE id="Tabs" file="tabs.bmp"><AREA id="Tabs" pos="0,0" size="21,30" repeat="3,1"/></IMAGE>
  <MENU id="Pop"><ITEM link="Application.ReloadSkin"/></MENU>
  <MACROS id="Again" do1="Application.ReloadSkin" do2="GUI.ShowWindow(Main)" do3="Application.NewGame"/>
  <WINDOW id="Main" size="300,120" popup="Pop">
    <BUTTON id="Button" pos="0,0" size="20,20" link="Application.ReloadSkin"/>
    <BUTTON id="Macro" pos="80,0" size="20,20" link="Application.RunMacros(Again)"/>
    <CHECKBOX id="Check" pos="110,0" size="20,20" link="Application.ReloadSkin"/>
    <TABS id="Tabs" pos="0,40" size="300,30" tabs="Tabs.Tabs" link="Test.Reloader"/>
  </WINDOW>
</SKIN>)skin";

// A page list whose owner reloads the skin when a tab is chosen.
struct TReloader {
  app::TEntityManager* Bus = nullptr;
  void OnChosen(app::TEntityHolder&) { Bus->Execute("Application.ReloadSkin"); }
};

class Reload : public Program {
 protected:
  void SetUp() override {
    WriteSkin("Reloading", kReloadingSkin);
    platform::TBitmap tabs(70, 32);
    tabs.Fill(platform::RGB(90, 120, 200));
    const auto bytes = platform::EncodeBmp(tabs, 24);
    WriteFile(SkinsFolder() + "/Reloading/tabs.bmp", std::string(bytes.begin(), bytes.end()));
    Start();
    App().Settings().WriteString("Application.Skin", "Reloading");
    Bus().Execute("Application.ReloadSkin");
    ASSERT_NE(Control("Button"), nullptr);
  }

  // Clicks a control and checks that a new "Main" stands where it was.
  void ClickAndExpectANewMain(const std::string& id, int x = 5, int y = 5) {
    controls::TKestControl* control = Control(id);
    ASSERT_NE(control, nullptr) << id;
    const platform::TLifeWatch before = control->Watch();
    Press(*control, x, y);
    if (before.Alive()) Release(*control, x, y);
    ASSERT_NE(MainWindow(), nullptr) << id;
    EXPECT_FALSE(before.Alive()) << id << ": the skin was reloaded";
    EXPECT_NE(Control(id), nullptr) << id;
  }
};

TEST_F(Reload, FromEveryControlOfTheWindowItDestroys) {
  for (const char* id : {"Button", "Check", "Macro"}) ClickAndExpectANewMain(id);

  TReloader reloader{&Bus()};
  app::TStringListEntity pages(app::MakeCallback<&TReloader::OnChosen>(&reloader));
  pages.Items = {"One", "Two"};
  Bus().RegisterEntity("Test.Reloader", &pages);
  Bus().Execute("Application.ReloadSkin");  // the strip takes the list
  auto* tabs = dynamic_cast<controls::TKestTabs*>(Control("Tabs"));
  ASSERT_NE(tabs, nullptr);
  controls_test::Picture(*tabs);  // lays the tabs out
  ASSERT_EQ(tabs->TabRects.size(), 2u);
  ClickAndExpectANewMain("Tabs", tabs->TabRects[1].Right - 3, 5);
  Bus().UnregisterEntity("Test.Reloader");

  auto* menu = UI().ExtSkin().ResManager().Find<skin::TSkinResMenu>("Pop");
  ASSERT_NE(menu, nullptr);
  const platform::TLifeWatch before = MainWindow()->Watch();
  menu->ClickItem(*menu->Items[0]);
  EXPECT_FALSE(before.Alive()) << "the menu's own skin was replaced under it";
}

TEST_F(Reload, TwoThousandReloadsLeaveOneWindowAndFewHeapBlocks) {
  // Warm up, so that caches filled once (fonts, atoms) do not count.
  for (int i = 0; i < 20; ++i) Bus().Execute("Application.ReloadSkin");
  Bus().Execute("Application.SelectSkin");
  const platform::THeapStatus before = platform::GetHeapStatus();
  // Through the selector, then F11, on each skin in turn; "Reloading" is
  // loaded at both ends.
  for (int i = 0; i < 2000; ++i) {
    if (i % 2 == 0) {
      ChooseSkin(i % 4 == 0 ? "" : "Reloading");
    } else {
      Bus().Execute("Application.ReloadSkin");
    }
    platform::ProcessMessages();  // as the message loop does between two clicks
  }
  const platform::THeapStatus after = platform::GetHeapStatus();
  EXPECT_EQ(UI().OpenWindows().size(), 1u);
  EXPECT_LT(Bus().GetHolder("Application.ChessBoard").Clients.size(), 4u)
      << "clients of destroyed boards are dropped";
  EXPECT_LT(after.Bytes - before.Bytes, 1 << 20) << "bytes in live heap blocks";
  EXPECT_LT(after.Count - before.Count, 1000) << "live heap blocks";
}

// Built-in menus: the right-click menu and the tray menu.
std::vector<std::string> Captions(skin::TSkinResMenu& menu) {
  menu.OnPopup();
  std::vector<std::string> captions;
  for (const auto& item : menu.Menu->Items()) captions.push_back(item->Caption);
  return captions;
}

TEST_F(Program, TheBuiltInMenusReachTheSelectorAndHelpWithAThinSeparator) {
  Start();
  auto& resources = UI().IntSkin().ResManager();
  auto* micro = resources.Find<skin::TSkinResMenu>("Micro");
  auto* tray = resources.Find<skin::TSkinResMenu>("Tray");
  ASSERT_NE(micro, nullptr);
  ASSERT_NE(tray, nullptr);
  const std::vector<std::string> expected{"New Game", "Select Skin…", "Help", "-", "Exit"};
  EXPECT_EQ(Captions(*micro), expected);
  EXPECT_EQ(Captions(*tray), expected);
  EXPECT_EQ(micro->Items[1]->KeyText, "F12");
  EXPECT_EQ(micro->Items[2]->KeyText, "F1");

  std::vector<platform::TRect> rects;
  platform::PostDeferred([&] {
    rects = micro->Menu->ItemRects();
    micro->Menu->Close();
  });
  micro->Menu->Popup({40, 40});
  ASSERT_EQ(rects.size(), 5u);
  EXPECT_EQ(rects[3].Height(), 3) << "the separator";
  for (const int i : {0, 1, 2, 4}) EXPECT_GT(rects[i].Height(), 3) << i;
  EXPECT_EQ(rects[3].Top, rects[2].Bottom);
  EXPECT_EQ(rects[4].Top, rects[3].Bottom);
}

TEST_F(Program, TheReboundKeysMinimiseAndKeepTheWindowOnTop) {
  Start();
  controls::TSkinWindow* main = MainWindow();
  ASSERT_NE(main, nullptr);
  int a = 'A';
  main->Form().OnKeyDown(a, 0);
  EXPECT_EQ(Bus().GetValue("GUI.StayOnTop"), 1);
  main->Form().OnKeyDown(a, 0);
  EXPECT_EQ(Bus().GetValue("GUI.StayOnTop"), 0);
  int end = platform::VK_END;
  main->Form().OnKeyDown(end, 0);
  EXPECT_TRUE(platform::IsApplicationMinimized());
  Bus().Execute("GUI.Restore");
}

TEST_F(Program, AGameEndShowsInTheSkinsAlertWindowUntilItsButtonClosesIt) {
  WriteSkin("Alerting", R"skin(<SKIN>
    <WINDOW id="Main" size="200,120"/>
    <WINDOW id="Alert" size="200,80">
      <TEXT id="Message" pos="0,0" size="200,20" link="Alert.Text"/>
      <BUTTON id="Close" pos="0,40" size="40,20" link="GUI.HideWindow(Alert)"/>
    </WINDOW>
  </SKIN>)skin");
  Start();
  App().Settings().WriteString("Application.Skin", "Alerting");
  Bus().Execute("Application.ReloadSkin");
  App().ShowAlerts = true;
  std::string shown;
  bool visible = false;
  platform::PostDeferred([&] {
    controls::TSkinWindow* alert = UI().GetWindow("Alert");
    ASSERT_NE(alert, nullptr);
    visible = alert->Form().Visible();
    auto* message = dynamic_cast<controls::TKestText*>(controls::FindControl(*alert, "Message"));
    ASSERT_NE(message, nullptr);
    shown = message->Text;
    controls::TKestControl* close = controls::FindControl(*alert, "Close");
    Press(*close, 5, 5);
    Release(*close, 5, 5);
  });
  // White mates: the game tells the player in the skin's window.
  chess::TChessBoardEntity& board = App().ChessGame()->BoardEntity();
  board.Position = chess::PositionFromText("k7/8/1K6/8/8/8/8/2Q5 - -");
  board.Position.ApplyMove(chess::TChessMove{2, 0, 2, 7, false});
  board.OnMove();
  EXPECT_EQ(App().Alerts, std::vector<std::string>{"White win!"});
  EXPECT_TRUE(visible);
  EXPECT_EQ(shown, "White win!");
  EXPECT_EQ(UI().GetWindow("Alert"), nullptr) << "closed and destroyed";
  EXPECT_FALSE(Bus().IsRegistered("Alert.Text"));
}

}  // namespace
}  // namespace program_test
