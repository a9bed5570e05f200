#include "controls/KestWnd.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "SkinFixture.h"
#include "platform/Screen.h"

namespace controls_test {
namespace {

using platform::THitTest;
using platform::TRect;

using KestWnd = SkinFixture;

TEST_F(KestWnd, AWindowWithoutSizeIsAHundredSquareAndCentred) {
  Load(R"(<SKIN><WINDOW id="Main" id2="x"/></SKIN>)");
  auto window = Build("Main");
  controls::TSkinForm& form = window->Form();
  EXPECT_EQ(form.Width(), 100);
  EXPECT_EQ(form.Height(), 100);
  EXPECT_EQ(form.Left(), (platform::ScreenWidth() - 100) / 2);
  EXPECT_EQ(form.Top(), (platform::ScreenHeight() - 100) / 2);
  EXPECT_EQ(form.Text(), "frMain");
  EXPECT_FALSE(form.Visible());
  EXPECT_EQ(window->BoundsRect(), (TRect{0, 0, 100, 100}));
}

TEST_F(KestWnd, TheResizerBandAnswersEdgesAndCorners) {
  Load(R"(<SKIN><WINDOW id="Main" size="258,300" resizer="4"/></SKIN>)");
  auto window = Build("Main");
  controls::TSkinForm& form = window->Form();
  EXPECT_EQ(form.HitTestAt({2, 150}), THitTest::Left);
  EXPECT_EQ(form.HitTestAt({2, 2}), THitTest::TopLeft);
  EXPECT_EQ(form.HitTestAt({256, 298}), THitTest::BottomRight);
  EXPECT_EQ(form.HitTestAt({257, 0}), THitTest::TopRight);
  EXPECT_EQ(form.HitTestAt({100, 299}), THitTest::Bottom);
  EXPECT_EQ(form.HitTestAt({100, 100}), THitTest::Client);
  // The window control hands the band to the form.
  const platform::TPoint origin{form.Left(), form.Top()};
  EXPECT_EQ(window->OnHitTest({origin.X + 2, origin.Y + 150}), THitTest::Transparent);
  EXPECT_EQ(window->OnHitTest({origin.X + 100, origin.Y + 100}), THitTest::Client);

  Load(R"(<SKIN><WINDOW id="Fixed" size="258,300"/></SKIN>)");
  auto fixed = Build("Fixed");
  EXPECT_EQ(fixed->Form().HitTestAt({0, 0}), THitTest::Client);
}

TEST_F(KestWnd, SizingKeepsTheOppositeEdgeBelowTheMinimumAndSnaps) {
  Load(R"(<SKIN><WINDOW id="Main" size="258,300" resizer="4" minsize="120,90"/></SKIN>)");
  auto window = Build("Main");
  controls::TSkinForm& form = window->Form();
  const TRect work = platform::WorkArea();
  TRect rect{work.Left + 300, work.Top + 200, work.Left + 380, work.Top + 400};
  form.Sizing(platform::TSizingEdge::Left, rect);
  EXPECT_EQ(rect.Right, work.Left + 380);
  EXPECT_EQ(rect.Left, work.Left + 380 - 120);
  rect = TRect{work.Left + 300, work.Top + 200, work.Left + 380, work.Top + 250};
  form.Sizing(platform::TSizingEdge::BottomRight, rect);
  EXPECT_EQ(rect.Left, work.Left + 300);
  EXPECT_EQ(rect.Right, work.Left + 420);
  EXPECT_EQ(rect.Bottom, work.Top + 290);
  const int snap = platform::ScreenWidth() / 50;
  rect = TRect{work.Left + snap - 1, work.Top + 200, work.Left + 400, work.Top + 400};
  form.Sizing(platform::TSizingEdge::TopLeft, rect);
  EXPECT_EQ(rect.Left, work.Left);
  rect = TRect{work.Left + snap, work.Top + 200, work.Left + 400, work.Top + 400};
  form.Sizing(platform::TSizingEdge::Left, rect);
  EXPECT_EQ(rect.Left, work.Left + snap);
}

TEST_F(KestWnd, BandsAndMinimaAtTheEndsOfIntNeitherOverflowNorMisplaceEdges) {
  Load(R"(<SKIN><WINDOW id="Main" size="258,300" resizer="-2147483648"
                  minsize="-2147483648,2147483647"/></SKIN>)");
  auto window = Build("Main");
  controls::TSkinForm& form = window->Form();
  EXPECT_EQ(form.HitTestAt({0, 0}), THitTest::Client);
  EXPECT_EQ(form.HitTestAt({257, 299}), THitTest::Client);
  const platform::TPoint origin{form.Left(), form.Top()};
  EXPECT_EQ(window->OnHitTest({origin.X + 257, origin.Y + 299}), THitTest::Client);
  form.Resizer = INT32_MAX;
  EXPECT_EQ(form.HitTestAt({100, 100}), THitTest::BottomRight) << "every point is in the band";
  EXPECT_EQ(window->OnHitTest({origin.X + 100, origin.Y + 100}), THitTest::Transparent);

  TRect rect{100, 100, 200, 150};
  form.Sizing(platform::TSizingEdge::BottomRight, rect);
  EXPECT_EQ(rect.Right, 200) << "no width is below the minimum";
  EXPECT_EQ(rect.Bottom, INT32_MAX) << "the minimum height reaches as far as int does";
  form.MinWidth = INT32_MAX;
  rect = TRect{-100, 100, -50, 150};
  form.Sizing(platform::TSizingEdge::Left, rect);
  EXPECT_EQ(rect.Left, INT32_MIN);
  EXPECT_EQ(rect.Right, -50);
}

TEST_F(KestWnd, EachWheelNotchRunsOneCommand) {
  Load(R"(<SKIN><WINDOW id="Main"/></SKIN>)");
  auto window = Build("Main");
  TCommandRecorder recorder;
  app::TBasicEntity forward(0, 0, 0, recorder.Callback());
  app::TBasicEntity backward(0, 0, 0, recorder.Callback());
  entities.RegisterEntity("Application.OnWheelForward", &forward);
  entities.RegisterEntity("Application.OnWheelBackward", &backward);
  window->Form().OnMouseWheel(true);
  window->Form().OnMouseWheel(false);
  EXPECT_EQ(recorder.Ran, (std::vector<std::string>{"Application.OnWheelForward",
                                                    "Application.OnWheelBackward"}));
  entities.UnregisterEntity("Application.OnWheelForward");
  entities.UnregisterEntity("Application.OnWheelBackward");
}

TEST_F(KestWnd, TheMaskedBackgroundShapesTheForm) {
  platform::TBitmap bitmap(40, 30);
  bitmap.Fill(platform::RGB(10, 20, 30));
  for (int i = 0; i < 5; ++i) bitmap.SetPixel(i, 0, platform::RGB(255, 0, 255));
  pack.AddBitmap("w.bmp", bitmap);
  Load(R"(<SKIN><IMAGE id="W" file="w.bmp"><AREA id="A" size="40,30" mask="Color,Fuchsia"/></IMAGE>
            <WINDOW id="Main" size="40,30" bg="W.A" bgcolor="Silver"/></SKIN>)");
  auto window = Build("Main");
  EXPECT_TRUE(window->Form().HasRegion());
  EXPECT_EQ(window->Form().Color(), 0x00C0C0C0u);
}

TEST_F(KestWnd, ScreenSaverRequestsAreRefusedOnlyWhileAsked) {
  Load(R"(<SKIN><WINDOW id="Main"/></SKIN>)");
  auto window = Build("Main");
  EXPECT_FALSE(window->Form().OnSystemCommand(platform::TSystemCommand::ScreenSave));
  app::TBasicEntity supress(0, 1, 1);
  entities.RegisterEntity("System.SupressScreenSaver", &supress);
  EXPECT_TRUE(window->Form().OnSystemCommand(platform::TSystemCommand::ScreenSave));
  supress.Value = 0;
  EXPECT_FALSE(window->Form().OnSystemCommand(platform::TSystemCommand::MonitorPower));
  entities.UnregisterEntity("System.SupressScreenSaver");
}

}  // namespace
}  // namespace controls_test
