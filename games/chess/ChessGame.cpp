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
  turns_.push_back({current_, currentLastMove_, std::nullopt});
  moves_->AddMove(TChessPosition::MoveToText(boardEntity_->LastMove));
  current_ = boardEntity_->Position;
  currentLastMove_ = boardEntity_->LastMove;
}

std::vector<TChessPosition> TChessGame::EarlierAnswered() const {
  std::vector<TChessPosition> earlier;
  for (const TTurn& turn : turns_)
    if (turn.Answered) earlier.push_back(*turn.Answered);
  return earlier;
}

// Black's move: searched on the flipped position, shown and logged in the
// coordinates of the game's own.
void TChessGame::PlayAnswer() {
  TChessPosition& position = boardEntity_->Position;
  thinker_->SetPosition(position);
  thinker_->Position.Flip();
  const std::vector<TChessPosition> earlier = EarlierAnswered();
  turns_.back().Answered = thinker_->Position;
  TChessMove move;
  ChooseLevelMove(*engine_, thinker_->Position, earlier, level_, move);
  const TChessMove shown = TChessPosition::MirrorMove(move);
  app::Log("=Black Move: " + TChessPosition::MoveToText(shown));
  thinker_->Position.ApplyMove(move);
  thinker_->Position.Flip();
  position.Assign(thinker_->Position);
  boardEntity_->LastMove = shown;
  current_ = position;
  currentLastMove_ = shown;
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

}  // namespace chess
