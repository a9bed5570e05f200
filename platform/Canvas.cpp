#include "platform/Canvas.h"

#include <QGuiApplication>
#include <QPainter>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/detail/QtBridge.h"

namespace platform {

namespace {

TRect Normalized(const TRect& rect) {
  return TRect{std::min(rect.Left, rect.Right), std::min(rect.Top, rect.Bottom),
               std::max(rect.Left, rect.Right), std::max(rect.Top, rect.Bottom)};
}

// A coordinate moved by -offset, held within int: a point pushed beyond the
// range lies far outside any bitmap either way.
int Moved(int value, int offset) {
  const std::int64_t moved = std::int64_t{value} - offset;
  return static_cast<int>(std::clamp<std::int64_t>(moved, INT32_MIN, INT32_MAX));
}

// Text can only be laid out once the GUI application object exists (Qt's
// font database lives there). Without one, text draws nothing and measures 0.
bool CanUseFonts() {
  return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

// Nearest-neighbour mapping of destination offset i (0 <= i < destSize) to a
// source offset, sampling at the centre of each destination pixel.
int SourceOffset(std::int64_t i, std::int64_t destSize, std::int64_t srcSize, bool mirror) {
  // Both sizes may approach 2^32, so the product needs more than 64 bits.
  const int j = static_cast<int>((2 * static_cast<__int128>(i) + 1) * srcSize / (2 * destSize));
  return mirror ? static_cast<int>(srcSize) - 1 - j : j;
}

}  // namespace

TColor TCanvas::Pixel(int x, int y) const {
  return target_->Pixel(Moved(x, origin_.X), Moved(y, origin_.Y));
}

// A canvas rectangle in the bitmap's coordinates.
TRect TCanvas::ToTarget(const TRect& rect) const {
  return TRect{Moved(rect.Left, origin_.X), Moved(rect.Top, origin_.Y),
               Moved(rect.Right, origin_.X), Moved(rect.Bottom, origin_.Y)};
}

// The visible parts of the bitmap, in its own coordinates: its whole area,
// or its intersection with every rectangle of the clip region.
std::vector<TRect> TCanvas::VisibleRects() const {
  const TRect whole{0, 0, target_->Width(), target_->Height()};
  if (!clip_) return {whole};
  std::vector<TRect> rects;
  for (const TRect& rect : clip_->Rects()) {
    // Cut to the bitmap before moving, so that no coordinate leaves int.
    const TRect visible = ToTarget(Intersect(rect, ClipBox()));
    if (!visible.IsEmpty()) rects.push_back(visible);
  }
  return rects;
}

void TCanvas::FillClipped(const TRect& rect, TColor color) {
  const std::uint32_t pixel = TBitmap::PixelFromColor(color);
  const TRect target = ToTarget(rect);
  for (const TRect& visible : VisibleRects()) {
    const TRect part = Intersect(visible, target);
    if (part.IsEmpty()) continue;
    for (int y = part.Top; y < part.Bottom; ++y)
      std::fill(target_->Row(y) + part.Left, target_->Row(y) + part.Right, pixel);
  }
}

void TCanvas::FillRect(const TRect& rect) {
  if (Brush.Style == TBrushStyle::Solid) FillClipped(rect, Brush.Color);
}

void TCanvas::FillRect(const TRect& rect, TColor color) { FillClipped(rect, color); }

void TCanvas::Rectangle(const TRect& rect) {
  const TRect r = Normalized(rect);
  if (r.IsEmpty()) return;
  if (Pen.Style == TPenStyle::Clear) {
    FillRect(TRect{r.Left, r.Top, r.Right - 1, r.Bottom - 1});
    return;
  }
  // A pen of width w is centred on the one-pixel outline.
  const int w = std::max(Pen.Width, 1);
  const int out = (w - 1) / 2, in = w - 1 - out;
  const TRect outer{r.Left - out, r.Top - out, r.Right + out, r.Bottom + out};
  const TRect inner{r.Left + 1 + in, r.Top + 1 + in, r.Right - 1 - in, r.Bottom - 1 - in};
  FillRect(inner);
  FillClipped(TRect{outer.Left, outer.Top, outer.Right, std::min(inner.Top, outer.Bottom)},
              Pen.Color);
  FillClipped(TRect{outer.Left, std::max(inner.Bottom, outer.Top), outer.Right, outer.Bottom},
              Pen.Color);
  FillClipped(TRect{outer.Left, inner.Top, std::min(inner.Left, outer.Right), inner.Bottom},
              Pen.Color);
  FillClipped(TRect{std::max(inner.Right, outer.Left), inner.Top, outer.Right, inner.Bottom},
              Pen.Color);
}

void TCanvas::PlotPen(int x, int y) {
  const int w = std::max(Pen.Width, 1);
  if (w == 1) {
    SetPixel(x, y, Pen.Color);
    return;
  }
  const int x0 = x - (w - 1) / 2, y0 = y - (w - 1) / 2;
  FillClipped(TRect{x0, y0, x0 + w, y0 + w}, Pen.Color);
}

// True when a line between the points cannot touch the bitmap: both ends lie
// beyond the same edge (with room for the pen's width).
bool TCanvas::MissesTarget(TPoint a, TPoint b) const {
  const std::int64_t pad = std::max(Pen.Width, 1);
  const std::int64_t left = std::int64_t{origin_.X} - pad, top = std::int64_t{origin_.Y} - pad;
  const std::int64_t right = std::int64_t{origin_.X} + target_->Width() + pad;
  const std::int64_t bottom = std::int64_t{origin_.Y} + target_->Height() + pad;
  return (a.X < left && b.X < left) || (a.Y < top && b.Y < top) || (a.X >= right && b.X >= right) ||
         (a.Y >= bottom && b.Y >= bottom);
}

// A horizontal or vertical line, with its run cut to the bitmap first so that
// far-away end points cost nothing.
void TCanvas::StraightLine(TPoint from, TPoint to) {
  const int pad = std::max(Pen.Width, 1);
  const bool horizontal = from.Y == to.Y;
  const std::int64_t start = horizontal ? from.X : from.Y, end = horizontal ? to.X : to.Y;
  const std::int64_t near = horizontal ? origin_.X : origin_.Y;
  const std::int64_t low = near - pad;
  const std::int64_t high = near + (horizontal ? target_->Width() : target_->Height()) + pad;
  const int step = start < end ? 1 : -1;
  const std::int64_t first = std::clamp(start, low, high);
  const std::int64_t last = std::clamp(end, low - 1, high + 1);
  for (std::int64_t i = first; i != last && i >= low - 1 && i <= high + 1; i += step) {
    // The run lies within the bitmap's reach, so it fits int.
    if (horizontal)
      PlotPen(static_cast<int>(i), from.Y);
    else
      PlotPen(from.X, static_cast<int>(i));
  }
}

void TCanvas::LineTo(int x, int y) {
  const TPoint from = penPos_;
  penPos_ = TPoint{x, y};
  if (Pen.Style == TPenStyle::Clear || MissesTarget(from, penPos_)) return;
  if (from.X == x || from.Y == y) {
    StraightLine(from, penPos_);
    return;
  }
  // Bresenham from the pen position, stopping before the end point.
  const std::int64_t dx = std::abs(std::int64_t{x} - from.X);
  const std::int64_t dy = -std::abs(std::int64_t{y} - from.Y);
  const int sx = from.X < x ? 1 : -1, sy = from.Y < y ? 1 : -1;
  std::int64_t err = dx + dy;
  for (int px = from.X, py = from.Y; px != x || py != y;) {
    PlotPen(px, py);
    const std::int64_t e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      px += sx;
    }
    if (e2 <= dx) {
      err += dx;
      py += sy;
    }
  }
}

void TCanvas::SetPixel(int x, int y, TColor color) {
  if (clip_ && !clip_->Contains(x, y)) return;
  target_->SetPixel(Moved(x, origin_.X), Moved(y, origin_.Y), color);
}

void TCanvas::DrawText(const TRect* clip, int x, int y, std::string_view text) {
  if (text.empty() || target_->IsEmpty() || !CanUseFonts()) return;
  QImage image = detail::ImageView(*target_);
  QPainter painter(&image);
  if (clip_ || clip) {
    // The clip in the bitmap's coordinates, cut to the bitmap and bounded
    // before Qt sees it.
    QRegion region(image.rect());
    if (clip_) {
      const TRect box = ClipBox();
      region =
          detail::ToQRegion(clip_->Bounded()) & QRect(box.Left, box.Top, box.Width(), box.Height());
      region.translate(-origin_.X, -origin_.Y);
    }
    if (clip) {
      const TRect part = Intersect(ToTarget(*clip), TRect{0, 0, image.width(), image.height()});
      if (part.IsEmpty()) return;
      region &= QRect(part.Left, part.Top, part.Width(), part.Height());
    }
    if (region.isEmpty()) return;
    painter.setClipRegion(region);
  }
  painter.translate(-origin_.X, -origin_.Y);
  const QFont font = detail::ToQFont(Font);
  painter.setFont(font);
  painter.setPen(detail::ToQColor(Font.Color));
  painter.drawText(QPoint(x, y + QFontMetrics(font).ascent()), detail::ToQString(text));
}

void TCanvas::TextOut(int x, int y, std::string_view text) { DrawText(nullptr, x, y, text); }

void TCanvas::TextRect(const TRect& rect, int x, int y, std::string_view text) {
  if (!rect.IsEmpty()) DrawText(&rect, x, y, text);
}

int TCanvas::TextWidth(std::string_view text) const {
  if (text.empty() || !CanUseFonts()) return 0;
  return QFontMetrics(detail::ToQFont(Font)).horizontalAdvance(detail::ToQString(text));
}

int TCanvas::TextHeight(std::string_view) const {
  if (!CanUseFonts()) return 0;
  return QFontMetrics(detail::ToQFont(Font)).height();
}

void TCanvas::Draw(int x, int y, const TBitmap& source) {
  StretchDraw(Bounds(x, y, source.Width(), source.Height()), source);
}

void TCanvas::StretchDraw(const TRect& dest, const TBitmap& source) {
  const TRect whole{0, 0, source.Width(), source.Height()};
  if (source.IsTransparent())
    StretchCopy(dest, source, whole, source.TransparentColor());
  else
    StretchCopy(dest, source, whole, std::nullopt);
}

void TCanvas::CopyRect(const TRect& dest, const TBitmap& source, const TRect& src) {
  StretchCopy(dest, source, src, std::nullopt);
}

void TCanvas::DrawTransparent(const TRect& dest, const TBitmap& source, const TRect& src,
                              TColor key) {
  StretchCopy(dest, source, src, key);
}

void TCanvas::StretchCopy(const TRect& dest, const TBitmap& source, const TRect& src,
                          std::optional<TColor> key) {
  const std::int64_t dw = std::int64_t{dest.Right} - dest.Left;
  const std::int64_t dh = std::int64_t{dest.Bottom} - dest.Top;
  const std::int64_t sw = std::int64_t{src.Right} - src.Left;
  const std::int64_t sh = std::int64_t{src.Bottom} - src.Top;
  if (dw == 0 || dh == 0 || sw == 0 || sh == 0) return;
  if (&source == target_) {
    // Copying within one bitmap reads from a snapshot, so overlapping
    // rectangles copy what was there before.
    const TBitmap snapshot = source;
    StretchCopy(dest, snapshot, src, key);
    return;
  }
  const bool mirrorX = (dw < 0) != (sw < 0), mirrorY = (dh < 0) != (sh < 0);
  const TRect d = Normalized(dest), s = Normalized(src);
  const std::int64_t w = std::abs(dw), h = std::abs(dh), aw = std::abs(sw), ah = std::abs(sh);
  const std::uint32_t keyPixel = key ? TBitmap::PixelFromColor(*key) : 0;
  // Offsets into the destination are taken in canvas coordinates, so that
  // the origin never changes which source pixel a pixel shows.
  const std::int64_t toLeft = std::int64_t{origin_.X} - d.Left;
  const std::int64_t toTop = std::int64_t{origin_.Y} - d.Top;
  std::vector<int> columns;
  for (const TRect& visible : VisibleRects()) {
    const TRect part = Intersect(visible, ToTarget(d));
    if (part.IsEmpty()) continue;
    columns.resize(part.Width());
    bool columnsInside = true;
    for (int x = part.Left; x < part.Right; ++x) {
      const int sx = s.Left + SourceOffset(x + toLeft, w, aw, mirrorX);
      columns[x - part.Left] = sx;
      columnsInside = columnsInside && sx >= 0 && sx < source.Width();
    }
    int lastRow = -1;  // the source row the row above took, whole
    for (int y = part.Top; y < part.Bottom; ++y) {
      const int sy = s.Top + SourceOffset(y + toTop, h, ah, mirrorY);
      if (sy < 0 || sy >= source.Height()) continue;
      const std::uint32_t* in = source.Row(sy);
      std::uint32_t* out = target_->Row(y);
      // A row stretched from the same source row as the row above, every
      // pixel copied, is that row again.
      const bool repeat = !key && columnsInside && sy == lastRow && y > part.Top;
      lastRow = !key && columnsInside ? sy : -1;
      if (repeat) {
        std::copy(target_->Row(y - 1) + part.Left, target_->Row(y - 1) + part.Right,
                  out + part.Left);
        continue;
      }
      for (int x = part.Left; x < part.Right; ++x) {
        const int sx = columns[x - part.Left];
        if (sx < 0 || sx >= source.Width()) continue;
        const std::uint32_t pixel = in[sx];
        if (key && (pixel & 0xFFFFFF) == keyPixel) continue;
        out[x] = pixel;
      }
    }
  }
}

}  // namespace platform
