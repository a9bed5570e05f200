#include "tools/skinart/Board.h"

#include <algorithm>

#include "tools/skinart/Art.h"
#include "tools/skinart/Layout.h"
#include "tools/skinart/Texture.h"

namespace skinart {

namespace {

// Wooden squares are drawn finer, so that their grain stays smooth.
constexpr int kGrainScale = 3;

// Squares from the top-left corner: file index and row from the top.
bool IsDark(int file, int row) {
  const int rank = 7 - row;
  return (file + rank) % 2 == 0;
}

// A square with a faint gradient, lighter towards the top left.
void PaintSquare(TArt& art, double left, double top, TRgb color) {
  art.Paint(RoundRect(left, top, left + kSquare, top + kSquare, 0), [=](double x, double y) {
    const double t = std::clamp(((x - left) + (y - top)) / (2.0 * kSquare), 0.0, 1.0);
    return Mix(Scaled(color, 1.03), Scaled(color, 0.97), t);
  });
}

// An inlaid wooden square: the grain turns by a right angle from one square
// to the next, and each square is cut from another part of the plank.
void PaintWoodSquare(TArt& art, int file, int row, TRgb color, double grain) {
  const double left = file * kSquare;
  const double top = row * kSquare;
  const bool across = (file + row) % 2 == 0;
  const auto seed = static_cast<std::uint32_t>(row * 8 + file + 1);
  art.Paint(RoundRect(left, top, left + kSquare, top + kSquare, 0), [=](double x, double y) {
    const double u = x - left;
    const double v = y - top;
    const double g = across ? WoodGrain(v + 40 * file, u + 17 * row, seed)
                            : WoodGrain(u + 40 * row, v + 17 * file, seed);
    const double edge = std::min({u, v, kSquare - u, kSquare - v});
    // A hair of shadow where two squares meet.
    const double joint = edge < 0.7 ? 0.9 : 1;
    return Scaled(color, (1 + grain * (g - 0.5)) * joint);
  });
}

}  // namespace

platform::TBitmap Board(const TBoardTheme& theme) {
  TArt art(8 * kSquare, 8 * kSquare, theme.Grain > 0 ? kGrainScale : 1);
  for (int row = 0; row < 8; ++row)
    for (int file = 0; file < 8; ++file) {
      const TRgb color = IsDark(file, row) ? theme.DarkSquare : theme.LightSquare;
      if (theme.Grain > 0)
        PaintWoodSquare(art, file, row, color, theme.Grain);
      else
        PaintSquare(art, file * kSquare, row * kSquare, color);
    }
  return art.Resolve(kFuchsia);
}

platform::TBitmap SquareHighlight(bool dark, const TBoardTheme& theme) {
  constexpr int kScale = 4;
  TArt art(kSquare, kSquare, kScale);
  const TRgb base = dark ? theme.DarkSquare : theme.LightSquare;
  // An outline-only highlight leaves its middle to the key colour, so that
  // the square's own grain shows through it.
  if (!theme.OutlineOnly) PaintSquare(art, 0, 0, Mix(base, theme.Accent, dark ? 0.45 : 0.5));
  // A soft border: a strong outer ring and a fainter one inside it.
  const TMask whole = art.Shape(RoundRect(0, 0, kSquare, kSquare, 0));
  const TMask inner = art.Shape(RoundRect(1.5, 1.5, kSquare - 1.5, kSquare - 1.5, 1.5));
  const TMask core = art.Shape(RoundRect(3, 3, kSquare - 3, kSquare - 3, 2));
  art.Paint(whole - inner, Solid(Mix(base, theme.AccentDeep, 0.9)));
  art.Paint(inner - core, Solid(Mix(base, theme.AccentDeep, 0.6)));
  return art.Resolve(kFuchsia);
}

}  // namespace skinart
