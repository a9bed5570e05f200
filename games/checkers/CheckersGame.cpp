#include "games/checkers/CheckersGame.h"

#include <string>

#include "games/checkers/CheckersThinker.h"

namespace checkers {

void TCheckersGame::Init() {
  boardEntity_ = std::make_unique<TCheckersBoardEntity>();
  boardEntity_->OnMove = [this] { ComputerMove(); };
  EntityManager()->RegisterEntity(kEntityName, boardEntity_.get());
}

void TCheckersGame::Done() {
  if (!boardEntity_) return;
  EntityManager()->RegisterEntity(kEntityName, nullptr);
  boardEntity_.reset();
}

void TCheckersGame::NewGame() {
  if (!boardEntity_) return;
  boardEntity_->Position.SetStartPosition();
  EntityManager()->Notify(kEntityName);
}

void TCheckersGame::ComputerMove() {
  if (!boardEntity_) return;
  // The thinker is freed on every way out, an alert that throws included.
  const auto thinker = std::make_unique<TCheckersThinker>();
  thinker->Position = boardEntity_->Position;
  thinker->Position.Flip();
  if (thinker->HasNoMoves()) {
    Application().Alert("White win!");
    return;
  }
  thinker->Position.ApplyMove(thinker->GetBestMove());
  thinker->Position.Flip();
  boardEntity_->Position = thinker->Position;
  if (thinker->HasNoMoves()) Application().Alert("Black win!");
}

}  // namespace checkers
