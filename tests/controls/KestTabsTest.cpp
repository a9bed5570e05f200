#include "controls/KestTabs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TabSkin.h"
#include "controls/KestTabs2.h"
#include "tests/app/LogCapture.h"

namespace controls_test {
namespace {

using controls::TKestTabs;
using controls::TTabRect;

// Opens the strip's drag state to the tests.
class TTabsProbe : public TKestTabs {
 public:
  explicit TTabsProbe(controls::TKestControl& owner) : TKestTabs(owner) {}
  using TKestTabs::Dragging;
};

class KestTabs : public TabSkinFixture {
 protected:
  // Where the default strip puts tabs with these captions: 21-pixel tab
  // images, a left margin of 1, an overlap of 5, centred in 220 pixels.
  std::vector<TTabRect> Expected(const TKestTabs& tabs, const std::vector<std::string>& captions) {
    std::vector<TTabRect> rects;
    int x = 1;
    for (const std::string& caption : captions) {
      rects.push_back({x, x + 21 + TextWidthIn(tabs, caption)});
      x = rects.back().Right - 5;
    }
    const int shift = (220 - 1 - (rects.back().Right - rects.front().Left)) / 2;
    for (TTabRect& rect : rects) rect = {rect.Left + shift, rect.Right + shift};
    return rects;
  }
  // The colour a tab shows beside its caption and clear of its neighbours.
  static platform::TColor TabColor(TKestTabs& tabs, int index) {
    const TTabRect rect = tabs.TabRects.at(static_cast<std::size_t>(index));
    return Picture(tabs).Pixel((rect.Left + rect.Right) / 2, 25);
  }
  // The first column and the first row of caption ink within a tab's
  // extent: anything but the strip's and the tabs' own colours; -1 for none.
  static platform::TPoint CaptionInk(TKestTabs& tabs, int index) {
    const TTabRect rect = tabs.TabRects.at(static_cast<std::size_t>(index));
    const platform::TBitmap picture = Picture(tabs);
    const auto isInk = [&](int x, int y) {
      const platform::TColor colour = picture.Pixel(x, y);
      return colour != kStripColor && colour != kNormalTab && colour != kHotTab &&
             colour != kSelectedTab;
    };
    platform::TPoint ink{-1, -1};
    for (int x = rect.Left; x < rect.Right && ink.X < 0; ++x) {
      for (int y = 0; y < picture.Height(); ++y) {
        if (isInk(x, y)) ink.X = x;
      }
    }
    for (int y = 0; y < picture.Height() && ink.Y < 0; ++y) {
      for (int x = rect.Left; x < rect.Right; ++x) {
        if (isInk(x, y)) ink.Y = y;
      }
    }
    return ink;
  }
};

TEST_F(KestTabs, TheStripShowsTranslatedCaptionsCentredAndOverlapping) {
  LoadTabs();
  auto window = Build("Main");
  TKestTabs& tabs = Tabs(*window);
  Picture(*window);
  ASSERT_NE(tabs.TabList, nullptr);
  EXPECT_EQ(tabs.TabList->Items, (std::vector<std::string>{"Game.Chess", "Game.Checkers"}));
  EXPECT_EQ(tabs.TabRects, Expected(tabs, {"Chess", "Checkers"}));
  EXPECT_EQ(tabs.TabRects[0].Right - tabs.TabRects[1].Left, 5);
  EXPECT_EQ(tabs.SelTab, 0);
  EXPECT_TRUE(tabs.Enabled());
  EXPECT_EQ(tabs.Hint(), "");
  EXPECT_EQ(TabColor(tabs, 0), kSelectedTab);
  EXPECT_EQ(TabColor(tabs, 1), kNormalTab);
  // The strip's own background shows outside the tabs.
  EXPECT_EQ(Picture(tabs).Pixel(tabs.TabRects[0].Left - 3, 25), kStripColor);
  // Captions start at the centre of the split tab image (11,4), the
  // selected one a pixel higher; the first glyph may start a pixel or two in.
  const platform::TPoint selected = CaptionInk(tabs, 0);
  const platform::TPoint normal = CaptionInk(tabs, 1);
  EXPECT_GE(selected.X - tabs.TabRects[0].Left, 11);
  EXPECT_LE(selected.X - tabs.TabRects[0].Left, 13);
  EXPECT_EQ(normal.X - tabs.TabRects[1].Left, selected.X - tabs.TabRects[0].Left);
  EXPECT_GE(selected.Y, 3);
  EXPECT_EQ(normal.Y, selected.Y + 1);
  EXPECT_TRUE(Pages(*window).Controls()[0]->Visible());
  EXPECT_FALSE(Pages(*window).Controls()[1]->Visible());
}

TEST_F(KestTabs, APressOnAnotherTabSelectsItAndSwitchesThePages) {
  skin.RegisterControlClass<TTabsProbe>("TABS");
  LoadTabs();
  auto window = Build("Main");
  auto& tabs = static_cast<TTabsProbe&>(Tabs(*window));
  Picture(*window);
  const int checkers = tabs.TabRects[1].Right - 3;
  Move(tabs, checkers);
  EXPECT_EQ(tabs.HotTab, 1);
  EXPECT_TRUE(AskedForRepaint(tabs));
  EXPECT_EQ(TabColor(tabs, 1), kHotTab);
  TLogCapture log;
  Press(tabs, checkers);
  EXPECT_TRUE(AskedForRepaint(tabs));
  EXPECT_FALSE(tabs.Dragging);
  EXPECT_EQ(tabs.SelTab, 1);
  EXPECT_EQ(tabs.TabList->ItemIndex, 1);
  EXPECT_FALSE(Pages(*window).Controls()[0]->Visible());
  EXPECT_TRUE(Pages(*window).Controls()[1]->Visible());
  EXPECT_EQ(TabColor(tabs, 1), kSelectedTab);
  EXPECT_EQ(TabColor(tabs, 0), kNormalTab);
  const std::vector<std::string> lines = log.Messages();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "TEntityHolder(Application.Game).NotifyOwner"),
            lines.end());
  Release(tabs, checkers);
  EXPECT_EQ(tabs.SelTab, 1);

  // And back to the first tab: a press there selects it, it drags nothing.
  const int chess = tabs.TabRects[0].Left + 2;
  Press(tabs, chess);
  EXPECT_FALSE(tabs.Dragging);
  EXPECT_EQ(tabs.SelTab, 0);
  EXPECT_EQ(tabs.TabList->ItemIndex, 0);
  EXPECT_TRUE(Pages(*window).Controls()[0]->Visible());
  EXPECT_FALSE(Pages(*window).Controls()[1]->Visible());
  EXPECT_EQ(TabColor(tabs, 0), kSelectedTab);
  Release(tabs, chess);
  // A language change and the mouse leaving redraw the strip as well.
  Picture(tabs);
  entities.Notify("Application.Languages");
  EXPECT_TRUE(AskedForRepaint(tabs));
  tabs.SetHover(false);
  EXPECT_TRUE(AskedForRepaint(tabs));
  Leave(tabs);
  EXPECT_TRUE(AskedForRepaint(tabs));
  EXPECT_FALSE(AskedForRepaint(tabs));
}

TEST_F(KestTabs, EveryStripOfTheListFollowsAChoiceMadeInAnother) {
  LoadTabs();
  auto main = Build("Main");
  auto strip = Build("Strip");
  TKestTabs& mainTabs = Tabs(*main);
  TKestTabs& otherTabs = Tabs(*strip);
  Picture(*main);
  Picture(*strip);
  Press(otherTabs, otherTabs.TabRects[1].Right - 3);
  EXPECT_TRUE(Pages(*main).Controls()[1]->Visible());
  EXPECT_EQ(mainTabs.SelTab, 1) << "the strip over the pages shows the page shown";
  EXPECT_EQ(TabColor(mainTabs, 1), kSelectedTab);
  Press(mainTabs, mainTabs.TabRects[0].Left + 2);
  EXPECT_EQ(otherTabs.SelTab, 0);
}

TEST_F(KestTabs, TheRightHandTabOwnsTheOverlap) {
  LoadTabs();
  auto window = Build("Main");
  TKestTabs& tabs = Tabs(*window);
  Picture(*window);
  const TTabRect chess = tabs.TabRects[0];
  const TTabRect checkers = tabs.TabRects[1];
  Move(tabs, chess.Right);
  EXPECT_EQ(tabs.HotTab, 1);
  Move(tabs, checkers.Left);
  EXPECT_EQ(tabs.HotTab, 1);
  Move(tabs, checkers.Left - 1);
  EXPECT_EQ(tabs.HotTab, 0);
  Move(tabs, chess.Left - 1);
  EXPECT_EQ(tabs.HotTab, -1);
  Move(tabs, chess.Left + 2);
  Leave(tabs);
  EXPECT_EQ(tabs.HotTab, -1);
  EXPECT_FALSE(tabs.Hover());
}

TEST_F(KestTabs, PressesOnTheSelectedTabOrBesideEveryTabDragTheWindow) {
  skin.RegisterControlClass<TTabsProbe>("TABS");
  LoadTabs();
  auto window = Build("Main");
  auto& tabs = static_cast<TTabsProbe&>(Tabs(*window));
  Picture(*window);
  for (const int x : {tabs.TabRects[0].Left - 2, tabs.TabRects[0].Left + 2}) {
    Press(tabs, x);
    EXPECT_TRUE(tabs.Dragging) << x;
    EXPECT_EQ(tabs.SelTab, 0);
    Release(tabs, x);
    EXPECT_FALSE(tabs.Dragging);
  }
  // Other buttons neither select nor drag.
  Press(tabs, tabs.TabRects[1].Right - 2, 1, platform::TMouseButton::Right);
  EXPECT_FALSE(tabs.Dragging);
  EXPECT_EQ(tabs.SelTab, 0);
}

TEST_F(KestTabs, CaptionsAreTranslatedAgainAtEveryPaint) {
  LoadTabs();
  auto window = Build("Main");
  TKestTabs& tabs = Tabs(*window);
  Picture(*window);
  languages.AddEntry("Game.Chess=Chess and more");
  Picture(*window);
  EXPECT_EQ(tabs.TabRects, Expected(tabs, {"Chess and more", "Checkers"}));
}

TEST_F(KestTabs, StripsWithoutListOrImagesDrawNoTabsAndIgnoreBadIndexes) {
  skin.RegisterControlClass<TTabsProbe>("TABS");
  LoadTabs();
  auto window = Build("Main");
  auto lone = Build("Strip");
  auto& other = dynamic_cast<TKestTabs&>(ChildAt(*lone, {0}));
  Picture(other);
  EXPECT_EQ(other.TabRects.size(), 2u);
  for (const int index : {-1, 2, 0}) {
    other.Select(index);
    EXPECT_EQ(other.SelTab, 0);
  }
  // A selection the list no longer holds is not drawn.
  other.Select(1);
  const TTabRect gone = other.TabRects[1];
  other.TabList->Items.pop_back();
  entities.Notify("Application.Game");
  EXPECT_TRUE(AskedForRepaint(other));
  ASSERT_EQ(other.TabRects.size(), 1u);
  EXPECT_EQ(TabColor(other, 0), kNormalTab);
  EXPECT_EQ(Picture(other).Pixel((gone.Left + gone.Right) / 2, 25), kStripColor);
  other.TabList->Items.push_back("Game.Checkers");
  other.Select(0);
  // Without the page container the strip has no list and no tabs.
  window.reset();
  EXPECT_EQ(other.TabList, nullptr);
  EXPECT_TRUE(other.TabRects.empty());
  Picture(other);
  EXPECT_TRUE(other.TabRects.empty());
  other.Select(1);
  EXPECT_EQ(other.SelTab, 0);

  Load(R"(<SKIN><WINDOW id="Main" size="258,300"><TABS size="220,30" link="L"/></WINDOW></SKIN>)");
  auto bare = Build("Main");
  auto& plain = static_cast<TTabsProbe&>(ChildAt(*bare, {0}));
  app::TStringListEntity list;
  list.Items = {"A", "B"};
  entities.RegisterEntity("L", &list);
  Picture(plain);
  EXPECT_TRUE(plain.TabRects.empty());
  Press(plain, 10);
  EXPECT_TRUE(plain.Dragging);
  entities.UnregisterEntity("L");
}

TEST_F(KestTabs, TabsStartAtTheMarginUnlessCentredAndOverlapByNothingByDefault) {
  app::TStringListEntity list;
  list.Items = {"A", "Bb"};
  entities.RegisterEntity("L", &list);
  // Right is laid out like Left.
  for (const std::string align : {"", "Left", "right", "Center"}) {
    SCOPED_TRACE(align);
    Load(R"(<SKIN><IMAGE id="Tabs" file="tabs.bmp">
          <AREA id="Tabs" pos="0,0" size="21,30" repeat="3,1" resize="Split" mask="Color,Fuchsia" center="11,4"/>
        </IMAGE>
        <WINDOW id="Main" size="258,40"><TABS size="200,30" tabs="Tabs.Tabs" link="L" margins="7,0"
          tabsalign=")" +
         align + R"("/></WINDOW></SKIN>)");
    auto window = Build("Main");
    TKestTabs& tabs = Tabs(*window);
    Picture(tabs);
    EXPECT_EQ(tabs.OverStep, 0);
    const int a = 21 + TextWidthIn(tabs, "<A>");
    const int b = 21 + TextWidthIn(tabs, "<Bb>");
    const int left = align == "Center" ? 7 + (200 - 7 - a - b) / 2 : 7;
    EXPECT_EQ(tabs.TabRects, (std::vector<TTabRect>{{left, left + a}, {left + a, left + a + b}}));
  }
  entities.UnregisterEntity("L");
}

// How long hostile lists take to paint is measured by
// tools/measure/hostile-render.py; here they paint in order.
TEST_F(KestTabs, HostileListsAndCaptionsPaintInOrder) {
  LoadTabs(R"(overstep="-2147483648" margins="2147483647,0" textmove="99999999,-99999999")");
  auto window = Build("Main");
  TKestTabs& tabs = Tabs(*window);
  app::TStringListEntity list;
  list.Items.assign(2000, std::string(1 << 14, 'W'));
  list.Items.push_back("");
  entities.RegisterEntity("Application.Game", &list);
  Picture(tabs);
  ASSERT_EQ(tabs.TabRects.size(), list.Items.size());
  for (std::size_t i = 1; i < tabs.TabRects.size(); ++i) {
    EXPECT_LE(tabs.TabRects[i - 1].Left, tabs.TabRects[i].Left);
  }
  window.reset();

  // Laid out from the left, enough tabs reach past the int range: they
  // stop at its edge rather than wrap around.
  Load(R"(<SKIN><IMAGE id="Tabs" file="tabs.bmp"><AREA id="Tabs" size="21,30" repeat="3,1"/></IMAGE>
        <WINDOW id="Main" size="258,40"><TABS size="200,30" tabs="Tabs.Tabs" link="Application.Game"
          overstep="-99999" margins="99999,0"/></WINDOW></SKIN>)");
  auto strip = Build("Main");
  list.Items.assign(140'000, "");
  Picture(Tabs(*strip));
  const std::vector<TTabRect>& rects = Tabs(*strip).TabRects;
  ASSERT_EQ(rects.size(), list.Items.size());
  EXPECT_GT(rects.back().Left, 1 << 29);
  for (std::size_t i = 1; i < rects.size(); ++i) ASSERT_LE(rects[i - 1].Left, rects[i].Left) << i;
  strip.reset();
  entities.UnregisterEntity("Application.Game");
}

TEST_F(KestTabs, TheSecondStripUsesTwoPacksAndTheItemsAsTheyAre) {
  Load(R"(<SKIN>
      <IMAGE id="Tabs" file="tabs.bmp">
        <AREA id="N" pos="0,0" size="21,30" repeat="2,1" resize="Split" mask="Color,Fuchsia" center="11,4"/>
        <AREA id="S" pos="44,0" size="21,30" resize="Split" mask="Color,Fuchsia" center="11,4"/>
      </IMAGE>
      <WINDOW id="Main" size="258,300">
        <TABS2 pos="0,0" size="220,30" tabn="Tabs.N" tabs="Tabs.S" overstep="3" link="Application.Game"
               margins="40,0" tabsalign="Center"/>
        <PAGES link="Application.Game"><PAGE id="Game.Chess"/><PAGE id="Game.Checkers"/></PAGES>
      </WINDOW></SKIN>)");
  auto window = Build("Main");
  auto& tabs = dynamic_cast<controls::TKestTabs2&>(ChildAt(*window, {0}));
  Picture(tabs);
  const int first = 21 + TextWidthIn(tabs, "Game.Chess");
  ASSERT_EQ(tabs.TabRects.size(), 2u);
  EXPECT_EQ(tabs.TabRects[0], (TTabRect{0, first}));
  EXPECT_EQ(tabs.TabRects[1],
            (TTabRect{first - 3, first - 3 + 21 + TextWidthIn(tabs, "Game.Checkers")}));
  EXPECT_EQ(Picture(tabs).Pixel(first / 2, 25), kSelectedTab);
  Move(tabs, tabs.TabRects[1].Right - 2);
  EXPECT_EQ(Picture(tabs).Pixel(tabs.TabRects[1].Right - 8, 25), kHotTab);
  Press(tabs, tabs.TabRects[1].Right - 2);
  EXPECT_EQ(tabs.SelTab, 1);
  EXPECT_TRUE(ChildAt(*window, {1, 1}).Visible());
  // Only the strip of tag TABS follows language changes.
  int subscribed = 0;
  for (const app::TCallback& client : entities.GetHolder("Application.Languages").Clients) {
    subscribed += client.Object() == static_cast<controls::TKestControl*>(&tabs) ? 1 : 0;
  }
  EXPECT_EQ(subscribed, 0);
}

}  // namespace
}  // namespace controls_test
