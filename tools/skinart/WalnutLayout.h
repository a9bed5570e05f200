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

inline constexpr TPoint kMainSheet{440, 392};
inline constexpr TRect kMainWindow = Bounds(0, 0, 300, 392);

inline constexpr int kSmallButton = 20;
inline constexpr TRect kCloseButton = Bounds(12, 9, kSmallButton, kSmallButton);
inline constexpr TRect kMinimizeButton = Bounds(36, 9, kSmallButton, kSmallButton);
inline constexpr TRect kHelpButton = Bounds(244, 9, kSmallButton, kSmallButton);
inline constexpr TRect kAboutButton = Bounds(268, 9, kSmallButton, kSmallButton);
inline constexpr int kLargeButton = 26;
inline constexpr TRect kNewGameButton = Bounds(101, 354, kLargeButton, kLargeButton);
inline constexpr TRect kOptionsButton = Bounds(137, 354, kLargeButton, kLargeButton);
inline constexpr TRect kSkinsButton = Bounds(173, 354, kLargeButton, kLargeButton);

inline constexpr TPoint kTitleCenter{150, 19};
inline constexpr TRect kTabStrip = Bounds(42, 37, 216, 24);
inline constexpr TRect kBoard = Bounds(42, 66, 216, 216);
// The brass frame around the board, the tab strip standing on its top.
inline constexpr int kBoardFrame = 5;

// The cream plate below the board: the status line, the pendulum and the clock.
inline constexpr TRect kPlate = Bounds(14, 306, 272, 40);
inline constexpr TRect kPendulum = Bounds(190, 310, 14, 32);
inline constexpr TRect kClockFace = Bounds(212, 312, 64, 28);

// Sheet places of the control pictures (top-left corners).
inline constexpr TPoint kCloseCells{301, 0};
inline constexpr TPoint kMinimizeCells{322, 0};
inline constexpr TPoint kHelpCells{343, 0};
inline constexpr TPoint kAboutCells{364, 0};
inline constexpr TPoint kNewGameCells{301, 84};
inline constexpr TPoint kOptionsCells{328, 84};
inline constexpr TPoint kSkinsCells{355, 84};
inline constexpr TPoint kTabSize{24, 24};
inline constexpr TPoint kTabCells{301, 192};
// A tab's caption starts at this point of the tab (the split point).
inline constexpr TPoint kTabCaption{12, 5};
inline constexpr int kPendulumFrames = 16;
inline constexpr int kPendulumColumns = 8;
inline constexpr TPoint kPendulumCells{301, 217};
// The clock's pattern font: "0123456789: ", glyphs one pixel apart, with
// the two rows that mark them below.
inline constexpr TPoint kClockFont{301, 283};
inline constexpr int kDigitWidth = 8;
inline constexpr int kColonWidth = 4;
inline constexpr int kGlyphHeight = 14;

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
