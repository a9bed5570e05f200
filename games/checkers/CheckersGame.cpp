#include "games/checkers/CheckersGame.h"

#include <algorithm>
#include <string>

#include "games/checkers/CheckersThinker.h"

namespace checkers {

namespace {

// The text of the legal move that turns before into after ("?" for none,
// when the board was set by other means than a move).
std::string MoveBetween(const TCheckersPosition& before, const TCheckersPosition& after) {
  TCheckersThinker thinker;
  thinker.Position = before;
  thinker.GenerateMoves();
  for (const std::string& move : thinker.Moves) {
    TCheckersPosition played = before;
    played.ApplyMove(move);
    if (played == after) return move;
  }
  return "?";
}

}  // namespace

void TCheckersGame::Init() {
  boardEntity_ = std::make_unique<TCheckersBoardEntity>();
  boardEntity_->OnMove = [this] { ComputerMove(); };
  moves_ = std::make_unique<app::TMoveList>(EntityManager(), kMovesName);
  engine_ = std::make_unique<TCheckersEngine>();
  current_ = boardEntity_->Position;
  EntityManager()->RegisterEntity(kEntityName, boardEntity_.get());
}

void TCheckersGame::Done() {
  if (!boardEntity_) return;
  EntityManager()->RegisterEntity(kEntityName, nullptr);
  engine_.reset();
  moves_.reset();
  boardEntity_.reset();
}

void TCheckersGame::NewGame() { StartFrom(TCheckersPosition()); }

void TCheckersGame::StartFrom(const TCheckersPosition& position) {
  if (!boardEntity_) return;
  start_ = position;
  boardEntity_->Position = position;
  current_ = boardEntity_->Position;
  turns_.clear();
  engine_->NewGame();
  moves_->Clear();
  EntityManager()->Notify(kEntityName);
}

void TCheckersGame::SetLevel(int level) { level_ = std::clamp(level, kLowestLevel, kHighestLevel); }

void TCheckersGame::RecordHumanMove(std::string move) {
  if (move.empty()) move = MoveBetween(current_, boardEntity_->Position);
  turns_.push_back({current_, move, {}});
  moves_->AddMove(move);
  current_ = boardEntity_->Position;
}

std::vector<TCheckersPosition> TCheckersGame::EarlierAnswered() const {
  std::vector<TCheckersPosition> earlier;
  // Each answered turn's position after the human's move, as Black saw it.
  for (const TTurn& turn : turns_) {
    if (turn.Answer.empty()) continue;
    TCheckersPosition answered = turn.Before;
    answered.ApplyMove(turn.Move);
    answered.Flip();
    earlier.push_back(answered);
  }
  return earlier;
}

void TCheckersGame::PlayAnswer(std::string given) {
  TCheckersPosition black = boardEntity_->Position;
  black.Flip();
  const std::vector<TCheckersPosition> earlier = EarlierAnswered();
  const std::string move = given.empty() ? engine_->ChooseMove(black, earlier, level_) : given;
  black.ApplyMove(move);
  black.Flip();
  boardEntity_->Position = black;
  current_ = black;
  turns_.back().Answer = TCheckersPosition::TurnedMoveText(move);
  moves_->AddAnswer(turns_.back().Answer);
}

void TCheckersGame::ComputerMove() {
  if (!boardEntity_) return;
  RecordHumanMove();
  // The thinker is freed on every way out, an alert that throws included.
  const auto thinker = std::make_unique<TCheckersThinker>();
  thinker->Position = boardEntity_->Position;
  thinker->Position.Flip();
  if (thinker->HasNoMoves()) {
    Application().Alert("White win!");
    return;
  }
  PlayAnswer();
  thinker->Position = boardEntity_->Position;
  if (thinker->HasNoMoves()) Application().Alert("Black win!");
}

bool TCheckersGame::TakeBack() {
  if (!boardEntity_ || turns_.empty()) return false;
  boardEntity_->Position = turns_.back().Before;
  current_ = turns_.back().Before;
  turns_.pop_back();
  moves_->DropLastTurn();
  EntityManager()->Notify(kEntityName);
  return true;
}

namespace {

bool HasMoves(const TCheckersPosition& position) {
  TCheckersThinker thinker;
  thinker.Position = position;
  return !thinker.HasNoMoves();
}

// Plays a move in White's square names for the side to move; false when it
// is not one of that side's legal moves. The board stays as White sees it.
bool PlayFromWhitesView(TCheckersPosition& board, bool whiteToMove, const std::string& move) {
  TCheckersThinker thinker;
  thinker.Position = board;
  if (!whiteToMove) thinker.Position.Flip();
  const std::string own = whiteToMove ? move : TCheckersPosition::TurnedMoveText(move);
  thinker.GenerateMoves();
  if (!thinker.IsLegalMove(own)) return false;
  thinker.Position.ApplyMove(own);
  if (!whiteToMove) thinker.Position.Flip();
  board = thinker.Position;
  return true;
}

// Why the record's moves cannot be played from its start; empty when they can.
std::string CheckMoves(const TCheckersRecord& record) {
  TCheckersPosition board = record.SetUp ? record.SetUp->Board : TCheckersPosition();
  bool whiteToMove = !record.SetUp || record.SetUp->WhiteToMove;
  for (std::size_t i = 0; i < record.Moves.size(); ++i, whiteToMove = !whiteToMove) {
    if (PlayFromWhitesView(board, whiteToMove, record.Moves[i])) continue;
    return "move " + std::to_string(i / 2 + 1) + (whiteToMove ? ". " : "... ") + record.Moves[i] +
           ": not a legal move";
  }
  return {};
}

}  // namespace

TCheckersRecord TCheckersGame::Record() const {
  TCheckersRecord record;
  if (start_ != TCheckersPosition()) record.SetUp = TCheckersSetUp{start_, true};
  for (const TTurn& turn : turns_) {
    record.Moves.push_back(turn.Move);
    if (!turn.Answer.empty()) record.Moves.push_back(turn.Answer);
  }
  // After White's move Black is to move unless it answered.
  const bool whiteToMove = turns_.empty() || !turns_.back().Answer.empty();
  TCheckersPosition toMove = current_;
  if (!whiteToMove) toMove.Flip();
  if (!HasMoves(toMove)) record.Result = whiteToMove ? "0-1" : "1-0";
  return record;
}

std::string TCheckersGame::Replay(const TCheckersRecord& record) {
  if (!boardEntity_) return "no game";
  if (std::string error = CheckMoves(record); !error.empty()) return error;
  TCheckersPosition board = record.SetUp ? record.SetUp->Board : TCheckersPosition();
  std::size_t next = 0;
  if (record.SetUp && !record.SetUp->WhiteToMove) {
    if (next < record.Moves.size()) {
      PlayFromWhitesView(board, false, record.Moves[next++]);
    } else {
      TCheckersPosition black = board;
      black.Flip();
      black.ApplyMove(engine_->ChooseMove(black, {}, kHighestLevel));
      black.Flip();
      board = black;
    }
  }
  StartFrom(board);
  while (next < record.Moves.size()) {
    const std::string& human = record.Moves[next++];
    boardEntity_->Position.ApplyMove(human);
    RecordHumanMove(human);
    TCheckersPosition black = boardEntity_->Position;
    black.Flip();
    if (next < record.Moves.size())
      PlayAnswer(TCheckersPosition::TurnedMoveText(record.Moves[next++]));
    else if (HasMoves(black))
      PlayAnswer();
  }
  EntityManager()->Notify(kEntityName);
  return {};
}

}  // namespace checkers
