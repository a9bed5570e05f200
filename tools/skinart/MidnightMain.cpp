#include "tools/skinart/MidnightMain.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "tools/skinart/Kit.h"
#include "tools/skinart/Layout.h"
#include "tools/skinart/MidnightLayout.h"
#include "tools/skinart/MidnightStyle.h"

namespace skinart::midnight {

namespace {

// The unlit part of a control: a switched-off toggle, a slider's groove.
constexpr TRgb kTrackFill = Rgb(44, 53, 68);

// A symbol in the muted colour, centred in the box.
void PaintIcon(TArt& art, const TTextShape& symbol, const platform::TRect& box) {
  art.Paint(symbol.CenteredAt(art, (box.Left + box.Right) / 2.0, (box.Top + box.Bottom) / 2.0),
            Solid(kMuted));
}

// The window: the tab row's hairline runs on over the moves, the board has
// a hairline frame, and the ends of the material balance below it are a
// moon (Black) and a sun (White).
TArt MainWindowArt() {
  TArt art(kMainWindow.Width(), kMainWindow.Height(), kWindowScale);
  PaintWindow(art, 8, kTopBar);
  PaintBrand(art, 14, 8);
  PaintRule(art, kTabStrip.Left, kMoveList.Right, kTabStrip.Bottom - 1);
  PaintSpacedCaps(art, "MOVES", kMoveList.Left + 2, kMovesCaptionTop, 7, kMuted);
  art.Paint(RoundRect(kBoard.Left - 1, kBoard.Top - 1, kBoard.Right + 1, kBoard.Bottom + 1, 0),
            Solid(kBorder));
  art.Paint(RoundRect(kBoard.Left, kBoard.Top, kBoard.Right, kBoard.Bottom, 0),
            Solid(Rgb(0, 0, 0)));
  art.Paint(RoundRect(kMoveList.Left, kMoveList.Top, kMoveList.Right, kMoveList.Bottom, 0),
            Solid(kWellFill));
  static const TTextShape moon("\u263E", "DejaVu Sans", false, 11);
  static const TTextShape sun("\u2600", "DejaVu Sans", false, 13);
  PaintIcon(art, moon, kMoonIcon);
  PaintIcon(art, sun, kSunIcon);
  return art;
}

// The side panel: a card with hairlines between its groups, and the two
// ends of the level slider (a pawn, a queen).
TArt SidePanelArt() {
  TArt art(kSidePanel.Width(), kSidePanel.Height(), kWindowScale);
  PaintCard(art, platform::Bounds(0, 0, kSidePanel.Width(), kSidePanel.Height()), 6);
  for (const int y : kSideRules) PaintRule(art, 10, kSidePanel.Width() - 10, y);
  static const TTextShape pawn("\u265F", "DejaVu Sans", false, 11);
  static const TTextShape queen("\u265B", "DejaVu Sans", false, 12);
  PaintIcon(art, pawn, kPawnIcon);
  PaintIcon(art, queen, kQueenIcon);
  return art;
}

void PlaceButtons(platform::TBitmap& sheet, const TArt& window) {
  static const TTextShape close("\u2715", "DejaVu Sans", false, 9);
  static const TTextShape minimize("\u2013", "DejaVu Sans", true, 1.7);
  static const TTextShape skins("\u25D0", "DejaVu Sans", false, 12);
  static const TTextShape help("?", "DejaVu Sans", true, 11);
  static const TTextShape about("i", "DejaVu Sans", true, 11);
  static const TTextShape newGame("\u21BB", "DejaVu Sans", true, 13);
  static const TTextShape takeBack("\u21B6", "DejaVu Sans", true, 10);
  PlaceGrid(sheet, FlatButtonCells(window, kCloseButton, close, {false, true}), kCloseCells, 1);
  PlaceGrid(sheet, FlatButtonCells(window, kMinimizeButton, minimize), kMinimizeCells, 1);
  PlaceGrid(sheet, FlatButtonCells(window, kSkinsButton, skins), kSkinsCells, 1);
  PlaceGrid(sheet, FlatButtonCells(window, kHelpButton, help), kHelpCells, 1);
  PlaceGrid(sheet, FlatButtonCells(window, kAboutButton, about), kAboutCells, 1);
  PlaceGrid(sheet, FlatButtonCells(window, kNewGameButton, newGame), kNewGameCells, 1);
  PlaceGrid(sheet, FlatButtonCells(window, kTakeBackButton, takeBack), kTakeBackCells, 1);
}

// A toggle's colour in the state: a disabled one fades into the card
// rather than turning grey, which would light it up on the dark ground.
TRgb ToggleColor(TRgb color, TButtonState state) {
  if (state != TButtonState::Disabled) return StateColor(color, state);
  const double grey = 0.3 * color.R + 0.59 * color.G + 0.11 * color.B;
  return Mix(TRgb{grey, grey, grey}, kCardFill, 0.7);
}

// A switch at the right end of a toggle's row: a pill with its knob to the
// left (off) or, lit, to the right (on).
platform::TBitmap Toggle(bool on, TButtonState state) {
  TArt art(kToggleSize.X, kToggleSize.Y, kControlScale);
  art.Paint(Everywhere(), Solid(kCardFill));
  const double right = kToggleSize.X - 2;
  const double left = right - 26;
  const double top = 4;
  const double bottom = top + 14;
  const TRgb pill = on ? kAccent : kTrackFill;
  const TRgb knob = on ? Rgb(255, 255, 255) : Rgb(150, 162, 180);
  art.Paint(RoundRect(left, top, right, bottom, 7), Solid(ToggleColor(pill, state)));
  const double cx = on ? right - 7 : left + 7;
  const double shift = state == TButtonState::Pressed ? (on ? -1 : 1) : 0;
  art.Paint(Circle(cx + shift, top + 7, 5.2), Solid(ToggleColor(knob, state)));
  return art.Resolve(kFuchsia);
}

void PlaceToggles(platform::TBitmap& sheet) {
  std::vector<platform::TBitmap> cells;
  for (const bool on : {false, true})
    for (const TButtonState state : kButtonStates) cells.push_back(Toggle(on, state));
  PlaceGrid(sheet, cells, kToggleCells, 4);
}

// A slider's track on the ground: a groove, with a dot at each of `stops`
// knob places (none: a plain groove that may stretch).
TArt Track(int width, TRgb ground, int stops) {
  TArt track(width, kTrackSize.Y, kControlScale);
  track.Paint(Everywhere(), Solid(ground));
  const double middle = kTrackSize.Y / 2.0;
  track.Paint(RoundRect(1, middle - 1, width - 1, middle + 1, 1), Solid(kTrackFill));
  for (int stop = 0; stop < stops; ++stop)
    track.Paint(Circle(LevelStopX(stop), middle, 2.6), Solid(kMuted));
  return track;
}

void PlaceSliderParts(platform::TBitmap& sheet) {
  std::vector<platform::TBitmap> knobs;
  for (const bool hover : {false, true}) {
    TArt art(kKnobSize.X, kKnobSize.Y, kControlScale);
    art.Backdrop(Solid(kCardFill));
    const double c = kKnobSize.X / 2.0;
    art.Paint(Circle(c, c, 6.6), Solid(hover ? kAccent : Rgb(90, 104, 124)));
    art.Paint(Circle(c, c, 5.2), Solid(hover ? Rgb(255, 255, 255) : Rgb(200, 210, 224)));
    knobs.push_back(art.Resolve(kFuchsia));
  }
  PlaceGrid(sheet, knobs, kKnobCells, 2);
  Place(sheet, Track(kTrackSize.X, kWindowFill, 0).Resolve(kFuchsia), kTrackCells);
  Place(sheet, Track(kLevelSlider.Width(), kCardFill, kLevelStops).Resolve(kFuchsia),
        kLevelTrackCells);
}

void PlaceClockFont(platform::TBitmap& sheet) {
  std::vector<platform::TBitmap> glyphs;
  for (char digit = '0'; digit <= '9'; ++digit)
    glyphs.push_back(SegmentGlyph(digit, kDigitWidth, kGlyphHeight));
  glyphs.push_back(SegmentGlyph(':', kColonWidth, kGlyphHeight));
  glyphs.push_back(SegmentGlyph(' ', kColonWidth, kGlyphHeight));
  Place(sheet, PatternFont(glyphs), kClockFont);
}

// A dot sending out a ring, once every kPulseFrames ticks.
platform::TBitmap PulseFrame(int frame) {
  TArt art(kPulse.Width(), kPulse.Height(), kControlScale);
  art.Paint(Everywhere(), Solid(kCardFill));
  const double c = kPulse.Width() / 2.0;
  const double t = static_cast<double>(frame) / kPulseFrames;
  const double ring = 2.6 + 3.2 * t;
  const TShape band = [=](double x, double y) {
    const double d = std::hypot(x - c, y - c);
    return d <= ring && d >= ring - 1;
  };
  art.Paint(band, Solid(Mix(kCardFill, kAccent, std::pow(1 - t, 1.5))));
  const double glow = 0.75 + 0.25 * std::cos(2 * kPi * t);
  art.Paint(Circle(c, c, 2.4), Solid(Mix(kCardFill, kAccent, glow)));
  return art.Resolve(kFuchsia);
}

void PlacePulse(platform::TBitmap& sheet) {
  std::vector<platform::TBitmap> frames;
  for (int frame = 0; frame < kPulseFrames; ++frame) frames.push_back(PulseFrame(frame));
  PlaceGrid(sheet, frames, kPulseCells, kPulseColumns);
}

// The diagram's grid, a tile.
void PlaceDiagramGrid(platform::TBitmap& sheet) {
  platform::TBitmap grid(kGridSize.X, kGridSize.Y);
  grid.Fill(platform::RGB(13, 16, 21));
  for (int i = 0; i < kGridSize.X; ++i) {
    grid.SetPixel(i, 0, platform::RGB(24, 31, 41));
    grid.SetPixel(0, i, platform::RGB(24, 31, 41));
  }
  Place(sheet, grid, kGridCells);
}

}  // namespace

platform::TBitmap MainSheet() {
  platform::TBitmap sheet(kMainSheet.X, kMainSheet.Y);
  sheet.Fill(kFuchsia);
  const TArt window = MainWindowArt();
  Place(sheet, window.Resolve(kFuchsia), TopLeft(kMainWindow));
  Place(sheet, SidePanelArt().Resolve(kFuchsia), kSidePanelCells);
  PlaceButtons(sheet, window);
  PlaceToggles(sheet);
  PlaceGrid(sheet,
            {FlatTab(TTabLook::Normal, kTabSize), FlatTab(TTabLook::Hover, kTabSize),
             FlatTab(TTabLook::Selected, kTabSize)},
            kTabCells, 3);
  PlaceSliderParts(sheet);
  PlaceClockFont(sheet);
  PlacePulse(sheet);
  PlaceDiagramGrid(sheet);
  return sheet;
}

}  // namespace skinart::midnight
