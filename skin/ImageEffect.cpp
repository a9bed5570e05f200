#include "skin/ImageEffect.h"

#include <algorithm>
#include <array>
#include <exception>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/Canvas.h"

namespace skin {

namespace {

using platform::TRegion;

// The image drawn from `src` into a new black bitmap of width x height.
platform::TBitmap RenderToBitmap(const TAlphaImage& image, const TRect& src, int width,
                                 int height) {
  platform::TBitmap bitmap(width, height);
  platform::TCanvas canvas(bitmap);
  image.Draw(TRect{0, 0, width, height}, canvas, src);
  return bitmap;
}

bool HasMaskPixel(const platform::TBitmap& bitmap, platform::TColor mask) {
  const std::uint32_t maskPixel = platform::TBitmap::PixelFromColor(mask);
  for (int y = 0; y < bitmap.Height(); ++y) {
    const std::uint32_t* row = bitmap.Row(y);
    for (int x = 0; x < bitmap.Width(); ++x) {
      if ((row[x] & 0xFFFFFF) == maskPixel) return true;
    }
  }
  return false;
}

// Edges of the nine pieces along one axis: the border before the centre, the
// one-pixel centre and the border after it.
struct TSplitEdges {
  std::array<int, 4> Source;
  std::array<int, 4> Dest;
};

TSplitEdges SplitEdges(int size, int center, int destStart, int destEnd) {
  // A centre outside the image would read outside it; the nearest pixel
  // inside stands in for it.
  const int c = std::clamp(center, 0, size - 1);
  return TSplitEdges{{0, c, c + 1, size},
                     {destStart, destStart + c, destEnd - (size - c - 1), destEnd}};
}

struct TPiece {
  TRect Source;
  TRect Dest;
  int Column;
  int Row;
};

// The nine pieces, top band first and left to right within a band. Pieces
// that have nothing to draw (a destination too small for the borders) are
// left out.
std::vector<TPiece> NinePieces(const TSplitEdges& columns, const TSplitEdges& rows) {
  std::vector<TPiece> pieces;
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) {
      TPiece piece{
          {columns.Source[column], rows.Source[row], columns.Source[column + 1],
           rows.Source[row + 1]},
          {columns.Dest[column], rows.Dest[row], columns.Dest[column + 1], rows.Dest[row + 1]},
          column,
          row};
      if (!piece.Source.IsEmpty() && !piece.Dest.IsEmpty()) pieces.push_back(piece);
    }
  }
  return pieces;
}

// The tile origins along one axis that a tiling from `start` to `end`
// (inclusive: a tile starting exactly at `end` is still drawn) places on a
// target of `limit` pixels. Empty when First > Last.
struct TTileSpan {
  std::int64_t First;
  std::int64_t Last;
};

// Tiles of one axis from `start` that reach the canvas's drawable span
// [low, high): a window painted in part draws through a moved origin.
TTileSpan VisibleTiles(int start, int end, int tile, int low, int high) {
  std::int64_t first = start;
  // The first tile reaching `low`: tiles before it end at or before it.
  if (first < low) first += (std::int64_t{low} - first) / tile * tile;
  return TTileSpan{first, std::min<std::int64_t>(end, std::int64_t{high} - 1)};
}

}  // namespace

// --- TAlphedImage ---

TAlphedImage::TAlphedImage(std::unique_ptr<TAlphaImage> inner)
    : TAlphaImageEffect(std::move(inner)) {}

void TAlphedImage::SetMaskColor(platform::TColor color) {
  MaskColor = color;
  Transparent = true;
}

void TAlphedImage::Draw(const TRect& dest, platform::TCanvas& canvas, const TRect& src) const {
  if (dest.Area() >= kOpaqueDrawPixels) {
    Inner->Draw(dest, canvas, src);
    return;
  }
  if (dest.IsEmpty()) return;
  const platform::TBitmap piece = RenderToBitmap(*Inner, src, dest.Width(), dest.Height());
  canvas.DrawTransparent(dest.Left, dest.Top, piece, MaskColor);
}

std::optional<TRegion> TAlphedImage::CreateRegion(const TRect& rect) const {
  if (rect.IsEmpty()) return std::nullopt;
  const platform::TBitmap drawn = RenderToBitmap(*Inner, rect, rect.Width(), rect.Height());
  // The drawing covers the whole rectangle, so the rectangle without its
  // mask-coloured runs is the drawing's opaque part.
  if (!HasMaskPixel(drawn, MaskColor)) return std::nullopt;
  return TRegion::FromBitmapMask(drawn, MaskColor);
}

// --- TStretchedImage ---

TStretchedImage::TStretchedImage(std::unique_ptr<TAlphaImage> inner)
    : TAlphaImageEffect(std::move(inner)) {}

// --- TTiledImage ---

TTiledImage::TTiledImage(std::unique_ptr<TAlphaImage> inner)
    : TAlphaImageEffect(std::move(inner)) {}

void TTiledImage::Draw(const TRect& dest, platform::TCanvas& canvas, const TRect& src) const {
  const int tileWidth = Inner->GetWidth();
  const int tileHeight = Inner->GetHeight();
  if (tileWidth <= 0 || tileHeight <= 0) return;
  // Tiles wholly outside what the canvas can reach would be clipped away,
  // so only the visible ones are drawn; 64-bit steps keep the edges from
  // wrapping.
  const TRect reach = canvas.ClipBox();
  const TTileSpan columns = VisibleTiles(dest.Left, dest.Right, tileWidth, reach.Left, reach.Right);
  const TTileSpan rows = VisibleTiles(dest.Top, dest.Bottom, tileHeight, reach.Top, reach.Bottom);
  for (std::int64_t y = rows.First; y <= rows.Last; y += tileHeight) {
    for (std::int64_t x = columns.First; x <= columns.Last; x += tileWidth) {
      const int left = static_cast<int>(x);
      const int top = static_cast<int>(y);
      Inner->Draw(TRect{left, top, left + tileWidth, top + tileHeight}, canvas, src);
    }
  }
}

// --- TCenterSplitImage ---

TCenterSplitImage::TCenterSplitImage(std::unique_ptr<TAlphaImage> inner)
    : TAlphaImageEffect(std::move(inner)) {}

void TCenterSplitImage::Draw(const TRect& dest, platform::TCanvas& canvas,
                             const TRect& /*src*/) const {
  const int width = Inner->GetWidth();
  const int height = Inner->GetHeight();
  if (width <= 0 || height <= 0) return;
  const TSplitEdges columns = SplitEdges(width, CenterX, dest.Left, dest.Right);
  const TSplitEdges rows = SplitEdges(height, CenterY, dest.Top, dest.Bottom);
  for (const TPiece& piece : NinePieces(columns, rows)) {
    // One piece failing to draw must not cost the others.
    try {
      Inner->Draw(piece.Dest, canvas, piece.Source);
    } catch (const std::exception&) {
    }
  }
}

std::optional<TRegion> TCenterSplitImage::CreateRegion(const TRect& rect) const {
  const int width = Inner->GetWidth();
  const int height = Inner->GetHeight();
  if (!Inner->IsTransparent() || width <= 0 || height <= 0) return std::nullopt;
  TRegion result = TRegion(TRect{0, 0, rect.Right, rect.Bottom});
  const TSplitEdges columns = SplitEdges(width, CenterX, rect.Left, rect.Right);
  const TSplitEdges rows = SplitEdges(height, CenterY, rect.Top, rect.Bottom);
  bool anyTransparent = false;
  for (const TPiece& piece : NinePieces(columns, rows)) {
    std::optional<TRegion> opaque = Inner->CreateRegion(piece.Source);
    if (!opaque) continue;
    TRegion clear = TRegion(TRect{0, 0, piece.Source.Width(), piece.Source.Height()});
    clear.CombineWith(*opaque, platform::TCombineMode::Xor);
    const int sx = piece.Column == 1 ? piece.Dest.Width() : 1;
    const int sy = piece.Row == 1 ? piece.Dest.Height() : 1;
    clear = ScaleRegion(std::move(clear), sx, sy);
    clear.Offset(piece.Dest.Left, piece.Dest.Top);
    result.CombineWith(clear, platform::TCombineMode::Diff);
    anyTransparent = true;
  }
  if (!anyTransparent) return std::nullopt;
  return result;
}

// --- ScaleRegion ---

TRegion ScaleRegion(TRegion region, int sx, int sy) {
  if ((sx == 1 && sy == 1) || sx <= 0 || sy <= 0) return region;
  return TRegion::FromRects(region.Rects(), sx, sy);
}

}  // namespace skin
