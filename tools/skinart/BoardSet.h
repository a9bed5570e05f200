#pragma once

#include "platform/Bitmap.h"
#include "platform/Types.h"
#include "tools/skinart/Theme.h"

// The pictures of both boards on a sheet: the board, the two square
// highlights and the chess and checkers pieces, in the grids the board
// controls read.
namespace skinart {

struct TBoardSetLayout {
  platform::TPoint Board;
  // 4 x 6 cells: a row per piece, Black, White, Black and White highlighted.
  platform::TPoint ChessCells;
  // 4 columns: men in row 0, kings in row 1, the further rows left empty.
  platform::TPoint CheckersCells;
  int CheckersRows = 2;
  // 2 x 1 cells: over a dark square, over a light one.
  platform::TPoint SquareCells;
};

void PlaceBoardSet(platform::TBitmap& sheet, const TBoardSetLayout& layout,
                   const TBoardTheme& board, const TPieceTheme& pieces);
// A sheet of the size holding only the board set, Fuchsia elsewhere.
platform::TBitmap BoardSheet(platform::TPoint size, const TBoardSetLayout& layout,
                             const TBoardTheme& board, const TPieceTheme& pieces);

}  // namespace skinart
