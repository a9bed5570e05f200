#pragma once

#include <string_view>

#include "platform/Types.h"

namespace platform {
class TWindowBase;
}
namespace skin {
class TImagePack;
class TSkinResManager;
class TXMLNode;
}  // namespace skin

// What the chess and checkers boards share: an 8 x 8 board of fixed
// 27-pixel squares, file a at the left and rank 1 at the bottom.
namespace boards {

constexpr int kSquareSize = 27;
constexpr int kBoardSize = 8 * kSquareSize;
// The answer of SquareUnderCursor when the mouse is elsewhere.
constexpr platform::TPoint kNoSquare{-1, -1};

// The rectangle of square (file, rank) in the control's coordinates.
constexpr platform::TRect SquareRect(int file, int rank) {
  return platform::Bounds(kSquareSize * file, kSquareSize * (7 - rank), kSquareSize, kSquareSize);
}

constexpr bool IsBoardSquare(platform::TPoint square) {
  return square.X >= 0 && square.X < 8 && square.Y >= 0 && square.Y < 8;
}

// The square of the window under the mouse cursor, or kNoSquare when the
// cursor is outside the window. A window larger than the board answers
// squares beyond it, which hold nothing.
platform::TPoint SquareUnderCursor(const platform::TWindowBase& window);

// The pack named by the element's attribute; null when the attribute is
// missing or names no image.
skin::TImagePack* ReadPack(const skin::TSkinResManager* resources, const skin::TXMLNode& element,
                           std::string_view attribute);

}  // namespace boards
