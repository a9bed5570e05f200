#include <gtest/gtest.h>

#include <QApplication>
#include <QHelpEvent>
#include <QTimer>
#include <QToolTip>
#include <QWheelEvent>
#include <memory>
#include <string>
#include <vector>

#include "WindowTestSupport.h"
#include "platform/Canvas.h"
#include "platform/ListBox.h"
#include "platform/Menu.h"
#include "platform/Region.h"
#include "platform/Screen.h"
#include "platform/Window.h"

namespace platform {
namespace {

using testing::MoveTo;
using testing::Press;
using testing::Release;
using testing::ShowAt;
using testing::WidgetOf;

// Records the hooks' calls; moves only when asked, and a move repeating the
// line before it only once.
struct TEventLog {
  std::vector<std::string> Lines;
  bool Moves = false;
  void Add(const std::string& line) {
    if (!Lines.empty() && Lines.back() == line) return;
    Lines.push_back(line);
  }
  void Watch(TWindowBase& window, const std::string& name) {
    window.OnMouseDown = [this, name](const TMouseEvent& event) {
      Add(name + " down " + std::to_string(static_cast<int>(event.Button)) + " " +
          std::to_string(event.Client.X) + "," + std::to_string(event.Client.Y));
    };
    window.OnMouseMove = [this, name](const TMouseEvent& event) {
      if (Moves) {
        Add(name + " move " + std::to_string(event.Client.X) + "," +
            std::to_string(event.Client.Y));
      }
    };
    window.OnMouseUp = [this, name](const TMouseEvent& event) {
      Add(name + " up " + std::to_string(event.Client.X) + "," + std::to_string(event.Client.Y));
    };
    window.OnMouseLeave = [this, name] { Add(name + " leave"); };
  }
  std::vector<std::string> Take() { return std::exchange(Lines, {}); }
};

class WindowInput : public ::testing::Test {
 protected:
  void SetUp() override {
    ShowAt(form, Bounds(50, 60, 200, 150));
    child.SetBounds(10, 10, 50, 50);
    log.Watch(form, "form");
    log.Watch(child, "child");
  }

  TWindow form;
  TChildWindow child{form};
  TEventLog log;
};

TEST_F(WindowInput, PressCapturesTheMouseUntilRelease) {
  log.Moves = true;
  Press(form, {20, 20});
  EXPECT_EQ(CaptureWindow(), &child);
  EXPECT_EQ(CaptureHandle(), child.Handle());
  MoveTo(form, {150, 100});  // far outside the child: still its mouse
  Release(form, {150, 100});
  EXPECT_EQ(CaptureWindow(), nullptr);
  EXPECT_EQ(log.Take(), (std::vector<std::string>{"child move 10,10", "child down 0 10,10",
                                                  "child move 140,90", "child up 140,90"}));
  // The cursor position follows the events on the offscreen platform.
  EXPECT_EQ(CursorPos(), (TPoint{200, 160}));

  log.Moves = false;
  Press(form, {100, 100}, Qt::RightButton);
  Release(form, {100, 100}, Qt::RightButton);
  EXPECT_EQ(log.Take(), (std::vector<std::string>{"form down 1 100,100", "form up 100,100"}));
}

TEST_F(WindowInput, ReleasedCaptureShowsOnlyWhatHappensOverTheWindow) {
  // As a button does: it gives the capture up at once, so that a release
  // elsewhere does not count as a click.
  log.Moves = true;
  child.OnMouseDown = [&](const TMouseEvent&) {
    log.Add("child down");
    child.ReleaseCapture();
    child.TrackMouseLeave();
  };
  Press(form, {20, 20});
  EXPECT_EQ(CaptureWindow(), nullptr);
  MoveTo(form, {30, 30});
  MoveTo(form, {150, 100});
  MoveTo(form, {160, 100});
  Release(form, {160, 100});
  EXPECT_EQ(log.Take(), (std::vector<std::string>{"child move 10,10", "child down",
                                                  "child move 20,20", "child leave"}));

  Press(form, {20, 20});
  Release(form, {20, 20});
  EXPECT_EQ(log.Take(),
            (std::vector<std::string>{"child move 10,10", "child down", "child up 10,10"}));
}

TEST_F(WindowInput, MouseLeaveNoticeIsOneShot) {
  MoveTo(form, {20, 20});
  child.TrackMouseLeave();
  MoveTo(form, {100, 100});
  MoveTo(form, {20, 20});
  MoveTo(form, {100, 100});  // not tracked again: no second notice
  ProcessMessages();
  std::vector<std::string> lines = log.Take();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "child leave"), 1);

  // Tracking while the mouse is elsewhere reports the leave at once.
  child.TrackMouseLeave();
  EXPECT_TRUE(log.Take().empty());
  ProcessMessages();
  EXPECT_EQ(log.Take(), (std::vector<std::string>{"child leave"}));
}

TEST_F(WindowInput, RegionLetsClicksThroughToTheParent) {
  TRegion leftHalf(Bounds(0, 0, 25, 50));
  child.SetRegion(leftHalf);
  EXPECT_TRUE(child.HasRegion());
  Press(form, {50, 20});  // right half of the child
  Release(form, {50, 20});
  Press(form, {20, 20});
  Release(form, {20, 20});
  EXPECT_EQ(log.Take(), (std::vector<std::string>{"form down 0 50,20", "form up 50,20",
                                                  "child down 0 10,10", "child up 10,10"}));
  child.ClearRegion();
  Press(form, {50, 20});
  Release(form, {50, 20});
  EXPECT_EQ(log.Take(), (std::vector<std::string>{"child down 0 40,10", "child up 40,10"}));
}

TEST_F(WindowInput, RightClickOpensTheNearestPopupMenu) {
  TPopupMenu formMenu, childMenu;
  std::vector<std::string> opened;
  formMenu.Add().Caption = "Exit";
  formMenu.OnPopup = [&] { opened.push_back("form"); };
  childMenu.Add().Caption = "Help";
  childMenu.OnPopup = [&] { opened.push_back("child"); };
  form.SetPopupMenu(&formMenu);
  auto rightClick = [&] {
    QTimer::singleShot(30, [] {
      if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    });
    Press(form, {20, 20}, Qt::RightButton);
    Release(form, {20, 20}, Qt::RightButton);
  };
  rightClick();  // the child has none: the form's
  child.SetPopupMenu(&childMenu);
  rightClick();
  EXPECT_EQ(opened, (std::vector<std::string>{"form", "child"}));
  EXPECT_EQ(child.PopupMenu(), &childMenu);
}

TEST_F(WindowInput, DestroyingAWindowInItsOwnHandlerIsSafe) {
  auto doomed = std::make_unique<TChildWindow>(form);
  doomed->SetBounds(100, 10, 30, 30);
  doomed->OnMouseDown = [&](const TMouseEvent&) { doomed.reset(); };
  Press(form, {110, 20});
  Release(form, {110, 20});
  ProcessMessages();
  EXPECT_EQ(doomed, nullptr);
  EXPECT_EQ(CaptureWindow(), nullptr);
}

// A skinned window: the form answers edges in a band of R pixels, the
// control covering it answers Transparent there.
class WindowFrame : public ::testing::Test {
 protected:
  static constexpr int kBand = 4;

  void SetUp() override {
    form.SetSizeConstraints(50, 50);
    form.OnHitTest = [this](TPoint screen) { return FormHit(screen); };
    cover.SetAlign(TAlign::Client);
    cover.OnHitTest = [this](TPoint screen) {
      return FormHit(screen) == THitTest::Client ? THitTest::Client : THitTest::Transparent;
    };
    cover.OnMouseDown = [this](const TMouseEvent&) { ++coverPresses; };
    form.OnSizing = [this](TSizingEdge edge, TRect& rect) {
      edges.push_back(edge);
      proposed.push_back(rect);
      if (snapRight) rect.Right = 600;
    };
    ShowAt(form, Bounds(100, 100, 258, 300));
  }

  THitTest FormHit(TPoint screen) const {
    const int x = screen.X - form.Left();
    const int y = screen.Y - form.Top();
    const int w = form.Width();
    const int h = form.Height();
    const bool left = x<kBand, right = x> w - kBand - 1;
    const bool top = y<kBand, bottom = y> h - kBand - 1;
    if (top && left) return THitTest::TopLeft;
    if (bottom && right) return THitTest::BottomRight;
    if (left) return THitTest::Left;
    if (right) return THitTest::Right;
    if (top) return THitTest::Top;
    if (bottom) return THitTest::Bottom;
    if (y < 20) return THitTest::Caption;
    return THitTest::Client;
  }

  // Drags between points given relative to the window where the drag
  // starts; the window may move and resize on the way.
  void Drag(TPoint from, TPoint to) {
    const TPoint origin{form.Left(), form.Top()};
    const TPoint start{origin.X + from.X, origin.Y + from.Y};
    const TPoint end{origin.X + to.X, origin.Y + to.Y};
    testing::PressAtScreen(form, start);
    testing::MoveToScreen(form, end);
    testing::ReleaseAtScreen(form, end);
  }

  TWindow form;
  TChildWindow cover{form};
  int coverPresses = 0;
  bool snapRight = false;
  std::vector<TSizingEdge> edges;
  std::vector<TRect> proposed;
};

TEST_F(WindowFrame, DraggingTheLeftEdgeResizesWithTheSizingHook) {
  Drag({2, 150}, {-18, 150});
  EXPECT_EQ(form.BoundsRect(), Rect(80, 100, 358, 400));
  ASSERT_EQ(edges.size(), 1u);
  EXPECT_EQ(edges[0], TSizingEdge::Left);
  EXPECT_EQ(proposed[0], Rect(80, 100, 358, 400));
  EXPECT_EQ(cover.BoundsRect(), Bounds(0, 0, 278, 300));
  EXPECT_EQ(coverPresses, 0);

  // Below the smallest width the right edge stays where it is.
  Drag({2, 150}, {300, 150});
  EXPECT_EQ(form.BoundsRect(), Rect(308, 100, 358, 400));
}

TEST_F(WindowFrame, CornersHookChangesAndCaption) {
  snapRight = true;
  Drag({256, 298}, {266, 318});
  ASSERT_EQ(edges.size(), 1u);
  EXPECT_EQ(edges[0], TSizingEdge::BottomRight);
  EXPECT_EQ(proposed[0], Rect(100, 100, 368, 420));
  EXPECT_EQ(form.BoundsRect(), Rect(100, 100, 600, 420));

  // Below the smallest width from the right: the left edge stays.
  snapRight = false;
  Drag({498, 300}, {10, 300});
  EXPECT_EQ(form.BoundsRect(), Rect(100, 100, 150, 420));

  Drag({30, 10}, {80, 60});  // the caption moves the window
  EXPECT_EQ(form.BoundsRect(), Rect(150, 150, 200, 470));
  EXPECT_EQ(edges.size(), 2u);  // moving is no sizing

  Press(form, {30, 100});
  Release(form, {30, 100});
  EXPECT_EQ(coverPresses, 1);
}

TEST_F(WindowFrame, HoverOverTheBandShowsSizingCursors) {
  cover.SetCursor(TCursor::Hand);
  MoveTo(form, {2, 150});
  EXPECT_EQ(WidgetOf(cover)->cursor().shape(), Qt::SizeHorCursor);
  MoveTo(form, {2, 2});
  EXPECT_EQ(WidgetOf(cover)->cursor().shape(), Qt::SizeFDiagCursor);
  MoveTo(form, {100, 100});
  EXPECT_EQ(WidgetOf(cover)->cursor().shape(), Qt::PointingHandCursor);
}

TEST(WindowKeys, PreviewSeesKeysOfChildrenFirstAndMaySwallowThem) {
  TWindow form;
  ShowAt(form, Bounds(0, 0, 200, 200));
  TListBox list(form);
  list.SetBounds(10, 10, 100, 100);
  list.Add("one");
  list.Add("two");
  list.Add("three");
  list.SetItemIndex(0);
  std::vector<std::pair<int, TShiftState>> keys;
  bool swallow = true;
  form.OnKeyDown = [&](int& key, TShiftState shift) {
    keys.emplace_back(key, shift);
    if (swallow) key = 0;
  };
  QWidget* native = WidgetOf(list);
  QTest::keyClick(native, Qt::Key_Down);
  EXPECT_EQ(list.ItemIndex(), 0);
  swallow = false;
  QTest::keyClick(native, Qt::Key_Down);
  EXPECT_EQ(list.ItemIndex(), 1);
  QTest::keyClick(native, Qt::Key_F1, Qt::ControlModifier | Qt::ShiftModifier);
  TChildWindow child(form);
  QTest::keyClick(WidgetOf(child), Qt::Key_Exclam, Qt::ShiftModifier);
  // The modifier keys are keys too, as Win32 reports them.
  EXPECT_EQ(keys, (std::vector<std::pair<int, TShiftState>>{{VK_DOWN, 0},
                                                            {VK_DOWN, 0},
                                                            {VK_SHIFT, 0},
                                                            {VK_CONTROL, ssShift},
                                                            {VK_F1, ssCtrl | ssShift},
                                                            {VK_SHIFT, 0},
                                                            {'1', ssShift}}));
}

TEST(WindowKeys, WheelStepsReachTheTopLevelWindow) {
  TWindow form;
  ShowAt(form, Bounds(0, 0, 100, 100));
  TChildWindow child(form);
  std::vector<bool> steps;
  form.OnMouseWheel = [&](bool forward) { steps.push_back(forward); };
  for (int delta : {120, -120, 0}) {
    QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(WidgetOf(child), &wheel);
  }
  EXPECT_EQ(steps, (std::vector<bool>{true, false}));
}

TEST(WindowPaint, ChildPaintsOverItsBackgroundColour) {
  TWindow form;
  form.SetColor(RGB(0, 0, 255));
  ShowAt(form, Bounds(0, 0, 100, 100));
  TChildWindow child(form);
  child.SetBounds(10, 10, 20, 20);
  child.OnPaint = [](TCanvas& canvas) { canvas.FillRect(Rect(5, 5, 10, 10), RGB(0, 255, 0)); };
  auto pixel = [&](int x, int y) { return WidgetOf(child)->grab().toImage().pixelColor(x, y); };
  EXPECT_EQ(pixel(0, 0), QColor(0, 0, 255));  // the parent's colour
  EXPECT_EQ(pixel(5, 5), QColor(0, 255, 0));
  EXPECT_EQ(pixel(10, 10), QColor(0, 0, 255));  // right and bottom exclusive
  child.SetColor(RGB(255, 0, 0));
  EXPECT_EQ(pixel(0, 0), QColor(255, 0, 0));
}

TEST(WindowHints, TheHintHookMayRewriteOrSuppressTooltips) {
  TWindow form;
  ShowAt(form, Bounds(0, 0, 100, 100));
  TChildWindow child(form);
  child.SetBounds(0, 0, 50, 50);
  child.SetHint("<>");
  TWindowBase* seen = nullptr;
  std::string replacement = "Exit (Esc)";
  SetHintHook([&](std::string& text, TWindowBase& window) {
    seen = &window;
    if (text == "<>") text = replacement;
  });
  auto ask = [&] {
    QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), WidgetOf(child)->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(WidgetOf(child), &help);
  };
  ask();
  EXPECT_EQ(seen, &child);
  EXPECT_EQ(QToolTip::text(), QString("Exit (Esc)"));
  replacement.clear();
  ask();
  EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 2000));
  SetHintHook(nullptr);
}

TEST(WindowModal, ShowModalReturnsWhenTheWindowIsClosed) {
  TWindow dialog;
  dialog.SetBounds(0, 0, 80, 60);
  bool modalSeen = false;
  int closes = 0;
  dialog.OnClose = [&] { ++closes; };
  TTimer closer(5, [&] {
    modalSeen = dialog.IsModal() && dialog.Visible();
    dialog.Close();
  });
  closer.SetEnabled(true);
  dialog.ShowModal();
  closer.SetEnabled(false);
  EXPECT_TRUE(modalSeen);
  EXPECT_FALSE(dialog.IsModal());
  EXPECT_FALSE(dialog.Visible());
  EXPECT_EQ(closes, 1);

  // Closing a window that is not modal hides it.
  dialog.Show();
  dialog.Close();
  EXPECT_FALSE(dialog.Visible());

  // A close request to the active window closes it from the loop.
  ShowAt(dialog, Bounds(0, 0, 80, 60));
  dialog.BringToFront();
  ASSERT_TRUE(QTest::qWaitForWindowActive(testing::NativeOf(dialog)));
  EXPECT_EQ(ActiveWindow(), &dialog);
  EXPECT_TRUE(dialog.IsActive());
  PostCloseToActiveWindow();
  EXPECT_TRUE(dialog.Visible());
  ProcessMessages();
  EXPECT_FALSE(dialog.Visible());
  EXPECT_EQ(closes, 3);
}

TEST(WindowModal, QuitEndsTheModalLoopAndTheMainLoop) {
  TWindow dialog;
  bool returned = false;
  PostDeferred([&] {
    dialog.ShowModal();
    returned = true;
  });
  TTimer quitter(5, [] { PostQuit(3); });
  quitter.SetEnabled(true);
  EXPECT_EQ(RunMessageLoop(), 3);
  EXPECT_TRUE(returned);
}

TEST(WindowState, MinimiseRestoreAndTopmost) {
  TWindow form;
  ShowAt(form, Bounds(0, 0, 100, 100));
  form.SetTopmost(true);
  EXPECT_TRUE(form.Topmost());
  EXPECT_TRUE(WidgetOf(form)->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(WidgetOf(form)->isVisible());

  MinimizeApplication(true);
  EXPECT_TRUE(IsApplicationMinimized());
  EXPECT_TRUE(form.Visible());  // still counts as shown
  EXPECT_FALSE(WidgetOf(form)->isVisible());
  RestoreApplication();
  EXPECT_FALSE(IsApplicationMinimized());
  EXPECT_TRUE(WidgetOf(form)->isVisible());
  SetApplicationTopmost(false);
  EXPECT_FALSE(form.Topmost());
}

}  // namespace
}  // namespace platform
