#include "tools/skinart/WalnutDialogs.h"

#include <vector>

#include "tools/skinart/Kit.h"
#include "tools/skinart/Layout.h"
#include "tools/skinart/WalnutLayout.h"
#include "tools/skinart/WalnutStyle.h"

namespace skinart::walnut {

namespace {

constexpr double kRadius = 12;

TArt WindowArt(const platform::TRect& window, const platform::TRect& card) {
  TArt art(window.Width(), window.Height(), kWindowScale);
  PaintWoodenWindow(art, kRadius);
  PaintCreamPanel(art, card, 6);
  return art;
}

// A brass rule with a diamond in its middle, across the card.
void PaintRule(TArt& art, double left, double right, double y) {
  const double middle = (left + right) / 2;
  art.Paint(RoundRect(left, y - 0.5, right, y + 0.5, 0.5), Brass(y - 0.5, y + 0.5));
  art.Paint(Polygon({{middle - 4, y}, {middle, y - 3}, {middle + 4, y}, {middle, y + 3}}),
            Brass(y - 3, y + 3));
}

TArt AboutArt() {
  TArt art = WindowArt(kAboutWindow, kAboutCard);
  static const TTextShape knight("\u265E", "DejaVu Sans", false, 24);
  art.Paint(Circle(kAboutEmblem.X + 0.6, kAboutEmblem.Y + 1, 21), Solid(Rgb(120, 96, 60)), 0.35);
  PaintBrassDome(art, kAboutEmblem.X, kAboutEmblem.Y, 21, {&knight, 0.5});
  PaintRule(art, kAboutCard.Left + 40, kAboutCard.Right - 40, 107);
  return art;
}

TArt OptionsArt() {
  TArt art = WindowArt(kOptionsWindow, kOptionsCard);
  return art;
}

TArt AlertArt() {
  TArt art = WindowArt(kAlertWindow, kAlertCard);
  static const TTextShape mark("!", "DejaVu Serif", true, 13);
  PaintBrassDome(art, kAlertIcon.X, kAlertIcon.Y, 14, {&mark});
  return art;
}

// A row of the options: the card with a dotted rule along its foot.
TArt OptionRowArt(const TArt& options) {
  const platform::TRect row =
      platform::Bounds(kOptionRow.X, kOptionRow.Y, kOptionRowSize.X, kOptionRowSize.Y);
  TArt art = CutWindow(options, row, kControlScale);
  const double y = kOptionRowSize.Y - 1.5;
  art.Paint(
      [=](double x, double py) {
        return py >= y && py <= y + 1 && static_cast<int>(x) % 3 != 2 && x > 4 &&
               x < kOptionRowSize.X - 4;
      },
      Solid(Rgb(196, 170, 120)));
  return art;
}

// A check box's box on the option row: brass-rimmed, ticked in ink.
platform::TBitmap CheckCell(const TArt& row, bool ticked, TButtonState state) {
  TArt art =
      CutWindow(row, platform::Bounds(kCheckBox.Left, kCheckBox.Top, kCheckSize.X, kCheckSize.Y),
                kControlScale);
  const double left = 3;
  const double top = 3;
  const double size = 12;
  const double shift = state == TButtonState::Pressed ? 0.4 : 0;
  art.Paint(RoundRect(left, top + 0.6, left + size, top + size + 0.6, 2.5), Solid(Rgb(120, 90, 50)),
            0.35);
  art.Paint(RoundRect(left, top, left + size, top + size, 2.5),
            Solid(StateColor(kBrassEdge, state)));
  art.Paint(RoundRect(left + 0.8, top + 0.8, left + size - 0.8, top + size - 0.8, 1.8),
            [=](double, double y) {
              return StateColor(Mix(kBrassLight, kBrassDark, (y - top) / size), state);
            });
  art.Paint(RoundRect(left + 2.2, top + 2.2, left + size - 2.2, top + size - 2.2, 1),
            Solid(StateColor(state == TButtonState::Pressed ? kCreamShade : kEnamel, state)));
  if (ticked) {
    static const TTextShape tick("\u2713", "DejaVu Sans", true, 10);
    art.Paint(tick.CenteredAt(art, left + size / 2 + 0.6 + shift, top + size / 2 - 0.6 + shift),
              Solid(StateColor(kInk, state)));
  }
  return art.Resolve(kFuchsia);
}

void PlaceOptionParts(platform::TBitmap& sheet, const TArt& options) {
  const TArt row = OptionRowArt(options);
  Place(sheet, row.Resolve(kFuchsia), kOptionRowCells);
  std::vector<platform::TBitmap> cells;
  for (const bool ticked : {false, true})
    for (const TButtonState state : kButtonStates) cells.push_back(CheckCell(row, ticked, state));
  PlaceGrid(sheet, cells, kCheckCells, 4);
}

}  // namespace

platform::TBitmap DialogSheet() {
  platform::TBitmap sheet(kDialogSheet.X, kDialogSheet.Y);
  sheet.Fill(kFuchsia);
  static const TTextShape help("?", "DejaVu Serif", true, 11);
  static const TTextShape done("\u2713", "DejaVu Sans", true, 11);
  const TArt about = AboutArt();
  Place(sheet, about.Resolve(kFuchsia), TopLeft(kAboutWindow));
  PlaceGrid(sheet, BrassButtonCells(about, kAboutHelpButton, {&help}), kAboutHelpCells, 1);
  PlaceGrid(sheet, BrassButtonCells(about, kAboutCloseButton, {&done}), kAboutCloseCells, 1);
  const TArt options = OptionsArt();
  Place(sheet, options.Resolve(kFuchsia), TopLeft(kOptionsWindow));
  PlaceGrid(sheet, BrassButtonCells(options, kOptionsCloseButton, {&done}), kOptionsCloseCells, 1);
  PlaceOptionParts(sheet, options);
  const TArt alert = AlertArt();
  Place(sheet, alert.Resolve(kFuchsia), TopLeft(kAlertWindow));
  PlaceGrid(sheet, BrassButtonCells(alert, kAlertButton, {&done}), kAlertCells, 1);
  return sheet;
}

}  // namespace skinart::walnut
