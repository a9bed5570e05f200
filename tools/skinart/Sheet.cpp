#include "tools/skinart/Sheet.h"

#include "platform/Canvas.h"
#include "tools/skinart/BoardSet.h"
#include "tools/skinart/Kit.h"
#include "tools/skinart/Layout.h"
#include "tools/skinart/Window.h"

namespace skinart {

namespace {

void PlaceWindow(platform::TBitmap& sheet, const TArt& window) {
  const platform::TBitmap background = window.Resolve(kFuchsia);
  Place(sheet, background, {kWindow.Left, kWindow.Top});
  // The tab strip background is the window behind the strip; its centre
  // column is stretched across, which the window's rows allow as they do
  // not change sideways there.
  platform::TCanvas(sheet).CopyRect(
      platform::Bounds(kTabBackground.X, kTabBackground.Y, kTabSize.X, kTabSize.Y), background,
      platform::Bounds(kTabStrip.Left, kTabStrip.Top, kTabSize.X, kTabSize.Y));
}

void PlaceButtons(platform::TBitmap& sheet, const TArt& window) {
  struct TButton {
    platform::TPoint On;
    platform::TPoint Cells;
    TRgb Hue;
    TButtonSymbol Symbol;
  };
  const TButton buttons[] = {
      {kExitButton, kExitButtonCells, Rgb(226, 72, 56), TButtonSymbol::Close},
      {kMinimizeButton, kMinimizeButtonCells, Rgb(240, 188, 46), TButtonSymbol::Minimize},
      {kNewGameButton, kNewGameButtonCells, Rgb(92, 196, 72), TButtonSymbol::NewGame}};
  for (const TButton& button : buttons)
    for (int row = 0; row < 4; ++row)
      Place(sheet, RoundButton(window, button.On, button.Hue, button.Symbol, kButtonStates[row]),
            CellOrigin(button.Cells, kButtonSize, 0, row));
  const platform::TPoint logoSize{kLogo.Width(), kLogo.Height()};
  for (int row = 0; row < 4; ++row)
    Place(sheet, LogoButton(window, kButtonStates[row]), CellOrigin(kLogoCells, logoSize, 0, row));
}

void PlaceTabs(platform::TBitmap& sheet, const TArt& window) {
  for (int column = 0; column < 3; ++column)
    Place(sheet, Tab(window, kTabStates[column]), CellOrigin(kTabCells, kTabSize, column, 0));
}

}  // namespace

platform::TBitmap BuildSheet() {
  platform::TBitmap sheet(kSheetWidth, kSheetHeight);
  sheet.Fill(kFuchsia);
  const TArt window = WindowArt();
  PlaceWindow(sheet, window);
  PlaceButtons(sheet, window);
  PlaceTabs(sheet, window);
  PlaceBoardSet(sheet, {kBoard, kChessCells, kCheckersCells, 6, kSquareCells}, kBuiltinBoard,
                kBuiltinPieces);
  return sheet;
}

}  // namespace skinart
