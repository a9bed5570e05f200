#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/Font.h"
#include "platform/Region.h"
#include "platform/Types.h"

namespace platform {

enum class TPenStyle { Solid, Clear };
enum class TBrushStyle { Solid, Clear };

struct TPen {
  TColor Color = 0;
  int Width = 1;
  TPenStyle Style = TPenStyle::Solid;
};

struct TBrush {
  TColor Color = 0xFFFFFF;
  TBrushStyle Style = TBrushStyle::Solid;
};

// Drawing on a bitmap with the pixel rules of GDI: rectangles exclude their
// right and bottom edges, a line leaves out its end point, copies are
// stretched nearest-neighbour, text has a transparent background. Every
// operation is clipped to the bitmap and, when one is set, to the clip
// region (in the bitmap's coordinates).
//
// The canvas keeps a reference to the bitmap; the bitmap may be resized
// while the canvas exists, but must outlive it.
class TCanvas {
 public:
  explicit TCanvas(TBitmap& target) : target_(&target) {}

  TPen Pen;
  TBrush Brush;
  TFont Font;

  TBitmap& Target() { return *target_; }
  const TBitmap& Target() const { return *target_; }

  // The point of the canvas that the bitmap's top-left pixel shows ((0, 0)
  // unless moved): a window painting only the part of itself that can be
  // seen, into a bitmap of that part's size, still paints in its own
  // coordinates. Every coordinate the canvas takes, clip regions included,
  // is a canvas coordinate.
  void SetOrigin(TPoint origin) { origin_ = origin; }
  TPoint Origin() const { return origin_; }
  // The canvas rectangle that drawing can reach: the bitmap's extent, moved
  // by the origin (GetClipBox without a clip region).
  TRect ClipBox() const {
    return TRect{origin_.X, origin_.Y, origin_.X + target_->Width(), origin_.Y + target_->Height()};
  }

  // Limits drawing to the region; ClearClipRegion lifts the limit.
  void SetClipRegion(const TRegion& region) { clip_ = region; }
  void ClearClipRegion() { clip_.reset(); }
  const TRegion* ClipRegion() const { return clip_ ? &*clip_ : nullptr; }

  // Fills the rectangle with the brush (nothing when the brush is clear).
  void FillRect(const TRect& rect);
  // Fills the rectangle with a colour, whatever the brush.
  void FillRect(const TRect& rect, TColor color);
  // Outlines the rectangle with the pen (columns Left..Right-1, rows
  // Top..Bottom-1) and fills its inside with the brush. With a clear pen
  // the fill covers Left..Right-2 and Top..Bottom-2, as GDI does.
  void Rectangle(const TRect& rect);
  void Rectangle(int left, int top, int right, int bottom) {
    Rectangle(TRect{left, top, right, bottom});
  }

  // Line drawing from the pen position; LineTo draws up to but excluding
  // its end point and moves the pen there.
  void MoveTo(int x, int y) { penPos_ = TPoint{x, y}; }
  void LineTo(int x, int y);
  TPoint PenPos() const { return penPos_; }

  TColor Pixel(int x, int y) const;
  // Sets one pixel, honouring the clip region.
  void SetPixel(int x, int y, TColor color);

  // Text in Font with a transparent background; (x, y) is the top-left
  // corner of the text cell. Text is UTF-8; bytes that are not valid UTF-8
  // are read as Latin-1.
  void TextOut(int x, int y, std::string_view text);
  // TextOut clipped to the rectangle.
  void TextRect(const TRect& rect, int x, int y, std::string_view text);
  // The advance width of the text in Font (0 for empty text).
  int TextWidth(std::string_view text) const;
  // The cell height of Font (ascent plus descent), whatever the text.
  int TextHeight(std::string_view text) const;

  // Copies the whole bitmap with its top-left corner at (x, y); a
  // transparent bitmap leaves its key colour unpainted.
  void Draw(int x, int y, const TBitmap& source);
  // Copies the whole bitmap stretched into dest (transparency honoured).
  void StretchDraw(const TRect& dest, const TBitmap& source);
  // Copies the rectangle src of the bitmap into dest, stretched
  // nearest-neighbour (StretchBlt, SRCCOPY). A destination or source with
  // negative width or height mirrors along that axis; source pixels outside
  // the bitmap leave their destination pixels unchanged. The bitmap's own
  // transparency is not used.
  void CopyRect(const TRect& dest, const TBitmap& source, const TRect& src);
  // CopyRect that leaves every source pixel of the key colour unpainted
  // (TransparentBlt).
  void DrawTransparent(const TRect& dest, const TBitmap& source, const TRect& src, TColor key);
  void DrawTransparent(int x, int y, const TBitmap& source, TColor key) {
    DrawTransparent(Bounds(x, y, source.Width(), source.Height()), source,
                    Bounds(0, 0, source.Width(), source.Height()), key);
  }

 private:
  TRect ToTarget(const TRect& rect) const;
  std::vector<TRect> VisibleRects() const;
  void FillClipped(const TRect& rect, TColor color);
  void PlotPen(int x, int y);
  bool MissesTarget(TPoint a, TPoint b) const;
  void StraightLine(TPoint from, TPoint to);
  void StretchCopy(const TRect& dest, const TBitmap& source, const TRect& src,
                   std::optional<TColor> key);
  void DrawText(const TRect* clip, int x, int y, std::string_view text);

  TBitmap* target_;
  std::optional<TRegion> clip_;
  TPoint penPos_;
  TPoint origin_;
};

}  // namespace platform
