#include "tools/skinart/WalnutStyle.h"

#include <algorithm>
#include <cmath>

#include "tools/skinart/Layout.h"
#include "tools/skinart/Texture.h"

namespace skinart::walnut {

namespace {

constexpr TRgb kWoodDark = Rgb(44, 26, 15);
constexpr TRgb kWoodLight = Rgb(108, 68, 40);
constexpr TRgb kWoodEdge = Rgb(22, 13, 7);
constexpr TRgb kRecess = Rgb(20, 12, 6);

TShape Ring(const TShape& outer, const TShape& inner) {
  return [=](double x, double y) { return outer(x, y) && !inner(x, y); };
}

// The outline of a rectangle shrunk by inset on every side.
TShape Inset(double left, double top, double right, double bottom, double radius, double inset) {
  return RoundRect(left + inset, top + inset, right - inset, bottom - inset,
                   std::max(radius - inset, 0.0));
}

// Brass bent around a frame: the upper and left sides catch the light, and
// each side is rounded across its width.
TShader FrameBrass(double left, double top, double right, double bottom, double width) {
  return [=](double x, double y) {
    const double distances[] = {y - top, x - left, right - x, bottom - y};
    const double lights[] = {1.22, 1.08, 0.86, 0.72};
    const auto nearest = std::min_element(std::begin(distances), std::end(distances));
    const double across = std::clamp(*nearest / width, 0.0, 1.0);
    const double light = lights[nearest - std::begin(distances)];
    return Scaled(kBrass, light * (0.86 + 0.3 * std::sin(kPi * across)));
  };
}

}  // namespace

TRgb Wood(double x, double y) {
  const double grain = WoodGrain(x, y, 11);
  const double patch = FractalNoise(x * 0.012, y * 0.02, 5);
  return Scaled(Mix(kWoodDark, kWoodLight, 0.15 + 0.7 * grain), 0.86 + 0.28 * patch);
}

TShader Brass(double top, double bottom) {
  return [=](double, double y) {
    const double t = std::clamp((y - top) / std::max(bottom - top, 1.0), 0.0, 1.0);
    const TRgb base =
        t < 0.45 ? Mix(kBrassLight, kBrass, t / 0.45) : Mix(kBrass, kBrassDark, (t - 0.45) / 0.55);
    const double shine = std::exp(-std::pow((t - 0.18) / 0.09, 2));
    return Mix(base, Rgb(255, 250, 225), 0.45 * shine);
  };
}

void PaintWoodenWindow(TArt& art, double radius) {
  const double w = art.Width();
  const double h = art.Height();
  art.Paint(RoundRect(0, 0, w, h, radius), Solid(kWoodEdge));
  // The bevel: lit along the top and left, in shadow along the bottom and right.
  art.Paint(Inset(0, 0, w, h, radius, 1), [=](double x, double y) {
    const double t = std::clamp((x / w + 2 * y / h) / 3, 0.0, 1.0);
    return Mix(Scaled(kWoodLight, 1.35), Scaled(kWoodDark, 0.8), t);
  });
  art.Paint(Inset(0, 0, w, h, radius, 2.5), [](double x, double y) { return Wood(x, y); });
  // The inlaid brass line, with a dark seam on either side.
  art.Paint(Ring(Inset(0, 0, w, h, radius, 5.6), Inset(0, 0, w, h, radius, 7.6)), Solid(kWoodEdge),
            0.7);
  art.Paint(Ring(Inset(0, 0, w, h, radius, 6.1), Inset(0, 0, w, h, radius, 7.1)),
            FrameBrass(6.1, 6.1, w - 6.1, h - 6.1, 1));
}

void PaintBrassRim(TArt& art, double left, double top, double right, double bottom, double width,
                   double radius) {
  const TShape outer = RoundRect(left, top, right, bottom, radius);
  art.Paint(Ring(outer, Inset(left, top, right, bottom, radius, width)),
            FrameBrass(left, top, right, bottom, width));
  art.Paint(Ring(outer, Inset(left, top, right, bottom, radius, 0.7)), Solid(kBrassEdge), 0.8);
  art.Paint(Ring(Inset(left, top, right, bottom, radius, width - 0.7),
                 Inset(left, top, right, bottom, radius, width)),
            Solid(kBrassEdge), 0.6);
}

void PaintCreamPanel(TArt& art, const platform::TRect& panel, double radius) {
  const double l = panel.Left;
  const double t = panel.Top;
  const double r = panel.Right;
  const double b = panel.Bottom;
  // A soft shadow on the wood below the panel.
  art.Paint(RoundRect(l - 0.5, t + 0.5, r + 1, b + 1.5, radius + 1), Solid(kRecess), 0.45);
  art.Paint(Inset(l, t, r, b, radius, 2), [=](double x, double y) {
    const double edge = std::min({y - t - 2, x - l - 2, r - 2 - x, b - 2 - y});
    const double inner = std::clamp(1 - (y - t - 2) / 3.0, 0.0, 1.0);
    const double fade = std::clamp(edge / 6, 0.0, 1.0);
    const TRgb face = Mix(kCreamShade, kCream, 0.55 + 0.45 * fade);
    return Mix(face, Rgb(150, 120, 80), 0.35 * inner);
  });
  PaintBrassRim(art, l, t, r, b, 2.2, radius);
}

void PaintEngraved(TArt& art, const TMask& ink, TRgb color, TRgb shadow, TRgb light) {
  const int s = art.Scale();
  // One pixel of light below and right of the cut, and of shadow inside its
  // upper left edge.
  TMask below(ink.Width(), ink.Height());
  TMask above(ink.Width(), ink.Height());
  for (int y = 0; y < ink.Height(); ++y)
    for (int x = 0; x < ink.Width(); ++x) {
      if (!ink.At(x, y)) continue;
      if (!ink.At(x + s * 2 / 3, y + s * 2 / 3)) below.Set(x + s * 2 / 3, y + s * 2 / 3, true);
      if (!ink.At(x - s / 2, y - s / 2)) above.Set(x, y, true);
    }
  art.Paint(below, Solid(light), 0.75);
  art.Paint(ink, Solid(color));
  art.Paint(above, Solid(shadow), 0.7);
}

void PaintBrassDome(TArt& art, double cx, double cy, double radius, const TBrassSymbol& symbol,
                    TButtonState state) {
  art.Paint(Circle(cx, cy, radius), Solid(StateColor(kBrassEdge, state)));
  art.Paint(Circle(cx, cy, radius - 0.8), [=](double x, double y) {
    const double d = std::hypot(x - cx + radius * 0.35, y - cy + radius * 0.45) / (radius * 1.9);
    const TRgb brass = Mix(kBrassLight, kBrassDark, std::clamp(d, 0.0, 1.0));
    return StateColor(brass, state);
  });
  // A ring turned into the dome.
  art.Paint(Ring(Circle(cx, cy, radius - 2.2), Circle(cx, cy, radius - 2.8)),
            Solid(StateColor(kBrassDark, state)), 0.35);
  const TMask ink = symbol.Glyph->CenteredAt(art, cx, cy + symbol.DropY);
  PaintEngraved(art, ink, StateColor(Rgb(70, 44, 16), state), StateColor(Rgb(36, 22, 8), state),
                StateColor(Rgb(255, 242, 196), state));
}

platform::TBitmap BrassButton(const TArt& window, const platform::TRect& area,
                              const TBrassSymbol& symbol, TButtonState state) {
  TArt art = OnWindow(window, area, kControlScale);
  const double shift = state == TButtonState::Pressed ? 0.5 : 0;
  const double cx = area.Width() / 2.0;
  const double cy = area.Height() / 2.0;
  const double radius = area.Width() / 2.0 - 0.4;
  // The hole the button sits in, then the button.
  art.Paint(Circle(cx, cy + 0.4, radius), Solid(kRecess), 0.75);
  PaintBrassDome(art, cx + shift, cy + shift, radius - 1, symbol, state);
  return art.Resolve(kFuchsia);
}

std::vector<platform::TBitmap> BrassButtonCells(const TArt& window, const platform::TRect& area,
                                                const TBrassSymbol& symbol) {
  std::vector<platform::TBitmap> cells;
  for (const TButtonState state : kButtonStates)
    cells.push_back(BrassButton(window, area, symbol, state));
  return cells;
}

}  // namespace skinart::walnut
