#include "tools/skinart/Board.h"

#include <algorithm>

#include "tools/skinart/Art.h"
#include "tools/skinart/Layout.h"

namespace skinart {

namespace {

constexpr TRgb kLightSquare = Rgb(236, 232, 204);
constexpr TRgb kDarkSquare = Rgb(112, 146, 88);
constexpr TRgb kAccent = Rgb(255, 214, 64);
constexpr TRgb kAccentDeep = Rgb(232, 164, 24);

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

}  // namespace

platform::TBitmap Board() {
  TArt art(8 * kSquare, 8 * kSquare, 1);
  for (int row = 0; row < 8; ++row)
    for (int file = 0; file < 8; ++file)
      PaintSquare(art, file * kSquare, row * kSquare,
                  IsDark(file, row) ? kDarkSquare : kLightSquare);
  return art.Resolve(kFuchsia);
}

platform::TBitmap SquareHighlight(bool dark) {
  constexpr int kScale = 4;
  TArt art(kSquare, kSquare, kScale);
  const TRgb base = dark ? kDarkSquare : kLightSquare;
  PaintSquare(art, 0, 0, Mix(base, kAccent, dark ? 0.45 : 0.5));
  // A soft border: a strong outer ring and a fainter one inside it.
  const TMask whole = art.Shape(RoundRect(0, 0, kSquare, kSquare, 0));
  const TMask inner = art.Shape(RoundRect(1.5, 1.5, kSquare - 1.5, kSquare - 1.5, 1.5));
  const TMask core = art.Shape(RoundRect(3, 3, kSquare - 3, kSquare - 3, 2));
  art.Paint(whole - inner, Solid(Mix(base, kAccentDeep, 0.9)));
  art.Paint(inner - core, Solid(Mix(base, kAccentDeep, 0.6)));
  return art.Resolve(kFuchsia);
}

}  // namespace skinart
