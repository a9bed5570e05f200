#include "platform/Bitmap.h"

#include <algorithm>
#include <cstring>

namespace platform {

TBitmap::TBitmap(int width, int height) { SetSize(width, height); }

void TBitmap::SetSize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == width_ && height == height_) return;
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
  const int keepWidth = std::min(width, width_);
  const int keepHeight = std::min(height, height_);
  for (int y = 0; keepWidth > 0 && y < keepHeight; ++y)
    std::memcpy(pixels.data() + static_cast<std::size_t>(y) * width, Row(y),
                sizeof(std::uint32_t) * keepWidth);
  pixels_ = std::move(pixels);
  width_ = width;
  height_ = height;
}

std::uint8_t* TBitmap::ScanLine(int y) { return reinterpret_cast<std::uint8_t*>(Row(y)); }

const std::uint8_t* TBitmap::ScanLine(int y) const {
  return reinterpret_cast<const std::uint8_t*>(Row(y));
}

TColor TBitmap::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  return ColorFromPixel(Row(y)[x]);
}

void TBitmap::SetPixel(int x, int y, TColor color) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  Row(y)[x] = PixelFromColor(color);
}

void TBitmap::Fill(TColor color) {
  std::fill(pixels_.begin(), pixels_.end(), PixelFromColor(color));
}

}  // namespace platform
