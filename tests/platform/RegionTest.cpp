#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/Region.h"

namespace platform {
namespace {

constexpr TColor kKey = RGB(255, 0, 255);

std::int64_t Area(const TRegion& region) {
  std::int64_t area = 0;
  for (const TRect& rect : region.Rects()) area += std::int64_t{rect.Width()} * rect.Height();
  return area;
}

// A bitmap with a deterministic scatter of key pixels, runs and holes.
TBitmap Speckled(int width, int height) {
  TBitmap bitmap(width, height);
  std::uint32_t state = 12345;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      state = state * 1103515245u + 12345u;
      const bool key = (state >> 16) % 3 == 0 || (y >= 4 && y < 7);
      bitmap.SetPixel(x, y, key ? kKey : RGB(x, y, 7));
    }
  return bitmap;
}

TEST(RegionTest, RectanglesCombineLikeGdiRegions) {
  const TRegion a(Rect(0, 0, 4, 4));
  const TRegion b(Rect(2, 2, 6, 6));
  EXPECT_EQ(Area(a), 16);
  EXPECT_TRUE(a.Contains(3, 3));
  EXPECT_FALSE(a.Contains(4, 3)) << "right edge exclusive";
  EXPECT_FALSE(a.Contains(3, 4)) << "bottom edge exclusive";

  EXPECT_EQ(Area(TRegion::Combine(a, b, TCombineMode::Or)), 28);
  EXPECT_EQ(TRegion::Combine(a, b, TCombineMode::And), TRegion(Rect(2, 2, 4, 4)));
  const TRegion x = TRegion::Combine(a, b, TCombineMode::Xor);
  EXPECT_EQ(Area(x), 24);
  EXPECT_FALSE(x.Contains(2, 2));
  EXPECT_TRUE(x.Contains(5, 5));
  const TRegion d = TRegion::Combine(a, b, TCombineMode::Diff);
  EXPECT_EQ(Area(d), 12);
  EXPECT_TRUE(d.Contains(0, 3));
  EXPECT_FALSE(d.Contains(5, 5));
  EXPECT_EQ(TRegion::Combine(a, b, TCombineMode::Copy), a);
  EXPECT_EQ(x.Bounds(), Rect(0, 0, 6, 6));

  TRegion moved = d;
  moved.Offset(10, -1);
  EXPECT_TRUE(moved.Contains(10, 2));
  EXPECT_FALSE(moved.Contains(10, 3));
  EXPECT_TRUE(d.Contains(0, 3)) << "copies are independent";

  EXPECT_TRUE(TRegion().IsEmpty());
  EXPECT_TRUE(TRegion(Rect(5, 5, 5, 9)).IsEmpty());
  EXPECT_TRUE(TRegion(Rect(5, 5, 2, 9)).IsEmpty());
  EXPECT_EQ(TRegion().Bounds(), TRect{});
  EXPECT_TRUE(TRegion::Combine(a, a, TCombineMode::Xor).IsEmpty());
}

TEST(RegionTest, RectListRoundTripsAndScales) {
  const TRegion region = TRegion::FromRects({Rect(0, 0, 1, 2), Rect(3, 1, 4, 2)});
  EXPECT_EQ(TRegion::FromRects(region.Rects()), region);
  for (const TRect& rect : region.Rects()) EXPECT_FALSE(rect.IsEmpty());

  const TRegion scaled = TRegion::FromRects(region.Rects(), 5, 1);
  EXPECT_EQ(scaled, TRegion::FromRects({Rect(0, 0, 5, 2), Rect(15, 1, 20, 2)}));
  const TRegion tall = TRegion::FromRects(region.Rects(), 1, 3);
  EXPECT_EQ(tall, TRegion::FromRects({Rect(0, 0, 1, 6), Rect(3, 3, 4, 6)}));
  const TRegion mirrored = TRegion::FromRects({Rect(1, 0, 3, 1)}, -1, 1);
  EXPECT_EQ(mirrored, TRegion(Rect(-3, 0, -1, 1)));
  EXPECT_TRUE(TRegion::FromRects({Rect(0, 0, 4, 4)}, 0, 1).IsEmpty());
}

TEST(RegionTest, MaskedBitmapGivesExactlyItsOpaquePixels) {
  const TBitmap bitmap = Speckled(37, 23);
  const TRegion region = TRegion::FromBitmapMask(bitmap, kKey);
  std::int64_t opaque = 0;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) {
      const bool isOpaque = bitmap.Pixel(x, y) != kKey;
      opaque += isOpaque;
      ASSERT_EQ(region.Contains(x, y), isOpaque) << x << "," << y;
    }
  EXPECT_EQ(Area(region), opaque) << "rectangles do not overlap";
  EXPECT_FALSE(region.Contains(-1, 0));
  EXPECT_FALSE(region.Contains(37, 0));

  // The same shape as the skin builds it: the whole rectangle with every
  // run of key pixels cut out by exclusive-or.
  TRegion cut(Rect(0, 0, bitmap.Width(), bitmap.Height()));
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0, start = -1; x <= bitmap.Width(); ++x) {
      const bool key = x < bitmap.Width() && bitmap.Pixel(x, y) == kKey;
      if (key && start < 0) start = x;
      if (!key && start >= 0) {
        cut.CombineWith(TRegion(Rect(start, y, x, y + 1)), TCombineMode::Xor);
        start = -1;
      }
    }
  EXPECT_EQ(cut, region);

  TBitmap solid(8, 5);
  solid.Fill(RGB(1, 2, 3));
  EXPECT_EQ(TRegion::FromBitmapMask(solid, kKey).Rects(), (std::vector<TRect>{Rect(0, 0, 8, 5)}))
      << "identical rows merge into one band";
  solid.Fill(kKey);
  EXPECT_TRUE(TRegion::FromBitmapMask(solid, kKey).IsEmpty());
  EXPECT_TRUE(TRegion::FromBitmapMask(TBitmap(), kKey).IsEmpty());
}

TEST(RegionTest, BoundedKeepsPlainShapesAndCoversDetailedOnesCoarsely) {
  const TRegion plain = TRegion::FromBitmapMask(Speckled(37, 23), kKey);
  EXPECT_EQ(plain.Bounded().Rects(), plain.Rects());

  // A one-pixel checkerboard (a hundred thousand rectangles) with a block
  // far to its right: past the limit the cover holds every pixel, keeps the
  // bounds and leaves the wide gap out.
  TBitmap board(500, 400);
  for (int y = 0; y < board.Height(); ++y)
    for (int x = 0; x < board.Width(); ++x) board.SetPixel(x, y, (x + y) % 2 ? kKey : 0);
  TRegion detailed = TRegion::FromBitmapMask(board, kKey);
  detailed.CombineWith(TRegion(Rect(1900, 0, 2000, 400)), TCombineMode::Or);
  ASSERT_GT(detailed.Rects().size(), kMaxRegionRects);
  const TRegion bounded = detailed.Bounded();
  EXPECT_LE(bounded.Rects().size(), kMaxRegionRects);
  EXPECT_TRUE(TRegion::Combine(detailed, bounded, TCombineMode::Diff).IsEmpty());
  EXPECT_EQ(bounded.Bounds(), detailed.Bounds());
  EXPECT_FALSE(bounded.Contains(1200, 200));
  EXPECT_TRUE(bounded.Contains(1, 0)) << "key pixels inside a covered cell are covered";
}

}  // namespace
}  // namespace platform
