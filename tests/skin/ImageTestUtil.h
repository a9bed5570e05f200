#pragma once

#include <string>

#include "platform/Bitmap.h"
#include "platform/Types.h"

// Bitmaps with recognisable pixels for the drawable and effect tests.
namespace skin_test {

constexpr platform::TColor kFuchsia = platform::RGB(255, 0, 255);
constexpr platform::TColor kRed = platform::RGB(255, 0, 0);
constexpr platform::TColor kBlack = platform::RGB(0, 0, 0);
constexpr platform::TColor kWhite = platform::RGB(255, 255, 255);
constexpr platform::TColor kGreen = platform::RGB(0, 128, 0);

// A colour that tells every pixel of a picture up to 255 x 255 apart, never
// fuchsia and never black.
constexpr platform::TColor PatternColor(int x, int y) {
  return platform::RGB(static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 7);
}

inline platform::TBitmap PatternBitmap(int width, int height) {
  platform::TBitmap bitmap(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) bitmap.SetPixel(x, y, PatternColor(x, y));
  }
  return bitmap;
}

inline platform::TBitmap FilledBitmap(int width, int height, platform::TColor color) {
  platform::TBitmap bitmap(width, height);
  bitmap.Fill(color);
  return bitmap;
}

// The first pixel where two bitmaps differ, for failure messages; empty when
// they are equal in size and colour.
inline std::string FirstDifference(const platform::TBitmap& a, const platform::TBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return "sizes differ";
  for (int y = 0; y < a.Height(); ++y) {
    for (int x = 0; x < a.Width(); ++x) {
      if (a.Pixel(x, y) != b.Pixel(x, y)) {
        return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ")";
      }
    }
  }
  return "";
}

}  // namespace skin_test
