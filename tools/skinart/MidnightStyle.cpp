#include "tools/skinart/MidnightStyle.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <string_view>

#include "tools/skinart/Layout.h"

namespace skinart::midnight {

namespace {

constexpr TRgb kUnlit = Rgb(30, 37, 48);

// A bar of a seven-segment display between two points on one axis, with
// pointed ends.
TShape Segment(double x0, double y0, double x1, double y1, double half) {
  if (y0 == y1)
    return Polygon({{x0, y0},
                    {x0 + half, y0 - half},
                    {x1 - half, y0 - half},
                    {x1, y0},
                    {x1 - half, y0 + half},
                    {x0 + half, y0 + half}});
  return Polygon({{x0, y0},
                  {x0 + half, y0 + half},
                  {x0 + half, y1 - half},
                  {x0, y1},
                  {x0 - half, y1 - half},
                  {x0 - half, y0 + half}});
}

// The lit segments of each digit, in the order a (top), b (upper right),
// c (lower right), d (bottom), e (lower left), f (upper left), g (middle).
constexpr std::array<const char*, 10> kDigitSegments = {
    "abcdef", "bc", "abdeg", "abcdg", "bcfg", "acdfg", "acdefg", "abc", "abcdefg", "abcdfg"};

}  // namespace

void PaintWindow(TArt& art, double radius, double bar) {
  const double w = art.Width();
  const double h = art.Height();
  art.Paint(RoundRect(0, 0, w, h, radius), Solid(kBorder));
  art.Paint(RoundRect(1, 1, w - 1, h - 1, radius - 1), Solid(kWindowFill));
  if (bar <= 0) return;
  art.Paint([=](double x,
                double y) { return y < bar && RoundRect(1, 1, w - 1, h - 1, radius - 1)(x, y); },
            Solid(kBarFill));
  PaintRule(art, 1, w - 1, static_cast<int>(bar));
}

void PaintCard(TArt& art, const platform::TRect& card, double radius) {
  art.Paint(RoundRect(card.Left, card.Top, card.Right, card.Bottom, radius), Solid(kBorder));
  art.Paint(RoundRect(card.Left + 1, card.Top + 1, card.Right - 1, card.Bottom - 1, radius - 1),
            Solid(kCardFill));
}

void PaintRule(TArt& art, double left, double right, int y) {
  art.Paint(RoundRect(left, y, right, y + 1, 0), Solid(kHairline));
}

platform::TBitmap FlatButton(const TArt& window, const platform::TRect& area,
                             const TTextShape& icon, TButtonState state, TFlatLook look) {
  TArt art = OnWindow(window, area, kControlScale);
  const double w = area.Width();
  const double h = area.Height();
  const bool hover = state == TButtonState::Hover;
  const bool pressed = state == TButtonState::Pressed;
  // Everything not drawn below keeps the window's own colour.
  art.Paint(Everywhere(),
            [&](double x, double y) { return window.Sample(x + area.Left, y + area.Top); });
  const TShape plate = RoundRect(0.5, 0.5, w - 0.5, h - 0.5, look.Outlined ? (h - 1) / 2 : 4);
  TRgb ink = state == TButtonState::Disabled ? Rgb(58, 67, 82) : kMuted;
  if (hover || pressed) {
    const TRgb fill = look.Danger ? (pressed ? Scaled(kDanger, 0.8) : kDanger)
                                  : (pressed ? Rgb(44, 54, 70) : Rgb(35, 43, 56));
    art.Paint(plate, Solid(fill));
    ink = look.Danger ? Rgb(255, 255, 255) : kText;
  } else if (look.Outlined) {
    art.Paint(art.Shape(plate) - art.Shape(RoundRect(1.5, 1.5, w - 1.5, h - 1.5, (h - 3) / 2)),
              Solid(kBorder));
    if (state != TButtonState::Disabled) ink = kText;
  }
  const double shift = pressed ? 0.5 : 0;
  art.Paint(icon.CenteredAt(art, w / 2 + shift, h / 2 + shift), Solid(ink));
  return art.Resolve(kFuchsia);
}

std::vector<platform::TBitmap> FlatButtonCells(const TArt& window, const platform::TRect& area,
                                               const TTextShape& icon, TFlatLook look) {
  std::vector<platform::TBitmap> cells;
  for (const TButtonState state : kButtonStates)
    cells.push_back(FlatButton(window, area, icon, state, look));
  return cells;
}

platform::TBitmap SegmentGlyph(char symbol, int width, int height) {
  TArt art(width, height, kControlScale);
  art.Paint(Everywhere(), Solid(kCardFill));
  if (symbol == ':' || symbol == ' ') {
    // The colon's dots; a blank shows them unlit, so the clock's colon blinks.
    const TRgb dot = symbol == ':' ? kAccent : kUnlit;
    const double cx = width / 2.0;
    art.Paint(RoundRect(cx - 1.3, height * 0.3 - 1.3, cx + 1.3, height * 0.3 + 1.3, 0.5),
              Solid(dot));
    art.Paint(RoundRect(cx - 1.3, height * 0.7 - 1.3, cx + 1.3, height * 0.7 + 1.3, 0.5),
              Solid(dot));
    return art.Resolve(kFuchsia);
  }
  const double half = 1.3;
  const double left = 2;
  const double right = width - 2;
  const double top = 2;
  const double bottom = height - 2;
  const double middle = height / 2.0;
  const double gap = 0.5;
  const std::array<std::pair<char, TShape>, 7> segments = {{
      {'a', Segment(left + gap, top, right - gap, top, half)},
      {'b', Segment(right, top + gap, right, middle - gap, half)},
      {'c', Segment(right, middle + gap, right, bottom - gap, half)},
      {'d', Segment(left + gap, bottom, right - gap, bottom, half)},
      {'e', Segment(left, middle + gap, left, bottom - gap, half)},
      {'f', Segment(left, top + gap, left, middle - gap, half)},
      {'g', Segment(left + gap, middle, right - gap, middle, half)},
  }};
  const std::string_view lit = kDigitSegments[static_cast<std::size_t>(symbol - '0')];
  for (const auto& [name, shape] : segments)
    art.Paint(shape, Solid(lit.find(name) == std::string_view::npos ? kUnlit : kAccent));
  return art.Resolve(kFuchsia);
}

void PaintSpacedCaps(TArt& art, std::string_view caps, double left, double top, double height,
                     TRgb color) {
  double x = left;
  for (const char letter : caps) {
    const TTextShape shape(std::string(1, letter), "DejaVu Sans", true, height, caps);
    art.Paint(shape.At(art, x, top), Solid(color));
    // Letters stand a little under a third of their height apart.
    x += shape.Width() + height * 26 / 90;
  }
}

void PaintBrand(TArt& art, double left, double top) {
  static const TTextShape knight("\u265E", "DejaVu Sans", false, 16);
  art.Paint(knight.At(art, left, top), Solid(kAccent));
  PaintSpacedCaps(art, "LUDEX", left + 22, top + 3.5, 9, kText);
}

platform::TBitmap FlatTab(TTabLook look, platform::TPoint size) {
  TArt art(size.X, size.Y, kControlScale);
  art.Backdrop(Solid(kWindowFill));
  if (look == TTabLook::Normal) return art.Resolve(kFuchsia);
  const double w = size.X;
  const double h = size.Y;
  art.Paint(RoundRect(0, 0, w, h + 4, 4),
            Solid(look == TTabLook::Hover ? Rgb(27, 33, 43) : Rgb(31, 39, 51)));
  if (look == TTabLook::Selected) art.Paint(RoundRect(0, h - 2, w, h, 0), Solid(kAccent));
  return art.Resolve(kFuchsia);
}

}  // namespace skinart::midnight
