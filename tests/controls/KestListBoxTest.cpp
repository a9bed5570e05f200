#include "controls/KestListBox.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "ControlInput.h"
#include "SkinFixture.h"
#include "platform/ListBox.h"

namespace controls_test {
namespace {

using controls::TKestListBox;
using Texts = std::vector<std::string>;

class KestListBox : public SkinFixture {
 protected:
  // The list's owner: counts its calls and may close the window.
  struct TOwner {
    int Calls = 0;
    std::unique_ptr<controls::TSkinWindow>* CloseOnCall = nullptr;
    void Changed(app::TEntityHolder&) {
      ++Calls;
      if (CloseOnCall) CloseOnCall->reset();
    }
  };

  void SetUp() override {
    games.Items = {"Chess", "Checkers", "Go", "Mill"};
    games.ItemIndex = 1;
    entities.RegisterEntity("Games", &games);
    entities.RegisterEntity("Count", &count);
  }
  void TearDown() override {
    window.reset();
    entities.UnregisterEntity("Count");
    entities.UnregisterEntity("Games");
  }

  TKestListBox& Open(const std::string& attributes) {
    window.reset();
    pack.AddBitmap("shape.bmp",
                   Strip({platform::RGB(0, 0, 120)}, 120, 150, platform::RGB(255, 0, 255)));
    Load(
        R"(<SKIN><IMAGE id="S" file="shape.bmp"><AREA id="A" size="120,150" mask="Color,Fuchsia"/></IMAGE>
              <WINDOW id="Main" size="200,200"><LISTBOX pos="10,10" size="120,150" )" +
        attributes + "/></WINDOW></SKIN>");
    window = Build("Main");
    return dynamic_cast<TKestListBox&>(ChildAt(*window, {0}));
  }

  TOwner owner;
  app::TStringListEntity games{app::MakeCallback<&TOwner::Changed>(&owner)};
  app::TBasicEntity count{0, 3, 10};
  std::unique_ptr<controls::TSkinWindow> window;
};

TEST_F(KestListBox, ShowsTheItemsAndSelectionOfItsEntity) {
  TKestListBox& box = Open(R"(link="Games" hint="Pick one" bgcolor="#000000")");
  EXPECT_FALSE(box.Draggable);
  EXPECT_EQ(box.Hint(), "");
  platform::TListBox& list = *box.List();
  EXPECT_EQ(list.BoundsRect(), box.ClientRect());
  EXPECT_EQ(list.Items(), (Texts{"Chess", "Checkers", "Go", "Mill"}));
  EXPECT_EQ(list.ItemIndex(), 1);
  // The native list is part of the control's picture: its aqua text shows.
  const platform::TBitmap picture = Picture(box);
  int aqua = 0;
  for (int y = 0; y < picture.Height(); ++y) {
    for (int x = 0; x < picture.Width(); ++x) {
      const platform::TColor pixel = picture.Pixel(x, y);
      aqua += platform::GetRValue(pixel) < 32 && platform::GetGValue(pixel) > 128 &&
              std::abs(platform::GetGValue(pixel) - platform::GetBValue(pixel)) < 16;
    }
  }
  EXPECT_GT(aqua, 0);
  // A flat border, drawn in the (black) text colour of the frame: no grey
  // bevel around the list.
  for (const platform::TPoint edge : {platform::TPoint{0, 60}, {119, 60}, {60, 0}, {60, 149}}) {
    EXPECT_EQ(picture.Pixel(edge.X, edge.Y), platform::RGB(0, 0, 0)) << edge.X << "," << edge.Y;
  }

  // Every notice of the entity shows its items and selection anew; an item
  // the language has a caption for shows the caption.
  games.ItemIndex = 3;
  entities.Notify("Games");
  EXPECT_EQ(list.Items(), (Texts{"Chess", "Checkers", "Go", "Mill"}));
  EXPECT_EQ(list.ItemIndex(), 3);
  languages.AddEntry("Game.Solitaire=Patience");
  games.Items = {"Game.Solitaire", "E2-E4"};
  games.ItemIndex = 0;
  entities.Notify("Games");
  EXPECT_EQ(list.Items(), (Texts{"Patience", "E2-E4"}));
  EXPECT_EQ(list.ItemIndex(), 0);
  entities.UnregisterEntity("Games");
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(KestListBox, ChoosingALineSetsTheIndexAndTellsTheOwner) {
  platform::TListBox* list = Open(R"(link="Games")").List();
  list->SetItemIndex(2);
  list->OnClick();
  EXPECT_EQ(games.ItemIndex, 2);
  EXPECT_EQ(owner.Calls, 1);
  // The owner may close the window from its handler.
  owner.CloseOnCall = &window;
  list->SetItemIndex(3);
  list->OnClick();
  EXPECT_EQ(owner.Calls, 2);
  EXPECT_EQ(games.ItemIndex, 3);
  EXPECT_EQ(window, nullptr);
}

TEST_F(KestListBox, WithoutAListEntityTheListIsEmptyAndClicksAreIgnored) {
  for (const std::string link : {"", R"(link="Count")", R"(link="Nothing")"}) {
    platform::TListBox* list = Open(link).List();
    EXPECT_EQ(list->Count(), 0) << link;
    list->OnClick();
  }
  EXPECT_EQ(owner.Calls, 0);
  EXPECT_EQ(count.Value, 3);
  // A masked background shapes the box as any control's.
  EXPECT_FALSE(Open("").HasRegion());
  EXPECT_TRUE(Open(R"(bg="S.A")").HasRegion());
}

TEST_F(KestListBox, AHugeListShowsItsFirstItemsOnly) {
  games.Items.assign(TKestListBox::kMaxItems + 1000, "item");
  games.ItemIndex = TKestListBox::kMaxItems + 999;
  EXPECT_EQ(Open(R"(link="Games")").List()->Count(), TKestListBox::kMaxItems);
  EXPECT_EQ(window->Controls().size(), 1u);
}

}  // namespace
}  // namespace controls_test
