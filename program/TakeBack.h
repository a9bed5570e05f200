#pragma once

#include <memory>

#include "app/Entities.h"
#include "program/GamesFwd.h"

namespace app {

// "Application.Undo": takes back the human's last move and the computer's
// answer in the game whose page is shown (the game last played when no skin
// shows pages). Disabled while that game has nothing to take back, so that a
// button bound to it shows so.
class TTakeBack {
 public:
  static constexpr const char* kEntityName = "Application.Undo";

  TTakeBack(TEntityManager& bus, chess::TChessGame& chess, checkers::TCheckersGame& checkers);
  ~TTakeBack();
  TTakeBack(const TTakeBack&) = delete;
  TTakeBack& operator=(const TTakeBack&) = delete;

  bool Enabled() const { return entity_->Enabled; }
  // The game meant: the one shown, or the one last played when no skin
  // shows pages.
  bool CheckersTargeted() const;

 private:
  void Run(TEntityHolder& sender);
  void ChessPlayed(TEntityHolder& sender);
  void CheckersPlayed(TEntityHolder& sender);
  void UpdateEnabled(TEntityHolder& sender);

  TEntityManager* bus_;
  chess::TChessGame* chess_;
  checkers::TCheckersGame* checkers_;
  std::unique_ptr<TBasicEntity> entity_;
  bool checkersLastPlayed_ = false;
  TSubscription chessMoves_;
  TSubscription checkersMoves_;
  TSubscription pages_;
};

}  // namespace app
