#pragma once

#include <string>

#include "ControlInput.h"
#include "SkinFixture.h"
#include "controls/KestPages.h"
#include "controls/KestTabs.h"

// A skin shaped like the built-in one around its tab strip and pages: a
// 220-pixel strip whose tabs overlap by 5 and are centred, and a page
// container with the pages "Game.Chess" and "Game.Checkers", both linked
// to "Application.Game".
namespace controls_test {

constexpr platform::TColor kStripColor = platform::RGB(0, 90, 0);
constexpr platform::TColor kNormalTab = platform::RGB(0, 0, 120);
constexpr platform::TColor kHotTab = platform::RGB(0, 120, 120);
constexpr platform::TColor kSelectedTab = platform::RGB(120, 120, 0);
constexpr platform::TColor kFuchsia = platform::RGB(255, 0, 255);

class TabSkinFixture : public SkinFixture {
 protected:
  void SetUp() override {
    pack.AddBitmap("bg.bmp", Strip({kStripColor}, 21, 30, kStripColor));
    pack.AddBitmap("tabs.bmp", Strip({kNormalTab, kHotTab, kSelectedTab}, 21, 30, kFuchsia));
    languages.AddEntry("Game.Chess=Chess");
    languages.AddEntry("Game.Checkers=Checkers");
  }

  // Loads the skin; `strip` and `pages` are extra attributes of the TABS
  // and PAGES elements.
  void LoadTabs(const std::string& strip = "", const std::string& pages = "") {
    Load(R"(<SKIN>
      <IMAGE id="T" file="bg.bmp"><AREA id="BG" pos="0,0" size="21,30" resize="Split"/></IMAGE>
      <IMAGE id="Tabs" file="tabs.bmp">
        <AREA id="Tabs" pos="0,0" size="21,30" repeat="3,1" resize="Split" mask="Color,Fuchsia" center="11,4"/>
      </IMAGE>
      <WINDOW id="Main" size="258,300">
        <TABS pos="20,30" size="220,30" bg="T.BG" tabs="Tabs.Tabs" tabsalign="Center" overstep="5"
              margins="1,-1" link="Application.Game" )" +
         strip + R"(/>
        <PANEL pos="21,61" size="218,218">
          <PAGES pos="1,1" size="216,216" link="Application.Game" )" +
         pages + R"(>
            <PAGE id="Game.Chess"><PANEL id="ChessBoard"/></PAGE>
            <PAGE id="Game.Checkers"/>
          </PAGES>
        </PANEL>
      </WINDOW>
      <WINDOW id="Strip" size="258,40">
        <TABS pos="20,5" size="220,30" bg="T.BG" tabs="Tabs.Tabs" link="Application.Game"/>
      </WINDOW>
    </SKIN>)");
  }

  static controls::TKestTabs& Tabs(controls::TKestControl& window) {
    return dynamic_cast<controls::TKestTabs&>(ChildAt(window, {0}));
  }
  static controls::TKestPages& Pages(controls::TKestControl& window) {
    return dynamic_cast<controls::TKestPages&>(ChildAt(window, {1, 0}));
  }
};

}  // namespace controls_test
