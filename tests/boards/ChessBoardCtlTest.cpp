#include "games/boards/ChessBoardCtl.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BoardFixture.h"
#include "tests/app/LogCapture.h"

namespace boards_test {
namespace {

using boards::TChessBoardControl;
using chess::PositionFromText;
using chess::PositionToText;

// Figures cells: row type - 1, column White + 2 x highlighted.
constexpr int Cell(chess::TPieceType type, bool white, bool highlighted = false) {
  return (type - 1) * 4 + (white ? 1 : 0) + (highlighted ? 2 : 0);
}

class ChessBoard : public BoardFixture {
 protected:
  TChessBoardControl& Board() { return Open<TChessBoardControl>("Chess"); }

  // Lifts the piece on `from`, moves over `to` and lets go there.
  void Drag(TChessBoardControl& board, TPoint from, TPoint to) {
    board.OnMouseDown(On(board, from.X, from.Y));
    board.OnMouseMove(On(board, to.X, to.Y));
    board.OnMouseUp(On(board, to.X, to.Y));
  }
  static std::vector<std::string> WhiteMoves(const TLogCapture& log) {
    std::vector<std::string> moves;
    for (const std::string& line : log.Messages()) {
      if (line.rfind("=WhiteMove: ", 0) == 0) moves.push_back(line);
    }
    return moves;
  }
};

TEST_F(ChessBoard, DragPicturesAreTheFiguresOnTheKeyColourBlackPiecesFirst) {
  TChessBoardControl& board = Board();
  ASSERT_EQ(board.DragImages.size(), 12u);
  const TBitmap& whiteQueen = board.DragImages[6 + chess::kQueen - 1];
  EXPECT_EQ(whiteQueen.Pixel(13, 13), FigureColor(Cell(chess::kQueen, true)));
  EXPECT_EQ(whiteQueen.Pixel(0, 0), TChessBoardControl::kDragKeyColor);
  EXPECT_EQ(whiteQueen.TransparentColor(), TChessBoardControl::kDragKeyColor);
  EXPECT_EQ(board.DragImages[chess::kPawn - 1].Pixel(13, 13),
            FigureColor(Cell(chess::kPawn, false)));
}

TEST_F(ChessBoard, HighlightsTheWhitePieceUnderTheMouseAndTheLastMoveTargetUntilTheMouseLeaves) {
  TChessBoardControl& board = Board();
  chessBoard.LastMove = {4, 6, 4, 4, false};  // ...E7-E5
  chessBoard.Position = PositionFromText("rnbqkbnr/pppp1ppp/8/4p3/8/8/PPPPPPPP/RNBQKBNR KQkq -");

  board.OnMouseMove(On(board, 4, 1));
  TBitmap picture = platform::GrabWindow(board);
  EXPECT_EQ(FigureOn(picture, 4, 1), Cell(chess::kPawn, true, true));
  EXPECT_EQ(FigureOn(picture, 3, 1), Cell(chess::kPawn, true));
  EXPECT_EQ(FigureOn(picture, 4, 4), Cell(chess::kPawn, false, true));
  EXPECT_EQ(FigureOn(picture, 4, 7), Cell(chess::kKing, false));
  EXPECT_EQ(FigureOn(picture, 4, 3), -1);

  board.OnMouseMove(On(board, 3, 6));  // a Black piece never lights up
  picture = platform::GrabWindow(board);
  EXPECT_EQ(FigureOn(picture, 3, 6), Cell(chess::kPawn, false));
  EXPECT_EQ(FigureOn(picture, 4, 1), Cell(chess::kPawn, true));

  board.OnMouseMove(On(board, 6, 0));
  EXPECT_EQ(FigureOn(platform::GrabWindow(board), 6, 0), Cell(chess::kKnight, true, true));
  Outside(board);
  board.OnMouseLeave();
  picture = platform::GrabWindow(board);
  EXPECT_EQ(board.HoverSquare, boards::kNoSquare);
  EXPECT_EQ(FigureOn(picture, 6, 0), Cell(chess::kKnight, true));
}

TEST_F(ChessBoard, ADraggedPieceLeavesItsSquareAndItsLegalTargetsAreMarked) {
  TChessBoardControl& board = Board();
  for (const TPoint square : {TPoint{4, 6}, TPoint{4, 3}}) {  // Black pieces, empty squares
    board.OnMouseDown(On(board, square.X, square.Y));
    EXPECT_FALSE(board.DraggingPiece);
  }
  EXPECT_EQ(chessBoard.Position, chess::TChessPosition());

  board.OnMouseDown(On(board, 6, 0));  // the knight on g1
  ASSERT_TRUE(board.DraggingPiece);
  board.OnMouseMove(On(board, 1, 0));  // no hover highlight while dragging
  const TBitmap picture = platform::GrabWindow(board);
  EXPECT_EQ(FigureOn(picture, 6, 0), -1);
  EXPECT_EQ(FigureOn(picture, 1, 0), Cell(chess::kKnight, true));
  for (int rank = 0; rank < 8; ++rank) {
    for (int file = 0; file < 8; ++file) {
      const bool target = rank == 2 && (file == 5 || file == 7);
      EXPECT_EQ(Marked(picture, file, rank), target) << file << "," << rank;
    }
  }
}

TEST_F(ChessBoard, DropsOnTheStartSquareAnIllegalSquareOrOutsideChangeNothingAndLogNothing) {
  TLogCapture log;
  TChessBoardControl& board = Board();
  const chess::TChessMove noMove = chessBoard.LastMove;
  Drag(board, {4, 1}, {4, 1});
  Drag(board, {4, 1}, {4, 4});
  board.OnMouseDown(On(board, 4, 1));
  board.OnMouseUp(Outside(board));

  EXPECT_FALSE(board.DraggingPiece);
  EXPECT_EQ(chessBoard.Position, chess::TChessPosition());
  EXPECT_EQ(chessBoard.LastMove, noMove);
  EXPECT_TRUE(WhiteMoves(log).empty());
  EXPECT_EQ(answers, 0);
}

TEST_F(ChessBoard, LegalDropsPlayAsTheRulesSayLogTheMoveAndLetTheGameAnswer) {
  TLogCapture log;
  TChessBoardControl& board = Board();
  Drag(board, {4, 1}, {4, 3});
  EXPECT_EQ(PositionToText(chessBoard.Position),
            "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR KQkq e3");
  EXPECT_EQ(chessBoard.LastMove, (chess::TChessMove{4, 1, 4, 3, false}));
  EXPECT_EQ(answers, 1);

  chessBoard.Position = PositionFromText("r3k2r/8/8/8/8/8/8/R3K2R KQkq -");
  Drag(board, {4, 0}, {6, 0});
  EXPECT_EQ(PositionToText(chessBoard.Position), "r3k2r/8/8/8/8/8/8/R4RK1 kq -");

  chessBoard.Position = PositionFromText("4k3/P7/8/8/8/8/8/4K3 - -");
  Drag(board, {0, 6}, {0, 7});
  EXPECT_EQ(PositionToText(chessBoard.Position), "Q3k3/8/8/8/8/8/8/4K3 - -");

  // A right press drops the piece like a release; the release after it
  // plays nothing more.
  chessBoard.Position = PositionFromText("4k3/8/8/3p4/4P3/8/8/4K3 - -");
  board.OnMouseDown(On(board, 4, 3));
  board.OnMouseDown(On(board, 3, 4, TMouseButton::Right));
  board.OnMouseUp(On(board, 3, 4));
  EXPECT_EQ(PositionToText(chessBoard.Position), "4k3/8/8/3P4/8/8/8/4K3 - -");

  EXPECT_EQ(WhiteMoves(log), (std::vector<std::string>{"=WhiteMove: E2-E4", "=WhiteMove: E1-G1",
                                                       "=WhiteMove: A7-A8", "=WhiteMove: E4:D5"}));
  EXPECT_EQ(answers, 4);
}

TEST_F(ChessBoard, ALiftedPieceIsNeverLostNorAddedToAnotherPosition) {
  TChessBoardControl& board = Board();
  // A second press before any drop puts the first piece back.
  board.OnMouseDown(On(board, 6, 0));
  board.OnMouseDown(On(board, 4, 1));
  board.OnMouseUp(On(board, 4, 1));
  EXPECT_EQ(chessBoard.Position, chess::TChessPosition());

  chessBoard.Position = PositionFromText("4k3/8/8/8/3Q4/8/8/4K3 - -");
  board.OnMouseDown(On(board, 3, 3));
  entities.Notify("Application.ChessBoard");  // nothing changed: the drag goes on
  EXPECT_TRUE(board.DraggingPiece);
  // A new game: the lifted queen belongs to the old position.
  chessBoard.Position.SetStartPosition();
  entities.Notify("Application.ChessBoard");
  EXPECT_FALSE(board.DraggingPiece);
  board.OnMouseUp(On(board, 3, 4));
  EXPECT_EQ(chessBoard.Position, chess::TChessPosition());
  EXPECT_EQ(answers, 0);
}

TEST_F(ChessBoard, TheGameMayDestroyTheBoardWhileItAnswers) {
  TChessBoardControl& board = Board();
  chessBoard.OnMove = [this] { Window().reset(); };
  Drag(board, {4, 1}, {4, 3});
  EXPECT_EQ(Window(), nullptr);
}

TEST_F(ChessBoard, WithoutFiguresOrWithAForeignEntityItOnlyPaintsItsBackground) {
  auto& bare = Open<TChessBoardControl>("Bare");
  EXPECT_EQ(bare.Hint(), "");
  Drag(bare, {4, 1}, {4, 3});  // playable, with no picture to drag
  EXPECT_EQ(answers, 1);
  EXPECT_EQ(FigureOn(platform::GrabWindow(bare), 4, 3), -1);

  app::TBasicEntity other(0, 0, 1);
  entities.UnregisterEntity("Application.ChessBoard");
  entities.RegisterEntity("Application.ChessBoard", &other);
  TChessBoardControl& board = Board();
  board.OnMouseDown(On(board, 4, 1));
  EXPECT_FALSE(board.DraggingPiece);
  const TBitmap picture = platform::GrabWindow(board);
  EXPECT_EQ(FigureOn(picture, 4, 1), -1);
  EXPECT_EQ(picture.Pixel(20, 20), kBoardColor);
  Window().reset();
  entities.UnregisterEntity("Application.ChessBoard");
}

}  // namespace
}  // namespace boards_test
