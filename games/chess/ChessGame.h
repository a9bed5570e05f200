#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "app/Entities.h"
#include "app/MoveList.h"
#include "games/chess/ChessBoard.h"
#include "games/chess/ChessEngine.h"
#include "games/chess/ChessThinker.h"
#include "games/chess/Pgn.h"

// The chess game between the human (White) and the computer (Black),
// published on the entity bus as "Application.ChessBoard", with its moves
// as "Chess.Moves".
namespace chess {

// The game state the board control shows and plays on.
class TChessBoardEntity : public app::TEntity {
 public:
  TChessBoardEntity() { ClearLastMove(); }

  void ClearLastMove() { LastMove = {-1, -1, -1, -1, false}; }

  // Always stored with White as colour 1.
  TChessPosition Position;
  // Called by the board control once the human's move has been played.
  std::function<void()> OnMove;
  // The last move played, in the coordinates of Position; (-1,-1) squares
  // when no move has been played.
  TChessMove LastMove;
};

class TChessGame {
 public:
  static constexpr const char* kEntityName = "Application.ChessBoard";
  static constexpr const char* kMovesName = "Chess.Moves";

  // Registers the board entity through the program's application object.
  TChessGame();
  ~TChessGame();
  TChessGame(const TChessGame&) = delete;
  TChessGame& operator=(const TChessGame&) = delete;

  void NewGame();
  // A new game from a set-up position, White to move.
  void StartFrom(const TChessPosition& position);
  // Answers the human's move with Black's and announces the end of the game.
  void ComputerMove();
  // Takes back the human's last move and the answer to it (the move alone
  // when the game ended on it): the position, the last-move highlight and
  // the move list are those from before it. False when nothing was played.
  bool TakeBack();
  bool CanTakeBack() const { return !turns_.empty(); }
  // The computer's level, clamped to kLowestLevel..kHighestLevel.
  void SetLevel(int level);
  int Level() const { return level_; }

  // The game so far as a record: its start, the moves played and, once it
  // has ended, the result.
  TChessRecord Record() const;
  // Replaces the game by the record's, as if its moves had been played here:
  // the move list and taking back work as usual. A game that starts with
  // Black to move begins after Black's first move (the computer's choice
  // when the record has none); one that ends with Black to move gets the
  // computer's answer. Returns why the record cannot be played (its move
  // number and text), leaving the game as it was; empty when it was played.
  std::string Replay(const TChessRecord& record);

  TChessBoardEntity& BoardEntity() { return *boardEntity_; }
  const app::TMoveList& Moves() const { return *moves_; }

 private:
  // A turn of the human as it was played.
  struct TTurn {
    TChessPosition Before;
    TChessMove LastMoveBefore;
    // The human's move and the answer, as shown on the board.
    TChessMove Move;
    std::optional<TChessMove> Answer;
  };

  // Records the human's move that OnMove reports, from the state before it.
  void RecordHumanMove();
  // Black's move: the given one (in the coordinates of the flipped board
  // Black moves on), or else the computer's choice.
  void PlayAnswer(std::optional<TChessMove> given = std::nullopt);
  // The positions of Black's earlier turns, as its search saw them: each
  // answered turn's position after the human's move, flipped.
  std::vector<TChessPosition> EarlierAnswered() const;
  void Repaint();
  // Alerts the end of the game and runs "Chess.NewGame".
  void EndGame(const char* text);

  std::unique_ptr<TChessThinker> thinker_;
  std::unique_ptr<TChessEngine> engine_;
  std::unique_ptr<TChessBoardEntity> boardEntity_;
  std::unique_ptr<app::TMoveList> moves_;
  std::vector<TTurn> turns_;
  // The position the game started from.
  TChessPosition start_;
  // The position and highlight the human is to move from.
  TChessPosition current_;
  TChessMove currentLastMove_;
  int level_ = kLowestLevel;
};

}  // namespace chess
