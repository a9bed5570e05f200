#pragma once

#include "platform/Types.h"
#include "tools/skinart/BoardSet.h"

// Where the Midnight skin's pictures lie in its sheets and where its
// controls lie on its windows: data/Skins/Midnight/interface.xml refers to
// both.
namespace skinart::midnight {

using platform::Bounds;
using platform::TPoint;
using platform::TRect;

// ---- main.bmp: the main window, its side panel and their controls --------

inline constexpr TPoint kMainSheet{976, 320};
inline constexpr TRect kMainWindow = Bounds(0, 0, 600, 320);
// The window stretches at this column and row (in the move list, below the
// pages), where its picture does not change.
inline constexpr TPoint kMainSplit{311, 311};
inline constexpr int kTopBar = 32;

inline constexpr TRect kCloseButton = Bounds(562, 5, 26, 22);
inline constexpr TRect kMinimizeButton = Bounds(534, 5, 26, 22);
inline constexpr TRect kSkinsButton = Bounds(498, 5, 26, 22);
inline constexpr TRect kHelpButton = Bounds(470, 5, 26, 22);
inline constexpr TRect kAboutButton = Bounds(442, 5, 26, 22);

inline constexpr TRect kTabStrip = Bounds(12, 36, 216, 26);
inline constexpr TRect kBoard = Bounds(12, 64, 216, 216);

// The pages hold the board with the material balance below it and, beside
// it, the moves of its game; each page shows this part of the window
// picture, which stretches at kPageSplit (a point under the list).
inline constexpr TRect kPages = Bounds(11, 63, 378, 246);
inline constexpr TPoint kPageSplit{300, 244};
inline constexpr TRect kMoveList = Bounds(238, 64, 150, 244);
// The top of the list's caption, level with the tabs' captions.
inline constexpr double kMovesCaptionTop = 45.5;
// Above the moves, at their right end: take back and new game.
inline constexpr TRect kTakeBackButton = Bounds(338, 38, 24, 22);
inline constexpr TRect kNewGameButton = Bounds(364, 38, 24, 22);
// The material balance: the knob leans to the moon when Black is ahead, to
// the sun when White is.
inline constexpr TRect kAdvantageSlider = Bounds(30, 287, 180, 18);
inline constexpr TRect kMoonIcon = Bounds(12, 289, 14, 14);
inline constexpr TRect kSunIcon = Bounds(214, 289, 14, 14);

// The side panel and what lies on it (panel coordinates).
inline constexpr TRect kSidePanel = Bounds(400, 36, 188, 272);
inline constexpr TPoint kSideSplit{94, 266};
inline constexpr int kSideRules[] = {58, 132, 176};
inline constexpr TRect kPulse = Bounds(166, 16, 12, 12);
// The level slider between a pawn (weak) and a queen (strong), a dot at
// each of its stops.
inline constexpr TRect kLevelSlider = Bounds(28, 137, 132, 18);
inline constexpr TRect kPawnIcon = Bounds(10, 139, 14, 14);
inline constexpr TRect kQueenIcon = Bounds(164, 139, 14, 14);
inline constexpr int kLevelStops = 3;

// Sheet places of the pictures (top-left corners).
inline constexpr TPoint kSidePanelCells{601, 0};
inline constexpr int kCellsLeft = 790;
inline constexpr TPoint kCloseCells{kCellsLeft, 0};
inline constexpr TPoint kMinimizeCells{kCellsLeft + 27, 0};
inline constexpr TPoint kSkinsCells{kCellsLeft + 54, 0};
inline constexpr TPoint kHelpCells{kCellsLeft + 81, 0};
inline constexpr TPoint kAboutCells{kCellsLeft + 108, 0};
inline constexpr TPoint kNewGameCells{kCellsLeft + 136, 0};
inline constexpr TPoint kTakeBackCells{kCellsLeft + 161, 0};
// A toggle: the caption's row stretches at kToggleSplit, the switch stays
// at the right end.
inline constexpr TPoint kToggleSize{44, 22};
inline constexpr TPoint kToggleSplit{2, 11};
inline constexpr TPoint kToggleCells{kCellsLeft, 92};
inline constexpr TPoint kTabSize{24, 26};
inline constexpr TPoint kTabCaption{12, 6};
inline constexpr TPoint kTabCells{kCellsLeft, 138};
inline constexpr TPoint kKnobSize{14, 14};
inline constexpr TPoint kKnobCells{kCellsLeft + 75, 138};
inline constexpr TPoint kTrackSize{40, 18};
inline constexpr TPoint kTrackCells{kCellsLeft + 105, 138};
// The clock's pattern font: "0123456789: " as lit segments over unlit ones.
inline constexpr TPoint kClockFont{kCellsLeft, 165};
inline constexpr int kDigitWidth = 13;
inline constexpr int kColonWidth = 5;
inline constexpr int kGlyphHeight = 24;
inline constexpr int kPulseFrames = 20;
inline constexpr int kPulseColumns = 10;
inline constexpr TPoint kPulseCells{kCellsLeft, 192};
inline constexpr TPoint kGridSize{8, 8};
inline constexpr TPoint kGridCells{kCellsLeft + 135, 192};
// The level slider's track, as wide as the slider, its stops marked.
inline constexpr TPoint kLevelTrackCells{kCellsLeft, 219};
// Where the knob's centre stands at a stop of the level slider (slider
// pixels across).
constexpr int LevelStopX(int stop) {
  return kKnobSize.X / 2 + stop * (kLevelSlider.Width() - kKnobSize.X) / (kLevelStops - 1);
}

// ---- board.bmp -------------------------------------------------------------

inline constexpr TPoint kBoardSheet{384, 224};
inline constexpr TBoardSetLayout kBoardSet{{0, 0}, {217, 0}, {217, 168}, 2, {329, 0}};

// ---- dialogs.bmp: the About and Alert windows ------------------------------

inline constexpr TPoint kDialogSheet{440, 455};

inline constexpr TRect kAboutWindow = Bounds(0, 0, 300, 220);
inline constexpr TRect kAboutTabs = Bounds(12, 36, 276, 24);
inline constexpr TRect kAboutPages = Bounds(12, 62, 276, 112);
inline constexpr TPoint kAboutEmblem{150, 92};
inline constexpr TRect kAboutHelpButton = Bounds(104, 184, 40, 24);
inline constexpr TRect kAboutCloseButton = Bounds(156, 184, 40, 24);

inline constexpr TRect kAlertWindow = Bounds(0, 221, 300, 120);
inline constexpr TPoint kAlertIcon{34, 56};
inline constexpr TRect kAlertButton = Bounds(130, 84, 40, 24);

inline constexpr TPoint kAboutHelpCells{301, 0};
inline constexpr TPoint kAboutCloseCells{342, 0};
inline constexpr TPoint kAlertCells{383, 0};
inline constexpr TPoint kPageTabSize{24, 24};
inline constexpr TPoint kPageTabCells{301, 100};
inline constexpr TPoint kPageTabSelected{351, 100};
// The second page of the About window: a light card for the home-page link
// (links are drawn in dark ink).
inline constexpr TPoint kWebPageCells{0, 342};
inline constexpr TRect kWebCard = Bounds(20, 36, 236, 40);

}  // namespace skinart::midnight
