#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "games/boards/BoardControls.h"
#include "games/boards/BoardGeometry.h"
#include "games/checkers/CheckersGame.h"
#include "games/chess/ChessGame.h"
#include "platform/Screen.h"
#include "platform/Snapshot.h"
#include "tests/controls/SkinFixture.h"

// A skin made in memory whose pictures tell what was drawn where: every
// cell of the figures pack has its own colour in its middle and the mask
// colour around it, so that the square beneath shows at the corners.
namespace boards_test {

using platform::TBitmap;
using platform::TColor;
using platform::TPoint;

constexpr TColor kMask = platform::RGB(0, 0, 255);
constexpr TColor kBoardColor = platform::RGB(90, 90, 90);
constexpr int kCells = 24;

constexpr TColor FigureColor(int cell) {
  return platform::RGB(static_cast<std::uint8_t>(20 + 9 * cell), 40, 60);
}
constexpr TColor SquareColor(int cell) {
  return cell == 0 ? platform::RGB(200, 200, 0) : platform::RGB(0, 200, 200);
}

// The board at (0,0), the 4 x 6 figures to its right, the two square
// highlights below them.
inline TBitmap BoardArt() {
  constexpr int kSide = boards::kSquareSize;
  TBitmap art(boards::kBoardSize + 4 * kSide, boards::kBoardSize);
  art.Fill(kBoardColor);
  for (int cell = 0; cell < kCells; ++cell) {
    const int left = boards::kBoardSize + (cell % 4) * kSide;
    const int top = (cell / 4) * kSide;
    for (int y = 0; y < kSide; ++y) {
      for (int x = 0; x < kSide; ++x) {
        const bool middle = x >= 8 && x < 19 && y >= 8 && y < 19;
        art.SetPixel(left + x, top + y, middle ? FigureColor(cell) : kMask);
      }
    }
  }
  for (int cell = 0; cell < 2; ++cell) {
    for (int y = 0; y < kSide; ++y) {
      for (int x = 0; x < kSide; ++x)
        art.SetPixel(boards::kBoardSize + cell * kSide + x, 6 * kSide + y, SquareColor(cell));
    }
  }
  return art;
}

class BoardFixture : public controls_test::SkinFixture {
 protected:
  static constexpr TPoint kFormAt{140, 90};

  void SetUp() override {
    pack.AddBitmap("art.bmp", BoardArt());
    boards::RegisterBoardControls(skin);
    chessBoard.OnMove = [this] { ++answers; };
    checkersBoard.OnMove = [this] { ++answers; };
    entities.RegisterEntity("Application.ChessBoard", &chessBoard);
    entities.RegisterEntity("Application.CheckersBoard", &checkersBoard);
    Load(R"(<SKIN><IMAGE id="T" file="art.bmp">
          <AREA id="Board" pos="0,0" size="216,216"/>
          <AREA id="Figures" pos="216,0" size="27,27" repeat="4,6" mask="Color,Blue"/>
          <AREA id="Squares" pos="216,162" size="27,27" repeat="2,1"/></IMAGE>
        <WINDOW id="Chess" size="216,216"><CHESSBOARD pos="0,0" size="216,216" bg="T.Board"
          figures="T.Figures" squares="T.Squares" link="Application.ChessBoard"/></WINDOW>
        <WINDOW id="Checkers" size="216,216"><CHECKERSBOARD pos="0,0" size="216,216" bg="T.Board"
          figures="T.Figures" squares="T.Squares" link="Application.CheckersBoard"/></WINDOW>
        <WINDOW id="Bare" size="216,216"><CHESSBOARD pos="0,0" size="216,216" bg="T.Board"
          link="Application.ChessBoard" hint="Play"/><CHECKERSBOARD pos="0,0" size="216,216"
          bg="T.Board" link="Application.CheckersBoard"/></WINDOW></SKIN>)");
  }

  void TearDown() override {
    window_.reset();
    entities.UnregisterEntity("Application.ChessBoard");
    entities.UnregisterEntity("Application.CheckersBoard");
  }

  // The window and its first control as the board class.
  template <class TBoard>
  TBoard& Open(const std::string& id) {
    window_ = Build(id);
    window_->Form().SetPosition(kFormAt.X, kFormAt.Y);
    return dynamic_cast<TBoard&>(*window_->Controls().at(0));
  }
  std::unique_ptr<controls::TSkinWindow>& Window() { return window_; }

  chess::TChessBoardEntity chessBoard;
  checkers::TCheckersBoardEntity checkersBoard;
  // Calls of either entity's OnMove.
  int answers = 0;

  // Puts the cursor on the middle of the square of the control; returns
  // that point in the control's pixels.
  static TPoint Point(const platform::TWindowBase& control, int file, int rank) {
    const platform::TRect square = boards::SquareRect(file, rank);
    const TPoint client{square.Left + 13, square.Top + 13};
    const platform::TRect screen = control.ScreenRect();
    platform::SetCursorPos({screen.Left + client.X, screen.Top + client.Y});
    return client;
  }
  static void PointOutside(const platform::TWindowBase& control) {
    const platform::TRect screen = control.ScreenRect();
    platform::SetCursorPos({screen.Right + 5, screen.Top + 5});
  }
  static platform::TMouseEvent Event(TPoint client,
                                     platform::TMouseButton button = platform::TMouseButton::Left) {
    platform::TMouseEvent event;
    event.Button = button;
    event.Client = client;
    return event;
  }

  // The figures cell drawn on the square, -1 for none.
  static int FigureOn(const TBitmap& picture, int file, int rank) {
    const platform::TRect square = boards::SquareRect(file, rank);
    const TColor color = picture.Pixel(square.Left + 13, square.Top + 13);
    for (int cell = 0; cell < kCells; ++cell) {
      if (color == FigureColor(cell)) return cell;
    }
    return -1;
  }
  // Whether a square highlight is drawn under the square's figure.
  static bool Marked(const TBitmap& picture, int file, int rank) {
    const platform::TRect square = boards::SquareRect(file, rank);
    const TColor color = picture.Pixel(square.Left + 1, square.Top + 1);
    return color == SquareColor(0) || color == SquareColor(1);
  }

 private:
  std::unique_ptr<controls::TSkinWindow> window_;
};

}  // namespace boards_test
