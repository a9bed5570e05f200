#pragma once

#include <utility>
#include <variant>
#include <vector>

#include "tools/skinart/Art.h"

// The program's icon as plain geometry, so that the same shapes can be
// rasterised at every size and written out as SVG: a wooden tile like the
// main window's frame, a board in the built-in skin's colours and a White
// knight standing on it.
namespace skinart {

// The icon is designed on a square of this many units a side.
inline constexpr double kIconUnits = 256;

struct TIconRect {
  double Left = 0;
  double Top = 0;
  double Right = 0;
  double Bottom = 0;
  double Radius = 0;  // of the rounded corners
};

struct TIconCircle {
  double X = 0;
  double Y = 0;
  double Radius = 0;
};

// A closed polygon.
using TIconPath = std::vector<std::pair<double, double>>;

using TIconGeometry = std::variant<TIconRect, TIconCircle, TIconPath>;

// A solid colour, or a linear gradient from From at (X1, Y1) to To at
// (X2, Y2), padded with the end colours beyond them.
struct TIconFill {
  TRgb From;
  TRgb To;
  double X1 = 0;
  double Y1 = 0;
  double X2 = 0;
  double Y2 = 0;

  bool IsSolid() const { return X1 == X2 && Y1 == Y2; }
  // The colour at a point of the design.
  TRgb At(double x, double y) const;
};

inline TIconFill SolidFill(TRgb color) { return TIconFill{color, color}; }

// One shape, painted over the layers before it.
struct TIconLayer {
  TIconGeometry Geometry;
  TIconFill Fill;
  double Opacity = 1;
  // A line of this width around the outside of the shape (0: none); its
  // corners are round.
  double Outline = 0;
  TRgb OutlineColor = {};
};

// The layers, bottom first, for a picture of the given size in pixels:
// lines get wider at small sizes so that they stay about a pixel wide.
// At kIconUnits pixels the geometry is the design's own, which the SVG
// file holds.
std::vector<TIconLayer> IconLayers(int pixels);

}  // namespace skinart
