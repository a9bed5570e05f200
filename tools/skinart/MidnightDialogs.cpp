#include "tools/skinart/MidnightDialogs.h"

#include "tools/skinart/Kit.h"
#include "tools/skinart/Layout.h"
#include "tools/skinart/MidnightLayout.h"
#include "tools/skinart/MidnightStyle.h"

namespace skinart::midnight {

namespace {

constexpr double kRadius = 8;
constexpr int kBar = 30;

// A ring in the accent with a symbol in it.
void PaintBadge(TArt& art, platform::TPoint center, double radius, const TTextShape& symbol) {
  const TMask ring = art.Shape(Circle(center.X, center.Y, radius)) -
                     art.Shape(Circle(center.X, center.Y, radius - 1.6));
  art.Paint(ring, Solid(kAccent));
  art.Paint(symbol.CenteredAt(art, center.X, center.Y), Solid(kAccent));
}

TArt AboutArt() {
  TArt art(kAboutWindow.Width(), kAboutWindow.Height(), kWindowScale);
  PaintWindow(art, kRadius, kBar);
  PaintBrand(art, 14, 7);
  PaintRule(art, kAboutTabs.Left, kAboutTabs.Right, kAboutTabs.Bottom - 1);
  static const TTextShape knight("\u265E", "DejaVu Sans", false, 22);
  PaintBadge(art, kAboutEmblem, 20, knight);
  return art;
}

TArt AlertArt() {
  TArt art(kAlertWindow.Width(), kAlertWindow.Height(), kWindowScale);
  PaintWindow(art, kRadius, 0);
  const double w = kAlertWindow.Width();
  const TShape inside = RoundRect(1, 1, w - 1, kAlertWindow.Height() - 1, kRadius - 1);
  art.Paint([=](double x, double y) { return y < 4 && inside(x, y); }, Solid(kAccent));
  static const TTextShape mark("!", "DejaVu Sans", true, 13);
  PaintBadge(art, kAlertIcon, 14, mark);
  return art;
}

TArt WebPageArt() {
  TArt art(kAboutPages.Width(), kAboutPages.Height(), kWindowScale);
  art.Paint(Everywhere(), Solid(kWindowFill));
  art.Paint(RoundRect(kWebCard.Left, kWebCard.Top, kWebCard.Right, kWebCard.Bottom, 8),
            Solid(kPaper));
  return art;
}

}  // namespace

platform::TBitmap DialogSheet() {
  platform::TBitmap sheet(kDialogSheet.X, kDialogSheet.Y);
  sheet.Fill(kFuchsia);
  static const TTextShape help("?", "DejaVu Sans", true, 11);
  static const TTextShape done("\u2713", "DejaVu Sans", true, 11);
  constexpr TFlatLook kPill{true, false};
  const TArt about = AboutArt();
  Place(sheet, about.Resolve(kFuchsia), TopLeft(kAboutWindow));
  PlaceGrid(sheet, FlatButtonCells(about, kAboutHelpButton, help, kPill), kAboutHelpCells, 1);
  PlaceGrid(sheet, FlatButtonCells(about, kAboutCloseButton, done, kPill), kAboutCloseCells, 1);
  PlaceGrid(sheet,
            {FlatTab(TTabLook::Normal, kPageTabSize), FlatTab(TTabLook::Hover, kPageTabSize)},
            kPageTabCells, 2);
  Place(sheet, FlatTab(TTabLook::Selected, kPageTabSize), kPageTabSelected);
  Place(sheet, WebPageArt().Resolve(kFuchsia), kWebPageCells);
  const TArt alert = AlertArt();
  Place(sheet, alert.Resolve(kFuchsia), TopLeft(kAlertWindow));
  PlaceGrid(sheet, FlatButtonCells(alert, kAlertButton, done, kPill), kAlertCells, 1);
  return sheet;
}

}  // namespace skinart::midnight
