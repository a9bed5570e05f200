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

inline constexpr TPoint kMainSheet{810, 292};
inline constexpr TRect kMainWindow = Bounds(0, 0, 440, 292);
// The window stretches at this column and row (between the board and the
// side panel, below the board), where its picture does not change.
inline constexpr TPoint kMainSplit{234, 286};
inline constexpr int kTopBar = 32;

inline constexpr TRect kCloseButton = Bounds(402, 5, 26, 22);
inline constexpr TRect kMinimizeButton = Bounds(374, 5, 26, 22);
inline constexpr TRect kSkinsButton = Bounds(338, 5, 26, 22);
inline constexpr TRect kHelpButton = Bounds(310, 5, 26, 22);
inline constexpr TRect kAboutButton = Bounds(282, 5, 26, 22);
inline constexpr TRect kNewGameButton = Bounds(204, 38, 24, 22);

inline constexpr TRect kTabStrip = Bounds(12, 36, 216, 26);
inline constexpr TRect kBoard = Bounds(12, 64, 216, 216);

// The side panel and what lies on it (panel coordinates).
inline constexpr TRect kSidePanel = Bounds(240, 36, 188, 244);
inline constexpr TPoint kSideSplit{94, 238};
inline constexpr int kSideRules[] = {58, 132, 160};
inline constexpr TRect kMoonIcon = Bounds(10, 139, 14, 14);
inline constexpr TRect kSunIcon = Bounds(164, 139, 14, 14);
inline constexpr TRect kPulse = Bounds(166, 16, 12, 12);

// Sheet places of the pictures (top-left corners).
inline constexpr TPoint kSidePanelCells{441, 0};
inline constexpr TPoint kCloseCells{630, 0};
inline constexpr TPoint kMinimizeCells{657, 0};
inline constexpr TPoint kSkinsCells{684, 0};
inline constexpr TPoint kHelpCells{711, 0};
inline constexpr TPoint kAboutCells{738, 0};
inline constexpr TPoint kNewGameCells{766, 0};
// A toggle: the caption's row stretches at kToggleSplit, the switch stays
// at the right end.
inline constexpr TPoint kToggleSize{44, 22};
inline constexpr TPoint kToggleSplit{2, 11};
inline constexpr TPoint kToggleCells{630, 92};
inline constexpr TPoint kTabSize{24, 26};
inline constexpr TPoint kTabCaption{12, 6};
inline constexpr TPoint kTabCells{630, 138};
inline constexpr TPoint kKnobSize{14, 14};
inline constexpr TPoint kKnobCells{705, 138};
inline constexpr TPoint kTrackSize{40, 18};
inline constexpr TPoint kTrackCells{735, 138};
// The clock's pattern font: "0123456789: " as lit segments over unlit ones.
inline constexpr TPoint kClockFont{630, 165};
inline constexpr int kDigitWidth = 13;
inline constexpr int kColonWidth = 5;
inline constexpr int kGlyphHeight = 24;
inline constexpr int kPulseFrames = 20;
inline constexpr int kPulseColumns = 10;
inline constexpr TPoint kPulseCells{630, 192};
inline constexpr TPoint kGripSize{4, 5};
inline constexpr TPoint kGripCells{760, 192};
inline constexpr TPoint kGridSize{8, 8};
inline constexpr TPoint kGridCells{765, 192};

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
