#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "platform/Types.h"

namespace platform {

class TBitmap;

namespace detail {
struct TRegionData;
}

enum class TCombineMode { Or, And, Xor, Diff, Copy };

// Window regions and clip regions reach the window system with at most this
// many rectangles. Qt's raster engine writes past its buffers when it paints
// through a mask of about a million rectangles (a one-pixel checkerboard
// shape); the shapes of real skins take a few hundred.
inline constexpr std::size_t kMaxRegionRects = 10000;

// A set of pixels made of rectangles (a GDI region). A value type: copies
// are independent.
class TRegion {
 public:
  // The empty region.
  TRegion();
  // The pixels of a rectangle (right and bottom exclusive); an empty or
  // inverted rectangle gives the empty region.
  explicit TRegion(const TRect& rect);
  TRegion(const TRegion& other);
  TRegion(TRegion&& other) noexcept;
  TRegion& operator=(const TRegion& other);
  TRegion& operator=(TRegion&& other) noexcept;
  ~TRegion();

  // The combination of two regions (CombineRgn): Or = union, And =
  // intersection, Xor = pixels in exactly one, Diff = pixels of a not in b,
  // Copy = a.
  static TRegion Combine(const TRegion& a, const TRegion& b, TCombineMode mode);
  // Combines this region with another in place (this = Combine(this, other)).
  void CombineWith(const TRegion& other, TCombineMode mode);

  // Builds a region from a rectangle list with every coordinate multiplied
  // by the scales (ExtCreateRegion with a scaling transform); products are
  // rounded to the nearest integer. Empty rectangles are skipped.
  static TRegion FromRects(const std::vector<TRect>& rects, double scaleX = 1.0,
                           double scaleY = 1.0);

  // The opaque part of a bitmap: every pixel whose colour differs from the
  // key colour, with (0, 0) at the bitmap's top-left corner.
  static TRegion FromBitmapMask(const TBitmap& bitmap, TColor key);

  void Offset(int dx, int dy);
  // Non-overlapping rectangles that together make the region, sorted by
  // top, then left (GetRegionData).
  std::vector<TRect> Rects() const;
  // The smallest rectangle holding the region; all zero for an empty one.
  TRect Bounds() const;
  bool IsEmpty() const;
  bool Contains(TPoint point) const;
  bool Contains(int x, int y) const { return Contains(TPoint{x, y}); }

  // The region itself when it has at most kMaxRegionRects rectangles;
  // otherwise a coarser region holding every pixel of it: the cells of a
  // grid over its bounds that it touches, at most kMaxRegionRects of them.
  TRegion Bounded() const;

  friend bool operator==(const TRegion& a, const TRegion& b);

  // The implementation (platform internal).
  detail::TRegionData& Data() { return *data_; }
  const detail::TRegionData& Data() const { return *data_; }

 private:
  std::unique_ptr<detail::TRegionData> data_;
};

}  // namespace platform
