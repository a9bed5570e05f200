#include "tools/skinart/Walnut.h"

#include "tools/skinart/BoardSet.h"
#include "tools/skinart/WalnutDialogs.h"
#include "tools/skinart/WalnutLayout.h"
#include "tools/skinart/WalnutMain.h"

namespace skinart {

namespace {

// Maple and walnut squares; a highlight is a gold outline over the grain.
constexpr TBoardTheme kWalnutBoard{.LightSquare = Rgb(222, 190, 140),
                                   .DarkSquare = Rgb(128, 82, 48),
                                   .Accent = Rgb(255, 214, 90),
                                   .AccentDeep = Rgb(236, 170, 40),
                                   .Grain = 0.32,
                                   .OutlineOnly = true};

// Ivory and ebony.
constexpr TPieceTheme kWalnutPieces{.WhiteBody = Rgb(255, 250, 234),
                                    .WhiteShade = Rgb(224, 208, 176),
                                    .WhiteLine = Rgb(46, 28, 14),
                                    .BlackBody = Rgb(64, 42, 28),
                                    .BlackShade = Rgb(20, 12, 8),
                                    .BlackLine = Rgb(236, 212, 164),
                                    .Glow = Rgb(255, 206, 84),
                                    .WhiteLift = 1.1,
                                    .BlackLift = 1.7,
                                    .WhiteRim = Rgb(70, 44, 22),
                                    .BlackRim = Rgb(214, 186, 134),
                                    .WhiteManShade = Rgb(206, 184, 146),
                                    .BlackManBody = Rgb(98, 66, 44),
                                    .WhiteManLift = 1.08,
                                    .BlackManLift = 1.6,
                                    .CrownLine = Rgb(60, 36, 10),
                                    .CrownLight = Rgb(255, 226, 120),
                                    .CrownShade = Rgb(190, 120, 20)};

}  // namespace

std::vector<TSheetFile> WalnutSheets() {
  return {{"main.bmp", walnut::MainSheet()},
          {"board.bmp",
           BoardSheet(walnut::kBoardSheet, walnut::kBoardSet, kWalnutBoard, kWalnutPieces)},
          {"dialogs.bmp", walnut::DialogSheet()}};
}

}  // namespace skinart
