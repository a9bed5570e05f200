#pragma once

#include <cstdint>
#include <vector>

#include "platform/Types.h"

namespace platform {

// A 32-bit device-independent bitmap: every pixel is four bytes in the order
// blue, green, red, unused, rows stored top row first without padding. The
// fourth byte is carried along but never interpreted.
//
// A bitmap may be marked transparent with a key colour: canvases then leave
// pixels of that colour unpainted when they draw it (see TCanvas::Draw).
class TBitmap {
 public:
  TBitmap() = default;
  // A bitmap of the given size, all pixels black. Negative sizes count as 0.
  TBitmap(int width, int height);

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool IsEmpty() const { return width_ == 0 || height_ == 0; }

  // Resizes the bitmap, keeping the part that old and new size share; new
  // pixels are black. Negative sizes count as 0.
  void SetSize(int width, int height);

  // Row y (0 = top): Width() pixels of four bytes each. y must be in range.
  std::uint8_t* ScanLine(int y);
  const std::uint8_t* ScanLine(int y) const;

  // The pixel as a colour; a point outside the bitmap reads as black.
  TColor Pixel(int x, int y) const;
  // Sets one pixel (the fourth byte becomes 0); a point outside is ignored.
  void SetPixel(int x, int y, TColor color);
  // Sets every pixel to the colour.
  void Fill(TColor color);

  bool IsTransparent() const { return transparent_; }
  TColor TransparentColor() const { return transparentColor_; }
  void SetTransparent(bool transparent) { transparent_ = transparent; }
  // Marks the bitmap transparent with the given key colour.
  void SetTransparentColor(TColor color) {
    transparentColor_ = color;
    transparent_ = true;
  }

  // A pixel word (the four bytes read as one little-endian 32-bit value,
  // 0xXXRRGGBB) from a colour and back.
  static constexpr std::uint32_t PixelFromColor(TColor color) {
    return (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
  }
  static constexpr TColor ColorFromPixel(std::uint32_t pixel) {
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
  }

  // Direct access to the pixel words of row y; y must be in range.
  std::uint32_t* Row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
  const std::uint32_t* Row(int y) const {
    return pixels_.data() + static_cast<std::size_t>(y) * width_;
  }

  friend bool operator==(const TBitmap& a, const TBitmap& b) {
    return a.width_ == b.width_ && a.height_ == b.height_ && a.pixels_ == b.pixels_;
  }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint32_t> pixels_;
  bool transparent_ = false;
  TColor transparentColor_ = 0;
};

}  // namespace platform
