#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "games/checkers/CheckersBoard.h"

namespace checkers {

constexpr int kNoMoveScore = -10000;
constexpr int kSearchDepth = 5;  // below the root move: six plies in all
constexpr int kClearBestGap = 70;

// One root move's score and its index in the root move list.
struct TCheckersScore {
  std::int32_t Score;
  std::int32_t Index;
};

// Sorts by descending score with the exchange sort whose handling of equal
// scores decides which of them the random pick sees first.
void SortScores(std::vector<TCheckersScore>& records);
// The rank in the sorted records that the draw r (0..99) picks: the best
// move when it leads the second by more than the gap, else by fixed odds,
// falling back to the best when the drawn rank does not exist.
int PickRank(const std::vector<TCheckersScore>& sorted, int r);

class TCheckersSearchCache;

// Move generator and search for the side to move of its own Position.
//
// The search returns exactly the values of a full-width negamax to the same
// depth, found with alpha-beta, move ordering and a cache of proven bounds.
class TCheckersThinker {
 public:
  TCheckersThinker();
  ~TCheckersThinker();
  TCheckersThinker(const TCheckersThinker&) = delete;
  TCheckersThinker& operator=(const TCheckersThinker&) = delete;

  // Refills Moves with every legal move of the side to move, in generation
  // order; captures only when one exists.
  void GenerateMoves();
  void AddMove(std::string text) { Moves.push_back(std::move(text)); }
  // Both compare with the last generated list, ignoring letter case.
  bool IsLegalMove(std::string_view text) const;
  bool IsMovePrefix(std::string_view text) const;
  // Generates; true when the side to move has lost.
  bool HasNoMoves();

  // Negamax value of Position for its side to move, `depth` plies deep.
  int Search(int depth);
  // The value for the side that has just moved when the other side is to
  // move next: -Search of the flipped board.
  int SearchFlipped(int depth);
  // Generates the root moves into Moves and scores each with
  // SearchFlipped(kSearchDepth) after playing it; records in list order.
  std::vector<TCheckersScore> ScoreRootMoves();
  // The move to play, empty when there is none. Draws once from the
  // program's random generator when a move exists. Position is unchanged.
  std::string GetBestMove();
  // The number of move sequences of `depth` moves from Position, the sides
  // taking turns (entries of the move lists, as generated, are counted).
  std::uint64_t CountMoveSequences(int depth);

  // Thinkers alive in the program; the game makes one per answer.
  static int LiveCount();

  TCheckersPosition Position;
  bool CaptureFound = false;
  TCheckersMoveArray Moves;

 private:
  TCheckersSearchCache& Cache();

  std::unique_ptr<TCheckersSearchCache> SearchCache;
};

}  // namespace checkers
