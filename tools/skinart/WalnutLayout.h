#pragma once

#include "platform/Types.h"
#include "tools/skinart/BoardSet.h"

// Where the Walnut skin's pictures lie in its sheets and where its controls
// lie on its windows: data/Skins/Walnut/interface.xml refers to both.
namespace skinart::walnut {

using platform::Bounds;
using platform::TPoint;
using platform::TRect;

// ---- main.bmp: the main window and the pictures of its controls ----------

inline constexpr TPoint kMainSheet{597, 392};
inline constexpr TRect kMainWindow = Bounds(0, 0, 476, 392);

inline constexpr int kSmallButton = 20;
inline constexpr TRect kCloseButton = Bounds(12, 9, kSmallButton, kSmallButton);
inline constexpr TRect kMinimizeButton = Bounds(36, 9, kSmallButton, kSmallButton);
inline constexpr TRect kHelpButton = Bounds(420, 9, kSmallButton, kSmallButton);
inline constexpr TRect kAboutButton = Bounds(444, 9, kSmallButton, kSmallButton);
// The row of large buttons along the foot, centred on the window: the two
// that act on the game, then the two that open windows.
inline constexpr int kLargeButton = 26;
inline constexpr TRect kTakeBackButton = Bounds(171, 354, kLargeButton, kLargeButton);
inline constexpr TRect kNewGameButton = Bounds(207, 354, kLargeButton, kLargeButton);
inline constexpr TRect kOptionsButton = Bounds(243, 354, kLargeButton, kLargeButton);
inline constexpr TRect kSkinsButton = Bounds(279, 354, kLargeButton, kLargeButton);

inline constexpr TPoint kTitleCenter{238, 19};
inline constexpr TRect kTabStrip = Bounds(42, 37, 216, 24);
inline constexpr TRect kBoard = Bounds(42, 66, 216, 216);
// The brass frame around the board, the tab strip standing on its top.
inline constexpr int kBoardFrame = 5;

// The pages hold the board and, beside it, the moves of its game: each page
// shows this part of the window picture behind them.
inline constexpr TRect kPages = Bounds(42, 61, 420, 226);
// The dark well the move list lies in, level with the board's frame, and
// the list inside its brass rim.
inline constexpr TRect kMovesWell = Bounds(296, 61, 166, 226);
inline constexpr TRect kMoveList = Bounds(300, 65, 158, 218);
// The middle of the well's caption, level with the tabs' captions.
inline constexpr double kMovesCaptionY = 48.5;

// The cream plate below the board: the status line, the pendulum and the clock.
inline constexpr TRect kPlate = Bounds(14, 306, 272, 40);
inline constexpr TRect kPendulum = Bounds(190, 310, 14, 32);
inline constexpr TRect kClockFace = Bounds(212, 312, 64, 28);

// The cream plate below the moves: the level slider between a pawn (weak)
// and a queen (strong), its three stops studded in brass, and the level's
// name below it.
inline constexpr TRect kLevelPlate = Bounds(296, 306, 166, 40);
inline constexpr TRect kLevelSlider = Bounds(322, 310, 114, 16);
inline constexpr int kLevelKnob = 14;
inline constexpr int kLevelStops = 3;
inline constexpr TRect kLevelName = Bounds(322, 328, 114, 14);
inline constexpr TPoint kLevelLowIcon{310, 318};
inline constexpr TPoint kLevelHighIcon{448, 318};
// Where the knob's centre stands at a stop of the slider (window pixels).
constexpr TPoint LevelStop(int stop) {
  return {kLevelSlider.Left + kLevelKnob / 2 +
              stop * (kLevelSlider.Width() - kLevelKnob) / (kLevelStops - 1),
          kLevelSlider.Top + kLevelSlider.Height() / 2};
}

// Sheet places of the control pictures (top-left corners), right of the
// window.
inline constexpr int kCellsLeft = 477;
inline constexpr TPoint kCloseCells{kCellsLeft, 0};
inline constexpr TPoint kMinimizeCells{kCellsLeft + 21, 0};
inline constexpr TPoint kHelpCells{kCellsLeft + 42, 0};
inline constexpr TPoint kAboutCells{kCellsLeft + 63, 0};
inline constexpr TPoint kNewGameCells{kCellsLeft, 84};
inline constexpr TPoint kOptionsCells{kCellsLeft + 27, 84};
inline constexpr TPoint kSkinsCells{kCellsLeft + 54, 84};
inline constexpr TPoint kTakeBackCells{kCellsLeft + 81, 84};
inline constexpr TPoint kTabSize{24, 24};
inline constexpr TPoint kTabCells{kCellsLeft, 192};
// A tab's caption starts at this point of the tab (the split point).
inline constexpr TPoint kTabCaption{12, 5};
inline constexpr int kPendulumFrames = 16;
inline constexpr int kPendulumColumns = 8;
inline constexpr TPoint kPendulumCells{kCellsLeft, 217};
// The clock's pattern font: "0123456789: ", glyphs one pixel apart, with
// the two rows that mark them below.
inline constexpr TPoint kClockFont{kCellsLeft, 283};
inline constexpr int kDigitWidth = 8;
inline constexpr int kColonWidth = 4;
inline constexpr int kGlyphHeight = 14;
// The level slider's knob: normal, then under the mouse.
inline constexpr TPoint kLevelKnobCells{kCellsLeft, 300};

// ---- board.bmp: the boards and pieces ------------------------------------

inline constexpr TPoint kBoardSheet{384, 224};
inline constexpr TBoardSetLayout kBoardSet{{0, 0}, {217, 0}, {217, 168}, 2, {329, 0}};

// ---- dialogs.bmp: the About, Options and Alert windows ---------------------

inline constexpr TPoint kDialogSheet{521, 381};
inline constexpr int kDialogButton = 24;

inline constexpr TRect kAboutWindow = Bounds(0, 0, 260, 196);
inline constexpr TRect kAboutCard = Bounds(14, 14, 232, 136);
inline constexpr TPoint kAboutEmblem{130, 48};
inline constexpr TRect kAboutHelpButton = Bounds(102, 160, kDialogButton, kDialogButton);
inline constexpr TRect kAboutCloseButton = Bounds(134, 160, kDialogButton, kDialogButton);

inline constexpr TRect kOptionsWindow = Bounds(0, 197, 240, 184);
inline constexpr TRect kOptionsCard = Bounds(14, 14, 212, 128);
inline constexpr TPoint kOptionRow{22, 22};
inline constexpr TPoint kOptionRowSize{196, 24};
inline constexpr TRect kOptionsCloseButton = Bounds(108, 150, kDialogButton, kDialogButton);
// Inside a row: the check box and its box picture (split at kCheckSplit).
inline constexpr TRect kCheckBox = Bounds(4, 3, 188, 18);
inline constexpr TPoint kCheckSize{30, 18};
inline constexpr TPoint kCheckSplit{28, 9};

inline constexpr TRect kAlertWindow = Bounds(261, 270, 260, 111);
inline constexpr TRect kAlertCard = Bounds(14, 14, 232, 58);
inline constexpr TPoint kAlertIcon{36, 43};
inline constexpr TRect kAlertButton = Bounds(118, 79, kDialogButton, kDialogButton);

// Sheet places of the control pictures.
inline constexpr TPoint kAboutHelpCells{261, 0};
inline constexpr TPoint kAboutCloseCells{286, 0};
inline constexpr TPoint kOptionsCloseCells{311, 0};
inline constexpr TPoint kAlertCells{336, 0};
inline constexpr TPoint kCheckCells{261, 100};
inline constexpr TPoint kOptionRowCells{261, 138};

}  // namespace skinart::walnut
