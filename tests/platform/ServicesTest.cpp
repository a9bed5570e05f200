#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <string>
#include <vector>

#include "WindowTestSupport.h"
#include "platform/Canvas.h"
#include "platform/Dialogs.h"
#include "platform/Drag.h"
#include "platform/HotKeys.h"
#include "platform/ListBox.h"
#include "platform/Menu.h"
#include "platform/Screen.h"
#include "platform/Shell.h"
#include "platform/SysColors.h"
#include "platform/Tray.h"

namespace platform {
namespace {

using testing::ShowAt;
using testing::WidgetOf;

constexpr TColor kRed = RGB(255, 0, 0);
constexpr TColor kWhite = RGB(255, 255, 255);

// Runs the steps one after the other from the event loop, while a modal
// menu or dialog is open.
void Later(int ms, std::function<void()> step) { QTimer::singleShot(ms, std::move(step)); }

TEST(PopupMenu, OwnerDrawnItemsAreMeasuredDrawnSelectedAndClicked) {
  TPopupMenu menu;
  std::vector<std::string> events;
  struct TDraw {
    TRect Rect;
    bool Selected;
  };
  std::vector<TDraw> secondDraws;
  auto ownerDrawn = [&](TMenuItem& item, const std::string& name, int height) {
    item.OnMeasure = [height](TCanvas& canvas, int& width, int& h) {
      // A separator tells only its height.
      width = height > 3 ? canvas.TextWidth("Item") + 60 : 0;
      h = height;
    };
    item.OnDraw = [&, name](TCanvas& canvas, const TRect& rect, bool selected) {
      canvas.FillRect(rect, selected ? kRed : kWhite);
      if (name == "second") secondDraws.push_back({rect, selected});
    };
    item.OnClick = [&events, name] { events.push_back("click " + name); };
  };
  ownerDrawn(menu.Add(), "first", 17);
  TMenuItem& separator = menu.Add();
  ownerDrawn(separator, "separator", 3);
  separator.Separator = true;
  ownerDrawn(menu.Add(), "second", 17);
  TMenuItem& more = menu.Add();
  more.Caption = "More";
  more.Add().Caption = "Deeper";
  menu.OnPopup = [&] { events.push_back("popup"); };

  QSize firstSize, separatorSize;
  Later(50, [&] {
    auto* open = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(open, nullptr);
    EXPECT_TRUE(menu.IsOpen());
    firstSize = open->actionGeometry(open->actions()[0]).size();
    separatorSize = open->actionGeometry(open->actions()[1]).size();
    const std::vector<TRect> rects = menu.ItemRects();
    ASSERT_EQ(rects.size(), 4u);
    EXPECT_EQ(rects[1].Top, rects[0].Bottom) << "the separator lies between its neighbours";
    EXPECT_EQ(rects[2].Top, rects[1].Bottom);
    EXPECT_NE(open->actions()[3]->menu(), nullptr);
    QTest::keyClick(open, Qt::Key_Down);
    QTest::keyClick(open, Qt::Key_Down);  // past the separator
    open->grab();
    QTest::keyClick(open, Qt::Key_Return);
  });
  menu.Popup(TPoint{20, 20});

  EXPECT_FALSE(menu.IsOpen());
  EXPECT_EQ(events, (std::vector<std::string>{"popup", "click second"}));
  EXPECT_EQ(firstSize.height(), 17);
  EXPECT_EQ(separatorSize.height(), 3);
  EXPECT_EQ(separatorSize.width(), firstSize.width()) << "as wide as the menu";
  EXPECT_TRUE(menu.ItemRects().empty()) << "closed";
  EXPECT_GT(firstSize.width(), 60);
  ASSERT_FALSE(secondDraws.empty());
  EXPECT_TRUE(secondDraws.back().Selected);
  EXPECT_EQ(secondDraws.back().Rect.Left, 0);
  EXPECT_EQ(secondDraws.back().Rect.Height(), 17);
}

TEST(PopupMenu, EscapeClicksNothingAndTheDefaultFontIsReal) {
  TPopupMenu menu;
  bool clicked = false;
  menu.Add().OnClick = [&] { clicked = true; };
  menu.Items().front()->Caption = "Plain";
  Later(50, [] { QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape); });
  menu.Popup(TPoint{0, 0});
  EXPECT_FALSE(clicked);
  const TFont font = TPopupMenu::DefaultFont();
  EXPECT_FALSE(font.Family.empty());
  EXPECT_GT(font.Size, 0);
  EXPECT_NE(SystemColor(TSystemColor::Highlight), SystemColor(TSystemColor::ButtonFace));
}

TEST(ListBox, SortedItemsSelectionAndClicks) {
  TWindow form;
  ShowAt(form, Bounds(0, 0, 200, 200));
  TListBox list(form);
  list.SetBounds(10, 10, 180, 180);
  list.SetAnchors(akLeft | akTop | akRight | akBottom);
  list.SetSorted(true);
  list.SetFlatBorder(true);
  list.SetFontColor(RGB(0, 255, 255));
  EXPECT_EQ(list.Add(""), 0);
  EXPECT_EQ(list.Add("beta"), 1);
  EXPECT_EQ(list.Add("Alpha"), 1);
  EXPECT_EQ(list.Add("gamma"), 3);
  EXPECT_EQ(list.Items(), (std::vector<std::string>{"", "Alpha", "beta", "gamma"}));
  int clicks = 0;
  list.OnClick = [&] { ++clicks; };
  list.SetItemIndex(1);
  EXPECT_EQ(list.ItemIndex(), 1);
  EXPECT_EQ(clicks, 0);  // set by the program: no click

  auto* native = static_cast<QListWidget*>(WidgetOf(list));
  auto clickRow = [&](int row) {
    const QPoint at = native->visualItemRect(native->item(row)).center();
    QTest::mouseClick(native->viewport(), Qt::LeftButton, Qt::NoModifier, at);
  };
  clickRow(2);
  EXPECT_EQ(list.ItemIndex(), 2);
  EXPECT_EQ(clicks, 1);
  clickRow(2);  // the same line again still counts
  EXPECT_EQ(clicks, 2);

  list.SetItemIndex(17);
  EXPECT_EQ(list.ItemIndex(), -1);
  EXPECT_EQ(list.Item(17), "");
  form.SetSize(300, 300);
  EXPECT_EQ(list.BoundsRect(), Bounds(10, 10, 280, 280));
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST(TrayIcon, TipsAreCutAndAMissingTrayIsSilent) {
  EXPECT_EQ(CutTip(std::string(64, 'a')), std::string(63, 'a'));
  EXPECT_EQ(CutTip("short"), "short");
  std::string accents;
  for (int i = 0; i < 70; ++i) accents += "\xC3\xA9";
  EXPECT_EQ(CutTip(accents).size(), 126u);  // 63 two-byte characters

  TTrayIcon tray;
  const std::uint8_t noIcon[] = {0};
  const bool added = tray.Add(noIcon, std::string(80, 'x'));
  EXPECT_EQ(added, TTrayIcon::Available());
  EXPECT_EQ(tray.Shown(), added);
  EXPECT_EQ(tray.Tip(), std::string(63, 'x'));
  tray.SetTip("Ludex");
  EXPECT_EQ(tray.Tip(), "Ludex");
  tray.Remove();
  EXPECT_FALSE(tray.Shown());
}

TEST(GlobalAtoms, TextsIgnoringCaseShareOneCountedAtom) {
  EXPECT_EQ(GlobalAddAtom(""), 0);
  const std::uint16_t atom = GlobalAddAtom("Ctrl+Alt+Space");
  EXPECT_GE(atom, 0xC000);
  EXPECT_EQ(GlobalAddAtom("ctrl+alt+SPACE"), atom);
  const std::uint16_t other = GlobalAddAtom("Ctrl+Alt+F12");
  EXPECT_NE(other, atom);
  EXPECT_EQ(GlobalGetAtomName(atom), "Ctrl+Alt+Space");
  GlobalDeleteAtom(atom);
  EXPECT_EQ(GlobalGetAtomName(atom), "Ctrl+Alt+Space");
  GlobalDeleteAtom(atom);
  EXPECT_EQ(GlobalGetAtomName(atom), "");
  EXPECT_EQ(GlobalAddAtom("Ctrl+Alt+Up"), atom);  // the freed number is taken again
  GlobalDeleteAtom(atom);
  GlobalDeleteAtom(other);
}

TEST(HotKeys, RefusedWithoutAnX11Display) {
  int fired = 0;
  THotKeys keys([&](int) { ++fired; });
  EXPECT_FALSE(THotKeys::Available());
  EXPECT_FALSE(keys.Register(0xC000, MOD_CONTROL | MOD_ALT, VK_SPACE));
  EXPECT_FALSE(keys.Unregister(0xC000));
  EXPECT_EQ(fired, 0);
}

TEST(PictureDrag, PictureFollowsTheHotSpotAndLetsTheMouseThrough) {
  TWindow form;
  ShowAt(form, Bounds(0, 0, 200, 200));
  TChildWindow board(form);
  board.SetBounds(10, 10, 100, 100);
  int presses = 0;
  board.OnMouseDown = [&](const TMouseEvent&) { ++presses; };
  TBitmap picture(27, 27);
  picture.Fill(RGB(12, 8, 4));
  for (int y = 8; y < 19; ++y)
    for (int x = 8; x < 19; ++x) picture.SetPixel(x, y, kRed);
  picture.SetTransparentColor(RGB(12, 8, 4));

  TDragImage drag;
  drag.Begin(picture, TPoint{13, 13}, board, 20, 20);
  EXPECT_TRUE(drag.Dragging());
  EXPECT_EQ(drag.Position(), (TPoint{7, 7}));
  auto floating = [&]() -> QWidget* {
    for (QWidget* widget : WidgetOf(form)->findChildren<QWidget*>()) {
      if (widget->testAttribute(Qt::WA_TransparentForMouseEvents)) return widget;
    }
    return nullptr;
  };
  ASSERT_NE(floating(), nullptr);
  EXPECT_EQ(floating()->pos(), QPoint(17, 17));
  EXPECT_FALSE(floating()->mask().contains(QPoint(0, 0)));
  EXPECT_TRUE(floating()->mask().contains(QPoint(13, 13)));
  drag.Move(50, 60);
  EXPECT_EQ(floating()->pos(), QPoint(47, 57));
  testing::Press(form, {60, 70});
  testing::Release(form, {60, 70});
  EXPECT_EQ(presses, 1);
  drag.End();
  EXPECT_FALSE(drag.Dragging());
  EXPECT_EQ(floating(), nullptr);
}

TEST(Dialogs, MessageBoxShowsTextCaptionAndIconWithoutOwner) {
  QString caption, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  bool owned = true;
  Later(50, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    caption = box->windowTitle();
    text = box->text();
    icon = box->icon();
    owned = box->parentWidget() != nullptr;
    box->accept();
  });
  MessageBox("White win!", "KEST Application", TMessageIcon::Warning);
  EXPECT_EQ(caption, QString("KEST Application"));
  EXPECT_EQ(text, QString("White win!"));
  EXPECT_EQ(icon, QMessageBox::Warning);
  EXPECT_FALSE(owned);
}

TEST(ScreenAndShell, ScreenMetricsCursorAndAnimation) {
  EXPECT_GT(ScreenWidth(), 0);
  EXPECT_GT(ScreenHeight(), 0);
  const TRect work = WorkArea();
  EXPECT_FALSE(work.IsEmpty());
  EXPECT_LE(work.Right, ScreenWidth());
  SetCursorPos(TPoint{12, 34});
  EXPECT_EQ(CursorPos(), (TPoint{12, 34}));
  EXPECT_FALSE(AnimationsEnabled());  // offscreen has no animations
  AnimateCaption(Bounds(0, 0, 100, 100), Bounds(500, 500, 10, 10));
  EXPECT_FALSE(OpenDocument(""));
}

}  // namespace
}  // namespace platform
