#include "tools/skinart/IconDesign.h"

#include <algorithm>
#include <array>

#include "tools/skinart/Theme.h"

namespace skinart {

namespace {

// The main window's wood and its outer line.
constexpr TRgb kWoodTop = Rgb(118, 80, 52);
constexpr TRgb kWoodBottom = Rgb(74, 47, 30);
constexpr TRgb kWoodLine = Rgb(26, 17, 11);

// The board: four squares a side, the lower right one light as on a chess board.
constexpr int kSquares = 4;
constexpr double kBoardEdge = 32;
constexpr double kSquareUnits = (kIconUnits - 2 * kBoardEdge) / kSquares;

// How far the knight's shadow falls down and to the right.
constexpr double kShadowOffset = 7;

struct TPoint2 {
  double X;
  double Y;
};

// One cubic Bézier segment from the end of the previous one.
struct TCurve {
  TPoint2 Control1;
  TPoint2 Control2;
  TPoint2 End;
};

// The knight's head and neck facing left, from the bottom of the chest
// clockwise; the last segment closes on the start.
constexpr TPoint2 kKnightStart{84, 198};
constexpr std::array<TCurve, 9> kKnightCurves = {{
    {{84, 172}, {100, 152}, {116, 136}},  // chest up to the throat
    {{106, 134}, {92, 142}, {78, 148}},   // under the jaw
    {{62, 154}, {46, 144}, {48, 128}},    // chin and mouth
    {{50, 110}, {74, 92}, {90, 76}},      // the muzzle up to the forehead
    {{96, 68}, {100, 56}, {104, 40}},     // forehead to the ear
    {{108, 34}, {116, 32}, {120, 38}},    // the ear's tip
    {{124, 44}, {126, 50}, {130, 54}},    // back of the ear
    {{162, 60}, {194, 86}, {200, 130}},   // the mane
    {{204, 162}, {200, 182}, {198, 198}}  // down the back
}};
constexpr int kStepsPerCurve = 16;

TPoint2 BezierPoint(TPoint2 a, const TCurve& curve, double t) {
  const double u = 1 - t;
  const double wa = u * u * u;
  const double w1 = 3 * u * u * t;
  const double w2 = 3 * u * t * t;
  const double wb = t * t * t;
  return {wa * a.X + w1 * curve.Control1.X + w2 * curve.Control2.X + wb * curve.End.X,
          wa * a.Y + w1 * curve.Control1.Y + w2 * curve.Control2.Y + wb * curve.End.Y};
}

// The knight's outline as a polygon, moved by (dx, dy).
TIconPath KnightPath(double dx, double dy) {
  TIconPath path = {{kKnightStart.X + dx, kKnightStart.Y + dy}};
  TPoint2 from = kKnightStart;
  for (const TCurve& curve : kKnightCurves) {
    for (int step = 1; step <= kStepsPerCurve; ++step) {
      const TPoint2 p = BezierPoint(from, curve, step / static_cast<double>(kStepsPerCurve));
      path.emplace_back(p.X + dx, p.Y + dy);
    }
    from = curve.End;
  }
  return path;
}

// The pedestal the knight stands on.
constexpr TIconRect kPedestal{66, 192, 210, 214, 8};
constexpr TIconCircle kEye{104, 90, 8};

std::vector<TIconLayer> BoardLayers() {
  const double far = kIconUnits - kBoardEdge;
  std::vector<TIconLayer> layers = {
      {TIconRect{kBoardEdge, kBoardEdge, far, far, 4}, SolidFill(kBuiltinBoard.DarkSquare)}};
  for (int row = 0; row < kSquares; ++row)
    for (int column = 0; column < kSquares; ++column) {
      if ((row + column) % 2 != 0) continue;
      const double left = kBoardEdge + column * kSquareUnits;
      const double top = kBoardEdge + row * kSquareUnits;
      // Corner squares keep the board's rounded corners.
      const bool corner =
          (row == 0 || row == kSquares - 1) && (column == 0 || column == kSquares - 1);
      layers.push_back(
          {TIconRect{left, top, left + kSquareUnits, top + kSquareUnits, corner ? 4.0 : 0.0},
           SolidFill(kBuiltinBoard.LightSquare)});
    }
  return layers;
}

}  // namespace

TRgb TIconFill::At(double x, double y) const {
  if (IsSolid()) return From;
  const double dx = X2 - X1;
  const double dy = Y2 - Y1;
  const double t = ((x - X1) * dx + (y - Y1) * dy) / (dx * dx + dy * dy);
  return Mix(From, To, std::clamp(t, 0.0, 1.0));
}

std::vector<TIconLayer> IconLayers(int pixels) {
  // Units a pixel covers at this size; a line is at least this wide.
  const double pixel = kIconUnits / pixels;
  const double woodLine = std::max(4.0, pixel * 0.75);
  const double pieceLine = std::max(6.0, pixel * 0.9);
  const TPieceTheme& piece = kBuiltinPieces;

  std::vector<TIconLayer> layers;
  const double inset = woodLine;
  layers.push_back({TIconRect{inset, inset, kIconUnits - inset, kIconUnits - inset, 40 - inset},
                    TIconFill{kWoodTop, kWoodBottom, 0, 0, 0, kIconUnits}, 1, woodLine, kWoodLine});
  const std::vector<TIconLayer> board = BoardLayers();
  layers.insert(layers.end(), board.begin(), board.end());
  layers.push_back({KnightPath(kShadowOffset, kShadowOffset), SolidFill(Rgb(0, 0, 0)), 0.3});
  const TIconFill body{piece.WhiteBody, piece.WhiteShade, 60, 40, 200, 210};
  layers.push_back({kPedestal, body, 1, pieceLine, piece.WhiteLine});
  layers.push_back({KnightPath(0, 0), body, 1, pieceLine, piece.WhiteLine});
  layers.push_back({TIconCircle{kEye.X, kEye.Y, std::max(kEye.Radius, pixel * 0.6)},
                    SolidFill(piece.WhiteLine)});
  return layers;
}

}  // namespace skinart
