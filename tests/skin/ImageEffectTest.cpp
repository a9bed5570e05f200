#include "skin/ImageEffect.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "ImageTestUtil.h"
#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/Region.h"

namespace skin {
namespace {

using platform::Rect;
using platform::TBitmap;
using platform::TCanvas;
using platform::TRegion;
using namespace skin_test;

constexpr platform::TColor kBlue = platform::RGB(0, 0, 255);

// A 14 x 15 button state: the pattern with a fuchsia frame two pixels wide
// and a fuchsia pixel in the middle.
TBitmap MaskedButton() {
  TBitmap bitmap = PatternBitmap(14, 15);
  for (int y = 0; y < 15; ++y) {
    for (int x = 0; x < 14; ++x) {
      if (x < 2 || y < 2 || x >= 12 || y >= 13) bitmap.SetPixel(x, y, kFuchsia);
    }
  }
  bitmap.SetPixel(7, 7, kFuchsia);
  return bitmap;
}

std::unique_ptr<TAlphedImage> Masked(const TAlphaImage& image, platform::TColor mask) {
  auto cell =
      std::make_unique<TAlphaImageRegion>(image, Rect(0, 0, image.GetWidth(), image.GetHeight()));
  auto masked = std::make_unique<TAlphedImage>(std::move(cell));
  masked->SetMaskColor(mask);
  return masked;
}

TEST(AlphedImage, SmallDrawsLeaveTheMaskUnpaintedLargeOnesAreOpaque) {
  const TBitmap button = MaskedButton();
  const TAlphaBMPImage image(button);
  const std::unique_ptr<TAlphedImage> masked = Masked(image, kFuchsia);
  EXPECT_TRUE(masked->IsTransparent());
  EXPECT_EQ(masked->GetMaskColor(), kFuchsia);
  // Effects around a masked image report it transparent too.
  EXPECT_TRUE(TStretchedImage(Masked(image, kFuchsia)).IsTransparent());

  TBitmap target = FilledBitmap(120, 120, kBlue);
  TCanvas canvas(target);
  DrawImage(*masked, canvas, Rect(3, 4, 17, 19));
  for (int y = 0; y < 15; ++y) {
    for (int x = 0; x < 14; ++x) {
      const platform::TColor source = button.Pixel(x, y);
      ASSERT_EQ(target.Pixel(3 + x, 4 + y), source == kFuchsia ? kBlue : source) << x << "," << y;
    }
  }
  EXPECT_EQ(target.Pixel(2, 4), kBlue);
  EXPECT_EQ(target.Pixel(17, 4), kBlue);

  // 100 x 100 reaches the limit: painted with its fuchsia pixels.
  target.Fill(kBlue);
  DrawImage(*masked, canvas, Rect(0, 0, 100, 100));
  EXPECT_EQ(target.Pixel(0, 0), kFuchsia);
  EXPECT_EQ(target.Pixel(50, 50), kFuchsia);
  EXPECT_EQ(target.Pixel(99, 99), kFuchsia);
  EXPECT_EQ(target.Pixel(100, 100), kBlue);
  // One pixel less is still masked, stretched.
  target.Fill(kBlue);
  DrawImage(*masked, canvas, Rect(0, 0, 99, 101));
  EXPECT_EQ(target.Pixel(0, 0), kBlue);
  EXPECT_EQ(target.Pixel(50, 50), kBlue);
  EXPECT_EQ(target.Pixel(30, 30), button.Pixel(30 * 14 / 99, 30 * 15 / 101));

  // An empty or inverted destination draws nothing.
  target.Fill(kBlue);
  DrawImage(*masked, canvas, Rect(10, 10, 10, 30));
  DrawImage(*masked, canvas, Rect(10, 10, 5, 30));
  EXPECT_EQ(FirstDifference(target, FilledBitmap(120, 120, kBlue)), "");
}

TEST(AlphedImage, RegionExcludesExactlyTheMaskPixels) {
  // A window background with fuchsia corners, a fuchsia hole and a fuchsia
  // run touching the right edge.
  TBitmap background = PatternBitmap(258, 300);
  for (int y = 0; y < 300; ++y) {
    for (int x = 0; x < 258; ++x) {
      const bool corner = (x < 20 && y < 20) || (x >= 240 && y >= 280);
      const bool hole = x >= 100 && x < 110 && y >= 50 && y < 52;
      const bool edge = y == 150 && x >= 250;
      if (corner || hole || edge) background.SetPixel(x, y, kFuchsia);
    }
  }
  const TAlphaBMPImage image(background);
  const std::unique_ptr<TAlphedImage> masked = Masked(image, kFuchsia);
  // Big enough to be drawn opaque.
  TBitmap drawn(258, 300);
  TCanvas canvas(drawn);
  DrawImage(*masked, canvas, Rect(0, 0, 258, 300));
  EXPECT_EQ(FirstDifference(drawn, background), "");

  const std::optional<TRegion> region = masked->CreateRegion(Rect(0, 0, 258, 300));
  ASSERT_TRUE(region.has_value());
  EXPECT_EQ(*region, TRegion::FromBitmapMask(background, kFuchsia));
  EXPECT_TRUE(region->Contains(20, 0));
  EXPECT_FALSE(region->Contains(19, 19));
  EXPECT_FALSE(region->Contains(257, 150));
  EXPECT_TRUE(region->Contains(249, 150));

  // A rectangle away from the origin: the region is relative to its corner.
  const std::optional<TRegion> part = masked->CreateRegion(Rect(95, 45, 115, 55));
  ASSERT_TRUE(part.has_value());
  EXPECT_EQ(part->Bounds(), Rect(0, 0, 20, 10));
  EXPECT_FALSE(part->Contains(5, 5));
  EXPECT_TRUE(part->Contains(4, 5));
  EXPECT_TRUE(part->Contains(5, 4));

  // No mask pixel at all: no shaping.
  const TBitmap plain = PatternBitmap(30, 30);
  const TAlphaBMPImage plainImage(plain);
  EXPECT_FALSE(Masked(plainImage, kFuchsia)->CreateRegion(Rect(0, 0, 30, 30)).has_value());
  EXPECT_FALSE(masked->CreateRegion(Rect(0, 0, 0, 10)).has_value());
}

TEST(TiledImage, TilesWholeFromTheTopLeftThroughTheInclusiveEdges) {
  const TBitmap tileBitmap = PatternBitmap(10, 10);
  const TAlphaBMPImage tileImage(tileBitmap);
  TTiledImage tiled(std::make_unique<TAlphaImageRegion>(tileImage, Rect(0, 0, 10, 10)));
  EXPECT_EQ(tiled.GetWidth(), 10);

  TBitmap target = FilledBitmap(40, 40, kWhite);
  TCanvas canvas(target);
  DrawImage(tiled, canvas, Rect(0, 0, 25, 25));
  // Nine tiles at 0, 10 and 20: the last row and column reach to 30.
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 40; ++x) {
      const platform::TColor expected = x < 30 && y < 30 ? PatternColor(x % 10, y % 10) : kWhite;
      ASSERT_EQ(target.Pixel(x, y), expected) << x << "," << y;
    }
  }

  // A tile starting exactly on the right and bottom edges is still drawn;
  // tiles starting left of the bitmap line up with the destination.
  target.Fill(kWhite);
  DrawImage(tiled, canvas, Rect(-23, -17, 17, 13));
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 40; ++x) {
      const bool covered = x < 27 && y < 23;
      const platform::TColor expected =
          covered ? PatternColor((x + 23) % 10, (y + 17) % 10) : kWhite;
      ASSERT_EQ(target.Pixel(x, y), expected) << x << "," << y;
    }
  }
}

TEST(TiledImage, EmptyTilesAndHugeDestinationsFinish) {
  const TBitmap tileBitmap = PatternBitmap(10, 10);
  const TAlphaBMPImage tileImage(tileBitmap);
  TBitmap target = FilledBitmap(8, 8, kWhite);
  TCanvas canvas(target);
  TTiledImage empty(std::make_unique<TAlphaImageRegion>(tileImage, Rect(0, 0, 0, 10)));
  DrawImage(empty, canvas, Rect(0, 0, 8, 8));
  EXPECT_EQ(FirstDifference(target, FilledBitmap(8, 8, kWhite)), "");

  TTiledImage pixel(std::make_unique<TAlphaImageRegion>(tileImage, Rect(3, 4, 4, 5)));
  DrawImage(pixel, canvas, Rect(-2000000000, -2000000000, 2000000000, 2000000000));
  EXPECT_EQ(FirstDifference(target, FilledBitmap(8, 8, PatternColor(3, 4))), "");
}

// A window painted in part draws through a moved origin: the tiles that
// reach the part are drawn as the whole canvas would show them.
TEST(TiledImage, AMovedOriginShowsThePartOfTheWhole) {
  const TBitmap tileBitmap = PatternBitmap(10, 10);
  const TAlphaBMPImage tileImage(tileBitmap);
  TTiledImage tiled(std::make_unique<TAlphaImageRegion>(tileImage, Rect(0, 0, 10, 10)));
  TBitmap part = FilledBitmap(16, 16, kWhite);
  TCanvas canvas(part);
  canvas.SetOrigin({5003, 7007});
  DrawImage(tiled, canvas, Rect(0, 0, 9000, 9000));
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x)
      ASSERT_EQ(part.Pixel(x, y), PatternColor((x + 3) % 10, (y + 7) % 10)) << x << "," << y;
  }
}

// The split image of the 21 x 30 tab cell with centre (11, 4).
struct TSplitFixture {
  TBitmap Cell = PatternBitmap(21, 30);
  TAlphaBMPImage Image{Cell};
  TCenterSplitImage Split{std::make_unique<TAlphaImageRegion>(Image, Rect(0, 0, 21, 30))};
  TSplitFixture() {
    Split.CenterX = 11;
    Split.CenterY = 4;
  }
};

// The source column a nine-piece resize shows at destination column x.
int SplitSource(int x, int destSize, int size, int center) {
  if (x < center) return x;
  const int after = size - center - 1;
  if (x >= destSize - after) return x - (destSize - size);
  return center;
}

TEST(CenterSplitImage, KeepsBordersAndStretchesTheCentreCross) {
  TSplitFixture f;
  TBitmap own(21, 30);
  TCanvas ownCanvas(own);
  DrawImage(f.Split, ownCanvas, Rect(0, 0, 21, 30));
  EXPECT_EQ(FirstDifference(own, f.Cell), "");

  TBitmap big(60, 50);
  TCanvas bigCanvas(big);
  // The source rectangle is ignored: the whole cell is split.
  f.Split.Draw(Rect(0, 0, 60, 50), bigCanvas, Rect(3, 3, 5, 5));
  for (int y = 0; y < 50; ++y) {
    for (int x = 0; x < 60; ++x) {
      const platform::TColor expected =
          PatternColor(SplitSource(x, 60, 21, 11), SplitSource(y, 50, 30, 4));
      ASSERT_EQ(big.Pixel(x, y), expected) << x << "," << y;
    }
  }
}

TEST(CenterSplitImage, OddCentresAndSmallDestinationsStayInsideTheImage) {
  TSplitFixture f;
  // A centre beyond the image is taken as its last pixel.
  f.Split.CenterX = 40;
  f.Split.CenterY = -3;
  TBitmap big = FilledBitmap(30, 32, kWhite);
  TCanvas canvas(big);
  DrawImage(f.Split, canvas, Rect(0, 0, 30, 32));
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 30; ++x) {
      const platform::TColor expected =
          PatternColor(SplitSource(x, 30, 21, 20), SplitSource(y, 32, 30, 0));
      ASSERT_EQ(big.Pixel(x, y), expected) << x << "," << y;
    }
  }
  EXPECT_EQ(f.Split.CenterX, 40);

  // Narrower than its borders: the border pieces keep their size and
  // overlap, the right one drawn last; nothing is mirrored.
  f.Split.CenterX = 11;
  f.Split.CenterY = 4;
  big.Fill(kWhite);
  DrawImage(f.Split, canvas, Rect(0, 0, 10, 30));
  EXPECT_EQ(big.Pixel(0, 0), PatternColor(0, 0));
  EXPECT_EQ(big.Pixel(1, 0), PatternColor(12, 0));
  EXPECT_EQ(big.Pixel(9, 0), PatternColor(20, 0));
  EXPECT_EQ(big.Pixel(10, 0), PatternColor(10, 0));
  EXPECT_EQ(big.Pixel(11, 0), kWhite);
}

// A drawable whose draw fails for one source rectangle.
class TFailingImage : public TAlphaImageRegion {
 public:
  TFailingImage(const TAlphaImage& inner, platform::TRect failing)
      : TAlphaImageRegion(inner, Rect(0, 0, inner.GetWidth(), inner.GetHeight())),
        Failing(failing) {}
  void Draw(const platform::TRect& dest, TCanvas& canvas,
            const platform::TRect& src) const override {
    if (src == Failing) throw std::runtime_error("piece failed");
    TAlphaImageRegion::Draw(dest, canvas, src);
  }
  platform::TRect Failing;
};

TEST(CenterSplitImage, AFailingPieceDoesNotStopTheOthers) {
  const TBitmap cell = PatternBitmap(21, 30);
  const TAlphaBMPImage image(cell);
  TCenterSplitImage split(std::make_unique<TFailingImage>(image, Rect(0, 0, 11, 4)));
  split.CenterX = 11;
  split.CenterY = 4;
  TBitmap target = FilledBitmap(21, 30, kWhite);
  TCanvas canvas(target);
  DrawImage(split, canvas, Rect(0, 0, 21, 30));
  EXPECT_EQ(target.Pixel(0, 0), kWhite);
  EXPECT_EQ(target.Pixel(11, 0), PatternColor(11, 0));
  EXPECT_EQ(target.Pixel(20, 29), PatternColor(20, 29));
}

TEST(CenterSplitImage, RegionFollowsTheResizedMask) {
  // A tab cell with fuchsia top corners, a fuchsia notch in the centre
  // column and a fuchsia pixel in the centre row's right border.
  TBitmap cell = PatternBitmap(21, 30);
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 21; ++x) {
      const bool corner = y < 3 && (x < 3 - y || x > 17 + y);
      if (corner || (x == 11 && y == 0) || (x == 19 && y == 4)) cell.SetPixel(x, y, kFuchsia);
    }
  }
  const TAlphaBMPImage image(cell);
  TCenterSplitImage split(Masked(image, kFuchsia));
  split.CenterX = 11;
  split.CenterY = 4;
  ASSERT_TRUE(split.IsTransparent());

  // The region of every size is the mask of the resized drawing.
  for (const platform::TRect rect : {Rect(0, 0, 21, 30), Rect(0, 0, 60, 30), Rect(0, 0, 60, 47)}) {
    TBitmap drawn(rect.Width(), rect.Height());
    TCanvas canvas(drawn);
    // Wider than the masked draw limit, so the pixels are painted opaque.
    TCenterSplitImage opaque(std::make_unique<TAlphaImageRegion>(image, Rect(0, 0, 21, 30)));
    opaque.CenterX = 11;
    opaque.CenterY = 4;
    DrawImage(opaque, canvas, rect);
    const std::optional<TRegion> region = split.CreateRegion(rect);
    ASSERT_TRUE(region.has_value());
    EXPECT_EQ(*region, TRegion::FromBitmapMask(drawn, kFuchsia))
        << rect.Width() << "x" << rect.Height();
  }

  // An opaque inner image, or a masked one without mask pixels, gives none.
  TCenterSplitImage plain(std::make_unique<TAlphaImageRegion>(image, Rect(0, 0, 21, 30)));
  EXPECT_FALSE(plain.CreateRegion(Rect(0, 0, 60, 30)).has_value());
  const TBitmap clean = PatternBitmap(21, 30);
  const TAlphaBMPImage cleanImage(clean);
  TCenterSplitImage unmasked(Masked(cleanImage, kFuchsia));
  EXPECT_FALSE(unmasked.CreateRegion(Rect(0, 0, 60, 30)).has_value());
}

TEST(ScaleRegion, ScalesAboutTheOriginOrLeavesTheRegionAlone) {
  TRegion region = TRegion::FromRects({Rect(1, 2, 3, 4), Rect(5, 0, 6, 1)});
  EXPECT_EQ(ScaleRegion(region, 3, 2), TRegion::FromRects({Rect(3, 4, 9, 8), Rect(15, 0, 18, 2)}));
  EXPECT_EQ(ScaleRegion(region, 4, 1), TRegion::FromRects({Rect(4, 2, 12, 4), Rect(20, 0, 24, 1)}));
  EXPECT_EQ(ScaleRegion(region, 1, 1), region);
  EXPECT_EQ(ScaleRegion(region, 0, 5), region);
  EXPECT_EQ(ScaleRegion(region, 3, -1), region);
  EXPECT_TRUE(ScaleRegion(TRegion(), 2, 2).IsEmpty());
}

}  // namespace
}  // namespace skin
