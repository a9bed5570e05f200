#include "program/GameFiles.h"

#include <ctime>

#include "app/AppCore.h"
#include "app/MultiLog.h"
#include "games/checkers/CheckersGame.h"
#include "games/chess/ChessGame.h"
#include "platform/Files.h"

namespace app {

namespace {

constexpr const char* kChessFilter = "Chess games (*.pgn)";
constexpr const char* kCheckersFilter = "Checkers games (*.pdn)";

// Today as a record's Date tag: "2026.12.08".
std::string Today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[16];
  std::strftime(text, sizeof text, "%Y.%m.%d", &local);
  return text;
}

// The tags of a game saved by the player: who played it and when.
TRecordTags SavedTags(int level) {
  return {{"Event", "Ludex game"}, {"Site", "Ludex"},
          {"Date", Today()},       {"Round", "-"},
          {"White", "Player"},     {"Black", "Ludex, level " + std::to_string(level)}};
}

void Tell(const std::string& text) {
  if (Application) Application->Alert(text);
}

// Plays the first game of a file in the game; the reason when it cannot.
template <class TGame, class TReader>
std::string OpenIn(TGame& game, const std::string& path, TReader read) {
  std::string text;
  std::string error;
  if (!platform::ReadWholeFile(path, TGameFiles::kMaxFileBytes, text, &error)) return error;
  const auto record = read(text);
  return record ? game.Replay(*record.Record) : record.Error.Message;
}

// Writes the game as a record, with the tags given (the program's own
// otherwise); the reason when it cannot.
template <class TGame, class TWriter>
std::string WriteFrom(const TGame& game, const std::string& path, TWriter write,
                      const TRecordTags& tags = {}) {
  auto record = game.Record();
  if (!tags.empty()) record.Tags = tags;
  std::string error;
  const std::string folder = platform::ExtractFileDir(path);
  if (!platform::CreateDirectories(folder)) return "cannot create the folder " + folder;
  platform::WriteFileAtomically(path, write(record), &error);
  return error;
}

}  // namespace

TGameFiles::TGameFiles(TEntityManager& bus, chess::TChessGame& chess,
                       checkers::TCheckersGame& checkers, std::function<bool()> checkersShown,
                       TChooseFile chooseFile)
    : bus_(&bus),
      chess_(&chess),
      checkers_(&checkers),
      checkersShown_(std::move(checkersShown)),
      chooseFile_(std::move(chooseFile)),
      saveGame_(
          std::make_unique<TBasicEntity>(0, 0, 0, MakeCallback<&TGameFiles::OnSaveGame>(this))),
      openGame_(
          std::make_unique<TBasicEntity>(0, 0, 0, MakeCallback<&TGameFiles::OnOpenGame>(this))) {
  bus.RegisterEntity("Application.SaveGame", saveGame_.get());
  bus.RegisterEntity("Application.OpenGame", openGame_.get());
}

TGameFiles::~TGameFiles() {
  chessMoves_.Cancel();
  checkersMoves_.Cancel();
  bus_->UnregisterEntity("Application.OpenGame", openGame_);
  bus_->UnregisterEntity("Application.SaveGame", saveGame_);
}

std::string TGameFiles::ChessFile() const { return platform::JoinPath(folder_, "chess.pgn"); }

std::string TGameFiles::CheckersFile() const { return platform::JoinPath(folder_, "checkers.pdn"); }

void TGameFiles::KeepGamesIn(const std::string& folder) {
  folder_ = folder;
  RestoreChess();
  RestoreCheckers();
  chessMoves_.Subscribe(bus_->GetHolder(chess::TChessGame::kMovesName),
                        MakeCallback<&TGameFiles::KeepChess>(this));
  checkersMoves_.Subscribe(bus_->GetHolder(checkers::TCheckersGame::kMovesName),
                           MakeCallback<&TGameFiles::KeepCheckers>(this));
}

void TGameFiles::Restore(const std::string& path, const std::function<std::string()>& replay,
                         const std::function<void()>& newGame) {
  if (!platform::FileExists(path)) return;
  restoring_ = true;
  const std::string error = replay();
  restoring_ = false;
  if (error.empty()) return;
  newGame();
  Log("TGameFiles.Restore: " + path + ": " + error + "; a new game begins");
}

void TGameFiles::RestoreChess() {
  Restore(
      ChessFile(), [this] { return OpenIn(*chess_, ChessFile(), chess::ReadPgn); },
      [this] { chess_->NewGame(); });
}

void TGameFiles::RestoreCheckers() {
  Restore(
      CheckersFile(), [this] { return OpenIn(*checkers_, CheckersFile(), checkers::ReadPdn); },
      [this] { checkers_->NewGame(); });
}

void TGameFiles::Keep(const std::string& path, const std::string& error) {
  if (!error.empty()) Log("TGameFiles.Keep: " + path + ": " + error);
}

void TGameFiles::KeepChess(TEntityHolder&) {
  if (!restoring_) Keep(ChessFile(), WriteFrom(*chess_, ChessFile(), chess::WritePgn));
}

void TGameFiles::KeepCheckers(TEntityHolder&) {
  if (!restoring_) Keep(CheckersFile(), WriteFrom(*checkers_, CheckersFile(), checkers::WritePdn));
}

void TGameFiles::SaveGame() {
  const bool checkers = checkersShown_();
  const std::string path = chooseFile_(true, checkers ? kCheckersFilter : kChessFilter,
                                       checkers ? "checkers.pdn" : "chess.pgn");
  if (path.empty()) return;
  const std::string error =
      checkers ? WriteFrom(*checkers_, path, checkers::WritePdn, SavedTags(checkers_->Level()))
               : WriteFrom(*chess_, path, chess::WritePgn, SavedTags(chess_->Level()));
  if (!error.empty()) Tell("The game was not saved: " + error);
}

void TGameFiles::OpenGame() {
  const bool checkers = checkersShown_();
  const std::string path = chooseFile_(false, checkers ? kCheckersFilter : kChessFilter, {});
  if (path.empty()) return;
  const std::string error = checkers ? OpenIn(*checkers_, path, checkers::ReadPdn)
                                     : OpenIn(*chess_, path, chess::ReadPgn);
  if (!error.empty())
    Tell("The game in " + platform::ExtractFileName(path) + " cannot be opened: " + error);
}

void TGameFiles::OnSaveGame(TEntityHolder&) { SaveGame(); }

void TGameFiles::OnOpenGame(TEntityHolder&) { OpenGame(); }

}  // namespace app
