#pragma once

#include <functional>
#include <memory>

#include "app/Entities.h"
#include "games/chess/ChessBoard.h"
#include "games/chess/ChessThinker.h"

// The chess game between the human (White) and the computer (Black),
// published on the entity bus as "Application.ChessBoard".
namespace chess {

// The game state the board control shows and plays on.
class TChessBoardEntity : public app::TEntity {
 public:
  TChessBoardEntity() { ClearLastMove(); }

  void ClearLastMove() { LastMove = {-1, -1, -1, -1, false}; }

  // Always stored with White as colour 1.
  TChessPosition Position;
  // Called by the board control once the human's move has been played.
  std::function<void()> OnMove;
  // The last move played, in the coordinates of Position; (-1,-1) squares
  // when no move has been played.
  TChessMove LastMove;
};

class TChessGame {
 public:
  static constexpr const char* kEntityName = "Application.ChessBoard";

  // Registers the board entity through the program's application object.
  TChessGame();
  ~TChessGame();
  TChessGame(const TChessGame&) = delete;
  TChessGame& operator=(const TChessGame&) = delete;

  void NewGame();
  // Answers the human's move with Black's and announces the end of the game.
  void ComputerMove();

  TChessBoardEntity& BoardEntity() { return *boardEntity_; }

 private:
  // Alerts the end of the game and runs "Chess.NewGame".
  void EndGame(const char* text);

  std::unique_ptr<TChessThinker> thinker_;
  std::unique_ptr<TChessBoardEntity> boardEntity_;
};

}  // namespace chess
