#pragma once

#include <string_view>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/Types.h"
#include "tools/skinart/Art.h"
#include "tools/skinart/Kit.h"

// The look of the Midnight skin: flat slate surfaces, hairlines and one cyan
// accent, and the controls made of them.
namespace skinart::midnight {

inline constexpr TRgb kWindowFill = Rgb(17, 21, 28);
inline constexpr TRgb kBarFill = Rgb(21, 26, 34);
inline constexpr TRgb kCardFill = Rgb(22, 27, 36);
inline constexpr TRgb kWellFill = Rgb(13, 16, 21);
inline constexpr TRgb kBorder = Rgb(42, 51, 66);
inline constexpr TRgb kHairline = Rgb(35, 43, 56);
inline constexpr TRgb kText = Rgb(214, 222, 234);
inline constexpr TRgb kMuted = Rgb(128, 140, 160);
inline constexpr TRgb kAccent = Rgb(64, 200, 240);
inline constexpr TRgb kDanger = Rgb(217, 69, 75);
// The light ground of what is drawn in dark ink (links, menus).
inline constexpr TRgb kPaper = Rgb(221, 228, 238);

// A window: a rounded slab with a hairline border and, when bar is above 0,
// a top bar that high above a hairline.
void PaintWindow(TArt& art, double radius, double bar);
// A rounded card with a hairline border.
void PaintCard(TArt& art, const platform::TRect& card, double radius);
// A horizontal hairline from left to right (exclusive) on pixel row y.
void PaintRule(TArt& art, double left, double right, int y);

// Capital letters spaced out, the top of the capitals at top.
void PaintSpacedCaps(TArt& art, std::string_view caps, double left, double top, double height,
                     TRgb color);
// The knight and the name, spaced out, from (left, top).
void PaintBrand(TArt& art, double left, double top);

enum class TTabLook { Normal, Hover, Selected };
// A flat tab: nothing of its own until the mouse comes; the selected one is
// a lighter plate underlined in the accent.
platform::TBitmap FlatTab(TTabLook look, platform::TPoint size);

// How a flat button shows itself.
struct TFlatLook {
  bool Outlined = false;  // a pill outline even when idle (dialog buttons)
  bool Danger = false;    // red under the mouse (closing the program)
};
// An icon button lying flat on the window: only the icon until the mouse
// comes, then a rounded plate behind it.
platform::TBitmap FlatButton(const TArt& window, const platform::TRect& area,
                             const TTextShape& icon, TButtonState state, TFlatLook look = {});
// The button in each of its states, in the order of kButtonStates.
std::vector<platform::TBitmap> FlatButtonCells(const TArt& window, const platform::TRect& area,
                                               const TTextShape& icon, TFlatLook look = {});

// A digit, colon or blank of a seven-segment display: the lit segments over
// the unlit ones, on the card's colour.
platform::TBitmap SegmentGlyph(char symbol, int width, int height);

}  // namespace skinart::midnight
