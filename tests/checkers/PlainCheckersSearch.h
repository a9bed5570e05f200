#pragma once

// A plain, unoptimised transcription of the checkers move generator and of
// the full-width 6-ply negamax. It is the reference the fast thinker must
// agree with score for score; tests and the benchmark compare the two.

#include <array>
#include <string>
#include <vector>

#include "app/Random.h"
#include "games/checkers/CheckersBoard.h"

namespace checkers::plain {

struct TPlainScore {
  int Score;
  int Index;
};

class TPlainThinker {
 public:
  TCheckersPosition Position;
  bool CaptureFound = false;
  TCheckersMoveArray Moves;

  void AddMove(const std::string& text) { Moves.push_back(text); }

  void GenerateMoves() {
    Moves.clear();
    CaptureFound = false;
    for (int rank = 0; rank < 8; ++rank) {
      for (int file = 0; file < 8; ++file) {
        const int square = SquareIndex(file, rank);
        const std::string name = TCheckersPosition::SquareName(file, rank);
        for (const auto& [fileStep, rankStep] : kDirections) {
          if (!TwoSquares(square, fileStep, rankStep)) continue;
          if (Position.Squares[square] == kOwnMan) ManCaptures(name, square, fileStep, rankStep);
          if (Position.Squares[square] == kOwnKing) KingCaptures(name, square, fileStep, rankStep);
        }
      }
    }
    if (CaptureFound) return;
    for (int rank = 0; rank < 8; ++rank) {
      for (int file = 0; file < 8; ++file) {
        const int square = SquareIndex(file, rank);
        const std::string name = TCheckersPosition::SquareName(file, rank);
        if (Position.Squares[square] == kOwnMan && rank <= 6) {
          if (file >= 1 && Position.Squares[SquareIndex(file - 1, rank + 1)] == kEmpty)
            AddMove(name + "-" + TCheckersPosition::SquareName(file - 1, rank + 1));
          if (file <= 6 && Position.Squares[SquareIndex(file + 1, rank + 1)] == kEmpty)
            AddMove(name + "-" + TCheckersPosition::SquareName(file + 1, rank + 1));
        }
        if (Position.Squares[square] == kOwnKing)
          for (const auto& [fileStep, rankStep] : kDirections)
            KingSlides(square, fileStep, rankStep);
      }
    }
  }

  void ManCaptures(const std::string& text, int square, int fileStep, int rankStep) {
    const int file = FileOf(square), rank = RankOf(square);
    const int neighbour = SquareIndex(file + fileStep, rank + rankStep);
    const int landFile = file + 2 * fileStep, landRank = rank + 2 * rankStep;
    const int landing = SquareIndex(landFile, landRank);
    const int victim = Position.Squares[neighbour];
    if ((victim != kOtherMan && victim != kOtherKing) || Position.Squares[landing] != kEmpty)
      return;
    CaptureFound = true;
    const std::string newText = text + "-" + TCheckersPosition::SquareName(landFile, landRank);
    const auto saved = Position.Squares;
    if (landRank == 7) {
      Position.Squares[neighbour] = kOwnMan;
      bool found = false;
      if (landFile >= 2) found = KingCaptures(newText, landing, -1, -1);
      if (!found && landFile <= 5) found = KingCaptures(newText, landing, +1, -1);
      if (!found) AddMove(newText);
    } else {
      AddMove(newText);
      Position.Squares[neighbour] = kOwnMan;
      for (const auto& [nextFile, nextRank] : kDirections)
        if (TwoSquares(landing, nextFile, nextRank))
          ManCaptures(newText, landing, nextFile, nextRank);
    }
    Position.Squares = saved;
  }

  bool KingCaptures(const std::string& text, int square, int fileStep, int rankStep) {
    int file = FileOf(square) + fileStep, rank = RankOf(square) + rankStep;
    while (OnBoard(file, rank) && Position.Squares[SquareIndex(file, rank)] == kEmpty) {
      file += fileStep;
      rank += rankStep;
    }
    if (!OnBoard(file, rank)) return false;
    const int victim = SquareIndex(file, rank);
    if (Position.Squares[victim] != kOtherMan && Position.Squares[victim] != kOtherKing)
      return false;
    bool found = false;
    bool continued = false;
    for (int landFile = file + fileStep, landRank = rank + rankStep;
         OnBoard(landFile, landRank) && Position.Squares[SquareIndex(landFile, landRank)] == kEmpty;
         landFile += fileStep, landRank += rankStep) {
      found = true;
      CaptureFound = true;
      const std::string newText = text + "-" + TCheckersPosition::SquareName(landFile, landRank);
      const auto saved = Position.Squares;
      Position.Squares[victim] = kOwnMan;
      const int landing = SquareIndex(landFile, landRank);
      if (!continued) {
        for (const auto& [nextFile, nextRank] : kDirections) {
          if (TwoSquares(landing, nextFile, nextRank) &&
              KingCaptures(newText, landing, nextFile, nextRank)) {
            continued = true;
            break;
          }
        }
      }
      Position.Squares = saved;
    }
    if (!continued) {
      for (int landFile = file + fileStep, landRank = rank + rankStep;
           OnBoard(landFile, landRank) &&
           Position.Squares[SquareIndex(landFile, landRank)] == kEmpty;
           landFile += fileStep, landRank += rankStep)
        AddMove(text + "-" + TCheckersPosition::SquareName(landFile, landRank));
    }
    return found;
  }

  void KingSlides(int square, int fileStep, int rankStep) {
    const std::string name = TCheckersPosition::SquareName(FileOf(square), RankOf(square));
    for (int file = FileOf(square) + fileStep, rank = RankOf(square) + rankStep;
         OnBoard(file, rank) && Position.Squares[SquareIndex(file, rank)] == kEmpty;
         file += fileStep, rank += rankStep)
      AddMove(name + "-" + TCheckersPosition::SquareName(file, rank));
  }

  int Search(int depth) {
    if (depth == 0) return Position.Evaluate();
    const auto saved = Position.Squares;
    GenerateMoves();
    const TCheckersMoveArray moves = Moves;
    int best = -10000;
    for (const std::string& move : moves) {
      Position.ApplyMove(move);
      const int value = SearchFlipped(depth - 1);
      if (value > best) best = value;
      Position.Squares = saved;
    }
    return best;
  }

  int SearchFlipped(int depth) {
    Position.Flip();
    const int value = Search(depth);
    Position.Flip();
    return -value;
  }

  // The root moves (left in Moves) and their unsorted score records.
  std::vector<TPlainScore> ScoreRootMoves() {
    const auto saved = Position.Squares;
    GenerateMoves();
    const TCheckersMoveArray root = Moves;
    std::vector<TPlainScore> records;
    for (int i = 0; i < static_cast<int>(root.size()); ++i) {
      Position.ApplyMove(root[i]);
      records.push_back({SearchFlipped(5), i});
      Position.Squares = saved;
    }
    Moves = root;
    return records;
  }

  std::string GetBestMove() {
    std::vector<TPlainScore> records = ScoreRootMoves();
    const TCheckersMoveArray root = Moves;
    const int n = static_cast<int>(records.size());
    if (n == 0) return {};
    for (int a = 0; a + 1 < n; ++a)
      for (int j = a + 1; j < n; ++j)
        if (records[a].Score < records[j].Score) std::swap(records[a], records[j]);
    int r = app::RandomBelow(100);
    if (n > 1 && records[0].Score - records[1].Score > 70) r = 0;
    int k = 0;
    if (r >= 51 && r <= 80 && n >= 2) k = 1;
    if (r >= 81 && r <= 90 && n >= 3) k = 2;
    if (r >= 91 && r <= 95 && n >= 4) k = 3;
    if (r >= 96 && n >= 5) k = 4;
    return root[records[k].Index];
  }

 private:
  static constexpr std::array<std::array<int, 2>, 4> kDirections = {
      {{-1, -1}, {-1, +1}, {+1, -1}, {+1, +1}}};

  static bool OnBoard(int file, int rank) {
    return file >= 0 && file <= 7 && rank >= 0 && rank <= 7;
  }
  static bool TwoSquares(int square, int fileStep, int rankStep) {
    return OnBoard(FileOf(square) + 2 * fileStep, RankOf(square) + 2 * rankStep);
  }
};

}  // namespace checkers::plain
