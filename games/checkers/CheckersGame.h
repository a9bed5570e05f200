#pragma once

#include <functional>
#include <memory>

#include "app/AppCore.h"
#include "app/Entities.h"
#include "games/checkers/CheckersBoard.h"

// The checkers game between the human (White) and the computer (Black),
// published on the entity bus as "Application.CheckersBoard".
namespace checkers {

// The game's board as the board control sees it.
class TCheckersBoardEntity : public app::TEntity {
 public:
  // Always stored with White as the side to move.
  TCheckersPosition Position;
  // Called by the board control once the human's move has been played on
  // Position.
  std::function<void()> OnMove;
};

class TCheckersGame : public app::TAppObject {
 public:
  static constexpr const char* kEntityName = "Application.CheckersBoard";

  explicit TCheckersGame(app::TAppCore& application) : TAppObject(application) {}

  // Creates the board entity and registers it (notifying the name's clients).
  void Init() override;
  // Unregisters the board entity (notifying the clients) and frees it.
  void Done() override;

  void NewGame();
  // Answers the human's move with Black's and announces the end of the game:
  // "White win!" when Black cannot move, "Black win!" when White cannot move
  // after Black's answer.
  void ComputerMove();

  TCheckersBoardEntity* BoardEntity() const { return boardEntity_.get(); }

 private:
  std::unique_ptr<TCheckersBoardEntity> boardEntity_;
};

}  // namespace checkers
