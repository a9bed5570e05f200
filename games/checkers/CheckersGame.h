#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/AppCore.h"
#include "app/Entities.h"
#include "app/MoveList.h"
#include "games/checkers/CheckersBoard.h"
#include "games/checkers/CheckersEngine.h"
#include "games/checkers/Pdn.h"

// The checkers game between the human (White) and the computer (Black),
// published on the entity bus as "Application.CheckersBoard", with its moves
// as "Checkers.Moves".
namespace checkers {

// The game's board as the board control sees it.
class TCheckersBoardEntity : public app::TEntity {
 public:
  // Always stored with White as the side to move.
  TCheckersPosition Position;
  // Called by the board control once the human's move has been played on
  // Position.
  std::function<void()> OnMove;
};

class TCheckersGame : public app::TAppObject {
 public:
  static constexpr const char* kEntityName = "Application.CheckersBoard";
  static constexpr const char* kMovesName = "Checkers.Moves";

  explicit TCheckersGame(app::TAppCore& application) : TAppObject(application) {}

  // Creates the board entity and registers it (notifying the name's clients).
  void Init() override;
  // Unregisters the board entity (notifying the clients) and frees it.
  void Done() override;

  void NewGame();
  // A new game from a set-up position, White to move.
  void StartFrom(const TCheckersPosition& position);
  // Answers the human's move with Black's and announces the end of the game:
  // "White win!" when Black cannot move, "Black win!" when White cannot move
  // after Black's answer.
  void ComputerMove();
  // Takes back the human's last move and the answer to it (the move alone
  // when the game ended on it). False when nothing was played.
  bool TakeBack();
  bool CanTakeBack() const { return !turns_.empty(); }
  // The computer's level, clamped to kLowestLevel..kHighestLevel.
  void SetLevel(int level);
  int Level() const { return level_; }

  // The game so far as a record: its start, the moves played and, once it
  // has ended, the result.
  TCheckersRecord Record() const;
  // Replaces the game by the record's, as if its moves had been played here.
  // A game that starts with Black to move begins after Black's first move
  // (the computer's choice when the record has none); one that ends with
  // Black to move gets the computer's answer. Returns why the record cannot
  // be played (its move number and text), leaving the game as it was; empty
  // when it was played.
  std::string Replay(const TCheckersRecord& record);

  TCheckersBoardEntity* BoardEntity() const { return boardEntity_.get(); }
  const app::TMoveList* Moves() const { return moves_.get(); }

 private:
  // A turn of the human as it was played.
  struct TTurn {
    TCheckersPosition Before;
    // The human's move and the answer in White's square names.
    std::string Move;
    std::string Answer;
  };

  // Records the human's move that OnMove reports: the legal move from the
  // position before it that leads to the board's position.
  void RecordHumanMove(std::string move = {});
  // Black's move: the given one (in Black's own view), or else the
  // computer's choice; empty when Black has no move.
  void PlayAnswer(std::string given = {});
  std::vector<TCheckersPosition> EarlierAnswered() const;

  std::unique_ptr<TCheckersBoardEntity> boardEntity_;
  std::unique_ptr<app::TMoveList> moves_;
  std::unique_ptr<TCheckersEngine> engine_;
  std::vector<TTurn> turns_;
  // The position the game started from.
  TCheckersPosition start_;
  // The position the human is to move from.
  TCheckersPosition current_;
  int level_ = kLowestLevel;
};

}  // namespace checkers
