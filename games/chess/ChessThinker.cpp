#include "games/chess/ChessThinker.h"

#include <algorithm>
#include <string>
#include <utility>

#include "app/MultiLog.h"
#include "app/Random.h"
#include "games/chess/ChessSearchBoard.h"

namespace chess {

namespace {

struct TStep {
  int X;
  int Y;
};

constexpr TStep kKnightSteps[] = {{-2, 1},  {2, 1},  {-1, 2},  {1, 2},
                                  {-1, -2}, {1, -2}, {-2, -1}, {2, -1}};
constexpr TStep kKingSteps[] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0},
                                {1, 0},   {-1, 1}, {0, 1},  {1, 1}};
constexpr TStep kBishopSlides[] = {{1, 1}, {1, -1}, {-1, -1}, {-1, 1}};
constexpr TStep kRookSlides[] = {{0, 1}, {0, -1}, {1, 0}, {-1, 0}};

bool IsOwnPiece(std::uint16_t value, std::uint8_t type) {
  return value == MakePiece(type, kSideToMove);
}

}  // namespace

bool TChessThinker::IsEmpty(int x, int y) const {
  return PieceType(Position.GetSquare({x, y})) == kEmpty;
}

void TChessThinker::AddMove(int fromX, int fromY, int toX, int toY) {
  const bool capture = PieceType(Position.GetSquare({toX, toY})) != kEmpty;
  Moves.push_back({fromX, fromY, toX, toY, capture});
}

// Adds the move when its target is on the board and empty or held by the
// other side.
void TChessThinker::AddStep(int fromX, int fromY, int toX, int toY) {
  if (!TChessPosition::OnBoard(toX, toY)) return;
  const std::uint16_t target = Position.GetSquare({toX, toY});
  if (PieceType(target) == kEmpty || PieceColour(target) == kOtherSide)
    AddMove(fromX, fromY, toX, toY);
}

void TChessThinker::AddPawnMoves(int x, int y) {
  if (y == 1 && IsEmpty(x, 2) && IsEmpty(x, 3)) AddMove(x, y, x, 3);
  if (y < 7 && IsEmpty(x, y + 1)) AddMove(x, y, x, y + 1);
  for (int side : {-1, 1}) {
    const int toX = x + side;
    const int toY = y + 1;
    if (!TChessPosition::OnBoard(toX, toY)) continue;
    const std::uint16_t target = Position.GetSquare({toX, toY});
    const bool enemy = PieceType(target) != kEmpty && PieceColour(target) == kOtherSide;
    if (enemy || platform::TPoint{toX, toY} == Position.EnPassant) AddMove(x, y, toX, toY);
  }
}

void TChessThinker::AddSlides(int x, int y, int stepX, int stepY) {
  for (int toX = x + stepX, toY = y + stepY; TChessPosition::OnBoard(toX, toY);
       toX += stepX, toY += stepY) {
    AddStep(x, y, toX, toY);
    if (!IsEmpty(toX, toY)) return;
  }
}

void TChessThinker::AddKingMoves(int x, int y) {
  for (const TStep& step : kKingSteps) AddStep(x, y, x + step.X, y + step.Y);
  if (x != 4 || y != 0) return;
  if (Position.OwnShortCastle && IsEmpty(5, 0) && IsEmpty(6, 0) &&
      IsOwnPiece(Position.GetSquare({7, 0}), kRook))
    AddMove(4, 0, 6, 0);
  if (Position.OwnLongCastle && IsEmpty(1, 0) && IsEmpty(2, 0) && IsEmpty(3, 0) &&
      IsOwnPiece(Position.GetSquare({0, 0}), kRook))
    AddMove(4, 0, 2, 0);
}

void TChessThinker::GeneratePseudoMoves() {
  Moves.clear();
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      const std::uint16_t value = Position.GetSquare({x, y});
      if (PieceType(value) == kEmpty || PieceColour(value) != kSideToMove) continue;
      switch (PieceType(value)) {
        case kPawn:
          AddPawnMoves(x, y);
          break;
        case kRook:
          for (const TStep& slide : kRookSlides) AddSlides(x, y, slide.X, slide.Y);
          break;
        case kKnight:
          for (const TStep& step : kKnightSteps) AddStep(x, y, x + step.X, y + step.Y);
          break;
        case kBishop:
          for (const TStep& slide : kBishopSlides) AddSlides(x, y, slide.X, slide.Y);
          break;
        case kQueen:
          for (const TStep& slide : kBishopSlides) AddSlides(x, y, slide.X, slide.Y);
          for (const TStep& slide : kRookSlides) AddSlides(x, y, slide.X, slide.Y);
          break;
        case kKing:
          AddKingMoves(x, y);
          break;
      }
    }
  }
}

// Plays the move on Position and generates the other side's replies: the
// move is illegal when one lands on a king, or, for a castling, when the
// king was in check or a reply lands on a square the castling crosses or
// fills. The caller restores Position; Moves is overwritten.
bool TChessThinker::IsLegalAfter(const TChessMove& move, bool inCheck) {
  const std::uint16_t value = Position.GetSquare({move.FromX, move.FromY});
  const bool fromE1 = PieceType(value) == kKing && move.FromX == 4 && move.FromY == 0;
  const bool shortCastle = fromE1 && move.ToX == 6 && move.ToY == 0;
  const bool longCastle = fromE1 && move.ToX == 2 && move.ToY == 0;
  if ((shortCastle || longCastle) && inCheck) return false;
  Position.ApplyMove(move);
  Position.Flip();
  GeneratePseudoMoves();
  for (const TChessMove& reply : Moves) {
    if (PieceType(Position.GetSquare({reply.ToX, reply.ToY})) == kKing) return false;
    // The moving side's rank 1 is rank 8 of the flipped board.
    if (reply.ToY != 7) continue;
    if (longCastle && reply.ToX >= 1 && reply.ToX <= 3) return false;
    if (shortCastle && (reply.ToX == 5 || reply.ToX == 6)) return false;
  }
  return true;
}

void TChessThinker::RemoveIllegalMoves() {
  const TChessPosition saved = Position;
  const TChessMoveArray candidates = Moves;
  const bool inCheck = IsInCheck();
  TChessMoveArray kept;
  for (const TChessMove& move : candidates) {
    if (IsLegalAfter(move, inCheck)) kept.push_back(move);
    Position.Assign(saved);
  }
  Moves = std::move(kept);
}

void TChessThinker::GenerateLegalMoves() {
  GeneratePseudoMoves();
  RemoveIllegalMoves();
}

bool TChessThinker::IsInCheck() {
  const TChessPosition saved = Position;
  const TChessMoveArray savedMoves = Moves;
  Position.Flip();
  GeneratePseudoMoves();
  bool check = false;
  for (const TChessMove& reply : Moves)
    check = check || PieceType(Position.GetSquare({reply.ToX, reply.ToY})) == kKing;
  Position.Assign(saved);
  Moves = savedMoves;
  return check;
}

bool TChessThinker::IsCheckmate() {
  GenerateLegalMoves();
  return Moves.empty() && IsInCheck();
}

bool TChessThinker::IsStalemate() {
  GenerateLegalMoves();
  return Moves.empty() && !IsInCheck();
}

// The negamax written out over TChessPosition, for positions the search
// board does not reproduce (square values outside the piece encoding, an
// en-passant square no double step could have left).
int TChessThinker::PlainSearch(int depth) {
  if (depth <= 0) return Position.Evaluate();
  const TChessPosition saved = Position;
  GenerateLegalMoves();
  const TChessMoveArray moves = Moves;
  int best = kNoMoveScore;
  for (const TChessMove& move : moves) {
    Position.ApplyMove(move);
    Position.Flip();
    best = std::max(best, -Search(depth - 1));
    Position.Assign(saved);
  }
  return best;
}

int TChessThinker::Search(int depth) {
  if (depth <= 0) return Position.Evaluate();
  if (const auto board = TSearchBoard::FromPosition(Position)) return SearchBoard(*board, depth);
  const TChessMoveArray savedMoves = Moves;
  const int value = PlainSearch(depth);
  Moves = savedMoves;
  return value;
}

int TChessThinker::SearchFlipped(int depth) {
  const TChessPosition saved = Position;
  Position.Flip();
  const int value = Search(depth);
  Position.Assign(saved);
  return -value;
}

std::vector<int> TChessThinker::ScoreMoves(const TChessMoveArray& moves) {
  const TChessPosition saved = Position;
  std::vector<int> scores;
  scores.reserve(moves.size());
  for (const TChessMove& move : moves) {
    Position.ApplyMove(move);
    scores.push_back(SearchFlipped(kReplyDepth));
    Position.Assign(saved);
  }
  return scores;
}

void SortScoreRecords(std::vector<TScoreRecord>& records) {
  for (std::size_t a = 0; a + 1 < records.size(); ++a)
    for (std::size_t j = a + 1; j < records.size(); ++j)
      if (records[a].Score < records[j].Score) std::swap(records[a], records[j]);
}

int ChooseRank(int r, int n) {
  int rank = 0;
  if (r >= 96)
    rank = 4;
  else if (r >= 91)
    rank = 3;
  else if (r >= 81)
    rank = 2;
  else if (r >= 51)
    rank = 1;
  return rank < n ? rank : 0;
}

void TChessThinker::GetBestWhiteMove(TChessMove& move) {
  GenerateLegalMoves();
  const TChessMoveArray rootMoves = Moves;
  const int n = static_cast<int>(rootMoves.size());
  app::Log("TChessThinker.GetBestWhiteMove:Amount=" + std::to_string(n));
  const std::vector<int> scores = ScoreMoves(rootMoves);
  Moves = rootMoves;
  if (n == 0) return;

  app::Log("TChessThinker.GetBestWhiteMove:Sort");
  std::vector<TScoreRecord> records;
  for (int i = 0; i < n; ++i) records.push_back({scores[i], i});
  SortScoreRecords(records);

  int r = app::RandomBelow(100);
  if (n > 1 && records[0].Score - records[1].Score > kClearBestGap) r = 0;
  app::Log("TChessThinker.GetBestWhiteMove:Dice=" + std::to_string(r));
  const int rank = ChooseRank(r, n);
  app::Log("TChessThinker.GetBestWhiteMove:Choice=" + std::to_string(rank));
  move = rootMoves[records[rank].Index];
}

std::uint64_t TChessThinker::PlainPerft(int depth) {
  if (depth <= 0) return 1;
  const TChessPosition saved = Position;
  GenerateLegalMoves();
  const TChessMoveArray moves = Moves;
  std::uint64_t count = 0;
  for (const TChessMove& move : moves) {
    Position.ApplyMove(move);
    Position.Flip();
    count += Perft(depth - 1);
    Position.Assign(saved);
  }
  return count;
}

std::uint64_t TChessThinker::Perft(int depth) {
  if (depth <= 0) return 1;
  if (const auto board = TSearchBoard::FromPosition(Position)) return PerftBoard(*board, depth);
  const TChessMoveArray savedMoves = Moves;
  const std::uint64_t count = PlainPerft(depth);
  Moves = savedMoves;
  return count;
}

}  // namespace chess
