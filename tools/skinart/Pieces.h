#pragma once

#include "platform/Bitmap.h"
#include "tools/skinart/Theme.h"

// The pieces of both games, one 27 x 27 cell each, Blue outside the piece.
namespace skinart {

enum class TSide { Black, White };

// Row order of the chess pictures.
enum class TChessPiece { Pawn, Rook, Knight, Bishop, Queen, King };
inline constexpr TChessPiece kChessPieces[] = {TChessPiece::Pawn,   TChessPiece::Rook,
                                               TChessPiece::Knight, TChessPiece::Bishop,
                                               TChessPiece::Queen,  TChessPiece::King};

// highlighted: under the mouse or just moved.
platform::TBitmap ChessPiece(TChessPiece piece, TSide side, bool highlighted,
                             const TPieceTheme& theme = kBuiltinPieces);
platform::TBitmap CheckersPiece(bool king, TSide side, bool highlighted,
                                const TPieceTheme& theme = kBuiltinPieces);
// A cell with nothing in it.
platform::TBitmap EmptyCell();

}  // namespace skinart
