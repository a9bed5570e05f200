#include "controls/KestBtn.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <memory>

#include "ControlInput.h"
#include "SkinFixture.h"

namespace controls_test {
namespace {

using controls::TKestButton;
using platform::RGB;
using platform::TColor;

// One colour per image of the grid: two rows of normal, hover, pressed,
// disabled.
const TColor kCells[] = {RGB(10, 0, 0), RGB(20, 0, 0), RGB(30, 0, 0), RGB(40, 0, 0),
                         RGB(0, 10, 0), RGB(0, 20, 0), RGB(0, 30, 0), RGB(0, 40, 0)};

class KestBtn : public SkinFixture {
 protected:
  // Records every execution of the button's command.
  struct TRecorder {
    int Count = 0;
    bool PressedWhenRun = true;
    KestBtn* Test = nullptr;
    void Run(app::TEntityHolder&) {
      ++Count;
      PressedWhenRun = Test->Button().Pressed();
      if (Test->closeOnClick) Test->window.reset();
    }
  };

  void SetUp() override {
    pack.AddBitmap("grid.bmp", Strip({kCells[0], kCells[1], kCells[2], kCells[3], kCells[4],
                                      kCells[5], kCells[6], kCells[7]},
                                     10, 10, RGB(1, 1, 1)));
    Load(
        R"(<SKIN><IMAGE id="Pic" file="grid.bmp"><AREA id="B" pos="0,0" size="10,10" repeat="8,1"/></IMAGE>
              <WINDOW id="Main" size="100,100"><BUTTON pos="0,0" bg="Pic.B" link="Cmd"/></WINDOW></SKIN>)");
    recorder.Test = this;
    command.OnExecute = app::MakeCallback<&TRecorder::Run>(&recorder);
    entities.RegisterEntity("Cmd", &command);
    window = Build("Main");
  }
  void TearDown() override {
    window.reset();
    entities.UnregisterEntity("Cmd");
  }

  TKestButton& Button() { return dynamic_cast<TKestButton&>(ChildAt(*window, {0})); }
  // The colour in the middle of the button as it paints now.
  TColor Shown() { return Picture(Button()).Pixel(5, 5); }

  TRecorder recorder;
  app::TBasicEntity command{0, 0, 1};
  std::unique_ptr<controls::TSkinWindow> window;
  bool closeOnClick = false;
};

TEST_F(KestBtn, AClickRunsTheLinkOnceAfterThePressIsCleared) {
  TKestButton& button = Button();
  EXPECT_EQ(Shown(), kCells[0]);
  // The image covers the button from its corner (the cell's frame is there).
  EXPECT_EQ(Picture(button).Pixel(0, 0), RGB(1, 1, 1));
  EXPECT_EQ(Picture(button).Pixel(1, 1), kCells[0]);
  // Every change of the look asks for a repaint, and only a change does.
  Move(button);
  EXPECT_TRUE(button.Hover());
  EXPECT_TRUE(AskedForRepaint(button));
  EXPECT_EQ(Shown(), kCells[1]);
  Move(button);
  EXPECT_FALSE(AskedForRepaint(button));
  button.SetCapture();
  Press(button);
  EXPECT_TRUE(button.Pressed());
  EXPECT_FALSE(button.HasCapture());
  EXPECT_TRUE(AskedForRepaint(button));
  EXPECT_EQ(Shown(), kCells[2]);
  Press(button);
  EXPECT_FALSE(AskedForRepaint(button));
  EXPECT_EQ(recorder.Count, 0);
  Release(button);
  EXPECT_EQ(recorder.Count, 1);
  EXPECT_FALSE(recorder.PressedWhenRun);
  EXPECT_TRUE(AskedForRepaint(button));
  EXPECT_EQ(Shown(), kCells[1]);
  // A second release without a press is no click.
  Release(button);
  EXPECT_EQ(recorder.Count, 1);
  EXPECT_FALSE(AskedForRepaint(button));
}

TEST_F(KestBtn, LeavingTheButtonCancelsTheClick) {
  TKestButton& button = Button();
  Move(button);
  Press(button);
  Picture(button);
  Leave(button);
  EXPECT_FALSE(button.Hover());
  EXPECT_FALSE(button.Pressed());
  EXPECT_TRUE(AskedForRepaint(button));
  EXPECT_EQ(Shown(), kCells[0]);
  Release(button);
  EXPECT_EQ(recorder.Count, 0);
}

TEST_F(KestBtn, RightClicksAndDisabledButtonsRunNothing) {
  TKestButton& button = Button();
  Move(button);
  Press(button, 1, 1, platform::TMouseButton::Right);
  EXPECT_FALSE(button.Pressed());
  Release(button, 1, 1, platform::TMouseButton::Right);
  EXPECT_EQ(recorder.Count, 0);

  command.Enabled = false;
  entities.Notify("Cmd");
  EXPECT_FALSE(button.Enabled());
  EXPECT_EQ(button.ImageIndex(), 3);
  Press(button);
  EXPECT_FALSE(button.Pressed());
  Release(button);
  EXPECT_EQ(recorder.Count, 0);
}

TEST_F(KestBtn, TheLinkedValueChoosesTheRowOfTheGrid) {
  TKestButton& button = Button();
  Picture(button);
  command.Value = 1;
  entities.Notify("Cmd");
  EXPECT_EQ(button.State(), 1);
  EXPECT_TRUE(AskedForRepaint(button));
  EXPECT_EQ(Shown(), kCells[4]);
  Move(button);
  Press(button);
  EXPECT_EQ(Shown(), kCells[6]);
  Leave(button);
  command.Enabled = false;
  entities.Notify("Cmd");
  EXPECT_EQ(Shown(), kCells[7]);

  // Only the low 32 bits count; rows beyond the grid show the error image.
  command.Enabled = true;
  command.Value = (std::int64_t{1} << 32) + 1;
  entities.Notify("Cmd");
  EXPECT_EQ(button.State(), 1);
  for (const std::int64_t value : {std::int64_t{2}, std::int64_t{0x7FFFFFFF}, std::int64_t{-1}}) {
    command.Value = value;
    entities.Notify("Cmd");
    const TColor shown = Shown();
    for (const TColor cell : kCells) EXPECT_NE(shown, cell) << "value " << value;
  }
  EXPECT_EQ(button.ImageIndex(), -1);
  // The last row an int can index still counts.
  command.Enabled = false;
  command.Value = 0x1FFFFFFF;
  entities.Notify("Cmd");
  EXPECT_EQ(button.ImageIndex(), std::numeric_limits<int>::max());
}

TEST_F(KestBtn, AClickMayFreeTheButtonsWindow) {
  closeOnClick = true;
  Move(Button());
  Press(Button());
  Release(Button());
  EXPECT_EQ(recorder.Count, 1);
  EXPECT_EQ(window, nullptr);
}

}  // namespace
}  // namespace controls_test
