#pragma once

#include <algorithm>
#include <cstdint>

// Geometry and colour values shared by every part that draws.
namespace platform {

// A colour as 0x00BBGGRR.
using TColor = std::uint32_t;

constexpr TColor RGB(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  return static_cast<TColor>(red) | (static_cast<TColor>(green) << 8) |
         (static_cast<TColor>(blue) << 16);
}
constexpr std::uint8_t GetRValue(TColor color) { return color & 0xFF; }
constexpr std::uint8_t GetGValue(TColor color) { return (color >> 8) & 0xFF; }
constexpr std::uint8_t GetBValue(TColor color) { return (color >> 16) & 0xFF; }

struct TPoint {
  int X = 0;
  int Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

// A rectangle whose right and bottom edges are exclusive: it covers the
// pixels Left..Right-1 and Top..Bottom-1.
struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;

  constexpr int Width() const { return Right - Left; }
  constexpr int Height() const { return Bottom - Top; }
  constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  constexpr std::int64_t Area() const { return std::int64_t{Width()} * Height(); }
  constexpr bool Contains(TPoint point) const {
    return point.X >= Left && point.X < Right && point.Y >= Top && point.Y < Bottom;
  }
  friend bool operator==(const TRect&, const TRect&) = default;
};

constexpr TRect Rect(int left, int top, int right, int bottom) {
  return TRect{left, top, right, bottom};
}
constexpr TRect Bounds(int left, int top, int width, int height) {
  return TRect{left, top, left + width, top + height};
}

// The part both rectangles cover; IsEmpty when they do not overlap.
constexpr TRect Intersect(const TRect& a, const TRect& b) {
  return TRect{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
               std::min(a.Bottom, b.Bottom)};
}

// A 64-bit coordinate brought back into the range of int.
constexpr int ClampToInt(std::int64_t value) {
  return static_cast<int>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

}  // namespace platform
