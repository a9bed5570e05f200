#include "tools/skinart/Pieces.h"

#include <algorithm>
#include <array>

#include "tools/skinart/Art.h"
#include "tools/skinart/Layout.h"

namespace skinart {

namespace {

constexpr int kScale = 8;
constexpr double kCenter = kSquare / 2.0;

constexpr TRgb kWhiteBody = Rgb(255, 253, 246);
constexpr TRgb kWhiteShade = Rgb(222, 214, 198);
constexpr TRgb kWhiteLine = Rgb(28, 24, 20);
constexpr TRgb kBlackBody = Rgb(46, 44, 42);
constexpr TRgb kBlackShade = Rgb(14, 13, 12);
constexpr TRgb kBlackLine = Rgb(196, 190, 178);
constexpr TRgb kGlow = Rgb(255, 200, 40);

// The solid symbol of a chess piece (in the order of TChessPiece), rendered large. Its outline and
// inner lines are drawn from it in the colours of either side.
const TCoverage& Glyph(TChessPiece piece) {
  static const std::array<TCoverage, 6> glyphs = [] {
    auto glyph = [](const char* symbol) { return TCoverage(symbol, "DejaVu Sans", 240, false); };
    return std::array<TCoverage, 6>{glyph("\u265F"), glyph("\u265C"), glyph("\u265E"),
                                    glyph("\u265D"), glyph("\u265B"), glyph("\u265A")};
  }();
  return glyphs[static_cast<int>(piece)];
}

// One factor for all pieces, so that they keep their relative sizes: the
// king fills the cell but for its outline and a margin for the glow.
double GlyphFactor() {
  static const double factor = [] {
    double largest = 0;
    for (const TChessPiece piece : kChessPieces) {
      const platform::TRect b = Glyph(piece).Bounds();
      largest = std::max({largest, b.Height() / 20.5, b.Width() / 21.0});
    }
    return 1 / largest;
  }();
  return factor;
}

// The body shading: light from the upper left.
TShader BodyShader(TRgb light, TRgb dark) {
  return [=](double x, double y) {
    const double t = std::clamp((x * 0.6 + y) / (kSquare * 1.3), 0.0, 1.0);
    return Mix(light, dark, t);
  };
}

// A three-pointed crown in the middle of a cell, moved down by dy.
TShape CrownShape(double dy) {
  const TShape points = Polygon({{8.4, 17.2 + dy},
                                 {7.5, 10.4 + dy},
                                 {10.6, 13.4 + dy},
                                 {13.5, 8.6 + dy},
                                 {16.4, 13.4 + dy},
                                 {19.5, 10.4 + dy},
                                 {18.6, 17.2 + dy}});
  const TShape band = RoundRect(8.4, 17.6 + dy, 18.6, 19.2 + dy, 0.4);
  const std::array<TShape, 3> tips = {Circle(7.5, 10.1 + dy, 1), Circle(13.5, 8.3 + dy, 1),
                                      Circle(19.5, 10.1 + dy, 1)};
  return [=](double x, double y) {
    return points(x, y) || band(x, y) ||
           std::any_of(tips.begin(), tips.end(), [&](const TShape& tip) { return tip(x, y); });
  };
}

}  // namespace

platform::TBitmap ChessPiece(TChessPiece piece, TSide side, bool highlighted) {
  const TCoverage& glyph = Glyph(piece);
  const platform::TRect bounds = glyph.Bounds();
  const double factor = GlyphFactor();
  const double left = kCenter - bounds.Width() * factor / 2;
  const double top = 24.2 - bounds.Height() * factor;
  const TMask solid = PlaceCoverage(glyph, bounds, left, top, factor, kSquare, kSquare, kScale);
  const TMask silhouette = solid.Filled();
  // The gaps the symbol leaves inside its outline: bands, crosses, the eye.
  const TMask details = silhouette - solid;
  const bool white = side == TSide::White;
  const TRgb line = white ? kWhiteLine : kBlackLine;
  const double lift = highlighted ? (white ? 1.1 : 1.8) : 1;
  const TShader body = white ? BodyShader(Scaled(kWhiteBody, lift), Scaled(kWhiteShade, lift))
                             : BodyShader(Scaled(kBlackBody, lift), kBlackShade);
  TArt art(kSquare, kSquare, kScale);
  const TMask outlined = silhouette.Dilated(kScale);
  if (highlighted) art.Paint(outlined.Dilated(kScale * 3 / 2), Solid(kGlow));
  art.Paint(outlined, Solid(line));
  art.Paint(silhouette, body);
  art.Paint(details, Solid(line));
  return art.Resolve(kBlue);
}

platform::TBitmap CheckersPiece(bool king, TSide side, bool highlighted) {
  const bool white = side == TSide::White;
  const TRgb rim = white ? Rgb(62, 50, 40) : Rgb(150, 144, 136);
  const double lift = highlighted ? (white ? 1.08 : 1.7) : 1;
  const TRgb light = Scaled(white ? kWhiteBody : Rgb(84, 80, 76), lift);
  const TRgb dark = Scaled(white ? Rgb(200, 188, 164) : kBlackShade, lift);
  // A thick disc seen slightly from above: its face and, below it, its side.
  constexpr double kRadius = 10.2;
  constexpr double kFaceY = kCenter - 0.8;
  TArt art(kSquare, kSquare, kScale);
  const TMask face = art.Shape(Circle(kCenter, kFaceY, kRadius));
  const TMask disc = face | art.Shape(Circle(kCenter, kFaceY + 1.8, kRadius));
  const TMask outlined = disc.Dilated(kScale * 7 / 8);
  if (highlighted) art.Paint(outlined.Dilated(kScale * 3 / 2), Solid(kGlow));
  art.Paint(outlined, Solid(rim));
  art.Paint(disc, Solid(Scaled(dark, white ? 0.8 : 1.4)));
  art.Paint(face, BodyShader(light, dark));
  // A groove around the raised middle.
  art.Paint(Circle(kCenter, kFaceY, kRadius - 2.6), BodyShader(dark, light));
  art.Paint(Circle(kCenter, kFaceY, kRadius - 3.3), BodyShader(light, Mix(light, dark, 0.6)));
  if (king) {
    const TMask crown = art.Shape(CrownShape(kFaceY - kCenter));
    art.Paint(crown.Dilated(5), Solid(Rgb(60, 36, 10)));
    art.Paint(crown, BodyShader(Rgb(255, 226, 120), Rgb(190, 120, 20)));
  }
  return art.Resolve(kBlue);
}

platform::TBitmap EmptyCell() {
  platform::TBitmap cell(kSquare, kSquare);
  cell.Fill(kBlue);
  return cell;
}

}  // namespace skinart
