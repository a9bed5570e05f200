#include "tools/skinart/Pieces.h"

#include <algorithm>
#include <array>

#include "tools/skinart/Art.h"
#include "tools/skinart/Layout.h"

namespace skinart {

namespace {

constexpr int kScale = 8;
constexpr double kCenter = kSquare / 2.0;

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

platform::TBitmap ChessPiece(TChessPiece piece, TSide side, bool highlighted,
                             const TPieceTheme& theme) {
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
  const TRgb line = white ? theme.WhiteLine : theme.BlackLine;
  const double lift = highlighted ? (white ? theme.WhiteLift : theme.BlackLift) : 1;
  const TShader body =
      white ? BodyShader(Scaled(theme.WhiteBody, lift), Scaled(theme.WhiteShade, lift))
            : BodyShader(Scaled(theme.BlackBody, lift), theme.BlackShade);
  TArt art(kSquare, kSquare, kScale);
  const TMask outlined = silhouette.Dilated(kScale);
  if (highlighted) art.Paint(outlined.Dilated(kScale * 3 / 2), Solid(theme.Glow));
  art.Paint(outlined, Solid(line));
  art.Paint(silhouette, body);
  art.Paint(details, Solid(line));
  return art.Resolve(kBlue);
}

platform::TBitmap CheckersPiece(bool king, TSide side, bool highlighted, const TPieceTheme& theme) {
  const bool white = side == TSide::White;
  const TRgb rim = white ? theme.WhiteRim : theme.BlackRim;
  const double lift = highlighted ? (white ? theme.WhiteManLift : theme.BlackManLift) : 1;
  const TRgb light = Scaled(white ? theme.WhiteBody : theme.BlackManBody, lift);
  const TRgb dark = Scaled(white ? theme.WhiteManShade : theme.BlackShade, lift);
  // A thick disc seen slightly from above: its face and, below it, its side.
  constexpr double kRadius = 10.2;
  constexpr double kFaceY = kCenter - 0.8;
  TArt art(kSquare, kSquare, kScale);
  const TMask face = art.Shape(Circle(kCenter, kFaceY, kRadius));
  const TMask disc = face | art.Shape(Circle(kCenter, kFaceY + 1.8, kRadius));
  const TMask outlined = disc.Dilated(kScale * 7 / 8);
  if (highlighted) art.Paint(outlined.Dilated(kScale * 3 / 2), Solid(theme.Glow));
  art.Paint(outlined, Solid(rim));
  art.Paint(disc, Solid(Scaled(dark, white ? 0.8 : 1.4)));
  art.Paint(face, BodyShader(light, dark));
  // A groove around the raised middle.
  art.Paint(Circle(kCenter, kFaceY, kRadius - 2.6), BodyShader(dark, light));
  art.Paint(Circle(kCenter, kFaceY, kRadius - 3.3), BodyShader(light, Mix(light, dark, 0.6)));
  if (king) {
    const TMask crown = art.Shape(CrownShape(kFaceY - kCenter));
    art.Paint(crown.Dilated(5), Solid(theme.CrownLine));
    art.Paint(crown, BodyShader(theme.CrownLight, theme.CrownShade));
  }
  return art.Resolve(kBlue);
}

platform::TBitmap EmptyCell() {
  platform::TBitmap cell(kSquare, kSquare);
  cell.Fill(kBlue);
  return cell;
}

}  // namespace skinart
