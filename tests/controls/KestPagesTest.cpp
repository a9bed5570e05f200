#include "controls/KestPages.h"

#include <gtest/gtest.h>

#include "TabSkin.h"

namespace controls_test {
namespace {

using controls::TKestPages;

using KestPages = TabSkinFixture;

bool Shown(TKestPages& pages, int index) {
  return pages.Controls().at(static_cast<std::size_t>(index))->Visible();
}

TEST_F(KestPages, TheListHoldsThePageIdsAndTheStartPageIsShown) {
  LoadTabs("", R"(page="1")");
  auto window = Build("Main");
  TKestPages& pages = Pages(*window);
  ASSERT_NE(pages.PageList(), nullptr);
  EXPECT_EQ(pages.PageList()->Items, (std::vector<std::string>{"Game.Chess", "Game.Checkers"}));
  EXPECT_EQ(entities.GetHolder("Application.Game").Entity, pages.PageList());
  EXPECT_FALSE(Shown(pages, 0));
  EXPECT_TRUE(Shown(pages, 1));
  // The strip marks its first tab until the first click.
  EXPECT_EQ(Tabs(*window).SelTab, 0);
  EXPECT_EQ(Tabs(*window).TabList, pages.PageList());
  // The pages fill the container, and their own controls live on.
  EXPECT_EQ(pages.Controls()[0]->BoundsRect(), (platform::TRect{0, 0, 216, 216}));
  EXPECT_EQ(pages.Controls()[1]->BoundsRect(), (platform::TRect{0, 0, 216, 216}));
  EXPECT_EQ(controls::FindControl(*window, "ChessBoard"), &ChildAt(pages, {0, 0}));
}

TEST_F(KestPages, TheOwnerNoticeShowsTheSelectedPageAndBadIndexesHideAll) {
  LoadTabs();
  auto window = Build("Main");
  TKestPages& pages = Pages(*window);
  app::TStringListEntity& list = *pages.PageList();
  list.ItemIndex = 1;
  entities.GetHolder("Application.Game").NotifyOwner();
  EXPECT_FALSE(Shown(pages, 0));
  EXPECT_TRUE(Shown(pages, 1));
  for (const int index : {2, -1}) {
    list.ItemIndex = index;
    entities.GetHolder("Application.Game").NotifyOwner();
    EXPECT_FALSE(Shown(pages, 0)) << index;
    EXPECT_FALSE(Shown(pages, 1)) << index;
  }
  LoadTabs("", R"(page="x")");
  auto fallback = Build("Main");
  EXPECT_TRUE(Shown(Pages(*fallback), 0));
}

TEST_F(KestPages, DestroyingTheContainerTakesItsListOffTheBus) {
  LoadTabs();
  auto strip = Build("Strip");
  auto& tabs = dynamic_cast<controls::TKestTabs&>(ChildAt(*strip, {0}));
  auto first = Build("Main");
  // A second container under the same name replaces the first one's list;
  // freeing the first leaves the second one's in place.
  auto second = Build("Main");
  app::TEntityHolder& holder = entities.GetHolder("Application.Game");
  EXPECT_EQ(holder.Entity, Pages(*second).PageList());
  first.reset();
  EXPECT_EQ(holder.Entity, Pages(*second).PageList());
  EXPECT_EQ(tabs.TabList, Pages(*second).PageList());
  second.reset();
  EXPECT_EQ(holder.Entity, nullptr);
  EXPECT_EQ(tabs.TabList, nullptr);
  EXPECT_TRUE(tabs.Enabled());
}

// A skin cannot take a name the program registered: the page list is not
// registered, the program's command keeps working and survives the window.
TEST_F(KestPages, AContainerLinkedToTheProgramsCommandLeavesItInPlace) {
  TCommandRecorder recorder;
  app::TBasicEntity exit(0, 0, 0, recorder.Callback());
  entities.RegisterEntity("Application.Exit", &exit);
  Load(R"(<SKIN><WINDOW id="Main" size="100,100">
      <TABS size="100,20" link="Application.Exit"/>
      <PAGES pos="0,20" size="100,80" link="application.exit"><PAGE id="A"/></PAGES>
    </WINDOW></SKIN>)");
  auto window = Build("Main");
  app::TEntityHolder& holder = entities.GetHolder("Application.Exit");
  EXPECT_EQ(holder.Entity, &exit);
  EXPECT_EQ(dynamic_cast<TKestPages&>(ChildAt(*window, {1})).PageList()->Holder, nullptr);
  window.reset();
  EXPECT_EQ(holder.Entity, &exit);
  entities.Execute("Application.Exit");
  EXPECT_EQ(recorder.Ran, std::vector<std::string>{"Application.Exit"});
  entities.UnregisterEntity("Application.Exit");
}

}  // namespace
}  // namespace controls_test
