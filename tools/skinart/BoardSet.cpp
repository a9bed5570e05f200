#include "tools/skinart/BoardSet.h"

#include "tools/skinart/Board.h"
#include "tools/skinart/Kit.h"
#include "tools/skinart/Layout.h"
#include "tools/skinart/Pieces.h"

namespace skinart {

namespace {

constexpr platform::TPoint kCell{kSquare, kSquare};

void PlaceChessPieces(platform::TBitmap& sheet, platform::TPoint at, const TPieceTheme& theme) {
  for (int row = 0; row < 6; ++row)
    for (int column = 0; column < 4; ++column) {
      const TSide side = column % 2 == 0 ? TSide::Black : TSide::White;
      Place(sheet, ChessPiece(kChessPieces[row], side, column >= 2, theme),
            CellOrigin(at, kCell, column, row));
    }
}

// Cells by index (row * 4 + column): men 0..3 and kings 4..7, each as
// Black, White, Black highlighted, White highlighted; the rest stay empty.
void PlaceCheckersPieces(platform::TBitmap& sheet, platform::TPoint at, int rows,
                         const TPieceTheme& theme) {
  for (int index = 0; index < 4 * rows; ++index) {
    const int column = index % 4;
    const int row = index / 4;
    const TSide side = column % 2 == 0 ? TSide::Black : TSide::White;
    Place(sheet, index < 8 ? CheckersPiece(index >= 4, side, column >= 2, theme) : EmptyCell(),
          CellOrigin(at, kCell, column, row));
  }
}

}  // namespace

void PlaceBoardSet(platform::TBitmap& sheet, const TBoardSetLayout& layout,
                   const TBoardTheme& board, const TPieceTheme& pieces) {
  Place(sheet, Board(board), layout.Board);
  Place(sheet, SquareHighlight(true, board), CellOrigin(layout.SquareCells, kCell, 0, 0));
  Place(sheet, SquareHighlight(false, board), CellOrigin(layout.SquareCells, kCell, 1, 0));
  PlaceChessPieces(sheet, layout.ChessCells, pieces);
  PlaceCheckersPieces(sheet, layout.CheckersCells, layout.CheckersRows, pieces);
}

platform::TBitmap BoardSheet(platform::TPoint size, const TBoardSetLayout& layout,
                             const TBoardTheme& board, const TPieceTheme& pieces) {
  platform::TBitmap sheet(size.X, size.Y);
  sheet.Fill(kFuchsia);
  PlaceBoardSet(sheet, layout, board, pieces);
  return sheet;
}

}  // namespace skinart
