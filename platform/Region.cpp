#include "platform/Region.h"

#include <cmath>

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
