#include "tools/skinart/Kit.h"

#include <algorithm>

#include "platform/Canvas.h"
#include "tools/skinart/Layout.h"

namespace skinart {

namespace {

// Text is rendered this large and scaled down, so that its edges come out
// as smooth as the shapes around it.
constexpr int kTextRenderSize = 160;

}  // namespace

TRgb StateColor(TRgb color, TButtonState state) {
  switch (state) {
    case TButtonState::Normal:
      return color;
    case TButtonState::Hover:
      return Mix(Scaled(color, 1.18), Rgb(255, 255, 255), 0.12);
    case TButtonState::Pressed:
      return Scaled(color, 0.72);
    case TButtonState::Disabled:
      break;
  }
  const double grey = 0.3 * color.R + 0.59 * color.G + 0.11 * color.B;
  return Mix(TRgb{grey, grey, grey}, Rgb(128, 128, 128), 0.5);
}

void Place(platform::TBitmap& sheet, const platform::TBitmap& picture, platform::TPoint at) {
  platform::TCanvas(sheet).Draw(at.X, at.Y, picture);
}

void PlaceGrid(platform::TBitmap& sheet, const std::vector<platform::TBitmap>& cells,
               platform::TPoint at, int columns) {
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const int column = static_cast<int>(i) % columns;
    const int row = static_cast<int>(i) / columns;
    const platform::TPoint size{cells[i].Width(), cells[i].Height()};
    Place(sheet, cells[i], CellOrigin(at, size, column, row));
  }
}

platform::TBitmap PatternFont(const std::vector<platform::TBitmap>& glyphs) {
  int width = -1;
  int height = 0;
  for (const platform::TBitmap& glyph : glyphs) {
    width += glyph.Width() + 1;
    height = std::max(height, glyph.Height());
  }
  platform::TBitmap strip(std::max(width, 0), height + 2);
  strip.Fill(kFuchsia);
  int x = 0;
  for (const platform::TBitmap& glyph : glyphs) {
    Place(strip, glyph, {x, 0});
    for (int i = 0; i < glyph.Width(); ++i)
      strip.SetPixel(x + i, height + 1, platform::RGB(0, 0, 0));
    x += glyph.Width() + 1;
  }
  return strip;
}

TArt OnWindow(const TArt& window, const platform::TRect& area, int scale) {
  TArt art(area.Width(), area.Height(), scale);
  art.Backdrop([&](double x, double y) { return window.Sample(x + area.Left, y + area.Top); });
  return art;
}

TArt CutWindow(const TArt& window, const platform::TRect& area, int scale) {
  TArt art(area.Width(), area.Height(), scale);
  art.Paint(Everywhere(),
            [&](double x, double y) { return window.Sample(x + area.Left, y + area.Top); });
  return art;
}

TTextShape::TTextShape(std::string_view text, std::string_view family, bool bold, double height,
                       std::string_view reference)
    : coverage_(text, family, kTextRenderSize, bold), bounds_(coverage_.Bounds()) {
  if (!reference.empty()) {
    const platform::TRect upright = TCoverage(reference, family, kTextRenderSize, bold).Bounds();
    bounds_.Top = upright.Top;
    bounds_.Bottom = upright.Bottom;
  }
  factor_ = height / bounds_.Height();
}

TMask TTextShape::At(const TArt& art, double left, double top) const {
  return PlaceCoverage(coverage_, bounds_, left, top, factor_, art.Width(), art.Height(),
                       art.Scale());
}

}  // namespace skinart
