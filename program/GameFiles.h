#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/Entities.h"
#include "program/GamesFwd.h"

namespace app {

// Games in files: "Application.SaveGame" and "Application.OpenGame" write
// and read the game shown (PGN for chess, PDN for checkers) through the
// desktop's file dialogs, and the games in progress are kept in a folder
// ("chess.pgn" and "checkers.pdn") after every move, take-back and new game,
// each written whole or not at all, so that they can be played again at the
// next start.
class TGameFiles {
 public:
  // Which file to use: the chosen path, or empty when the user cancelled.
  using TChooseFile = std::function<std::string(bool save, const std::string& filter,
                                                const std::string& suggested)>;

  // Files opened are read up to this size; a record that long is not a game.
  static constexpr std::size_t kMaxFileBytes = 1 << 20;

  TGameFiles(TEntityManager& bus, chess::TChessGame& chess, checkers::TCheckersGame& checkers,
             std::function<bool()> checkersShown, TChooseFile chooseFile);
  ~TGameFiles();
  TGameFiles(const TGameFiles&) = delete;
  TGameFiles& operator=(const TGameFiles&) = delete;

  // Plays the games kept in the folder again and keeps them there from now
  // on. A kept game that cannot be read or played gives a new game and one
  // log line.
  void KeepGamesIn(const std::string& folder);

  // Writes or reads the game shown; what goes wrong is told in an alert,
  // and a game that cannot be opened leaves the board as it was.
  void SaveGame();
  void OpenGame();

 private:
  std::string ChessFile() const;
  std::string CheckersFile() const;
  // Plays a kept game again; a new game and a log line when it cannot be.
  void Restore(const std::string& path, const std::function<std::string()>& replay,
               const std::function<void()>& newGame);
  void Keep(const std::string& path, const std::string& error);
  void KeepChess(TEntityHolder& sender);
  void KeepCheckers(TEntityHolder& sender);
  void RestoreChess();
  void RestoreCheckers();
  void OnSaveGame(TEntityHolder& sender);
  void OnOpenGame(TEntityHolder& sender);

  TEntityManager* bus_;
  chess::TChessGame* chess_;
  checkers::TCheckersGame* checkers_;
  std::function<bool()> checkersShown_;
  TChooseFile chooseFile_;
  std::unique_ptr<TBasicEntity> saveGame_;
  std::unique_ptr<TBasicEntity> openGame_;
  std::string folder_;
  // While a kept game is played again, its moves are not written back.
  bool restoring_ = false;
  TSubscription chessMoves_;
  TSubscription checkersMoves_;
};

}  // namespace app
