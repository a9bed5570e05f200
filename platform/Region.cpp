#include "platform/Region.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "platform/Bitmap.h"
#include "platform/detail/QtBridge.h"

namespace platform {

namespace {

QRect ToQRect(const TRect& rect) {
  return QRect(rect.Left, rect.Top, rect.Right - rect.Left, rect.Bottom - rect.Top);
}

TRect FromQRect(const QRect& rect) {
  return TRect{rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

int Scaled(int value, double scale) { return static_cast<int>(std::lround(value * scale)); }

// The rectangle with its edges scaled and put back in order, so that a
// negative scale mirrors instead of giving an inverted rectangle.
TRect ScaleRect(const TRect& rect, double scaleX, double scaleY) {
  int left = Scaled(rect.Left, scaleX), right = Scaled(rect.Right, scaleX);
  int top = Scaled(rect.Top, scaleY), bottom = Scaled(rect.Bottom, scaleY);
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  return TRect{left, top, right, bottom};
}

// Row runs of non-key pixels; consecutive identical rows are merged into one
// band, so the list is already in the banded order QRegion::setRects needs.
std::vector<QRect> MaskRuns(const TBitmap& bitmap, TColor key) {
  const std::uint32_t keyPixel = TBitmap::PixelFromColor(key);
  std::vector<QRect> rects;
  std::size_t bandStart = 0;
  std::size_t bandCount = 0;
  for (int y = 0; y < bitmap.Height(); ++y) {
    const std::uint32_t* row = bitmap.Row(y);
    const std::size_t rowStart = rects.size();
    for (int x = 0; x < bitmap.Width();) {
      while (x < bitmap.Width() && (row[x] & 0xFFFFFF) == keyPixel) ++x;
      const int start = x;
      while (x < bitmap.Width() && (row[x] & 0xFFFFFF) != keyPixel) ++x;
      if (x > start) rects.emplace_back(start, y, x - start, 1);
    }
    const std::size_t rowCount = rects.size() - rowStart;
    bool same = rowCount == bandCount && rowCount > 0 && rects[bandStart].bottom() == y - 1;
    for (std::size_t i = 0; same && i < rowCount; ++i)
      same = rects[bandStart + i].left() == rects[rowStart + i].left() &&
             rects[bandStart + i].width() == rects[rowStart + i].width();
    if (same) {
      for (std::size_t i = 0; i < rowCount; ++i) rects[bandStart + i].setBottom(y);
      rects.resize(rowStart);
    } else {
      bandStart = rowStart;
      bandCount = rowCount;
    }
  }
  return rects;
}

// The cells of a grid over the region's bounds that hold any of its pixels,
// the grid as fine as kMaxRegionRects cells allow. Each rectangle marks the
// cells it touches in a two-dimensional difference array, so the cost is
// linear in the rectangles and the cells.
QRegion GridCover(const QRegion& region) {
  const QRect box = region.boundingRect();
  const std::int64_t width = box.width(), height = box.height();
  const auto limit = static_cast<std::int64_t>(kMaxRegionRects);
  std::int64_t cell = std::max<std::int64_t>(
      1, static_cast<std::int64_t>(std::sqrt(static_cast<double>(width * height) / limit)));
  const auto cells = [&](std::int64_t extent) { return (extent + cell - 1) / cell; };
  while (cells(width) * cells(height) > limit) ++cell;
  const std::int64_t columns = cells(width), rows = cells(height);
  const auto at = [&](std::int64_t column, std::int64_t row) {
    return static_cast<std::size_t>(row * (columns + 1) + column);
  };
  std::vector<int> marks(static_cast<std::size_t>((columns + 1) * (rows + 1)));
  for (const QRect& rect : region) {
    const std::int64_t left = (rect.left() - std::int64_t{box.left()}) / cell;
    const std::int64_t right = (rect.right() - std::int64_t{box.left()}) / cell + 1;
    const std::int64_t top = (rect.top() - std::int64_t{box.top()}) / cell;
    const std::int64_t bottom = (rect.bottom() - std::int64_t{box.top()}) / cell + 1;
    ++marks[at(left, top)];
    --marks[at(right, top)];
    --marks[at(left, bottom)];
    ++marks[at(right, bottom)];
  }
  std::vector<QRect> cover;
  std::vector<int> running(static_cast<std::size_t>(columns));
  for (std::int64_t row = 0; row < rows; ++row) {
    int sum = 0;
    const int top = static_cast<int>(box.top() + row * cell);
    const int bottom =
        static_cast<int>(std::min<std::int64_t>(box.top() + (row + 1) * cell, box.top() + height));
    std::int64_t runStart = -1;
    for (std::int64_t column = 0; column <= columns; ++column) {
      bool covered = false;
      if (column < columns) {
        sum += marks[at(column, row)];
        running[static_cast<std::size_t>(column)] += sum;
        covered = running[static_cast<std::size_t>(column)] > 0;
      }
      if (covered && runStart < 0) runStart = column;
      if (!covered && runStart >= 0) {
        const int left = static_cast<int>(box.left() + runStart * cell);
        const int right = static_cast<int>(
            std::min<std::int64_t>(box.left() + column * cell, box.left() + width));
        cover.emplace_back(left, top, right - left, bottom - top);
        runStart = -1;
      }
    }
  }
  QRegion result;
  result.setRects(cover.data(), static_cast<int>(cover.size()));
  return result;
}

// Said once a process: a shape was too detailed for the window system.
void NoteCoarsened(int rects) {
  static bool noted = false;
  if (noted) return;
  noted = true;
  std::fprintf(stderr, "ludex: a region of %d rectangles was coarsened to at most %zu\n", rects,
               kMaxRegionRects);
}

}  // namespace

TRegion::TRegion() : data_(std::make_unique<detail::TRegionData>()) {}

TRegion::TRegion(const TRect& rect) : TRegion() {
  if (!rect.IsEmpty()) data_->Region = QRegion(ToQRect(rect));
}

TRegion::TRegion(const TRegion& other)
    : data_(std::make_unique<detail::TRegionData>(*other.data_)) {}

TRegion::TRegion(TRegion&& other) noexcept : TRegion() { std::swap(data_, other.data_); }

TRegion& TRegion::operator=(const TRegion& other) {
  data_->Region = other.data_->Region;
  return *this;
}

TRegion& TRegion::operator=(TRegion&& other) noexcept {
  std::swap(data_, other.data_);
  return *this;
}

TRegion::~TRegion() = default;

TRegion TRegion::Combine(const TRegion& a, const TRegion& b, TCombineMode mode) {
  const QRegion& qa = a.data_->Region;
  const QRegion& qb = b.data_->Region;
  switch (mode) {
    case TCombineMode::Or:
      return detail::FromQRegion(qa.united(qb));
    case TCombineMode::And:
      return detail::FromQRegion(qa.intersected(qb));
    case TCombineMode::Xor:
      return detail::FromQRegion(qa.xored(qb));
    case TCombineMode::Diff:
      return detail::FromQRegion(qa.subtracted(qb));
    case TCombineMode::Copy:
      break;
  }
  return a;
}

void TRegion::CombineWith(const TRegion& other, TCombineMode mode) {
  *this = Combine(*this, other, mode);
}

TRegion TRegion::FromRects(const std::vector<TRect>& rects, double scaleX, double scaleY) {
  QRegion region;
  for (const TRect& rect : rects) {
    const TRect scaled = ScaleRect(rect, scaleX, scaleY);
    if (!scaled.IsEmpty()) region += ToQRect(scaled);
  }
  return detail::FromQRegion(region);
}

TRegion TRegion::FromBitmapMask(const TBitmap& bitmap, TColor key) {
  const std::vector<QRect> runs = MaskRuns(bitmap, key);
  QRegion region;
  region.setRects(runs.data(), static_cast<int>(runs.size()));
  return detail::FromQRegion(region);
}

TRegion TRegion::Bounded() const {
  const QRegion& region = data_->Region;
  if (static_cast<std::size_t>(region.rectCount()) <= kMaxRegionRects) return *this;
  NoteCoarsened(region.rectCount());
  return detail::FromQRegion(GridCover(region));
}

void TRegion::Offset(int dx, int dy) { data_->Region.translate(dx, dy); }

std::vector<TRect> TRegion::Rects() const {
  std::vector<TRect> rects;
  for (const QRect& rect : data_->Region) rects.push_back(FromQRect(rect));
  return rects;
}

TRect TRegion::Bounds() const {
  if (data_->Region.isEmpty()) return TRect{};
  return FromQRect(data_->Region.boundingRect());
}

bool TRegion::IsEmpty() const { return data_->Region.isEmpty(); }

bool TRegion::Contains(TPoint point) const {
  return data_->Region.contains(QPoint(point.X, point.Y));
}

// Equal as pixel sets, however each region's rectangles happen to be cut.
bool operator==(const TRegion& a, const TRegion& b) {
  return a.data_->Region.xored(b.data_->Region).isEmpty();
}

namespace detail {

TRegion FromQRegion(const QRegion& region) {
  TRegion result;
  result.Data().Region = region;
  return result;
}

}  // namespace detail

}  // namespace platform
