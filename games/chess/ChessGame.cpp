#include "games/chess/ChessGame.h"

#include <algorithm>

#include "app/AppCore.h"
#include "app/MultiLog.h"

namespace chess {

namespace {

app::TEntityManager* Entities() {
  return app::Application ? app::Application->EntityManager() : nullptr;
}

}  // namespace

TChessGame::TChessGame()
    : thinker_(std::make_unique<TChessThinker>()),
      engine_(std::make_unique<TChessEngine>()),
      boardEntity_(std::make_unique<TChessBoardEntity>()),
      moves_(std::make_unique<app::TMoveList>(Entities(), kMovesName)) {
  boardEntity_->OnMove = [this] { ComputerMove(); };
  current_ = boardEntity_->Position;
  currentLastMove_ = boardEntity_->LastMove;
  if (app::TEntityManager* entities = Entities())
    entities->RegisterEntity(kEntityName, boardEntity_.get());
}

TChessGame::~TChessGame() {
  if (app::TEntityManager* entities = Entities()) entities->RegisterEntity(kEntityName, nullptr);
  moves_.reset();
  boardEntity_.reset();
  engine_.reset();
  thinker_.reset();
}

void TChessGame::NewGame() { StartFrom(TChessPosition()); }

void TChessGame::StartFrom(const TChessPosition& position) {
  start_ = position;
  boardEntity_->Position = position;
  boardEntity_->ClearLastMove();
  current_ = boardEntity_->Position;
  currentLastMove_ = boardEntity_->LastMove;
  turns_.clear();
  engine_->NewGame();
  moves_->Clear();
  Repaint();
}

void TChessGame::SetLevel(int level) { level_ = std::clamp(level, kLowestLevel, kHighestLevel); }

void TChessGame::Repaint() {
  if (app::TEntityManager* entities = Entities()) entities->Notify(kEntityName);
}

void TChessGame::EndGame(const char* text) {
  if (app::Application) app::Application->Alert(text);
  if (app::TEntityManager* entities = Entities()) entities->Execute("Chess.NewGame");
}

void TChessGame::RecordHumanMove() {
  turns_.push_back({current_, currentLastMove_, boardEntity_->LastMove, std::nullopt});
  moves_->AddMove(TChessPosition::MoveToText(boardEntity_->LastMove));
  current_ = boardEntity_->Position;
  currentLastMove_ = boardEntity_->LastMove;
}

std::vector<TChessPosition> TChessGame::EarlierAnswered() const {
  std::vector<TChessPosition> earlier;
  for (const TTurn& turn : turns_) {
    if (!turn.Answer) continue;
    TChessPosition answered = turn.Before;
    answered.ApplyMove(turn.Move);
    answered.Flip();
    earlier.push_back(answered);
  }
  return earlier;
}

// Black's move: searched on the flipped position, shown and logged in the
// coordinates of the game's own.
void TChessGame::PlayAnswer(std::optional<TChessMove> given) {
  TChessPosition& position = boardEntity_->Position;
  thinker_->SetPosition(position);
  thinker_->Position.Flip();
  const std::vector<TChessPosition> earlier = EarlierAnswered();
  TChessMove move = given.value_or(TChessMove{});
  if (!given) ChooseLevelMove(*engine_, thinker_->Position, earlier, level_, move);
  const TChessMove shown = TChessPosition::MirrorMove(move);
  app::Log("=Black Move: " + TChessPosition::MoveToText(shown));
  thinker_->Position.ApplyMove(move);
  thinker_->Position.Flip();
  position.Assign(thinker_->Position);
  boardEntity_->LastMove = shown;
  current_ = position;
  currentLastMove_ = shown;
  turns_.back().Answer = shown;
  moves_->AddAnswer(TChessPosition::MoveToText(shown));
}

void TChessGame::ComputerMove() {
  RecordHumanMove();
  thinker_->SetPosition(boardEntity_->Position);
  thinker_->Position.Flip();
  if (thinker_->IsStalemate()) return EndGame("Draw!");
  if (thinker_->IsCheckmate()) return EndGame("White win!");

  PlayAnswer();
  thinker_->SetPosition(boardEntity_->Position);
  if (thinker_->IsStalemate()) return EndGame("Draw!");
  if (thinker_->IsCheckmate()) return EndGame("Black win!");
  Repaint();
  app::ProcessMessages();
}

bool TChessGame::TakeBack() {
  if (turns_.empty()) return false;
  const TTurn& turn = turns_.back();
  boardEntity_->Position = turn.Before;
  boardEntity_->LastMove = turn.LastMoveBefore;
  current_ = turn.Before;
  currentLastMove_ = turn.LastMoveBefore;
  turns_.pop_back();
  moves_->DropLastTurn();
  Repaint();
  return true;
}

namespace {

// The legal move of the board that goes from and to the squares of a move
// shown on the board (a promotion is always to a queen here).
std::optional<TEngineMove> EngineMoveOf(const TEngineBoard& board, const TChessMove& shown) {
  const auto from = static_cast<std::uint8_t>(TChessPosition::Index(shown.FromX, shown.FromY));
  const auto to = static_cast<std::uint8_t>(TChessPosition::Index(shown.ToX, shown.ToY));
  for (const TEngineMove& move : board.LegalMoves())
    if (move.From == from && move.To == to) return move;
  return std::nullopt;
}

std::string ResultOf(const TEngineBoard& board) {
  if (!board.LegalMoves().empty()) return "*";
  if (!board.InCheck()) return "1/2-1/2";
  return board.WhiteToMove() ? "0-1" : "1-0";
}

std::optional<TEngineBoard> StartOf(const TChessRecord& record, std::string& error) {
  if (record.StartFen.empty()) return TEngineBoard(TRules::Program);
  return TEngineBoard::FromFen(record.StartFen, TRules::Program, &error);
}

// Why the record's moves cannot be played from its start; empty when they can.
std::string CheckMoves(const TChessRecord& record) {
  std::string error;
  std::optional<TEngineBoard> board = StartOf(record, error);
  if (!board) return "the start position: " + error;
  for (std::size_t i = 0; i < record.Moves.size(); ++i) {
    if (board->Play(record.Moves[i])) continue;
    return "move " + std::to_string(i / 2 + 1) + (i % 2 ? "..." : ".") + " " +
           TEngineBoard::ToUci(record.Moves[i]) + ": not a legal move";
  }
  return {};
}

}  // namespace

TChessRecord TChessGame::Record() const {
  TChessRecord record;
  TEngineBoard board = TEngineBoard::FromPosition(start_, TRules::Program);
  if (start_ != TChessPosition()) record.StartFen = board.ToFen();
  for (const TTurn& turn : turns_) {
    for (const std::optional<TChessMove>& shown : {std::optional(turn.Move), turn.Answer}) {
      if (!shown) continue;
      const std::optional<TEngineMove> move = EngineMoveOf(board, *shown);
      // A move after the end of the game (the human may play on) is not one
      // a record can hold.
      if (!move) return record.Result = ResultOf(board), record;
      record.Moves.push_back(*move);
      board.Play(*move);
    }
  }
  record.Result = ResultOf(board);
  return record;
}

std::string TChessGame::Replay(const TChessRecord& record) {
  if (std::string error = CheckMoves(record); !error.empty()) return error;
  std::string error;
  TEngineBoard board = *StartOf(record, error);
  std::size_t next = 0;
  if (!board.WhiteToMove()) {
    if (next < record.Moves.size()) {
      board.Play(record.Moves[next++]);
    } else if (const TSearchResult answer = engine_->Search(board, LevelLimits(kHighestLevel));
               answer.Best) {
      board.Play(*answer.Best);
    }
  }
  StartFrom(board.ToPosition());
  while (next < record.Moves.size() && board.WhiteToMove()) {
    const TChessMove human = board.ToPositionMove(record.Moves[next]);
    board.Play(record.Moves[next++]);
    boardEntity_->Position.ApplyMove(human);
    boardEntity_->LastMove = human;
    RecordHumanMove();
    if (next < record.Moves.size()) {
      PlayAnswer(board.ToPositionMove(record.Moves[next]));
      board.Play(record.Moves[next++]);
    } else if (!board.LegalMoves().empty()) {
      PlayAnswer();
    }
  }
  Repaint();
  return {};
}

}  // namespace chess
