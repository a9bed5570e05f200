#include "games/boards/CheckersBoardCtl.h"

#include <gtest/gtest.h>

#include <utility>

#include "BoardFixture.h"

namespace boards_test {
namespace {

using boards::TCheckersBoardControl;

class CheckersBoard : public BoardFixture {
 protected:
  TCheckersBoardControl& Board() { return Open<TCheckersBoardControl>("Checkers"); }

  static void Click(TCheckersBoardControl& board, int file, int rank,
                    TMouseButton button = TMouseButton::Left) {
    board.OnMouseDown(On(board, file, rank, button));
    board.OnMouseUp(On(board, file, rank, button));
  }
  std::int8_t& At(int file, int rank) {
    return checkersBoard.Position.Squares[checkers::SquareIndex(file, rank)];
  }
  // An otherwise empty board with these pieces.
  void Place(std::initializer_list<std::pair<TPoint, std::int8_t>> pieces) {
    checkersBoard.Position.Squares.fill(checkers::kEmpty);
    for (const auto& [square, code] : pieces) At(square.X, square.Y) = code;
  }
};

TEST_F(CheckersBoard, ClicksOnBlackPiecesEmptySquaresOrBlockedMenSelectNothing) {
  TCheckersBoardControl& board = Board();
  EXPECT_EQ(board.Hint(), "");
  for (const TPoint square : {TPoint{1, 5}, TPoint{3, 3}, TPoint{0, 0}, TPoint{1, 1}}) {
    Click(board, square.X, square.Y);
    EXPECT_EQ(board.Path, "") << square.X << "," << square.Y;
  }
  // The right button never changes a selection.
  Click(board, 2, 2);
  Click(board, 4, 2, TMouseButton::Right);
  Click(board, 3, 3, TMouseButton::Right);
  EXPECT_EQ(board.Path, "c3");
  // Without its entity the board selects nothing.
  entities.UnregisterEntity("Application.CheckersBoard");
  EXPECT_EQ(board.BoardEntity, nullptr);
  Click(board, 4, 2);
  EXPECT_EQ(board.Path, "c3");
}

TEST_F(CheckersBoard, AMoveIsBuiltSquareBySquareAndPlayedByClickingOneOfItsSquaresAgain) {
  TCheckersBoardControl& board = Board();
  const checkers::TCheckersPosition start = checkersBoard.Position;
  Click(board, 2, 2);
  Click(board, 2, 2);  // a selected start square stays selected
  Click(board, 3, 3);
  EXPECT_EQ(board.Path, "c3-d4");
  Outside(board);
  TBitmap picture = platform::GrabWindow(board);
  EXPECT_TRUE(Marked(picture, 2, 2));
  EXPECT_TRUE(Marked(picture, 3, 3));
  EXPECT_FALSE(Marked(picture, 4, 2));
  EXPECT_EQ(checkersBoard.Position, start);
  EXPECT_EQ(answers, 0);

  Click(board, 3, 3);
  EXPECT_EQ(board.Path, "");
  EXPECT_EQ(At(2, 2), checkers::kEmpty);
  EXPECT_EQ(At(3, 3), checkers::kOwnMan);
  EXPECT_EQ(answers, 1);

  Click(board, 4, 2);  // the start square of a finished move plays it too
  Click(board, 5, 3);
  Click(board, 4, 2);
  EXPECT_EQ(At(5, 3), checkers::kOwnMan);
  EXPECT_EQ(answers, 2);
  EXPECT_FALSE(Marked(platform::GrabWindow(board), 4, 2));
}

TEST_F(CheckersBoard, AClickElsewhereRestartsOrDropsTheSelection) {
  TCheckersBoardControl& board = Board();
  Click(board, 2, 2);
  Click(board, 4, 2);
  EXPECT_EQ(board.Path, "e3");
  Click(board, 7, 7);
  EXPECT_EQ(board.Path, "");
  // A path that no longer begins a legal move is dropped at the next click.
  Click(board, 2, 2);
  At(2, 2) = checkers::kEmpty;
  Click(board, 3, 3);
  EXPECT_EQ(board.Path, "");
}

TEST_F(CheckersBoard, ACompulsoryCaptureIsTheOnlySelectionAndMayBeExtendedJumpByJump) {
  TCheckersBoardControl& board = Board();
  Place({{{0, 0}, checkers::kOwnMan},
         {{1, 1}, checkers::kOtherMan},
         {{3, 3}, checkers::kOtherMan},
         {{6, 2}, checkers::kOwnMan},
         {{7, 7}, checkers::kOtherKing}});
  Click(board, 6, 2);  // g3 cannot capture
  EXPECT_EQ(board.Path, "");
  Click(board, 0, 0);
  Click(board, 2, 2);
  EXPECT_EQ(board.Path, "a1-c3");  // complete already, yet it may go on
  Click(board, 4, 4);
  Click(board, 4, 4);
  EXPECT_EQ(At(1, 1), checkers::kEmpty);
  EXPECT_EQ(At(3, 3), checkers::kEmpty);
  EXPECT_EQ(At(4, 4), checkers::kOwnMan);
  EXPECT_EQ(answers, 1);
}

TEST_F(CheckersBoard, OnlyWhitePiecesUnderTheMouseChangeTheirPicture) {
  TCheckersBoardControl& board = Board();
  Place({{{0, 0}, checkers::kOwnMan},
         {{2, 0}, checkers::kOwnKing},
         {{5, 5}, checkers::kOtherMan},
         {{7, 7}, checkers::kOtherKing}});
  const std::pair<TPoint, int> cells[] = {{{0, 0}, 1}, {{2, 0}, 5}, {{5, 5}, 0}, {{7, 7}, 4}};
  Outside(board);
  const TBitmap picture = platform::GrabWindow(board);
  for (const auto& [square, cell] : cells) EXPECT_EQ(FigureOn(picture, square.X, square.Y), cell);
  EXPECT_EQ(FigureOn(picture, 1, 1), -1);

  const std::pair<TPoint, int> hovered[] = {{{0, 0}, 3}, {{2, 0}, 7}, {{5, 5}, 0}, {{7, 7}, 4}};
  for (const auto& [square, cell] : hovered) {
    On(board, square.X, square.Y);
    EXPECT_EQ(FigureOn(platform::GrabWindow(board), square.X, square.Y), cell);
  }
}

TEST_F(CheckersBoard, TheGameMayDestroyTheBoardWhileItAnswers) {
  TCheckersBoardControl& board = Board();
  checkersBoard.OnMove = [this] { Window().reset(); };
  Click(board, 2, 2);
  Click(board, 3, 3);
  board.OnMouseDown(On(board, 3, 3));
  EXPECT_EQ(Window(), nullptr);
}

TEST_F(CheckersBoard, WithoutFiguresItPaintsOnlyItsBackground) {
  auto& bare = Open<TCheckersBoardControl>("Bare", 1);
  Click(bare, 2, 2);
  EXPECT_EQ(bare.Path, "c3");
  const TBitmap picture = platform::GrabWindow(bare);
  for (int rank = 0; rank < 8; ++rank) {
    for (int file = 0; file < 8; ++file) EXPECT_EQ(FigureOn(picture, file, rank), -1);
  }
  EXPECT_FALSE(Marked(picture, 2, 2));
  EXPECT_EQ(picture.Pixel(60, 60), kBoardColor);
}

}  // namespace
}  // namespace boards_test
