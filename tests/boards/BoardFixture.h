#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "games/boards/BoardControls.h"
#include "games/boards/BoardGeometry.h"
#include "games/checkers/CheckersGame.h"
#include "games/chess/ChessGame.h"
#include "platform/Canvas.h"
#include "platform/Screen.h"
#include "platform/Snapshot.h"
#include "tests/controls/SkinFixture.h"

// A skin made in memory whose pictures tell what was drawn where: every
// figures cell has a colour of its own in its middle and the mask colour
// around it, so that a square highlight beneath shows at the corners.
namespace boards_test {

using platform::TBitmap;
using platform::TColor;
using platform::TMouseButton;
using platform::TPoint;

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
  platform::TCanvas canvas(art);
  for (int cell = 0; cell < kCells; ++cell) {
    const TPoint at{boards::kBoardSize + (cell % 4) * kSide, (cell / 4) * kSide};
    canvas.FillRect(platform::Bounds(at.X, at.Y, kSide, kSide), platform::RGB(0, 0, 255));
    canvas.FillRect(platform::Bounds(at.X + 8, at.Y + 8, 11, 11), FigureColor(cell));
  }
  for (int cell = 0; cell < 2; ++cell) {
    canvas.FillRect(platform::Bounds(boards::kBoardSize + cell * kSide, 6 * kSide, kSide, kSide),
                    SquareColor(cell));
  }
  return art;
}

// Both boards linked to entities of their own; every OnMove is counted.
class BoardFixture : public controls_test::SkinFixture {
 protected:
  void SetUp() override {
    pack.AddBitmap("art.bmp", BoardArt());
    boards::RegisterBoardControls(skin);
    chessBoard.OnMove = [this] { ++answers; };
    checkersBoard.OnMove = [this] { ++answers; };
    entities.RegisterEntity("Application.ChessBoard", &chessBoard);
    entities.RegisterEntity("Application.CheckersBoard", &checkersBoard);
    const std::string board = R"( pos="0,0" size="216,216" bg="T.Board" )";
    const std::string art = R"(figures="T.Figures" squares="T.Squares" )";
    Load(R"(<SKIN><IMAGE id="T" file="art.bmp"><AREA id="Board" pos="0,0" size="216,216"/>
          <AREA id="Figures" pos="216,0" size="27,27" repeat="4,6" mask="Color,Blue"/>
          <AREA id="Squares" pos="216,162" size="27,27" repeat="2,1"/></IMAGE>
        <WINDOW id="Chess" size="216,216"><CHESSBOARD)" +
         board + art + R"(link="Application.ChessBoard"/></WINDOW>
        <WINDOW id="Checkers" size="216,216"><CHECKERSBOARD)" +
         board + art + R"(link="Application.CheckersBoard"/></WINDOW>
        <WINDOW id="Bare" size="216,216"><CHESSBOARD)" +
         board + R"(link="Application.ChessBoard" hint="Play"/><CHECKERSBOARD)" + board +
         R"(link="Application.CheckersBoard"/></WINDOW></SKIN>)");
  }
  void TearDown() override {
    window_.reset();
    entities.UnregisterEntity("Application.ChessBoard");
    entities.UnregisterEntity("Application.CheckersBoard");
  }

  // Builds the window; its control at `index` as the board class.
  template <class TBoard>
  TBoard& Open(const std::string& id, std::size_t index = 0) {
    window_ = Build(id);
    window_->Form().SetPosition(140, 90);
    return dynamic_cast<TBoard&>(*window_->Controls().at(index));
  }
  std::unique_ptr<controls::TSkinWindow>& Window() { return window_; }

  // Puts the cursor on the middle of the square and gives the mouse event
  // there, in the control's pixels.
  static platform::TMouseEvent On(const platform::TWindowBase& control, int file, int rank,
                                  TMouseButton button = TMouseButton::Left) {
    const platform::TRect square = boards::SquareRect(file, rank);
    platform::TMouseEvent event;
    event.Button = button;
    event.Client = {square.Left + 13, square.Top + 13};
    const platform::TRect screen = control.ScreenRect();
    platform::SetCursorPos({screen.Left + event.Client.X, screen.Top + event.Client.Y});
    return event;
  }
  static platform::TMouseEvent Outside(const platform::TWindowBase& control) {
    platform::TMouseEvent event;
    event.Client = {control.Width() + 5, 5};
    const platform::TRect screen = control.ScreenRect();
    platform::SetCursorPos({screen.Right + 5, screen.Top + 5});
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

  chess::TChessBoardEntity chessBoard;
  checkers::TCheckersBoardEntity checkersBoard;
  int answers = 0;

 private:
  std::unique_ptr<controls::TSkinWindow> window_;
};

}  // namespace boards_test
