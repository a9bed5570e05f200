#include "program/AppManager.h"

#include "app/Random.h"
#include "controls/Skins.h"
#include "games/boards/CheckersBoardCtl.h"
#include "games/boards/ChessBoardCtl.h"
#include "program/KeptSettings.h"
#include "ui/UI.h"

namespace app {

std::unique_ptr<TUIManagerBase> TAppManager::NewUIManager(TEntityManager& entityManager) {
  return std::make_unique<ui::TUIManager>(entityManager);
}

ui::TUIManager* TAppManager::UI() const { return static_cast<ui::TUIManager*>(UIManager()); }

void TAppManager::RegisterEntities() {
  RandomizeFromClock();
  chessGame_ = std::make_unique<chess::TChessGame>();
  UI()->RegisterControlClass("ChessBoard", controls::ControlClass<boards::TChessBoardControl>());
  checkersGame_ = MakeAppObject<checkers::TCheckersGame>(*this);
  UI()->RegisterControlClass("CheckersBoard",
                             controls::ControlClass<boards::TCheckersBoardControl>());
  UI()->SetUseTray(true);
  TAppCore::RegisterEntities();
  newGame_ = std::make_unique<TBasicEntity>(0, 0, 0, MakeCallback<&TAppManager::OnNewGame>(this));
  EntityManager()->RegisterEntity("Application.NewGame", newGame_.get());
  advantage_ = std::make_unique<TAdvantage>(*EntityManager(), chessGame_->BoardEntity(),
                                            *checkersGame_->BoardEntity());
  gameClock_ = std::make_unique<TGameClock>(*EntityManager());
  takeBack_ = std::make_unique<TTakeBack>(*EntityManager(), *chessGame_, *checkersGame_);
  level_ = std::make_unique<TLevel>(
      *EntityManager(), *chessGame_, *checkersGame_,
      [this](std::string_view name) { return UI()->LanguageManager().Translate(name); });
}

void TAppManager::UnregisterEntities() {
  level_.reset();
  takeBack_.reset();
  gameClock_.reset();
  advantage_.reset();
  EntityManager()->UnregisterEntity("Application.NewGame", newGame_);
  TAppCore::UnregisterEntities();
  checkersGame_.reset();
  chessGame_.reset();
}

void TAppManager::ApplySettings() { ApplyKeptSettings(Settings(), *EntityManager(), *UI()); }

void TAppManager::RememberSettings() { RememberKeptSettings(Settings(), *EntityManager(), *UI()); }

void TAppManager::NewGame() {
  if (chessGame_) chessGame_->NewGame();
  if (checkersGame_) checkersGame_->NewGame();
  if (gameClock_) gameClock_->Restart();
}

void TAppManager::OnNewGame(TEntityHolder&) { NewGame(); }

}  // namespace app
