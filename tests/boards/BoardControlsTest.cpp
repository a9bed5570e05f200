#include "games/boards/BoardControls.h"

#include <gtest/gtest.h>

#include "BoardFixture.h"
#include "games/boards/CheckersBoardCtl.h"
#include "games/boards/ChessBoardCtl.h"
#include "platform/Resources.h"

namespace boards_test {
namespace {

// The first control of the class below `root`, depth first.
template <class TBoard>
TBoard* FindBoard(const controls::TKestControl& root) {
  for (const auto& child : root.Controls()) {
    if (auto* board = dynamic_cast<TBoard*>(child.get())) return board;
    if (auto* deeper = FindBoard<TBoard>(*child)) return deeper;
  }
  return nullptr;
}

TEST_F(BoardFixture, TheBuiltInSkinPlacesBothBoardsWithItsPictures) {
  const auto stream = platform::OpenResource("DefSkin");
  ASSERT_NE(stream, nullptr);
  skin.LoadFromZIP(*stream);
  const auto window = Build("Main");
  ASSERT_NE(window, nullptr);

  const auto* chess = FindBoard<boards::TChessBoardControl>(*window);
  ASSERT_NE(chess, nullptr);
  EXPECT_EQ(chess->BoardEntity, &chessBoard);
  EXPECT_NE(chess->SquaresPack, nullptr);
  EXPECT_EQ(chess->DragImages.size(), 12u);
  EXPECT_EQ(chess->BoundsRect(), (platform::TRect{0, 0, 216, 216}));

  const auto* checkers = FindBoard<boards::TCheckersBoardControl>(*window);
  ASSERT_NE(checkers, nullptr);
  EXPECT_EQ(checkers->BoardEntity, &checkersBoard);
  EXPECT_NE(checkers->FiguresPack, nullptr);
  EXPECT_NE(checkers->SquaresPack, nullptr);
}

}  // namespace
}  // namespace boards_test
