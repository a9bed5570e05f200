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
  boardEntity_->Position = position;
  current_ = boardEntity_->Position;
  turns_.clear();
  engine_->NewGame();
  moves_->Clear();
  EntityManager()->Notify(kEntityName);
}

void TCheckersGame::SetLevel(int level) { level_ = std::clamp(level, kLowestLevel, kHighestLevel); }

void TCheckersGame::RecordHumanMove() {
  turns_.push_back({current_, std::nullopt});
  moves_->AddMove(MoveBetween(current_, boardEntity_->Position));
  current_ = boardEntity_->Position;
}

std::vector<TCheckersPosition> TCheckersGame::EarlierAnswered() const {
  std::vector<TCheckersPosition> earlier;
  for (const TTurn& turn : turns_)
    if (turn.Answered) earlier.push_back(*turn.Answered);
  return earlier;
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
  const std::vector<TCheckersPosition> earlier = EarlierAnswered();
  turns_.back().Answered = thinker->Position;
  const std::string move = engine_->ChooseMove(thinker->Position, earlier, level_);
  thinker->Position.ApplyMove(move);
  thinker->Position.Flip();
  boardEntity_->Position = thinker->Position;
  current_ = boardEntity_->Position;
  moves_->AddAnswer(TCheckersPosition::TurnedMoveText(move));
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

}  // namespace checkers
