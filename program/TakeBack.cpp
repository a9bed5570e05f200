#include "program/TakeBack.h"

#include "games/checkers/CheckersGame.h"
#include "games/chess/ChessGame.h"
#include "program/Advantage.h"

namespace app {

TTakeBack::TTakeBack(TEntityManager& bus, chess::TChessGame& chess,
                     checkers::TCheckersGame& checkers)
    : bus_(&bus),
      chess_(&chess),
      checkers_(&checkers),
      entity_(std::make_unique<TBasicEntity>(0, 0, 0, MakeCallback<&TTakeBack::Run>(this))) {
  bus.RegisterEntity(kEntityName, entity_.get());
  chessMoves_.Subscribe(bus.GetHolder(chess::TChessGame::kMovesName),
                        MakeCallback<&TTakeBack::ChessPlayed>(this));
  checkersMoves_.Subscribe(bus.GetHolder(checkers::TCheckersGame::kMovesName),
                           MakeCallback<&TTakeBack::CheckersPlayed>(this));
  pages_.Subscribe(bus.GetHolder("Application.Game"),
                   MakeCallback<&TTakeBack::UpdateEnabled>(this));
  UpdateEnabled(bus.GetHolder(kEntityName));
}

TTakeBack::~TTakeBack() {
  chessMoves_.Cancel();
  checkersMoves_.Cancel();
  pages_.Cancel();
  bus_->UnregisterEntity(kEntityName, entity_);
}

bool TTakeBack::CheckersTargeted() const {
  if (const std::optional<TGameKind> shown = ShownGame(*bus_)) return *shown == TGameKind::Checkers;
  return checkersLastPlayed_;
}

void TTakeBack::Run(TEntityHolder&) {
  if (CheckersTargeted())
    checkers_->TakeBack();
  else
    chess_->TakeBack();
}

void TTakeBack::ChessPlayed(TEntityHolder& sender) {
  checkersLastPlayed_ = false;
  UpdateEnabled(sender);
}

void TTakeBack::CheckersPlayed(TEntityHolder& sender) {
  checkersLastPlayed_ = true;
  UpdateEnabled(sender);
}

void TTakeBack::UpdateEnabled(TEntityHolder&) {
  const bool enabled = CheckersTargeted() ? checkers_->CanTakeBack() : chess_->CanTakeBack();
  if (enabled == entity_->Enabled) return;
  entity_->Enabled = enabled;
  bus_->Notify(kEntityName);
}

}  // namespace app
