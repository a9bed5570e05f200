#include "tools/skinart/Midnight.h"

#include "tools/skinart/BoardSet.h"
#include "tools/skinart/MidnightDialogs.h"
#include "tools/skinart/MidnightLayout.h"
#include "tools/skinart/MidnightMain.h"

namespace skinart {

namespace {

// Slate squares; a highlight tints its square in the accent.
constexpr TBoardTheme kMidnightBoard{.LightSquare = Rgb(150, 166, 186),
                                     .DarkSquare = Rgb(76, 94, 118),
                                     .Accent = Rgb(96, 214, 250),
                                     .AccentDeep = Rgb(32, 170, 220)};

// Frosted glass and graphite, lit in the accent when highlighted.
constexpr TPieceTheme kMidnightPieces{.WhiteBody = Rgb(246, 249, 252),
                                      .WhiteShade = Rgb(190, 202, 216),
                                      .WhiteLine = Rgb(20, 26, 36),
                                      .BlackBody = Rgb(48, 56, 68),
                                      .BlackShade = Rgb(14, 17, 22),
                                      .BlackLine = Rgb(170, 190, 212),
                                      .Glow = Rgb(72, 210, 250),
                                      .WhiteLift = 1.06,
                                      .BlackLift = 1.6,
                                      .WhiteRim = Rgb(40, 50, 64),
                                      .BlackRim = Rgb(150, 170, 194),
                                      .WhiteManShade = Rgb(184, 196, 212),
                                      .BlackManBody = Rgb(70, 80, 96),
                                      .WhiteManLift = 1.05,
                                      .BlackManLift = 1.5,
                                      .CrownLine = Rgb(8, 40, 56),
                                      .CrownLight = Rgb(150, 236, 255),
                                      .CrownShade = Rgb(30, 160, 210)};

}  // namespace

std::vector<TSheetFile> MidnightSheets() {
  return {{"main.bmp", midnight::MainSheet()},
          {"board.bmp",
           BoardSheet(midnight::kBoardSheet, midnight::kBoardSet, kMidnightBoard, kMidnightPieces)},
          {"dialogs.bmp", midnight::DialogSheet()}};
}

}  // namespace skinart
