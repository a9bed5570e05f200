#include "controls/KestResizer.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>

#include "ControlInput.h"
#include "SkinFixture.h"

namespace controls_test {
namespace {

using controls::TKestResizer;
using platform::TCursor;
using platform::TPoint;

class KestResizer : public SkinFixture {
 protected:
  void TearDown() override { window.reset(); }

  // A panel docked to `panelAlign` holding a resizer docked to `align`.
  TKestResizer& Open(const std::string& panelAlign, const std::string& align,
                     const std::string& extra = "") {
    window.reset();
    Load(R"(<SKIN><WINDOW id="Main" size="300,300"><PANEL align=")" + panelAlign +
         R"(" size="80,100"><RESIZER size="6,6" align=")" + align + "\" " + extra +
         "/></PANEL></WINDOW></SKIN>");
    window = Build("Main");
    return dynamic_cast<TKestResizer&>(ChildAt(*window, {0, 0}));
  }
  controls::TKestControl& Panel() { return ChildAt(*window, {0}); }

  // A press at `from` and moves to `to`, with the capture the platform
  // gives a pressed window.
  static void Drag(TKestResizer& resizer, TPoint from, TPoint to) {
    platform::TMouseEvent event = MouseAt(1, 1);
    event.Screen = from;
    resizer.OnMouseDown(event);
    resizer.SetCapture();
    event.Screen = to;
    resizer.OnMouseMove(event);
    resizer.ReleaseCapture();
  }

  std::unique_ptr<controls::TSkinWindow> window;
};

TEST_F(KestResizer, DockedToTheTopItGrowsItsPanelUpward) {
  TKestResizer& resizer = Open("bottom", "top");
  EXPECT_TRUE(resizer.ResizeHeight);
  EXPECT_FALSE(resizer.Draggable);
  EXPECT_EQ(resizer.Cursor(), TCursor::VSplit);
  const TPoint formAt{window->Form().Left(), window->Form().Top()};
  Drag(resizer, {500, 500}, {500, 480});
  EXPECT_EQ(Panel().Height(), 120);
  // Past the panel's height downward it keeps the resizer's own height.
  Drag(resizer, {500, 500}, {500, 700});
  EXPECT_EQ(Panel().Height(), 6);
  EXPECT_EQ((TPoint{window->Form().Left(), window->Form().Top()}), formAt);
  // Without the capture, moves change nothing.
  platform::TMouseEvent away = MouseAt(1, 1);
  away.Screen = {500, 0};
  resizer.OnMouseMove(away);
  EXPECT_EQ(Panel().Height(), 6);
}

TEST_F(KestResizer, OtherDockingsFollowTheMouseTheOtherWay) {
  Drag(Open("top", "bottom"), {500, 500}, {500, 530});
  EXPECT_EQ(Panel().Height(), 130);

  TKestResizer& right = Open("left", "right");
  EXPECT_FALSE(right.ResizeHeight);
  EXPECT_EQ(right.Cursor(), TCursor::HSplit);
  Drag(right, {500, 500}, {530, 500});
  EXPECT_EQ(Panel().Width(), 110);

  TKestResizer& left = Open("right", "left", R"(cursor="HandPoint")");
  EXPECT_EQ(left.Cursor(), TCursor::Hand);
  Drag(left, {500, 500}, {470, 500});
  EXPECT_EQ(Panel().Width(), 110);
}

TEST_F(KestResizer, ExtremeScreenPointsStayWithinTheControlLimits) {
  constexpr int kMin = std::numeric_limits<int>::min();
  constexpr int kMax = std::numeric_limits<int>::max();
  // A panel docked nowhere, so that no layout limits its size.
  TKestResizer& top = Open("none", "top");
  Drag(top, {kMax, kMax}, {kMin, kMin});
  EXPECT_EQ(Panel().Height(), controls::kMaxControlSide);
  Drag(top, {kMin, kMin}, {kMax, kMax});
  EXPECT_EQ(Panel().Height(), 6);
  Drag(Open("none", "none"), {kMin, 0}, {kMax, 0});
  EXPECT_EQ(Panel().Width(), controls::kMaxControlSide);
}

}  // namespace
}  // namespace controls_test
