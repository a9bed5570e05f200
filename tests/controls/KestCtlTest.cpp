#include "controls/KestCtl.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "SkinFixture.h"
#include "platform/Region.h"
#include "platform/Screen.h"
#include "platform/Snapshot.h"
#include "skin/AlphaImage.h"

namespace controls_test {
namespace {

using controls::TKestControl;
using platform::TRect;

// Opens the protected window-drag steps to the tests.
class TDragProbe : public TKestControl {
 public:
  explicit TDragProbe(TKestControl& owner) : TKestControl(owner) {}
  using TKestControl::BeginDrag;
  using TKestControl::DragMove;
};

class KestCtl : public SkinFixture {
 protected:
  void SetUp() override {
    platform::TBitmap bitmap(100, 100);
    bitmap.Fill(platform::RGB(255, 0, 255));
    for (int y = 2; y < 17; ++y) {
      for (int x = 1; x < 15; ++x) bitmap.SetPixel(x, y, platform::RGB(200, 0, 0));
    }
    pack.AddBitmap("pic.bmp", bitmap);
  }
  // A 258 x 300 window holding the given elements.
  std::unique_ptr<controls::TSkinWindow> Window(const std::string& children) {
    Load(
        R"(<SKIN><IMAGE id="Pic" file="pic.bmp"><AREA id="B" pos="0,0" size="14,15" mask="Color,Fuchsia"/></IMAGE>
              <WINDOW id="Main" size="258,300">)" +
        children + "</WINDOW></SKIN>");
    return Build("Main");
  }
};

TEST_F(KestCtl, BoundsDefaultsImageSizesAndAnchors) {
  auto window = Window(R"(<PANEL/><BUTTON bg="Pic.B"/><BUTTON bg="Pic.B" size="40,20"/>
                          <PANEL pos="-30,6"/><PANEL pos="21,61" size="0,0"/>
                          <PANEL pos="x,y" size="q,"/><PANEL size="100000,-100000" pos="-99999999,5"/>)");
  EXPECT_EQ(ChildAt(*window, {0}).BoundsRect(), (TRect{5, 5, 30, 30}));
  EXPECT_EQ(ChildAt(*window, {1}).BoundsRect(), (TRect{5, 5, 19, 20}));
  EXPECT_EQ(ChildAt(*window, {2}).BoundsRect(), (TRect{5, 5, 45, 25}));
  TKestControl& right = ChildAt(*window, {3});
  EXPECT_EQ(right.BoundsRect(), (TRect{228, 6, 253, 31}));
  TKestControl& stretched = ChildAt(*window, {4});
  EXPECT_EQ(stretched.BoundsRect(), (TRect{21, 61, 258, 300}));
  EXPECT_EQ(ChildAt(*window, {5}).BoundsRect(), (TRect{5, 5, 30, 30}));
  // Sizes far beyond any screen are capped.
  TKestControl& hostile = ChildAt(*window, {6});
  EXPECT_LE(hostile.Width(), controls::kMaxControlSide);
  EXPECT_GE(hostile.Height(), 0);

  window->Form().SetSize(268, 310);
  EXPECT_EQ(right.Left(), 238);
  EXPECT_EQ(stretched.BoundsRect(), (TRect{21, 61, 268, 310}));
}

TEST_F(KestCtl, CenterAlignmentRoundsTowardZero) {
  auto window = Window(R"(<PANEL align="Center" size="25,24"/><PANEL align="client"/>)");
  EXPECT_EQ(ChildAt(*window, {0}).BoundsRect(), (TRect{116, 138, 141, 162}));
  EXPECT_EQ(ChildAt(*window, {1}).BoundsRect(), (TRect{0, 0, 258, 300}));
}

TEST_F(KestCtl, TheLinkDecidesEnabledStateAndNotifiesEveryClient) {
  auto window = Window(
      R"(<PANEL link="Late"/><PANEL link="Off"/><PANEL link="Late"/><PANEL id="Name.Dot"/><PANEL id="Ok"/>)");
  TKestControl& late = ChildAt(*window, {0});
  EXPECT_FALSE(late.Enabled());
  app::TBasicEntity off(0, 0, 0);
  off.Enabled = false;
  entities.RegisterEntity("Off", &off);
  EXPECT_FALSE(ChildAt(*window, {1}).Enabled());
  app::TBasicEntity entity(0, 0, 0);
  entities.RegisterEntity("late", &entity);
  EXPECT_TRUE(late.Enabled());
  EXPECT_TRUE(ChildAt(*window, {2}).Enabled());
  entities.UnregisterEntity("Late");
  EXPECT_FALSE(late.Enabled());
  entities.UnregisterEntity("Off");
  EXPECT_EQ(ChildAt(*window, {3}).Text().substr(0, 6), "PANEL_");
  EXPECT_NE(ChildAt(*window, {3}).Text(), "PANEL_Name.Dot");
  EXPECT_EQ(ChildAt(*window, {4}).Text(), "PANEL_Ok");
  EXPECT_EQ(ChildAt(*window, {4}).Hint(), "<>");
}

TEST_F(KestCtl, ADestroyedControlLeavesNoDanglingClient) {
  auto window = Window(R"(<PANEL link="Shared"/><PANEL link="Shared"/>)");
  app::TEntityHolder& holder = entities.GetHolder("Shared");
  {
    // Freed while bound: its callback must be gone from the holder.
    auto lone = Build("Main");
    ASSERT_NE(lone, nullptr);
  }
  app::TBasicEntity entity(0, 0, 0);
  entities.RegisterEntity("Shared", &entity);  // would touch the freed controls
  EXPECT_TRUE(ChildAt(*window, {0}).Enabled());
  int live = 0;
  for (const app::TCallback& client : holder.Clients) live += client.IsAssigned() ? 1 : 0;
  EXPECT_EQ(live, 2);
  entities.UnregisterEntity("Shared");
}

TEST_F(KestCtl, FindControlPrefersTheDeeperOfTwoEqualIds) {
  auto window = Window(R"(<PANEL id="Twin"><PANEL id="twin"/></PANEL><PANEL id="Other"/>)");
  EXPECT_EQ(controls::FindControl(*window, "TWIN"), &ChildAt(*window, {0, 0}));
  EXPECT_EQ(controls::FindControl(*window, "Other"), &ChildAt(*window, {1}));
  EXPECT_EQ(controls::FindControl(*window, "None"), nullptr);
}

TEST_F(KestCtl, MaskedBackgroundsShapeTheControl) {
  auto window = Window(R"(<PANEL bg="Pic.B" pos="0,0"/>)");
  TKestControl& shaped = ChildAt(*window, {0});
  EXPECT_TRUE(shaped.HasRegion());
}

// A transparent background that records the rectangles its shape is asked
// for and answers the left half of each.
class TShapeProbe : public skin::TAlphaImage {
 public:
  TShapeProbe() {
    Transparent = true;
    Width = 10;
    Height = 10;
  }
  std::optional<platform::TRegion> CreateRegion(const TRect& rect) const override {
    Asked.push_back(rect);
    return platform::TRegion(TRect{0, 0, rect.Width() / 2, rect.Height()});
  }
  mutable std::vector<TRect> Asked;
};

TEST_F(KestCtl, TheShapeIsBuiltOnceLoadedAndAgainOnLaterResizes) {
  constexpr platform::TColor kRed = platform::RGB(255, 0, 0);
  constexpr platform::TColor kGreen = platform::RGB(0, 255, 0);
  auto window = Window("");
  window->SetColor(kGreen);
  TShapeProbe image;
  TKestControl& control = window->Adopt(std::make_unique<TKestControl>(*window));
  control.BGImage = &image;
  control.SetColor(kRed);
  control.SetBounds(0, 0, 40, 30);
  control.SetSize(50, 30);
  EXPECT_TRUE(image.Asked.empty()) << "no shape while the tree is being built";
  control.AfterLoad();
  EXPECT_EQ(image.Asked, (std::vector<TRect>{TRect{0, 0, 50, 30}}));
  control.SetSize(60, 30);
  EXPECT_EQ(image.Asked.back(), (TRect{0, 0, 60, 30}));
  platform::TBitmap picture = platform::GrabWindow(*window);
  EXPECT_EQ(picture.Pixel(29, 5), kRed);
  EXPECT_EQ(picture.Pixel(30, 5), kGreen) << "outside the shape the parent shows";
  control.Hide();

  // A control larger than any window is shaped where its parent shows it:
  // its region costs the window's size, not its own.
  TKestControl& huge = window->Adopt(std::make_unique<TKestControl>(*window));
  huge.BGImage = &image;
  huge.SetColor(kRed);
  huge.SetBounds(-1000, -500, controls::kMaxControlSide, controls::kMaxControlSide);
  huge.AfterLoad();
  EXPECT_EQ(image.Asked.back(), (TRect{1000, 500, 1258, 800}));
  picture = platform::GrabWindow(*window);
  EXPECT_EQ(picture.Pixel(10, 10), kRed);
  EXPECT_EQ(picture.Pixel(200, 10), kGreen);
}

TEST_F(KestCtl, DraggingSnapsToTheWorkAreaWithinAFiftiethOfTheScreen) {
  auto window = Window("");
  auto& probe = static_cast<TDragProbe&>(window->Adopt(std::make_unique<TDragProbe>(*window)));
  controls::TSkinForm& form = window->Form();
  const TRect work = platform::WorkArea();
  const int snap = platform::ScreenWidth() / 50;
  ASSERT_GT(snap, 1);
  form.SetPosition(work.Left + 100, work.Top + 100);
  for (const int distance : {snap - 1, snap}) {
    form.SetPosition(work.Left + 100, work.Top + 100);
    probe.BeginDrag({300, 300});
    probe.DragMove({300 - 100 + distance, 300 - 100 + distance});
    const int expected = distance < snap ? 0 : distance;
    EXPECT_EQ(form.Left(), work.Left + expected) << "distance " << distance;
    EXPECT_EQ(form.Top(), work.Top + expected) << "distance " << distance;
  }
  // The far edges: the window lands flush against them.
  form.SetPosition(work.Left + 100, work.Top + 100);
  probe.BeginDrag({300, 300});
  const int dx = work.Right - form.Width() - (work.Left + 100) + (snap - 1);
  probe.DragMove({300 + dx, 300});
  EXPECT_EQ(form.Left() + form.Width(), work.Right);
}

}  // namespace
}  // namespace controls_test
