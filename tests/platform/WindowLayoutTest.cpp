#include <gtest/gtest.h>

#include <memory>

#include "WindowTestSupport.h"
#include "platform/Window.h"

namespace platform {
namespace {

TEST(WindowLayout, AnchorsFollowTheParentsSizeWithoutDrift) {
  TWindow form;
  form.SetBounds(0, 0, 258, 300);
  TChildWindow right(form);  // a "pos" of -30,6: anchored to the right edge
  right.SetBounds(228, 6, 25, 25);
  right.SetAnchors(akTop | akRight);
  TChildWindow stretched(form);  // a "size" of 0,0: reaches both far edges
  stretched.SetBounds(21, 61, 237, 239);
  stretched.SetAnchors(akLeft | akTop | akRight | akBottom);
  TChildWindow floating(form);  // no anchor: the centre keeps its fraction
  floating.SetBounds(100, 100, 50, 50);
  floating.SetAnchors(0);
  TChildWindow plain(form);  // new children keep left and top

  plain.SetBounds(5, 5, 25, 25);
  form.SetSize(268, 400);
  EXPECT_EQ(right.BoundsRect(), Bounds(238, 6, 25, 25));
  EXPECT_EQ(stretched.BoundsRect(), Bounds(21, 61, 247, 339));
  // Centre 125 of 258 wide becomes 259 of 268 (twice-centre arithmetic),
  // 125 of 300 high becomes 166 of 400.
  EXPECT_EQ(floating.BoundsRect(), Bounds(104, 141, 50, 50));
  EXPECT_EQ(plain.BoundsRect(), Bounds(5, 5, 25, 25));

  // Many resizes and the way back give the original bounds exactly.
  for (int width = 269; width < 300; width += 7) form.SetSize(width, 301);
  form.SetSize(258, 300);
  EXPECT_EQ(right.BoundsRect(), Bounds(228, 6, 25, 25));
  EXPECT_EQ(stretched.BoundsRect(), Bounds(21, 61, 237, 239));
  EXPECT_EQ(floating.BoundsRect(), Bounds(100, 100, 50, 50));

  // Bounds set by the program become the new reference.
  right.SetBounds(200, 6, 25, 25);
  form.SetSize(268, 300);
  EXPECT_EQ(right.Left(), 210);
}

TEST(WindowLayout, DockingOrderTopBottomLeftRightClient) {
  TWindow form;
  form.SetBounds(0, 0, 200, 100);
  // Created in an order unlike the layout order, to show that the kind
  // decides and child order only breaks ties.
  TChildWindow client(form);
  client.SetAlign(TAlign::Client);
  TChildWindow right(form);
  right.SetBounds(0, 0, 40, 5);
  right.SetAlign(TAlign::Right);
  TChildWindow left(form);
  left.SetBounds(0, 0, 30, 5);
  left.SetAlign(TAlign::Left);
  TChildWindow bottom(form);
  bottom.SetBounds(0, 0, 5, 10);
  bottom.SetAlign(TAlign::Bottom);
  TChildWindow top(form);
  top.SetBounds(0, 0, 5, 20);
  top.SetAlign(TAlign::Top);
  TChildWindow secondTop(form);
  secondTop.SetBounds(0, 0, 5, 15);
  secondTop.SetAlign(TAlign::Top);

  EXPECT_EQ(top.BoundsRect(), Bounds(0, 0, 200, 20));
  EXPECT_EQ(secondTop.BoundsRect(), Bounds(0, 20, 200, 15));
  EXPECT_EQ(bottom.BoundsRect(), Bounds(0, 90, 200, 10));
  EXPECT_EQ(left.BoundsRect(), Bounds(0, 35, 30, 55));
  EXPECT_EQ(right.BoundsRect(), Bounds(160, 35, 40, 55));
  EXPECT_EQ(client.BoundsRect(), Bounds(30, 35, 130, 55));

  form.SetSize(300, 200);
  EXPECT_EQ(bottom.BoundsRect(), Bounds(0, 190, 300, 10));
  EXPECT_EQ(right.BoundsRect(), Bounds(260, 35, 40, 155));
  EXPECT_EQ(client.BoundsRect(), Bounds(30, 35, 230, 155));

  // A hidden docked child gives its room to the others.
  top.Hide();
  EXPECT_EQ(secondTop.BoundsRect(), Bounds(0, 0, 300, 15));
  EXPECT_EQ(client.BoundsRect(), Bounds(30, 15, 230, 175));
  top.Show();
  EXPECT_EQ(client.BoundsRect(), Bounds(30, 35, 230, 155));
}

TEST(WindowLayout, NestedChildrenAndResizeNotices) {
  TWindow form;
  form.SetBounds(0, 0, 100, 100);
  TChildWindow panel(form);
  panel.SetBounds(0, 0, 100, 100);
  panel.SetAnchors(akLeft | akTop | akRight | akBottom);
  TChildWindow grip(panel);
  grip.SetBounds(90, 90, 10, 10);
  grip.SetAnchors(akRight | akBottom);
  int panelResizes = 0;
  panel.OnResize = [&] { ++panelResizes; };

  form.SetSize(150, 120);
  EXPECT_EQ(panel.BoundsRect(), Bounds(0, 0, 150, 120));
  EXPECT_EQ(grip.BoundsRect(), Bounds(140, 110, 10, 10));
  EXPECT_EQ(panelResizes, 1);
  form.SetPosition(30, 40);  // a move is no resize
  EXPECT_EQ(panelResizes, 1);
}

TEST(WindowBasics, ColoursHandlesVisibilityAndOrphans) {
  auto form = std::make_unique<TWindow>();
  EXPECT_FALSE(form->Visible());
  form->SetColor(RGB(1, 2, 3));
  TChildWindow child(*form);
  TChildWindow grandChild(child);
  EXPECT_TRUE(child.Visible());
  EXPECT_TRUE(child.ParentColor());
  EXPECT_EQ(grandChild.Color(), RGB(1, 2, 3));
  form->SetColor(RGB(4, 5, 6));
  EXPECT_EQ(grandChild.Color(), RGB(4, 5, 6));
  child.SetColor(RGB(7, 8, 9));
  EXPECT_FALSE(child.ParentColor());
  EXPECT_EQ(grandChild.Color(), RGB(7, 8, 9));

  EXPECT_NE(form->Handle(), child.Handle());
  EXPECT_NE(child.Handle(), grandChild.Handle());
  EXPECT_EQ(grandChild.TopLevel(), form.get());
  ASSERT_EQ(form->Children().size(), 1u);

  // A parent going first leaves its children detached but usable.
  form.reset();
  EXPECT_EQ(child.Parent(), nullptr);
  EXPECT_EQ(child.TopLevel(), nullptr);
  child.SetBounds(1, 2, 3, 4);
  EXPECT_EQ(child.BoundsRect(), Bounds(1, 2, 3, 4));
}

}  // namespace
}  // namespace platform
