#include "skin/AlphaImage.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "ImageTestUtil.h"
#include "platform/Bitmap.h"
#include "platform/Canvas.h"

namespace skin {
namespace {

using platform::TBitmap;
using platform::TCanvas;
using namespace skin_test;

// Whether some pixel of row y within one column of `column` is red.
bool RedNear(const TBitmap& bitmap, int column, int y) {
  for (int x = column - 1; x <= column + 1; ++x) {
    if (bitmap.Pixel(x, y) == kRed) return true;
  }
  return false;
}

TEST(ErrorAlphaImage, DrawsBlackBoxWithRedBorderAndCross) {
  TBitmap bitmap = FilledBitmap(20, 20, kWhite);
  TCanvas canvas(bitmap);
  canvas.Pen.Color = kGreen;
  canvas.MoveTo(1, 2);
  const platform::TRect box = platform::Bounds(3, 2, 14, 15);
  TErrorAlphaImage error;
  EXPECT_EQ(error.GetWidth(), 0);
  EXPECT_EQ(error.GetHeight(), 0);
  DrawImage(error, canvas, box);

  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 20; ++x) {
      const platform::TColor pixel = bitmap.Pixel(x, y);
      if (!box.Contains({x, y})) {
        EXPECT_EQ(pixel, kWhite) << x << "," << y;
      } else if (x == box.Left || x == box.Right - 1 || y == box.Top || y == box.Bottom - 1) {
        EXPECT_EQ(pixel, kRed) << "border " << x << "," << y;
      } else {
        EXPECT_TRUE(pixel == kRed || pixel == kBlack) << x << "," << y;
      }
    }
  }
  // Inside the border every row holds the two diagonals and nothing else:
  // from the top-left and the bottom-left corner to the opposite corner.
  for (int row = 1; row < 14; ++row) {
    const int down = box.Left + (row * 13 + 7) / 14;
    const int up = box.Left + ((14 - row) * 13 + 7) / 14;
    const int y = box.Top + row;
    EXPECT_TRUE(RedNear(bitmap, down, y)) << "row " << row;
    EXPECT_TRUE(RedNear(bitmap, up, y)) << "row " << row;
    for (int x = box.Left + 1; x < box.Right - 1; ++x) {
      if (bitmap.Pixel(x, y) != kRed) continue;
      EXPECT_TRUE(std::abs(x - down) <= 1 || std::abs(x - up) <= 1) << x << "," << y;
    }
  }
  // The caller's pen survives.
  EXPECT_EQ(canvas.Pen.Color, kGreen);
  EXPECT_EQ(canvas.PenPos(), (platform::TPoint{1, 2}));
}

TEST(AlphaImageRegion, CutsRowsAndDrawsItsRectangle) {
  const TBitmap bitmap = PatternBitmap(40, 40);
  const TAlphaBMPImage image(bitmap);
  EXPECT_EQ(image.GetWidth(), 40);
  EXPECT_FALSE(image.IsTransparent());
  TBitmap keyed = PatternBitmap(2, 2);
  keyed.SetTransparentColor(kFuchsia);
  EXPECT_TRUE(TAlphaBMPImage(keyed).IsTransparent());

  const TAlphaImageRegion region(image, platform::Rect(10, 20, 24, 35));
  EXPECT_EQ(region.GetWidth(), 14);
  EXPECT_EQ(region.GetHeight(), 15);
  EXPECT_FALSE(region.OwnsInner());
  const std::uint8_t* row0 = region.ScanLine(0);
  ASSERT_NE(row0, nullptr);
  EXPECT_EQ(row0, bitmap.ScanLine(20) + 4 * 10);
  EXPECT_EQ(region.ScanLine(14), bitmap.ScanLine(34) + 4 * 10);
  EXPECT_EQ(region.ScanLine(15), nullptr);
  EXPECT_EQ(region.ScanLine(-1), nullptr);

  // Drawn at its own size it is the bitmap's rectangle; twice as big, each
  // pixel becomes a 2 x 2 block.
  TBitmap target(28, 30);
  TCanvas canvas(target);
  DrawImage(region, canvas, platform::Rect(0, 0, 14, 15));
  EXPECT_EQ(target.Pixel(0, 0), PatternColor(10, 20));
  EXPECT_EQ(target.Pixel(13, 14), PatternColor(23, 34));
  EXPECT_EQ(target.Pixel(14, 0), kBlack);
  DrawImage(region, canvas, platform::Rect(0, 0, 28, 30));
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 28; ++x) {
      ASSERT_EQ(target.Pixel(x, y), PatternColor(10 + x / 2, 20 + y / 2)) << x << "," << y;
    }
  }
}

TEST(AlphaImageRegion, RectanglesOutsideTheImageGiveNoRowsAndNoNegativeSize) {
  const TBitmap bitmap = PatternBitmap(20, 20);
  const TAlphaBMPImage image(bitmap);
  // Reaching past the right edge: a row would be read past the bitmap.
  const TAlphaImageRegion wide(image, platform::Rect(15, 0, 25, 5));
  EXPECT_EQ(wide.GetWidth(), 10);
  EXPECT_EQ(wide.ScanLine(0), nullptr);
  const TAlphaImageRegion below(image, platform::Rect(0, 18, 5, 25));
  EXPECT_NE(below.ScanLine(1), nullptr);
  EXPECT_EQ(below.ScanLine(2), nullptr);
  const TAlphaImageRegion left(image, platform::Rect(-1, 0, 5, 5));
  EXPECT_EQ(left.ScanLine(0), nullptr);
  const TAlphaImageRegion inverted(image, platform::Rect(10, 10, 5, 2));
  EXPECT_EQ(inverted.GetWidth(), 0);
  EXPECT_EQ(inverted.GetHeight(), 0);
  EXPECT_EQ(inverted.ScanLine(0), nullptr);

  // Drawing the part outside copies only the pixels the bitmap has.
  TBitmap target = FilledBitmap(10, 5, kWhite);
  TCanvas canvas(target);
  DrawImage(wide, canvas, platform::Rect(0, 0, 10, 5));
  EXPECT_EQ(target.Pixel(4, 0), PatternColor(19, 0));
  EXPECT_EQ(target.Pixel(5, 0), kWhite);
}

// A drawable of a fixed size that records how it was drawn.
class TProbeImage : public TAlphaImage {
 public:
  TProbeImage(int width, int height, bool transparent) {
    Width = width;
    Height = height;
    Transparent = transparent;
  }
  void Draw(const platform::TRect& dest, TCanvas&, const platform::TRect& src) const override {
    LastDest = dest;
    LastSrc = src;
  }
  mutable platform::TRect LastDest;
  mutable platform::TRect LastSrc;
};

TEST(AlphaImageEffect, ForwardsAndOwnsItsInnerImage) {
  auto probe = std::make_unique<TProbeImage>(7, 9, false);
  TProbeImage* inner = probe.get();
  TAlphaImageEffect effect(std::move(probe));
  EXPECT_TRUE(effect.OwnsInner());
  EXPECT_EQ(effect.GetWidth(), 7);
  EXPECT_EQ(effect.GetHeight(), 9);
  EXPECT_FALSE(effect.IsTransparent());
  TBitmap target(4, 4);
  TCanvas canvas(target);
  DrawImage(effect, canvas, platform::Rect(1, 2, 3, 4));
  EXPECT_EQ(inner->LastDest, platform::Rect(1, 2, 3, 4));
  EXPECT_EQ(inner->LastSrc, platform::Rect(0, 0, 7, 9));

  const TProbeImage transparent(3, 3, true);
  const TAlphaImageRegion borrowed(transparent, platform::Rect(0, 0, 2, 2));
  EXPECT_FALSE(borrowed.OwnsInner());
  EXPECT_TRUE(borrowed.IsTransparent());

  // An effect of nothing draws the error image.
  const TAlphaImageEffect ofNothing(nullptr);
  EXPECT_NE(dynamic_cast<const TErrorAlphaImage*>(&ofNothing.GetInner()), nullptr);
  DrawImage(ofNothing, canvas, platform::Rect(0, 0, 4, 4));
  EXPECT_EQ(target.Pixel(0, 0), kRed);

  // A region shifts the source rectangle into the inner image.
  const TAlphaImageRegion region(*inner, platform::Rect(2, 3, 6, 8));
  region.Draw(platform::Rect(0, 0, 8, 10), canvas, platform::Rect(1, 1, 3, 4));
  EXPECT_EQ(inner->LastSrc, platform::Rect(3, 4, 5, 7));
}

TEST(ImagePack, BadIndicesAndEmptiedSlotsGiveTheErrorImage) {
  const TBitmap bitmap = PatternBitmap(60, 15);
  const TAlphaBMPImage image(bitmap);
  TImagePack pack(image);
  ASSERT_EQ(pack.Count(), 1);
  EXPECT_EQ(pack.GetWidth(), 60);
  EXPECT_NE(&pack.Item(0), &pack.GetErrorImage());

  pack.Clear();
  EXPECT_EQ(pack.Count(), 0);
  EXPECT_EQ(pack.GetWidth(), 60);
  EXPECT_EQ(&pack.Item(0), &pack.GetErrorImage());
  for (int c = 0; c < 4; ++c) pack.AddRegion(platform::Bounds(c * 15, 0, 14, 15));
  EXPECT_EQ(pack.Count(), 4);
  EXPECT_EQ(pack.GetWidth(), 14);
  EXPECT_EQ(pack.GetHeight(), 15);
  EXPECT_EQ(&pack.Item(-1), &pack.GetErrorImage());
  EXPECT_EQ(&pack.Item(4), &pack.GetErrorImage());
  EXPECT_EQ(pack.Item(3).ScanLine(0), bitmap.ScanLine(0) + 4 * 45);

  // Apply keeps the order and lets the function wrap or drop an item.
  int calls = 0;
  pack.Apply([&calls](std::unique_ptr<TAlphaImage> item) -> std::unique_ptr<TAlphaImage> {
    if (calls++ == 1) return nullptr;
    return std::make_unique<TAlphaImageEffect>(std::move(item));
  });
  EXPECT_EQ(calls, 4);
  EXPECT_EQ(pack.Count(), 4);
  EXPECT_EQ(&pack.Item(1), &pack.GetErrorImage());
  const auto* wrapped = dynamic_cast<const TAlphaImageEffect*>(&pack.Item(2));
  ASSERT_NE(wrapped, nullptr);
  EXPECT_TRUE(wrapped->OwnsInner());
  EXPECT_EQ(pack.Item(2).ScanLine(0), bitmap.ScanLine(0) + 4 * 30);

  pack.ResetToWhole();
  ASSERT_EQ(pack.Count(), 1);
  EXPECT_EQ(pack.Item(0).GetWidth(), 60);
}

// A strip `width` wide and 5 high whose bottom row is green but at the
// separator columns.
TBitmap GlyphStrip(int width, std::initializer_list<int> separators) {
  TBitmap strip = PatternBitmap(width, 5);
  for (int x = 0; x < width; ++x) strip.SetPixel(x, 4, kGreen);
  for (int x : separators) strip.SetPixel(x, 4, kRed);
  return strip;
}

std::vector<platform::TRect> GlyphRects(const TImagePack& pack) {
  std::vector<platform::TRect> rects;
  for (int i = 0; i < pack.Count(); ++i) {
    rects.push_back(dynamic_cast<const TAlphaImageRegion&>(pack.Item(i)).GetRect());
  }
  return rects;
}

TEST(ImagePack, SplitByUnderlineCutsGlyphsAtSeparators) {
  using platform::Rect;
  {
    TBitmap strip = GlyphStrip(30, {9, 19});
    // The fourth byte of a pixel is no colour: it must not separate glyphs.
    strip.ScanLine(4)[4 * 3 + 3] = 0xFF;
    const TAlphaBMPImage image(strip);
    TImagePack pack(image);
    pack.SplitByUnderline();
    EXPECT_EQ(GlyphRects(pack),
              (std::vector{Rect(0, 0, 9, 3), Rect(10, 0, 19, 3), Rect(20, 0, 30, 3)}));
    EXPECT_EQ(pack.Item(1).ScanLine(0), strip.ScanLine(0) + 4 * 10);
  }
  {
    // Neighbouring separators make an empty glyph; so do separators at the
    // edges. The reference colour is the first pixel, whatever it is.
    TBitmap strip = GlyphStrip(12, {4, 5, 11});
    const TAlphaBMPImage image(strip);
    TImagePack pack(image);
    pack.SplitByUnderline();
    EXPECT_EQ(GlyphRects(pack), (std::vector{Rect(0, 0, 4, 3), Rect(5, 0, 5, 3), Rect(6, 0, 11, 3),
                                             Rect(12, 0, 12, 3)}));
    EXPECT_EQ(pack.Item(1).GetWidth(), 0);
  }
  {
    // A split of a cell cuts within the cell, not the whole bitmap.
    const TBitmap strip = GlyphStrip(30, {9, 19});
    const TAlphaBMPImage image(strip);
    const TAlphaImageRegion cell(image, Rect(5, 0, 25, 5));
    TImagePack pack(cell);
    pack.SplitByUnderline();
    EXPECT_EQ(GlyphRects(pack),
              (std::vector{Rect(0, 0, 4, 3), Rect(5, 0, 14, 3), Rect(15, 0, 20, 3)}));
  }
}

TEST(ImagePack, SplitByUnderlineOfUnreadableOrTinySourcesStaysSane) {
  // An empty bitmap (an image file that was missing) gives one empty glyph.
  const TBitmap empty;
  const TAlphaBMPImage emptyImage(empty);
  TImagePack emptyPack(emptyImage);
  emptyPack.SplitByUnderline();
  ASSERT_EQ(emptyPack.Count(), 1);
  EXPECT_EQ(emptyPack.Item(0).GetWidth(), 0);
  EXPECT_EQ(emptyPack.Item(0).GetHeight(), 0);

  // One row only: the glyph has no rows left, not a negative height.
  const TBitmap line = FilledBitmap(6, 1, kGreen);
  const TAlphaBMPImage lineImage(line);
  TImagePack linePack(lineImage);
  linePack.SplitByUnderline();
  ASSERT_EQ(linePack.Count(), 1);
  EXPECT_EQ(linePack.Item(0).GetWidth(), 6);
  EXPECT_EQ(linePack.Item(0).GetHeight(), 0);

  // A source whose rows cannot be read has no separators: one glyph.
  const TBitmap strip = GlyphStrip(10, {3});
  const TAlphaBMPImage image(strip);
  const TAlphaImageRegion outside(image, platform::Rect(5, 0, 15, 5));
  TImagePack pack(outside);
  pack.SplitByUnderline();
  EXPECT_EQ(GlyphRects(pack), (std::vector{platform::Rect(0, 0, 10, 3)}));
}

}  // namespace
}  // namespace skin
