#pragma once

#include "platform/Types.h"

// Where the pictures of the built-in skin lie in mix.bmp and where the
// controls lie on the main window: the skin description refers to both.
namespace skinart {

inline constexpr int kSheetWidth = 369;
inline constexpr int kSheetHeight = 516;

inline constexpr platform::TColor kFuchsia = platform::RGB(255, 0, 255);
inline constexpr platform::TColor kBlue = platform::RGB(0, 0, 255);

// The main window and the controls on it (window coordinates).
inline constexpr platform::TRect kWindow = platform::Bounds(0, 0, 258, 300);
inline constexpr platform::TPoint kButtonSize{14, 15};
inline constexpr platform::TPoint kExitButton{9, 6};
inline constexpr platform::TPoint kMinimizeButton{30, 6};
inline constexpr platform::TPoint kNewGameButton{51, 6};
inline constexpr platform::TRect kLogo = platform::Bounds(170, 7, 74, 22);
inline constexpr platform::TRect kTabStrip = platform::Bounds(20, 30, 220, 30);
inline constexpr platform::TRect kBoardPanel = platform::Bounds(21, 61, 218, 218);

// Sheet areas (top-left corners) of the other pictures.
inline constexpr platform::TPoint kExitButtonCells{332, 167};
inline constexpr platform::TPoint kMinimizeButtonCells{346, 167};
inline constexpr platform::TPoint kNewGameButtonCells{332, 230};
inline constexpr platform::TPoint kLogoCells{258, 167};
inline constexpr platform::TPoint kTabBackground{346, 230};
inline constexpr platform::TPoint kTabSize{21, 30};
inline constexpr platform::TPoint kTabCells{258, 258};
inline constexpr platform::TPoint kBoard{0, 300};
inline constexpr int kSquare = 27;
inline constexpr platform::TPoint kSquareCells{216, 467};
inline constexpr platform::TPoint kChessCells{216, 300};
inline constexpr platform::TPoint kCheckersCells{258, 0};

// Grid cells are one pixel apart.
constexpr platform::TPoint CellOrigin(platform::TPoint area, platform::TPoint cellSize, int column,
                                      int row) {
  return platform::TPoint{area.X + column * (cellSize.X + 1), area.Y + row * (cellSize.Y + 1)};
}

}  // namespace skinart
