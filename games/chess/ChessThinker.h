#pragma once

#include <cstdint>
#include <vector>

#include "games/chess/ChessBoard.h"

// Chess move generation, legality and the computer's move search. The
// thinker always plays for colour 1, the side to move of its Position.
namespace chess {

// One root move's score and its index in the root move list.
struct TScoreRecord {
  int Score = 0;
  int Index = 0;
};

class TChessThinker {
 public:
  // The score of a side with no legal move, and the floor of every search node.
  static constexpr int kNoMoveScore = -10000;
  // Plies searched below each root move.
  static constexpr int kReplyDepth = 2;
  // A best move ahead of the second by more than this is always played.
  static constexpr int kClearBestGap = 70;

  void SetPosition(const TChessPosition& position) { Position.Assign(position); }

  // Fills Moves with every move the side to move's pieces can make by their
  // moving rules, without regard to check, in the fixed generation order.
  void GeneratePseudoMoves();
  // Drops from Moves the moves that leave a king capturable and the
  // castlings made in check or across an attacked square.
  void RemoveIllegalMoves();
  void GenerateLegalMoves();
  // Whether the other side has a move landing on a king. Position and Moves
  // are left as they were.
  bool IsInCheck();
  bool IsCheckmate();
  bool IsStalemate();

  // The negamax value of Position searched depth plies deep; a node with no
  // legal move scores kNoMoveScore. Position and Moves are left as they were.
  int Search(int depth);
  // The value of Position for the other side, searched depth plies deep.
  int SearchFlipped(int depth);
  // For each move of the list, in order, the score SearchFlipped(kReplyDepth)
  // gives after it is played on Position.
  std::vector<int> ScoreMoves(const TChessMoveArray& moves);
  // Writes the computer's choice among the legal moves of Position, drawing
  // from the program's random generator; leaves move untouched when there is
  // no legal move. Position is left as it was.
  void GetBestWhiteMove(TChessMove& move);

  // The number of legal move sequences of the given length from Position,
  // the sides taking turns.
  std::uint64_t Perft(int depth);

  TChessPosition Position;
  TChessMoveArray Moves;

 private:
  void AddMove(int fromX, int fromY, int toX, int toY);
  void AddStep(int fromX, int fromY, int toX, int toY);
  void AddPawnMoves(int x, int y);
  void AddSlides(int x, int y, int stepX, int stepY);
  void AddKingMoves(int x, int y);
  bool IsEmpty(int x, int y) const;
  bool IsLegalAfter(const TChessMove& move, bool inCheck);
  int PlainSearch(int depth);
  std::uint64_t PlainPerft(int depth);
};

// Sorts the records by descending score with the exchange sort the move
// choice depends on (ties keep the order that sort leaves them in).
void SortScoreRecords(std::vector<TScoreRecord>& records);
// The rank of the sorted records to play for the draw r (0..99) among n moves.
int ChooseRank(int r, int n);

}  // namespace chess
