#include "tools/skinart/WalnutMain.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "tools/skinart/Kit.h"
#include "tools/skinart/Layout.h"
#include "tools/skinart/WalnutLayout.h"
#include "tools/skinart/WalnutStyle.h"

namespace skinart::walnut {

namespace {

constexpr TRgb kLabel = Rgb(226, 196, 140);
constexpr TRgb kDeepShadow = Rgb(16, 9, 4);

platform::TRect Inflated(const platform::TRect& rect, int by) {
  return platform::Rect(rect.Left - by, rect.Top - by, rect.Right + by, rect.Bottom + by);
}

void PaintTitle(TArt& art) {
  static const TTextShape title("Ludex", "DejaVu Serif", true, 15);
  const TMask ink = title.CenteredAt(art, kTitleCenter.X, kTitleCenter.Y);
  art.Paint(ink.Dilated(art.Scale()), Solid(kDeepShadow), 0.55);
  art.Paint(ink, Brass(kTitleCenter.Y - 7.5, kTitleCenter.Y + 7.5));
}

// The board sits in a brass frame; the files and ranks are cut into the wood
// beside it.
void PaintBoardSurround(TArt& art) {
  const platform::TRect frame = Inflated(kBoard, kBoardFrame);
  art.Paint(RoundRect(frame.Left - 1, frame.Top, frame.Right + 1.5, frame.Bottom + 2, 2.5),
            Solid(kDeepShadow), 0.5);
  PaintBrassRim(art, frame.Left, frame.Top, frame.Right, frame.Bottom, kBoardFrame - 1, 1.5);
  art.Paint(RoundRect(kBoard.Left - 1, kBoard.Top - 1, kBoard.Right + 1, kBoard.Bottom + 1, 0),
            Solid(kDeepShadow));
  for (int i = 0; i < 8; ++i) {
    const double middle = i * kSquare + kSquare / 2.0;
    const TTextShape rank(std::string(1, static_cast<char>('8' - i)), "DejaVu Serif", true, 7,
                          "12345678");
    PaintEngraved(art, rank.CenteredAt(art, kBoard.Left - 14, kBoard.Top + middle), kLabel,
                  kDeepShadow, Rgb(140, 100, 64));
    const TTextShape file(std::string(1, static_cast<char>('a' + i)), "DejaVu Serif", true, 10,
                          "abcdefgh");
    PaintEngraved(art, file.CenteredAt(art, kBoard.Left + middle, frame.Bottom + 8.5), kLabel,
                  kDeepShadow, Rgb(140, 100, 64));
  }
}

// The plate below the board with the pendulum's window and the clock face.
void PaintPlate(TArt& art) {
  PaintCreamPanel(art, kPlate, 5);
  const platform::TRect window = Inflated(kPendulum, 2);
  PaintBrassRim(art, window.Left, window.Top, window.Right, window.Bottom, 2, 3);
  art.Paint(RoundRect(kPendulum.Left, kPendulum.Top, kPendulum.Right, kPendulum.Bottom, 1),
            [](double x, double y) { return Scaled(Wood(x * 0.5, y), 0.55); });
  const platform::TRect& face = kClockFace;
  PaintBrassRim(art, face.Left, face.Top, face.Right, face.Bottom, 2.4, 5);
  art.Paint(RoundRect(face.Left + 2.4, face.Top + 2.4, face.Right - 2.4, face.Bottom - 2.4, 2.6),
            Solid(kEnamel));
}

// The well the move list lies in: a brass rim around a dark recess, the
// list's own colour, so that the list seems cut into the wood; its caption
// is engraved above it as the files and ranks are.
void PaintMovesWell(TArt& art) {
  const platform::TRect& well = kMovesWell;
  static const TTextShape caption("Moves", "DejaVu Serif", true, 9, "Mo");
  PaintEngraved(art, caption.CenteredAt(art, (well.Left + well.Right) / 2.0, kMovesCaptionY),
                kLabel, kDeepShadow, Rgb(140, 100, 64));
  art.Paint(RoundRect(well.Left - 1, well.Top, well.Right + 1.5, well.Bottom + 2, 3.5),
            Solid(kDeepShadow), 0.5);
  PaintBrassRim(art, well.Left, well.Top, well.Right, well.Bottom, kMoveList.Left - well.Left, 3);
  art.Paint(RoundRect(kMoveList.Left, kMoveList.Top, kMoveList.Right, kMoveList.Bottom, 0),
            Solid(kWell));
}

// The level plate: a groove turned into the cream with a brass stud at each
// stop of the slider, between an engraved pawn and queen.
void PaintLevelPlate(TArt& art) {
  PaintCreamPanel(art, kLevelPlate, 5);
  const platform::TPoint first = LevelStop(0);
  const platform::TPoint last = LevelStop(kLevelStops - 1);
  const double y = first.Y;
  art.Paint(RoundRect(first.X, y - 1.5, last.X, y + 0.5, 1), Solid(Rgb(150, 120, 80)));
  art.Paint(RoundRect(first.X, y - 0.5, last.X, y + 1.5, 1), Solid(Rgb(255, 252, 240)), 0.8);
  art.Paint(RoundRect(first.X, y - 1, last.X, y + 1, 1), Solid(Rgb(176, 146, 100)));
  for (int stop = 0; stop < kLevelStops; ++stop) {
    const platform::TPoint at = LevelStop(stop);
    art.Paint(Circle(at.X + 0.3, at.Y + 0.5, 3), Solid(kDeepShadow), 0.35);
    art.Paint(Circle(at.X, at.Y, 2.6), Solid(kBrassEdge));
    art.Paint(Circle(at.X, at.Y, 1.9), Brass(at.Y - 2, at.Y + 2));
  }
  static const TTextShape pawn("\u265F", "DejaVu Sans", false, 11);
  static const TTextShape queen("\u265B", "DejaVu Sans", false, 13);
  const TRgb ink = Rgb(120, 84, 40);
  const TRgb light = Rgb(255, 252, 240);
  PaintEngraved(art, pawn.CenteredAt(art, kLevelLowIcon.X, kLevelLowIcon.Y), ink, ink, light);
  PaintEngraved(art, queen.CenteredAt(art, kLevelHighIcon.X, kLevelHighIcon.Y), ink, ink, light);
}

TArt MainWindowArt() {
  TArt art(kMainWindow.Width(), kMainWindow.Height(), kWindowScale);
  PaintWoodenWindow(art, 12);
  PaintTitle(art);
  PaintBoardSurround(art);
  PaintMovesWell(art);
  PaintPlate(art);
  PaintLevelPlate(art);
  return art;
}

void PlaceButtons(platform::TBitmap& sheet, const TArt& window) {
  static const TTextShape close("\u2715", "DejaVu Sans", true, 8);
  static const TTextShape minimize("\u2013", "DejaVu Sans", true, 1.6);
  static const TTextShape help("?", "DejaVu Serif", true, 10);
  static const TTextShape about("i", "DejaVu Serif", true, 10);
  static const TTextShape newGame("\u21BB", "DejaVu Sans", true, 12);
  static const TTextShape options("\u2699", "DejaVu Sans", false, 14);
  static const TTextShape skins("\u25D0", "DejaVu Sans", false, 12);
  static const TTextShape takeBack("\u21B6", "DejaVu Sans", true, 10);
  struct TButton {
    platform::TRect On;
    platform::TPoint Cells;
    TBrassSymbol Symbol;
  };
  const TButton buttons[] = {
      {kCloseButton, kCloseCells, {&close}},       {kMinimizeButton, kMinimizeCells, {&minimize}},
      {kHelpButton, kHelpCells, {&help}},          {kAboutButton, kAboutCells, {&about}},
      {kNewGameButton, kNewGameCells, {&newGame}}, {kOptionsButton, kOptionsCells, {&options}},
      {kSkinsButton, kSkinsCells, {&skins}},       {kTakeBackButton, kTakeBackCells, {&takeBack}}};
  for (const TButton& button : buttons)
    PlaceGrid(sheet, BrassButtonCells(window, button.On, button.Symbol), button.Cells, 1);
}

enum class TTabLook { Normal, Hover, Selected };

// A card tab standing on the board's frame: rounded on top, open below.
platform::TBitmap Tab(TTabLook look) {
  TArt art(kTabSize.X, kTabSize.Y, kControlScale);
  art.Backdrop(Solid(Rgb(76, 48, 29)));
  const bool selected = look == TTabLook::Selected;
  const double top = selected ? 0 : 2.5;
  const double w = kTabSize.X;
  const double h = kTabSize.Y;
  auto shape = [=](double inset) -> TShape {
    return [=](double x, double y) {
      if (y < top + inset) return false;
      const double lean = 2 * (h - y) / (h - top);
      const double left = inset + lean;
      const double right = w - inset - lean;
      if (x < left || x > right) return false;
      const double r = std::max(5 - inset, 0.5);
      if (y >= top + inset + r) return true;
      const double cx = std::clamp(x, left + r, right - r);
      const double dy = y - top - inset - r;
      return (x - cx) * (x - cx) + dy * dy <= r * r;
    };
  };
  const TRgb face = look == TTabLook::Normal  ? Rgb(218, 198, 156)
                    : look == TTabLook::Hover ? Rgb(236, 222, 188)
                                              : kCream;
  art.Paint(shape(0), Solid(Rgb(52, 32, 16)));
  art.Paint(shape(1), Solid(Mix(face, Rgb(255, 255, 255), 0.5)));
  art.Paint(shape(1.8), [=](double, double y) {
    return Mix(face, Scaled(face, selected ? 0.97 : 0.88),
               std::clamp((y - top) / (h - top), 0.0, 1.0));
  });
  if (selected) art.Paint(art.Shape(shape(0)) - art.Shape(shape(1.2)), Brass(0, 4));
  return art.Resolve(kFuchsia);
}

void PlaceTabs(platform::TBitmap& sheet) {
  PlaceGrid(sheet, {Tab(TTabLook::Normal), Tab(TTabLook::Hover), Tab(TTabLook::Selected)},
            kTabCells, 3);
}

// The pendulum swinging behind its window, one frame per tick of the
// program's clock: a full swing there and back in kPendulumFrames ticks.
platform::TBitmap PendulumFrame(const TArt& window, int frame) {
  TArt art = CutWindow(window, kPendulum, kControlScale);
  const double angle = 0.36 * std::sin(2 * kPi * frame / kPendulumFrames);
  const double px = kPendulum.Width() / 2.0;
  const double py = 1.0;
  const double length = 22;
  const double bx = px + length * std::sin(angle);
  const double by = py + length * std::cos(angle);
  const TShape rod = [=](double x, double y) {
    const double t =
        std::clamp(((x - px) * (bx - px) + (y - py) * (by - py)) / (length * length), 0.0, 1.0);
    const double dx = x - (px + t * (bx - px));
    const double dy = y - (py + t * (by - py));
    return dx * dx + dy * dy <= 0.45 * 0.45;
  };
  art.Paint(rod, Solid(kBrass));
  art.Paint(Circle(bx + 0.5, by + 0.8, 4.2), Solid(kDeepShadow), 0.5);
  art.Paint(Circle(bx, by, 4.2), Solid(kBrassEdge));
  art.Paint(Circle(bx, by, 3.5), [=](double x, double y) {
    const double d = std::hypot(x - bx + 1.2, y - by + 1.4) / 5.5;
    return Mix(kBrassLight, kBrassDark, std::clamp(d, 0.0, 1.0));
  });
  art.Paint(Circle(px, py + 0.5, 1.3), Solid(kBrassDark));
  return art.Resolve(kFuchsia);
}

void PlacePendulum(platform::TBitmap& sheet, const TArt& window) {
  std::vector<platform::TBitmap> frames;
  for (int frame = 0; frame < kPendulumFrames; ++frame)
    frames.push_back(PendulumFrame(window, frame));
  PlaceGrid(sheet, frames, kPendulumCells, kPendulumColumns);
}

// A glyph of the clock: ink on the enamel of the clock face.
platform::TBitmap ClockGlyph(const std::string& text, int width) {
  TArt art(width, kGlyphHeight, kControlScale);
  art.Paint(Everywhere(), Solid(kEnamel));
  if (text != " ") {
    const TTextShape glyph(text, "DejaVu Serif", true, text == ":" ? 7 : 10,
                           text == ":" ? ":" : "0123456789");
    art.Paint(glyph.CenteredAt(art, width / 2.0, 7.5), Solid(kInk));
  }
  return art.Resolve(kFuchsia);
}

void PlaceClockFont(platform::TBitmap& sheet) {
  std::vector<platform::TBitmap> glyphs;
  for (char digit = '0'; digit <= '9'; ++digit)
    glyphs.push_back(ClockGlyph(std::string(1, digit), kDigitWidth));
  glyphs.push_back(ClockGlyph(":", kColonWidth));
  glyphs.push_back(ClockGlyph(" ", kColonWidth));
  Place(sheet, PatternFont(glyphs), kClockFont);
}

// The level slider's knob, a small brass dome, and the same under the mouse.
void PlaceLevelKnob(platform::TBitmap& sheet) {
  std::vector<platform::TBitmap> knobs;
  for (const TButtonState state : {TButtonState::Normal, TButtonState::Hover}) {
    TArt art(kLevelKnob, kLevelKnob, kControlScale);
    const double c = kLevelKnob / 2.0;
    art.Paint(Circle(c + 0.3, c + 0.6, c - 0.2), Solid(kDeepShadow), 0.5);
    art.Paint(Circle(c, c, c - 0.6), Solid(StateColor(kBrassEdge, state)));
    art.Paint(Circle(c, c, c - 1.4), [=](double x, double y) {
      const double d = std::hypot(x - c + 1.8, y - c + 2.2) / (c * 1.8);
      return StateColor(Mix(kBrassLight, kBrassDark, std::clamp(d, 0.0, 1.0)), state);
    });
    art.Paint(Circle(c, c, 1.3), Solid(StateColor(kBrassDark, state)), 0.6);
    knobs.push_back(art.Resolve(kFuchsia));
  }
  PlaceGrid(sheet, knobs, kLevelKnobCells, 2);
}

}  // namespace

platform::TBitmap MainSheet() {
  platform::TBitmap sheet(kMainSheet.X, kMainSheet.Y);
  sheet.Fill(kFuchsia);
  const TArt window = MainWindowArt();
  Place(sheet, window.Resolve(kFuchsia), {kMainWindow.Left, kMainWindow.Top});
  PlaceButtons(sheet, window);
  PlaceTabs(sheet);
  PlacePendulum(sheet, window);
  PlaceClockFont(sheet);
  PlaceLevelKnob(sheet);
  return sheet;
}

}  // namespace skinart::walnut
