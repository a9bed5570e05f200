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
using platform::TMouseButton;

// Cells of the figures pack: row type - 1, column White + 2 x highlighted.
constexpr int Cell(chess::TPieceType type, bool white, bool highlighted = false) {
  return (type - 1) * 4 + (white ? 1 : 0) + (highlighted ? 2 : 0);
}

class ChessBoard : public BoardFixture {
 protected:
  TChessBoardControl& Board() { return Open<TChessBoardControl>("Chess"); }

  void Press(TChessBoardControl& board, int file, int rank,
             TMouseButton button = TMouseButton::Left) {
    board.OnMouseDown(Event(Point(board, file, rank), button));
  }
  void MoveTo(TChessBoardControl& board, int file, int rank) {
    board.OnMouseMove(Event(Point(board, file, rank)));
  }
  void Release(TChessBoardControl& board, int file, int rank) {
    board.OnMouseUp(Event(Point(board, file, rank)));
  }
  // Drags the piece on `from` and lets it go on `to`.
  void Drag(TChessBoardControl& board, TPoint from, TPoint to) {
    Press(board, from.X, from.Y);
    MoveTo(board, to.X, to.Y);
    Release(board, to.X, to.Y);
  }
  std::vector<std::string> WhiteMoves(const TLogCapture& log) {
    std::vector<std::string> moves;
    for (const std::string& line : log.Messages()) {
      if (line.rfind("=WhiteMove: ", 0) == 0) moves.push_back(line);
    }
    return moves;
  }
};

TEST_F(ChessBoard, LoadsItsPacksBuildsTwelveDragPicturesAndNeverDragsTheWindow) {
  TChessBoardControl& board = Board();
  EXPECT_NE(board.FiguresPack, nullptr);
  EXPECT_NE(board.SquaresPack, nullptr);
  EXPECT_EQ(board.BoardEntity, &chessBoard);
  EXPECT_FALSE(board.Draggable);
  EXPECT_TRUE(board.Enabled());
  EXPECT_EQ(board.Hint(), "");
  ASSERT_EQ(board.DragImages.size(), 12u);
  // Entry colour x 6 + type - 1 shows figures cell (type - 1) x 4 + colour
  // on the key colour.
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

  MoveTo(board, 4, 1);
  TBitmap picture = platform::GrabWindow(board);
  EXPECT_EQ(board.HoverSquare, (TPoint{4, 1}));
  EXPECT_EQ(FigureOn(picture, 4, 1), Cell(chess::kPawn, true, true));
  EXPECT_EQ(FigureOn(picture, 3, 1), Cell(chess::kPawn, true));
  // The last move's target is highlighted whatever its colour.
  EXPECT_EQ(FigureOn(picture, 4, 4), Cell(chess::kPawn, false, true));
  EXPECT_EQ(FigureOn(picture, 4, 7), Cell(chess::kKing, false));
  EXPECT_EQ(FigureOn(picture, 4, 3), -1);

  // A Black piece under the mouse is never highlighted.
  MoveTo(board, 3, 6);
  picture = platform::GrabWindow(board);
  EXPECT_EQ(FigureOn(picture, 3, 6), Cell(chess::kPawn, false));
  EXPECT_EQ(FigureOn(picture, 4, 1), Cell(chess::kPawn, true));

  MoveTo(board, 6, 0);
  EXPECT_EQ(FigureOn(platform::GrabWindow(board), 6, 0), Cell(chess::kKnight, true, true));
  PointOutside(board);
  board.OnMouseLeave();
  picture = platform::GrabWindow(board);
  EXPECT_EQ(board.HoverSquare, boards::kNoSquare);
  EXPECT_EQ(FigureOn(picture, 6, 0), Cell(chess::kKnight, true));
}

TEST_F(ChessBoard, PressesOnBlackPiecesOrEmptySquaresLiftNothing) {
  TChessBoardControl& board = Board();
  const chess::TChessPosition start = chessBoard.Position;
  for (const TPoint square : {TPoint{4, 6}, TPoint{4, 3}, TPoint{0, 7}}) {
    Press(board, square.X, square.Y);
    EXPECT_FALSE(board.DraggingPiece) << square.X << "," << square.Y;
    Release(board, square.X, square.Y);
  }
  EXPECT_EQ(chessBoard.Position, start);
  EXPECT_EQ(answers, 0);
}

TEST_F(ChessBoard, ADraggedPieceLeavesItsSquareAndItsLegalTargetsAreMarked) {
  TChessBoardControl& board = Board();
  Press(board, 6, 0);  // the knight on g1
  ASSERT_TRUE(board.DraggingPiece);
  EXPECT_EQ(board.DragPiece, chess::MakePiece(chess::kKnight, chess::kSideToMove));
  ASSERT_EQ(board.Targets.size(), 2u);

  MoveTo(board, 1, 0);  // over the other knight: no hover highlight while dragging
  const TBitmap picture = platform::GrabWindow(board);
  EXPECT_EQ(FigureOn(picture, 6, 0), -1);
  EXPECT_EQ(FigureOn(picture, 1, 0), Cell(chess::kKnight, true));
  for (int rank = 0; rank < 8; ++rank) {
    for (int file = 0; file < 8; ++file) {
      const bool target = rank == 2 && (file == 5 || file == 7);
      EXPECT_EQ(Marked(picture, file, rank), target) << file << "," << rank;
    }
  }
  EXPECT_EQ(picture.Pixel(5 * 27 + 1, 5 * 27 + 1), SquareColor((5 + 2) % 2));
}

TEST_F(ChessBoard, DropsOnTheStartSquareAnIllegalSquareOrOutsideChangeNothingAndLogNothing) {
  TLogCapture log;
  TChessBoardControl& board = Board();
  const chess::TChessPosition start = chessBoard.Position;
  const chess::TChessMove noMove = chessBoard.LastMove;

  Drag(board, {4, 1}, {4, 1});
  Drag(board, {4, 1}, {4, 4});
  Press(board, 4, 1);
  PointOutside(board);
  board.OnMouseUp(Event({300, 5}));

  EXPECT_FALSE(board.DraggingPiece);
  EXPECT_EQ(chessBoard.Position, start);
  EXPECT_EQ(chessBoard.LastMove, noMove);
  EXPECT_TRUE(WhiteMoves(log).empty());
  EXPECT_EQ(answers, 0);
}

TEST_F(ChessBoard, ALegalDropPlaysTheMoveLogsItAndLetsTheGameAnswerOnce) {
  TLogCapture log;
  TChessBoardControl& board = Board();
  Drag(board, {4, 1}, {4, 3});

  EXPECT_EQ(PositionToText(chessBoard.Position),
            "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR KQkq e3");
  EXPECT_EQ(chessBoard.LastMove, (chess::TChessMove{4, 1, 4, 3, false}));
  EXPECT_EQ(board.HoverSquare, (TPoint{4, 3}));
  EXPECT_EQ(WhiteMoves(log), std::vector<std::string>{"=WhiteMove: E2-E4"});
  EXPECT_EQ(answers, 1);
}

TEST_F(ChessBoard, CastlingPromotionAndCapturesPlayAsTheRulesSay) {
  TLogCapture log;
  TChessBoardControl& board = Board();
  chessBoard.Position = PositionFromText("r3k2r/8/8/8/8/8/8/R3K2R KQkq -");
  Drag(board, {4, 0}, {6, 0});
  EXPECT_EQ(PositionToText(chessBoard.Position), "r3k2r/8/8/8/8/8/8/R4RK1 kq -");

  chessBoard.Position = PositionFromText("4k3/P7/8/8/8/8/8/4K3 - -");
  Drag(board, {0, 6}, {0, 7});
  EXPECT_EQ(chessBoard.Position.GetSquare({0, 7}),
            chess::MakePiece(chess::kQueen, chess::kSideToMove));

  chessBoard.Position = PositionFromText("4k3/8/8/3p4/4P3/8/8/4K3 - -");
  Drag(board, {4, 3}, {3, 4});
  EXPECT_EQ(chessBoard.Position.GetSquare({3, 4}),
            chess::MakePiece(chess::kPawn, chess::kSideToMove));

  EXPECT_EQ(WhiteMoves(log), (std::vector<std::string>{"=WhiteMove: E1-G1", "=WhiteMove: A7-A8",
                                                       "=WhiteMove: E4:D5"}));
  EXPECT_EQ(answers, 3);
}

TEST_F(ChessBoard, ARightPressDropsThePieceLikeARelease) {
  TChessBoardControl& board = Board();
  Press(board, 6, 0);
  MoveTo(board, 5, 2);
  Press(board, 5, 2, TMouseButton::Right);
  EXPECT_FALSE(board.DraggingPiece);
  EXPECT_EQ(chessBoard.Position.GetSquare({5, 2}),
            chess::MakePiece(chess::kKnight, chess::kSideToMove));
  EXPECT_EQ(answers, 1);
  // The release that follows plays nothing more.
  Release(board, 5, 2);
  EXPECT_EQ(answers, 1);
}

TEST_F(ChessBoard, APositionReplacedDuringADragIsLeftAsItIs) {
  TChessBoardControl& board = Board();
  chessBoard.Position = PositionFromText("4k3/8/8/8/3Q4/8/8/4K3 - -");
  Press(board, 3, 3);
  ASSERT_TRUE(board.DraggingPiece);
  // A notice that changes nothing keeps the drag going.
  entities.Notify("Application.ChessBoard");
  EXPECT_TRUE(board.DraggingPiece);

  // A new game: the lifted queen belongs to the old position.
  chessBoard.Position.SetStartPosition();
  entities.Notify("Application.ChessBoard");
  EXPECT_FALSE(board.DraggingPiece);
  Release(board, 3, 4);
  EXPECT_EQ(chessBoard.Position, chess::TChessPosition());
  EXPECT_EQ(answers, 0);
}

TEST_F(ChessBoard, ASecondPressBeforeTheDropPutsTheFirstPieceBack) {
  TChessBoardControl& board = Board();
  const chess::TChessPosition start = chessBoard.Position;
  Press(board, 6, 0);
  Press(board, 4, 1);
  EXPECT_EQ(board.DragFrom, (TPoint{4, 1}));
  EXPECT_EQ(chessBoard.Position.GetSquare({6, 0}), start.GetSquare({6, 0}));
  Release(board, 4, 1);
  EXPECT_EQ(chessBoard.Position, start);
}

TEST_F(ChessBoard, TheGameMayDestroyTheBoardWhileItAnswers) {
  TChessBoardControl& board = Board();
  chessBoard.OnMove = [this] { Window().reset(); };
  Drag(board, {4, 1}, {4, 3});
  EXPECT_EQ(Window(), nullptr);
}

TEST_F(ChessBoard, WithoutFiguresOrWithAForeignEntityItOnlyPaintsItsBackground) {
  auto& bare = Open<TChessBoardControl>("Bare");
  EXPECT_EQ(bare.FiguresPack, nullptr);
  EXPECT_TRUE(bare.DragImages.empty());
  EXPECT_EQ(bare.Hint(), "");
  Press(bare, 4, 1);  // lifts the pawn, with no picture to show
  EXPECT_TRUE(bare.DraggingPiece);
  Release(bare, 4, 3);
  EXPECT_EQ(answers, 1);
  EXPECT_EQ(FigureOn(platform::GrabWindow(bare), 4, 3), -1);

  // A skin may link the board to an entity of another kind.
  app::TBasicEntity other(0, 0, 1);
  entities.UnregisterEntity("Application.ChessBoard");
  entities.RegisterEntity("Application.ChessBoard", &other);
  TChessBoardControl& board = Board();
  EXPECT_EQ(board.BoardEntity, nullptr);
  Press(board, 4, 1);
  EXPECT_FALSE(board.DraggingPiece);
  const TBitmap picture = platform::GrabWindow(board);
  EXPECT_EQ(FigureOn(picture, 4, 1), -1);
  EXPECT_EQ(picture.Pixel(20, 20), kBoardColor);
  Window().reset();
  entities.UnregisterEntity("Application.ChessBoard");
}

}  // namespace
}  // namespace boards_test
