#include "games/chess/ChessSearchBoard.h"

#include <algorithm>
#include <bit>
#include <climits>

#include "games/chess/ChessThinker.h"

namespace chess {

namespace {

using TBitboard = TSearchBoard::TBitboard;
using TMove = TSearchBoard::TMove;
using TMoveList = TSearchBoard::TMoveList;

// Ray directions: the first four step to higher square indices, the last
// four to lower ones, so a ray's nearest blocker is its lowest or highest bit.
constexpr std::array<int, 8> kRayFile{0, 1, 1, -1, 0, -1, -1, 1};
constexpr std::array<int, 8> kRayRank{1, 0, 1, 1, -1, 0, -1, -1};
constexpr std::array<int, 4> kRookRays{0, 1, 4, 5};
constexpr std::array<int, 4> kBishopRays{2, 3, 6, 7};
constexpr std::array<int, 8> kKnightFile{-2, 2, -1, 1, -1, 1, -2, 2};
constexpr std::array<int, 8> kKnightRank{1, 1, 2, 2, -2, -2, -1, -1};

struct TTables {
  std::array<TBitboard, 64> Knight{};
  std::array<TBitboard, 64> King{};
  // The squares a pawn of each colour on a square attacks.
  std::array<std::array<TBitboard, 64>, 2> PawnAttacks{};
  std::array<std::array<TBitboard, 64>, 8> Rays{};
  // Piece scores by colour, type and square, each colour seen from its own side.
  std::array<std::array<std::array<int, 64>, 7>, 2> Scores{};
};

constexpr TBitboard Bit(int square) { return TBitboard{1} << square; }

constexpr TBitboard StepTarget(int square, int fileStep, int rankStep) {
  const int file = (square & 7) + fileStep;
  const int rank = (square >> 3) + rankStep;
  return TChessPosition::OnBoard(file, rank) ? Bit(TChessPosition::Index(file, rank)) : 0;
}

constexpr TTables BuildTables() {
  TTables tables;
  for (int square = 0; square < 64; ++square) {
    for (int i = 0; i < 8; ++i) {
      tables.Knight[square] |= StepTarget(square, kKnightFile[i], kKnightRank[i]);
      tables.King[square] |= StepTarget(square, kRayFile[i], kRayRank[i]);
      for (int distance = 1; distance < 8; ++distance)
        tables.Rays[i][square] |=
            StepTarget(square, kRayFile[i] * distance, kRayRank[i] * distance);
    }
    tables.PawnAttacks[TSearchBoard::kWhite][square] =
        StepTarget(square, -1, 1) | StepTarget(square, 1, 1);
    tables.PawnAttacks[TSearchBoard::kBlack][square] =
        StepTarget(square, -1, -1) | StepTarget(square, 1, -1);
    const int file = square & 7;
    const int rank = square >> 3;
    for (std::uint8_t type = kPawn; type <= kKing; ++type) {
      tables.Scores[TSearchBoard::kWhite][type][square] = score::PieceScore(type, file, rank);
      tables.Scores[TSearchBoard::kBlack][type][square] = score::PieceScore(type, file, 7 - rank);
    }
  }
  return tables;
}

constexpr TTables kTables = BuildTables();

TBitboard RayAttacks(int ray, int square, TBitboard occupied) {
  TBitboard attacks = kTables.Rays[ray][square];
  const TBitboard blockers = attacks & occupied;
  if (blockers) {
    const int nearest = ray < 4 ? std::countr_zero(blockers) : 63 - std::countl_zero(blockers);
    attacks ^= kTables.Rays[ray][nearest];
  }
  return attacks;
}

TBitboard RookAttacks(int square, TBitboard occupied) {
  TBitboard attacks = 0;
  for (int ray : kRookRays) attacks |= RayAttacks(ray, square, occupied);
  return attacks;
}

TBitboard BishopAttacks(int square, TBitboard occupied) {
  TBitboard attacks = 0;
  for (int ray : kBishopRays) attacks |= RayAttacks(ray, square, occupied);
  return attacks;
}

std::uint8_t PieceCode(int type, int colour) {
  return static_cast<std::uint8_t>(type | (colour << 3));
}

}  // namespace

std::optional<TSearchBoard> TSearchBoard::FromPosition(const TChessPosition& position) {
  TSearchBoard board;
  for (int square = 0; square < 64; ++square) {
    const std::uint16_t value = position.Squares[square];
    const std::uint8_t type = PieceType(value);
    if (type == kEmpty) continue;
    if (type > kKing || PieceColour(value) > kSideToMove) return std::nullopt;
    board.Put(square, PieceCode(type, PieceColour(value) == kSideToMove ? kWhite : kBlack));
  }
  board.castling_ =
      (position.OwnShortCastle ? kWhiteShort : 0) | (position.OwnLongCastle ? kWhiteLong : 0) |
      (position.OppShortCastle ? kBlackShort : 0) | (position.OppLongCastle ? kBlackLong : 0);
  const platform::TPoint passed = position.EnPassant;
  if (passed.X >= 0) {
    if (passed.X > 7 || passed.Y != 5) return std::nullopt;
    const int square = TChessPosition::Index(passed.X, 5);
    if (board.squares_[square] != 0 || !board.HasPiece(square - 8, kBlack, kPawn))
      return std::nullopt;
    board.enPassant_ = square;
  }
  return board;
}

std::uint16_t TSearchBoard::SquareValue(int index) const {
  const int square = sideToMove_ == kWhite ? index : index ^ 56;
  const std::uint8_t piece = squares_[square];
  if (piece == 0) return 0;
  return MakePiece(piece & 7, (piece >> 3) == sideToMove_ ? kSideToMove : kOtherSide);
}

inline int TSearchBoard::Contribution(int square) const {
  const std::uint8_t piece = squares_[square];
  const int colour = piece >> 3;
  const int type = piece & 7;
  const int file = square & 7;
  int value = kTables.Scores[colour][type][square];
  if (type == kPawn && HasPiece(HomeRow(colour) + file, colour, kRook))
    value += score::kRookBehindPawn;
  if (type == kRook && square == HomeRow(colour) + file)
    value += score::kRookBehindPawn * pawnsOnFile_[colour][file];
  return value;
}

void TSearchBoard::Put(int square, std::uint8_t piece) {
  const int colour = piece >> 3;
  const int type = piece & 7;
  squares_[square] = piece;
  byColour_[colour] |= Bit(square);
  byType_[type] |= Bit(square);
  if (type == kPawn) ++pawnsOnFile_[colour][square & 7];
  score_[colour] += Contribution(square);
}

void TSearchBoard::Remove(int square) {
  const std::uint8_t piece = squares_[square];
  const int colour = piece >> 3;
  const int type = piece & 7;
  score_[colour] -= Contribution(square);
  if (type == kPawn) --pawnsOnFile_[colour][square & 7];
  squares_[square] = 0;
  byColour_[colour] &= ~Bit(square);
  byType_[type] &= ~Bit(square);
}

void TSearchBoard::MovePiece(int from, int to) {
  const std::uint8_t piece = squares_[from];
  if (piece == 0) return;
  Remove(from);
  Put(to, piece);
}

void TSearchBoard::MakeMove(TMove move) {
  const int side = sideToMove_;
  const int home = HomeRow(side);
  const std::uint8_t piece = squares_[move.From];
  const int type = piece & 7;

  if (squares_[move.To]) Remove(move.To);
  Remove(move.From);
  const bool promotes = type == kPawn && OwnRank(side, move.To) == 7;
  Put(move.To, promotes ? PieceCode(kQueen, side) : piece);
  if (type == kPawn && move.To == enPassant_ && squares_[move.To - Forward(side)])
    Remove(move.To - Forward(side));

  enPassant_ = -1;
  if (type == kPawn && OwnRank(side, move.From) == 1 && OwnRank(side, move.To) == 3)
    enPassant_ = move.From + Forward(side);

  const std::uint8_t ownShort = side == kWhite ? kWhiteShort : kBlackShort;
  const std::uint8_t ownLong = side == kWhite ? kWhiteLong : kBlackLong;
  if (type == kKing) {
    if (move.From == home + 4 && move.To == home + 6) MovePiece(home + 7, home + 5);
    if (move.From == home + 4 && move.To == home + 2) MovePiece(home, home + 3);
    castling_ &= ~(ownShort | ownLong);
  }
  const int otherHome = HomeRow(side ^ 1);
  if (move.To == otherHome) castling_ &= ~(side == kWhite ? kBlackLong : kWhiteLong);
  if (move.To == otherHome + 7) castling_ &= ~(side == kWhite ? kBlackShort : kWhiteShort);
  if (type == kRook && move.From == home) castling_ &= ~ownLong;
  if (type == kRook && move.From == home + 7) castling_ &= ~ownShort;

  sideToMove_ ^= 1;
}

int TSearchBoard::Gain(TMove move) const {
  const int side = sideToMove_;
  const int home = HomeRow(side);
  const int type = TypeAt(move.From);
  const int toFile = move.To & 7;

  // The other side's loss counts for the mover.
  int gain = squares_[move.To] ? Contribution(move.To) : 0;
  if (type == kKnight || type == kBishop || type == kQueen ||
      (type == kKing && (move.From != home + 4 || (move.To != home + 6 && move.To != home + 2))))
    return gain + kTables.Scores[side][type][move.To] - kTables.Scores[side][type][move.From];
  if (type == kPawn && move.To == enPassant_ && squares_[move.To - Forward(side)])
    gain += Contribution(move.To - Forward(side));

  gain -= Contribution(move.From);
  const int placed = type == kPawn && OwnRank(side, move.To) == 7 ? kQueen : type;
  gain += kTables.Scores[side][placed][move.To];
  if (placed == kPawn && HasPiece(home + toFile, side, kRook)) gain += score::kRookBehindPawn;
  if (placed == kRook && move.To == home + toFile)
    gain += score::kRookBehindPawn * pawnsOnFile_[side][toFile];

  if (type == kKing && move.From == home + 4 && (move.To == home + 6 || move.To == home + 2)) {
    const int rookFrom = move.To == home + 6 ? home + 7 : home;
    const int rookTo = move.To == home + 6 ? home + 5 : home + 3;
    gain += kTables.Scores[side][kRook][rookTo] - Contribution(rookFrom) +
            score::kRookBehindPawn * pawnsOnFile_[side][rookTo & 7];
  }
  return gain;
}

void TSearchBoard::AddPieceMoves(TMoveList& list, int from, TBitboard targets) {
  for (; targets; targets &= targets - 1)
    list.Moves[list.Count++] = {static_cast<std::uint8_t>(from),
                                static_cast<std::uint8_t>(std::countr_zero(targets))};
}

void TSearchBoard::AddCastlings(TMoveList& list) const {
  const int side = sideToMove_;
  const int home = HomeRow(side);
  if (!HasPiece(home + 4, side, kKing)) return;
  const std::uint8_t ownShort = side == kWhite ? kWhiteShort : kBlackShort;
  const std::uint8_t ownLong = side == kWhite ? kWhiteLong : kBlackLong;
  const auto king = static_cast<std::uint8_t>(home + 4);
  if ((castling_ & ownShort) && !squares_[home + 5] && !squares_[home + 6] &&
      HasPiece(home + 7, side, kRook))
    list.Moves[list.Count++] = {king, static_cast<std::uint8_t>(home + 6)};
  if ((castling_ & ownLong) && !squares_[home + 1] && !squares_[home + 2] && !squares_[home + 3] &&
      HasPiece(home, side, kRook))
    list.Moves[list.Count++] = {king, static_cast<std::uint8_t>(home + 2)};
}

TSearchBoard::TTargets TSearchBoard::PieceTargets(int from) const {
  const int side = sideToMove_;
  const TBitboard own = byColour_[side];
  const TBitboard enemy = byColour_[side ^ 1];
  const TBitboard occupied = own | enemy;
  TBitboard targets = 0;
  switch (TypeAt(from)) {
    case kPawn: {
      const int forward = Forward(side);
      const TBitboard lastRank = TBitboard{0xFF} << (side == kWhite ? 56 : 0);
      const TBitboard victims = enemy | (enPassant_ >= 0 ? Bit(enPassant_) : 0);
      if (OwnRank(side, from) < 7 && !(occupied & Bit(from + forward))) {
        targets = Bit(from + forward);
        if (OwnRank(side, from) == 1 && !(occupied & Bit(from + 2 * forward)))
          targets |= Bit(from + 2 * forward);
      }
      return {(kTables.PawnAttacks[side][from] & victims) | (targets & lastRank),
              targets & ~lastRank};
    }
    case kKnight:
      targets = kTables.Knight[from];
      break;
    case kBishop:
      targets = BishopAttacks(from, occupied);
      break;
    case kRook:
      targets = RookAttacks(from, occupied);
      break;
    case kQueen:
      targets = BishopAttacks(from, occupied) | RookAttacks(from, occupied);
      break;
    case kKing:
      targets = kTables.King[from];
      break;
  }
  return {targets & enemy, targets & ~occupied};
}

bool TSearchBoard::IsPseudoMove(TMove move) const {
  if (!(byColour_[sideToMove_] & Bit(move.From))) return false;
  const TTargets targets = PieceTargets(move.From);
  return ((targets.Tactical | targets.Quiet) & Bit(move.To)) != 0;
}

void TSearchBoard::GeneratePseudoMoves(TMoveList& list) const {
  list.Count = 0;
  // Captures and promotions go first; the other targets wait here.
  struct TQuiet {
    int From;
    TBitboard Targets;
  };
  std::array<TQuiet, 64> quiet;
  int quietCount = 0;
  for (TBitboard pieces = byColour_[sideToMove_]; pieces; pieces &= pieces - 1) {
    const int from = std::countr_zero(pieces);
    const TTargets targets = PieceTargets(from);
    AddPieceMoves(list, from, targets.Tactical);
    if (targets.Quiet) quiet[quietCount++] = {from, targets.Quiet};
  }
  for (int i = 0; i < quietCount; ++i) AddPieceMoves(list, quiet[i].From, quiet[i].Targets);
  AddCastlings(list);
}

bool TSearchBoard::Attacked(int square, int byColour) const {
  const TBitboard attackers = byColour_[byColour];
  const TBitboard occupied = byColour_[0] | byColour_[1];
  const TBitboard queens = byType_[kQueen];
  return (kTables.PawnAttacks[byColour ^ 1][square] & attackers & byType_[kPawn]) ||
         (kTables.Knight[square] & attackers & byType_[kKnight]) ||
         (kTables.King[square] & attackers & byType_[kKing]) ||
         (BishopAttacks(square, occupied) & attackers & (byType_[kBishop] | queens)) ||
         (RookAttacks(square, occupied) & attackers & (byType_[kRook] | queens));
}

bool TSearchBoard::LandedOnEmpty(int square, int byColour) const {
  const TBitboard attackers = byColour_[byColour];
  const TBitboard occupied = byColour_[0] | byColour_[1];
  const TBitboard queens = byType_[kQueen];
  if ((kTables.Knight[square] & attackers & byType_[kKnight]) ||
      (kTables.King[square] & attackers & byType_[kKing]) ||
      (BishopAttacks(square, occupied) & attackers & (byType_[kBishop] | queens)) ||
      (RookAttacks(square, occupied) & attackers & (byType_[kRook] | queens)))
    return true;
  const int rank = OwnRank(byColour, square);
  const int behind = square - Forward(byColour);
  if (rank >= 1 && HasPiece(behind, byColour, kPawn)) return true;
  return rank == 3 && !squares_[behind] && HasPiece(behind - Forward(byColour), byColour, kPawn);
}

bool TSearchBoard::KingAttacked(int colour) const {
  for (TBitboard kings = byType_[kKing] & byColour_[colour]; kings; kings &= kings - 1)
    if (Attacked(std::countr_zero(kings), colour ^ 1)) return true;
  return false;
}

bool TSearchBoard::IsLegalAfter(TMove move, const TSearchBoard& after, bool inCheck) const {
  const int side = sideToMove_;
  const int other = side ^ 1;
  const int home = HomeRow(side);
  const bool castles = TypeAt(move.From) == kKing && move.From == home + 4 &&
                       (move.To == home + 6 || move.To == home + 2);
  if (castles && inCheck) return false;
  if (after.KingAttacked(side)) return false;
  if (!castles) return true;
  if (move.To == home + 6)
    return !after.Attacked(home + 5, other) && !after.Attacked(home + 6, other);
  return !after.Attacked(home + 3, other) && !after.Attacked(home + 2, other) &&
         !after.LandedOnEmpty(home + 1, other);
}

namespace {

constexpr int kFloor = TChessThinker::kNoMoveScore;
constexpr int kInfinity = 1 << 28;

// What one search shares between its nodes: the move that last settled a
// node one ply above the horizon, tried first at the next such node.
struct TSearchContext {
  TMove Killer{0, 0};
  bool HasKiller = false;
};

// A node one ply above the horizon, whose value is the evaluation plus the
// best legal move's gain. Fail-soft against beta: a legal move reaching
// beta settles the node at once (tried first: the killer, before any
// generation, then the moves in generation order, captures first); otherwise the moves are tried in
// order of gain until one is legal, which gives the exact value.
int BestReplyValue(const TSearchBoard& board, int beta, TSearchContext& context) {
  const int evaluation = board.Evaluate();
  int inCheck = -1;
  auto isLegal = [&](TMove move) {
    TSearchBoard after = board;
    after.MakeMove(move);
    if (inCheck < 0) inCheck = board.IsInCheck() ? 1 : 0;
    return board.IsLegalAfter(move, after, inCheck == 1);
  };
  auto settle = [&](TMove move, int value) {
    context.Killer = move;
    context.HasKiller = true;
    return std::max(value, kFloor);
  };

  if (context.HasKiller && board.IsPseudoMove(context.Killer)) {
    const int value = evaluation + board.Gain(context.Killer);
    if (value >= beta && isLegal(context.Killer)) return settle(context.Killer, value);
  }

  TMoveList list;
  board.GeneratePseudoMoves(list);

  std::array<int, TSearchBoard::kMaxMoves> gains;
  for (int i = 0; i < list.Count; ++i) {
    gains[i] = board.Gain(list.Moves[i]);
    if (evaluation + gains[i] < beta) continue;
    if (isLegal(list.Moves[i])) return settle(list.Moves[i], evaluation + gains[i]);
    gains[i] = INT_MIN;
  }

  for (int tried = 0; tried < list.Count; ++tried) {
    const int best = static_cast<int>(std::max_element(gains.begin(), gains.begin() + list.Count) -
                                      gains.begin());
    if (gains[best] == INT_MIN || evaluation + gains[best] <= kFloor) break;
    if (isLegal(list.Moves[best])) return settle(list.Moves[best], evaluation + gains[best]);
    gains[best] = INT_MIN;
  }
  return kFloor;
}

// Sorts the moves by descending gain, so that cut-offs come early.
void OrderByGain(const TSearchBoard& board, TMoveList& list) {
  std::array<int, TSearchBoard::kMaxMoves> gains;
  for (int i = 0; i < list.Count; ++i) {
    const TMove move = list.Moves[i];
    const int gain = board.Gain(move);
    int j = i;
    for (; j > 0 && gains[j - 1] < gain; --j) {
      gains[j] = gains[j - 1];
      list.Moves[j] = list.Moves[j - 1];
    }
    gains[j] = gain;
    list.Moves[j] = move;
  }
}

// Fail-soft alpha-beta negamax; every node's value is at least kFloor.
int Negamax(const TSearchBoard& board, int depth, int alpha, int beta, TSearchContext& context) {
  if (depth <= 0) return board.Evaluate();
  if (depth == 1) return BestReplyValue(board, beta, context);
  int best = kFloor;
  if (best >= beta) return best;
  alpha = std::max(alpha, best);
  TMoveList list;
  board.GeneratePseudoMoves(list);
  OrderByGain(board, list);
  const bool inCheck = board.IsInCheck();
  for (int i = 0; i < list.Count; ++i) {
    TSearchBoard after = board;
    after.MakeMove(list.Moves[i]);
    if (!board.IsLegalAfter(list.Moves[i], after, inCheck)) continue;
    const int value = -Negamax(after, depth - 1, -beta, -alpha, context);
    if (value > best) {
      best = value;
      alpha = std::max(alpha, best);
      if (alpha >= beta) break;
    }
  }
  return best;
}

}  // namespace

int SearchBoard(const TSearchBoard& board, int depth) {
  TSearchContext context;
  return Negamax(board, depth, -kInfinity, kInfinity, context);
}

std::uint64_t PerftBoard(const TSearchBoard& board, int depth) {
  if (depth <= 0) return 1;
  TSearchBoard::TMoveList list;
  board.GeneratePseudoMoves(list);
  const bool inCheck = board.IsInCheck();
  std::uint64_t count = 0;
  for (int i = 0; i < list.Count; ++i) {
    TSearchBoard after = board;
    after.MakeMove(list.Moves[i]);
    if (!board.IsLegalAfter(list.Moves[i], after, inCheck)) continue;
    count += depth == 1 ? 1 : PerftBoard(after, depth - 1);
  }
  return count;
}

}  // namespace chess
