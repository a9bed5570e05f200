#include <gtest/gtest.h>

#include "tools/skinart/Art.h"

namespace {

using platform::RGB;
using skinart::Rgb;
using skinart::Solid;
using skinart::TArt;
using skinart::TMask;

constexpr platform::TColor kKey = RGB(0, 0, 255);

// A mask from text rows: '#' set, anything else clear.
TMask MaskOf(std::initializer_list<const char*> rows) {
  const int width = static_cast<int>(std::string_view(*rows.begin()).size());
  TMask mask(width, static_cast<int>(rows.size()));
  int y = 0;
  for (const char* row : rows) {
    for (int x = 0; x < width; ++x) mask.Set(x, y, row[x] == '#');
    ++y;
  }
  return mask;
}

int Count(const TMask& mask) {
  int count = 0;
  for (int y = 0; y < mask.Height(); ++y)
    for (int x = 0; x < mask.Width(); ++x) count += mask.At(x, y);
  return count;
}

}  // namespace

TEST(SkinArtRaster, PixelsUnderHalfPaintedBecomeTheKeyOthersKeepTheirOwnColour) {
  // Four pixels at 4 x 4 subpixels: the left pixel is 7/16 painted, the
  // second exactly half, the third fully; the fourth untouched.
  TArt art(4, 1, 4);
  art.Paint([](double x, double y) { return x < 0.5 && (x < 0.25 || y < 0.75); },
            Solid(Rgb(200, 100, 50)));
  art.Paint([](double x, double) { return x >= 1 && x < 1.5; }, Solid(Rgb(200, 100, 50)));
  art.Paint([](double x, double) { return x >= 2 && x < 3; }, Solid(Rgb(10, 20, 30)));
  const platform::TBitmap bitmap = art.Resolve(kKey);
  EXPECT_EQ(bitmap.Pixel(0, 0), kKey);
  // An edge pixel is its paint's colour, never mixed with the key.
  EXPECT_EQ(bitmap.Pixel(1, 0), RGB(200, 100, 50));
  EXPECT_EQ(bitmap.Pixel(2, 0), RGB(10, 20, 30));
  EXPECT_EQ(bitmap.Pixel(3, 0), kKey);
}

TEST(SkinArtRaster, EdgesBlendWithTheBackdropAndStayOffTheKey) {
  TArt art(2, 1, 2);
  art.Paint([](double x, double y) { return x < 1 ? y < 0.5 || x < 0.5 : true; },
            Solid(Rgb(255, 255, 255)));
  art.Backdrop(Solid(Rgb(0, 0, 0)));
  const platform::TBitmap blended = art.Resolve(kKey);
  EXPECT_EQ(blended.Pixel(0, 0), RGB(191, 191, 191));  // three of four subpixels white
  EXPECT_EQ(blended.Pixel(1, 0), RGB(255, 255, 255));
  // Painted backdrop pixels never count as painted.
  TArt backdropOnly(1, 1, 2);
  backdropOnly.Backdrop(Solid(Rgb(9, 9, 9)));
  EXPECT_EQ(backdropOnly.Resolve(kKey).Pixel(0, 0), kKey);
  // A colour close to the key is moved away from it.
  TArt nearKey(1, 1, 1);
  nearKey.Paint([](double, double) { return true; }, Solid(Rgb(3, 5, 250)));
  const platform::TColor moved = nearKey.Resolve(kKey).Pixel(0, 0);
  EXPECT_GE(skinart::ColorDistance(moved, kKey), 24);
  EXPECT_EQ(platform::GetBValue(moved), 250);
}

TEST(SkinArtRaster, FilledClosesHolesButNotOpenings) {
  const TMask ring = MaskOf({".....",  //
                             ".###.",  //
                             ".#.#.",  //
                             ".###.",  //
                             "....."});
  EXPECT_TRUE(ring.Filled().At(2, 2));
  EXPECT_EQ(Count(ring.Filled()), 9);
  const TMask cup = MaskOf({".....",  //
                            ".#.#.",  //
                            ".#.#.",  //
                            ".###.",  //
                            "....."});
  EXPECT_FALSE(cup.Filled().At(2, 2));
  EXPECT_EQ(Count(cup.Filled()), Count(cup));
}

TEST(SkinArtRaster, DilationAndErosionGrowAndShrinkByADisc) {
  TMask dot(9, 9);
  dot.Set(4, 4, true);
  const TMask grown = dot.Dilated(2);
  EXPECT_EQ(Count(grown), 13);  // the points within distance 2
  EXPECT_TRUE(grown.At(4, 2));
  EXPECT_FALSE(grown.At(2, 2));
  EXPECT_EQ(Count(grown.Eroded(2)), 1);
  EXPECT_TRUE(grown.Eroded(2).At(4, 4));
  // The outside of the mask counts as clear: a full mask erodes from its edges.
  TMask full(5, 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x) full.Set(x, y, true);
  EXPECT_EQ(Count(full.Eroded(1)), 9);
  // Growing near the edge stays inside the mask.
  TMask corner(3, 3);
  corner.Set(0, 0, true);
  EXPECT_EQ(Count(corner.Dilated(1)), 3);
}

TEST(SkinArtRaster, ShapesCoverTheirArea) {
  const TMask square = TMask::FromShape(10, 10, 1, skinart::RoundRect(2, 2, 8, 8, 0));
  EXPECT_EQ(Count(square), 36);
  const TMask rounded = TMask::FromShape(10, 10, 1, skinart::RoundRect(0, 0, 10, 10, 4));
  EXPECT_FALSE(rounded.At(0, 0));
  EXPECT_TRUE(rounded.At(5, 0));
  const TMask triangle = TMask::FromShape(4, 4, 1, skinart::Polygon({{0, 0}, {4, 0}, {0, 4}}));
  EXPECT_TRUE(triangle.At(0, 0));
  EXPECT_TRUE(triangle.At(1, 1));
  EXPECT_TRUE(triangle.At(2, 0));
  EXPECT_FALSE(triangle.At(3, 3));
  EXPECT_FALSE(triangle.At(2, 2));
}
