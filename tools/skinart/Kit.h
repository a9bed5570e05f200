#pragma once

#include <string_view>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/Types.h"
#include "tools/skinart/Art.h"

// What every skin's artwork is put together with: placing pictures on a
// sheet, control states, pictures cut from a window, and text.
namespace skinart {

// Subpixels a side: windows are smooth enough at 4, the small pictures of
// controls are drawn at 8.
inline constexpr int kWindowScale = 4;
inline constexpr int kControlScale = 8;

// Cell order of a button picture.
enum class TButtonState { Normal, Hover, Pressed, Disabled };
inline constexpr TButtonState kButtonStates[] = {TButtonState::Normal, TButtonState::Hover,
                                                 TButtonState::Pressed, TButtonState::Disabled};

// A control's colour in the state: lighter under the mouse, darker pressed,
// grey when disabled.
TRgb StateColor(TRgb color, TButtonState state);

constexpr platform::TPoint TopLeft(const platform::TRect& rect) { return {rect.Left, rect.Top}; }

void Place(platform::TBitmap& sheet, const platform::TBitmap& picture, platform::TPoint at);
// Pictures of one size as a grid of `columns` columns starting at `at`,
// row by row, cells one pixel apart.
void PlaceGrid(platform::TBitmap& sheet, const std::vector<platform::TBitmap>& cells,
               platform::TPoint at, int columns);

// The picture of a pattern font: the glyphs side by side one pixel apart,
// all of one height, and below them a spare row and the row that marks each
// glyph (black under a glyph, Fuchsia between two).
platform::TBitmap PatternFont(const std::vector<platform::TBitmap>& glyphs);

// A picture of the area of the window (window pixels) to draw a control on:
// the window's colours are its backdrop, nothing is painted yet.
TArt OnWindow(const TArt& window, const platform::TRect& area, int scale);
// The part of the window art under the area, painted (opaque).
TArt CutWindow(const TArt& window, const platform::TRect& area, int scale);

// Text scaled so that the ink of `reference` (the text itself when empty) is
// `height` pixels high. Its box is the text's own ink sideways and the
// reference's ink upright, so labels that share a reference share a
// baseline.
class TTextShape {
 public:
  TTextShape(std::string_view text, std::string_view family, bool bold, double height,
             std::string_view reference = {});

  double Width() const { return bounds_.Width() * factor_; }
  double Height() const { return bounds_.Height() * factor_; }
  // The box with its top-left corner at (left, top) of the art.
  TMask At(const TArt& art, double left, double top) const;
  // The box centred on (x, y).
  TMask CenteredAt(const TArt& art, double x, double y) const {
    return At(art, x - Width() / 2, y - Height() / 2);
  }

 private:
  TCoverage coverage_;
  platform::TRect bounds_;
  double factor_ = 1;
};

}  // namespace skinart
