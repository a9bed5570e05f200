#include "games/chess/ChessGame.h"

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
      boardEntity_(std::make_unique<TChessBoardEntity>()) {
  boardEntity_->OnMove = [this] { ComputerMove(); };
  if (app::TEntityManager* entities = Entities())
    entities->RegisterEntity(kEntityName, boardEntity_.get());
}

TChessGame::~TChessGame() {
  if (app::TEntityManager* entities = Entities()) entities->RegisterEntity(kEntityName, nullptr);
  boardEntity_.reset();
  thinker_.reset();
}

void TChessGame::NewGame() {
  boardEntity_->Position.SetStartPosition();
  boardEntity_->ClearLastMove();
  if (app::TEntityManager* entities = Entities()) entities->Notify(kEntityName);
}

void TChessGame::EndGame(const char* text) {
  if (app::Application) app::Application->Alert(text);
  if (app::TEntityManager* entities = Entities()) entities->Execute("Chess.NewGame");
}

void TChessGame::ComputerMove() {
  TChessPosition& position = boardEntity_->Position;
  thinker_->SetPosition(position);
  thinker_->Position.Flip();
  if (thinker_->IsStalemate()) return EndGame("Draw!");
  if (thinker_->IsCheckmate()) return EndGame("White win!");

  thinker_->SetPosition(position);
  thinker_->Position.Flip();
  TChessMove move;
  thinker_->GetBestWhiteMove(move);
  const TChessMove shown = TChessPosition::MirrorMove(move);
  app::Log("=Black Move: " + TChessPosition::MoveToText(shown));
  thinker_->Position.ApplyMove(move);
  thinker_->Position.Flip();
  position.Assign(thinker_->Position);
  boardEntity_->LastMove = shown;

  thinker_->SetPosition(position);
  if (thinker_->IsStalemate()) return EndGame("Draw!");
  if (thinker_->IsCheckmate()) return EndGame("Black win!");
  if (app::TEntityManager* entities = Entities()) entities->Notify(kEntityName);
  app::ProcessMessages();
}

}  // namespace chess
