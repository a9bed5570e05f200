#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/Region.h"
#include "platform/Snapshot.h"
#include "platform/Window.h"
#include "platform/detail/WindowImpl.h"

// What a window costs to paint and to picture is bounded by what can be
// seen, however large or finely shaped a window is made.
namespace platform {
namespace {

constexpr TColor kRed = RGB(255, 0, 0);
constexpr TColor kGreen = RGB(0, 255, 0);

TEST(WindowPaint, AOnePixelCheckerboardShapePaintsAsACoarserCover) {
  TWindow window;
  window.SetBounds(0, 0, 2048, 2048);
  TChildWindow child(window);
  child.SetBounds(0, 0, 2048, 2048);
  child.SetColor(kRed);
  TBitmap board(2048, 2048);
  for (int y = 0; y < board.Height(); ++y)
    for (int x = y % 2; x < board.Width(); x += 2) board.SetPixel(x, y, kGreen);
  const TRegion shape = TRegion::FromBitmapMask(board, kGreen);
  ASSERT_GT(shape.Rects().size(), std::size_t{1000000});
  window.SetRegion(shape);
  child.SetRegion(shape);
  // Qt's raster engine wrote past its buffers painting through this shape.
  const TBitmap picture = GrabWindow(window);
  EXPECT_EQ(picture.Pixel(1000, 1000), kRed);
  EXPECT_TRUE(child.HasRegion());
  EXPECT_TRUE(child.Impl().Region->Rects().size() <= kMaxRegionRects);
  EXPECT_TRUE(child.Impl().Region->Contains(0, 0));
}

TEST(WindowPaint, AHugeChildPaintsOnlyWhatItsParentShowsInItsOwnCoordinates) {
  TWindow window;
  window.SetBounds(0, 0, 300, 200);
  TChildWindow child(window);
  child.SetBounds(-1000, -500, 16384, 16384);
  std::vector<TRect> boxes;
  child.OnPaint = [&](TCanvas& canvas) {
    boxes.push_back(canvas.ClipBox());
    canvas.FillRect(Rect(1000, 500, 1100, 600), kRed);
  };
  const TBitmap picture = GrabWindow(window);
  ASSERT_FALSE(boxes.empty());
  for (const TRect& box : boxes) {
    EXPECT_LE(box.Width(), 300);
    EXPECT_LE(box.Height(), 200);
  }
  EXPECT_EQ(picture.Pixel(0, 0), kRed);
  EXPECT_EQ(picture.Pixel(99, 99), kRed);
  EXPECT_NE(picture.Pixel(100, 100), kRed);

  // A picture of the child alone is no larger than a screen could show.
  boxes.clear();
  const TBitmap alone = GrabWindow(child);
  EXPECT_LT(alone.Width(), 16384);
  EXPECT_LT(alone.Height(), 16384);
  EXPECT_EQ(alone.Pixel(1050, 550), kRed);
}

TEST(WindowPaint, TopLevelWindowsAreNoLargerThanAScreenCouldShow) {
  TWindow window;
  window.SetBounds(10, 20, 16384, 16384);
  EXPECT_LT(window.Width(), 16384);
  EXPECT_GE(window.Width(), 4096);
  EXPECT_GE(window.Height(), 4096);
  EXPECT_EQ(window.Left(), 10);
  window.SetSizeConstraints(20000, 20000);
  window.SetBounds(0, 0, 100, 100);
  EXPECT_EQ(window.Width(), window.Height());
  EXPECT_LT(window.Width(), 16384);
}

}  // namespace
}  // namespace platform
