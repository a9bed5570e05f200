#pragma once

#include <memory>
#include <optional>

#include "app/Entities.h"

namespace chess {
class TChessPosition;
class TChessBoardEntity;
}  // namespace chess
namespace checkers {
class TCheckersPosition;
class TCheckersBoardEntity;
}  // namespace checkers

namespace app {

// White's share of the material on the board, in percent: 50 when both
// sides have as much (or nothing), 100 when Black has nothing left. Chess
// counts pawn 1, knight and bishop 3, rook 5, queen 9; checkers a man 1 and
// a king 3.
int ChessAdvantage(const chess::TChessPosition& position);
int CheckersAdvantage(const checkers::TCheckersPosition& position);

enum class TGameKind { Chess, Checkers };
// The game whose page is chosen in "Application.Game"; none while no page
// list is bound or its index is out of range.
std::optional<TGameKind> ShownGame(TEntityManager& bus);
// True when the page chosen in "Application.Game" is the checkers one
// (chess is shown otherwise, and before any skin chose).
bool CheckersShown(TEntityManager& bus);

// "Game.Advantage", a value from 0 to 100: White's share of the material in
// the game shown (the page chosen in "Application.Game"), kept up to date as
// the boards change, for skins that chart the game with a DIAGRAM or show
// the balance on a SLIDER (which cannot move it).
class TAdvantage {
 public:
  static constexpr const char* kEntityName = "Game.Advantage";

  TAdvantage(TEntityManager& bus, const chess::TChessBoardEntity& chess,
             const checkers::TCheckersBoardEntity& checkers);
  ~TAdvantage();
  TAdvantage(const TAdvantage&) = delete;
  TAdvantage& operator=(const TAdvantage&) = delete;

 private:
  void Update(TEntityHolder& sender);

  TEntityManager* bus_;
  const chess::TChessBoardEntity* chess_;
  const checkers::TCheckersBoardEntity* checkers_;
  std::unique_ptr<TBasicEntity> entity_;
  TSubscription chessNotices_;
  TSubscription checkersNotices_;
  TSubscription pageNotices_;
};

}  // namespace app
