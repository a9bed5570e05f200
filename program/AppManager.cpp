#include "program/AppManager.h"

#include "app/Random.h"
#include "controls/Skins.h"
#include "games/boards/CheckersBoardCtl.h"
#include "games/boards/ChessBoardCtl.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"
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
  gameFiles_ = std::make_unique<TGameFiles>(
      *EntityManager(), *chessGame_, *checkersGame_,
      [this] { return takeBack_->CheckersTargeted(); },
      [this](bool save, const std::string& filter, const std::string& suggested) {
        return ChooseGameFile(save, filter, suggested);
      });
}

std::string TAppManager::ChooseGameFile(bool save, const std::string& filter,
                                        const std::string& suggested) {
  return save ? platform::ChooseFileToSave("Save Game", filter, suggested)
              : platform::ChooseFileToOpen("Open Game", filter);
}

void TAppManager::UnregisterEntities() {
  gameFiles_.reset();
  level_.reset();
  takeBack_.reset();
  gameClock_.reset();
  advantage_.reset();
  EntityManager()->UnregisterEntity("Application.NewGame", newGame_);
  TAppCore::UnregisterEntities();
  checkersGame_.reset();
  chessGame_.reset();
}

void TAppManager::ApplySettings() {
  ApplyKeptSettings(Settings(), *EntityManager(), *UI());
  // The games in progress lie beside the settings.
  gameFiles_->KeepGamesIn(platform::ExtractFileDir(SettingsPath()));
}

void TAppManager::RememberSettings() { RememberKeptSettings(Settings(), *EntityManager(), *UI()); }

void TAppManager::NewGame() {
  if (chessGame_) chessGame_->NewGame();
  if (checkersGame_) checkersGame_->NewGame();
  if (gameClock_) gameClock_->Restart();
}

void TAppManager::OnNewGame(TEntityHolder&) { NewGame(); }

}  // namespace app
