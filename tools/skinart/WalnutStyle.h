#pragma once

#include <vector>

#include "platform/Bitmap.h"
#include "platform/Types.h"
#include "tools/skinart/Art.h"
#include "tools/skinart/Kit.h"

// The materials of the Walnut skin: oiled walnut, polished brass and cream
// enamel, and the controls made of them.
namespace skinart::walnut {

inline constexpr TRgb kInk = Rgb(58, 38, 22);
inline constexpr TRgb kCream = Rgb(244, 235, 212);
inline constexpr TRgb kCreamShade = Rgb(228, 214, 182);
inline constexpr TRgb kEnamel = Rgb(251, 248, 238);
inline constexpr TRgb kBrassLight = Rgb(255, 236, 168);
inline constexpr TRgb kBrass = Rgb(214, 170, 82);
inline constexpr TRgb kBrassDark = Rgb(132, 90, 34);
inline constexpr TRgb kBrassEdge = Rgb(74, 48, 18);
// The dark recess the move list lies in: its colour is the list's own
// ("Well" in interface.xml), so that the list's cyan text reads on it.
inline constexpr TRgb kWell = Rgb(34, 21, 12);

// The walnut at a point of a window (grain running sideways).
TRgb Wood(double x, double y);
// Polished brass lit from above, from top to bottom of a part.
TShader Brass(double top, double bottom);

// A window's body: a rounded slab of walnut with a bevelled edge and an
// inlaid brass line.
void PaintWoodenWindow(TArt& art, double radius);
// A brass rim of the given width around the rectangle (its outer edge).
void PaintBrassRim(TArt& art, double left, double top, double right, double bottom, double width,
                   double radius);
// A cream panel set into the wood: a brass rim and a slightly shaded face.
void PaintCreamPanel(TArt& art, const platform::TRect& panel, double radius);

// Ink cut into a surface: a dark line below and right, a light one above and
// left, the face in the colour.
void PaintEngraved(TArt& art, const TMask& ink, TRgb color, TRgb shadow, TRgb light);

// What a round brass button shows.
struct TBrassSymbol {
  const TTextShape* Glyph;  // drawn centred, engraved
  double DropY = 0;         // moves the glyph down (optical centring)
};
// A brass dome with the symbol engraved in it, in the look of the state.
void PaintBrassDome(TArt& art, double cx, double cy, double radius, const TBrassSymbol& symbol,
                    TButtonState state = TButtonState::Normal);
// A round brass button of the area's size at its place on the window.
platform::TBitmap BrassButton(const TArt& window, const platform::TRect& area,
                              const TBrassSymbol& symbol, TButtonState state);
// The button in each of its states, in the order of kButtonStates.
std::vector<platform::TBitmap> BrassButtonCells(const TArt& window, const platform::TRect& area,
                                                const TBrassSymbol& symbol);

}  // namespace skinart::walnut
