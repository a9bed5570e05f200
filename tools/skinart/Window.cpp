#include "tools/skinart/Window.h"

#include <algorithm>
#include <cmath>

#include "tools/skinart/Layout.h"

namespace skinart {

namespace {

constexpr double kCornerRadius = 9;

constexpr TRgb kOutline = Rgb(26, 17, 11);
constexpr TRgb kBodyTop = Rgb(118, 80, 52);
constexpr TRgb kBodyBottom = Rgb(74, 47, 30);
constexpr TRgb kBevelLight = Rgb(178, 132, 92);
constexpr TRgb kBevelDark = Rgb(52, 33, 21);
constexpr TRgb kEngraveDark = Rgb(40, 25, 15);
constexpr TRgb kEngraveLight = Rgb(176, 130, 90);
constexpr TRgb kRecessDark = Rgb(34, 22, 14);
constexpr TRgb kRecessLight = Rgb(150, 108, 74);
constexpr TRgb kGoldLight = Rgb(255, 230, 150);
constexpr TRgb kGoldDark = Rgb(196, 136, 46);
constexpr TRgb kInk = Rgb(40, 26, 16);

TRgb BodyColor(double y) {
  return Mix(kBodyTop, kBodyBottom, std::clamp(y / kWindow.Height(), 0.0, 1.0));
}

// The fine horizontal grain of the wood: a function of the row only, so the
// tab strip, stretched sideways, matches the window behind it.
double Grain(double y) { return 1 + 0.035 * std::sin(y * 2.1) + 0.025 * std::sin(y * 0.73 + 1.3); }

// Paints what lies inside outer but not inside inner, half mixed with what is there.
void PaintRing(TArt& art, const TShape& outer, const TShape& inner, TRgb color) {
  art.Paint(art.Shape(outer) - art.Shape(inner), Solid(color), 0.5);
}

void PaintFrame(TArt& art) {
  const double w = kWindow.Width();
  const double h = kWindow.Height();
  art.Paint(RoundRect(0, 0, w, h, kCornerRadius), Solid(kOutline));
  art.Paint(RoundRect(1, 1, w - 1, h - 1, kCornerRadius - 1),
            [h](double, double y) { return Mix(kBevelLight, kBevelDark, y / h); });
  art.Paint(RoundRect(2, 2, w - 2, h - 2, kCornerRadius - 2),
            [](double, double y) { return Scaled(BodyColor(y), Grain(y)); });
  // An engraved line just inside the edge: a dark ring with a light one below it.
  PaintRing(art, RoundRect(3, 3, w - 3, h - 3, kCornerRadius - 3),
            RoundRect(4, 4, w - 4, h - 4, kCornerRadius - 4), kEngraveDark);
  PaintRing(art, RoundRect(4, 4, w - 4, h - 4, kCornerRadius - 4),
            RoundRect(5, 5, w - 5, h - 5, kCornerRadius - 5), kEngraveLight);
}

// A sunken ring where a round button sits.
void PaintButtonRecess(TArt& art, platform::TPoint at) {
  const double cx = at.X + kButtonSize.X / 2.0;
  const double cy = at.Y + kButtonSize.Y / 2.0;
  art.Paint(Circle(cx, cy, 7.6), [cy](double, double y) {
    return Mix(kRecessDark, kRecessLight, std::clamp((y - cy + 7.6) / 15.2, 0.0, 1.0));
  });
}

// A one-pixel sunken border around the black board panel.
void PaintPanelRecess(TArt& art) {
  const platform::TRect& p = kBoardPanel;
  art.Paint(
      RoundRect(p.Left - 1, p.Top - 1, p.Right + 1, p.Bottom + 1, 0),
      [&p](double x, double y) { return x < p.Left || y < p.Top ? kRecessDark : kRecessLight; });
  art.Paint(RoundRect(p.Left, p.Top, p.Right, p.Bottom, 0), Solid(Rgb(0, 0, 0)));
}

// The symbol a round button shows under the mouse, centred at (cx, cy).
TShape SymbolShape(TButtonSymbol symbol, double cx, double cy) {
  constexpr double kArm = 2.6;
  constexpr double kHalfStroke = 0.65;
  return [=](double x, double y) {
    const double dx = x - cx;
    const double dy = y - cy;
    switch (symbol) {
      case TButtonSymbol::Close:
        return std::max(std::abs(dx), std::abs(dy)) <= kArm &&
               std::min(std::abs(dx - dy), std::abs(dx + dy)) <= kHalfStroke * std::sqrt(2.0);
      case TButtonSymbol::Minimize:
        return std::abs(dx) <= kArm + 0.4 && std::abs(dy) <= kHalfStroke;
      case TButtonSymbol::NewGame:
        break;
    }
    return std::max(std::abs(dx), std::abs(dy)) <= kArm + 0.4 &&
           std::min(std::abs(dx), std::abs(dy)) <= kHalfStroke;
  };
}

}  // namespace

TArt WindowArt() {
  TArt art(kWindow.Width(), kWindow.Height(), kWindowScale);
  PaintFrame(art);
  for (const platform::TPoint at : {kExitButton, kMinimizeButton, kNewGameButton})
    PaintButtonRecess(art, at);
  PaintPanelRecess(art);
  return art;
}

platform::TBitmap RoundButton(const TArt& window, platform::TPoint at, TRgb hue,
                              TButtonSymbol symbol, TButtonState state) {
  TArt art(kButtonSize.X, kButtonSize.Y, kControlScale);
  art.Backdrop([&](double x, double y) { return window.Sample(x + at.X, y + at.Y); });
  const double shift = state == TButtonState::Pressed ? 0.5 : 0;
  const double cx = kButtonSize.X / 2.0 + shift;
  const double cy = kButtonSize.Y / 2.0 + shift;
  constexpr double kRadius = 6.5;
  const TRgb color = StateColor(hue, state);
  art.Paint(Circle(cx, cy, kRadius), Solid(Scaled(color, 0.38)));
  art.Paint(Circle(cx, cy, kRadius - 0.9), [=](double x, double y) {
    const double d = std::hypot(x - cx + 1.2, y - cy + 2.2) / (kRadius * 1.6);
    return Mix(Scaled(color, 1.3), Scaled(color, 0.62), std::clamp(d, 0.0, 1.0));
  });
  art.Paint(
      [=](double x, double y) {
        const double u = (x - cx) / 3.9;
        const double v = (y - (cy - 3.1)) / 2.3;
        return u * u + v * v <= 1;
      },
      Solid(Rgb(255, 255, 255)), state == TButtonState::Disabled ? 0.25 : 0.5);
  if (state == TButtonState::Hover || state == TButtonState::Pressed)
    art.Paint(SymbolShape(symbol, cx, cy + 0.3), Solid(Scaled(color, 0.3)));
  return art.Resolve(kFuchsia);
}

platform::TBitmap LogoButton(const TArt& window, TButtonState state) {
  TArt art(kLogo.Width(), kLogo.Height(), kWindowScale);
  art.Paint(Everywhere(),
            [&](double x, double y) { return window.Sample(x + kLogo.Left, y + kLogo.Top); });
  static const TCoverage text("Ludex", "DejaVu Serif", 160, true);
  const platform::TRect bounds = text.Bounds();
  const double factor = std::min(64.0 / bounds.Width(), 15.0 / bounds.Height());
  const double shift = state == TButtonState::Pressed ? 1 : 0;
  const double left = (kLogo.Width() - bounds.Width() * factor) / 2 + shift;
  const double top = (kLogo.Height() - bounds.Height() * factor) / 2 + shift;
  auto place = [&](double dx, double dy) {
    return PlaceCoverage(text, bounds, left + dx, top + dy, factor, kLogo.Width(), kLogo.Height(),
                         kWindowScale);
  };
  const TMask glyphs = place(0, 0);
  art.Paint(place(0.75, 1) | glyphs.Dilated(2), Solid(kInk), 0.8);
  const double textTop = top;
  const double textHeight = bounds.Height() * factor;
  const TRgb light = StateColor(kGoldLight, state);
  const TRgb dark = StateColor(kGoldDark, state);
  art.Paint(glyphs, [=](double, double y) {
    return Mix(light, dark, std::clamp((y - textTop) / textHeight, 0.0, 1.0));
  });
  return art.Resolve(kFuchsia);
}

platform::TBitmap Tab(const TArt& window, TTabState state) {
  TArt art(kTabSize.X, kTabSize.Y, kControlScale);
  const double stripColumn = kTabStrip.Left + 10;
  art.Backdrop([&](double, double y) { return window.Sample(stripColumn, y + kTabStrip.Top); });
  const bool selected = state == TTabState::Selected;
  const double top = selected ? 0 : 2;
  const double bottom = kTabSize.Y;
  constexpr double kSlant = 2;
  constexpr double kRadius = 4;
  // The tab's outline shrunk by inset on its sides and top; the bottom stays open.
  auto shape = [=](double inset) -> TShape {
    return [=](double x, double y) {
      const double t = inset + top;
      if (y < t) return false;
      const double lean = kSlant * (bottom - y) / (bottom - top);
      const double left = inset + lean;
      const double right = kTabSize.X - inset - lean;
      if (x < left || x > right) return false;
      const double r = kRadius - inset;
      if (y >= t + r) return true;
      const double cx = std::clamp(x, left + r, right - r);
      return (x - cx) * (x - cx) + (y - t - r) * (y - t - r) <= r * r;
    };
  };
  const TRgb base = state == TTabState::Normal  ? Rgb(212, 196, 164)
                    : state == TTabState::Hover ? Rgb(232, 219, 190)
                                                : Rgb(247, 239, 218);
  art.Paint(shape(0), Solid(Rgb(58, 38, 24)));
  art.Paint(shape(1), Solid(Mix(base, Rgb(255, 255, 255), 0.55)));
  art.Paint(shape(2), [=](double, double y) {
    return Mix(base, Scaled(base, 0.86), std::clamp((y - top) / (bottom - top), 0.0, 1.0));
  });
  if (!selected) {
    const TMask bottomRow = art.Shape([](double, double y) { return y >= kTabSize.Y - 1; });
    art.Paint(art.Shape(shape(0)) & bottomRow, Solid(Rgb(90, 62, 40)), 0.6);
  }
  return art.Resolve(kFuchsia);
}

}  // namespace skinart
