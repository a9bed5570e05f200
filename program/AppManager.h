#pragma once

#include <memory>
#include <string>

#include "app/AppCore.h"
#include "app/Entities.h"
#include "games/checkers/CheckersGame.h"
#include "games/chess/ChessGame.h"
#include "program/Advantage.h"
#include "program/GameClock.h"
#include "program/GameFiles.h"
#include "program/Level.h"
#include "program/TakeBack.h"

namespace ui {
class TUIManager;
}

namespace app {

// The program's application: the two games, their board controls made known
// to the skins, the tray icon from the start, "Application.NewGame",
// "Application.Undo", "Application.Level", games saved and opened and kept
// between runs, and "Game.Advantage" and "Game.Clock" for skins to show.
class TAppManager : public TAppCore {
 public:
  std::string GetTitle() const override { return "Ludex"; }

  void RegisterEntities() override;
  void UnregisterEntities() override;
  void ApplySettings() override;
  void RememberSettings() override;
  // Resets both boards, whichever tab is showing.
  void NewGame();

  chess::TChessGame* ChessGame() const { return chessGame_.get(); }
  checkers::TCheckersGame* CheckersGame() const { return checkersGame_.get(); }
  ui::TUIManager* UI() const;
  TGameFiles* GameFiles() const { return gameFiles_.get(); }
  // The desktop's file dialog for saving or opening a game.
  virtual std::string ChooseGameFile(bool save, const std::string& filter,
                                     const std::string& suggested);

 protected:
  std::unique_ptr<TUIManagerBase> NewUIManager(TEntityManager& entityManager) override;

 private:
  void OnNewGame(TEntityHolder& sender);

  std::unique_ptr<chess::TChessGame> chessGame_;
  TAppObjectPtr<checkers::TCheckersGame> checkersGame_;
  std::unique_ptr<TBasicEntity> newGame_;
  std::unique_ptr<TAdvantage> advantage_;
  std::unique_ptr<TGameClock> gameClock_;
  std::unique_ptr<TTakeBack> takeBack_;
  std::unique_ptr<TLevel> level_;
  std::unique_ptr<TGameFiles> gameFiles_;
};

}  // namespace app
