#include "games/chess/ChessEval.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>

namespace chess::engine {

namespace {

using TTable = std::array<int, 64>;

// Piece-square tables of the well-known tuned set (material included
// below), written from rank 8 down to rank 1 as White sees the board.
constexpr std::array<int, 7> kMiddlegameValue{0, 82, 477, 337, 365, 1025, 0};
constexpr std::array<int, 7> kEndgameValue{0, 94, 512, 281, 297, 936, 0};

// clang-format off
constexpr TTable kPawnMg{
      0,   0,   0,   0,   0,   0,   0,   0,
     98, 134,  61,  95,  68, 126,  34, -11,
     -6,   7,  26,  31,  65,  56,  25, -20,
    -14,  13,   6,  21,  23,  12,  17, -23,
    -27,  -2,  -5,  12,  17,   6,  10, -25,
    -26,  -4,  -4, -10,   3,   3,  33, -12,
    -35,  -1, -20, -23, -15,  24,  38, -22,
      0,   0,   0,   0,   0,   0,   0,   0};
constexpr TTable kPawnEg{
      0,   0,   0,   0,   0,   0,   0,   0,
    178, 173, 158, 134, 147, 132, 165, 187,
     94, 100,  85,  67,  56,  53,  82,  84,
     32,  24,  13,   5,  -2,   4,  17,  17,
     13,   9,  -3,  -7,  -7,  -8,   3,  -1,
      4,   7,  -6,   1,   0,  -5,  -1,  -8,
     13,   8,   8,  10,  13,   0,   2,  -7,
      0,   0,   0,   0,   0,   0,   0,   0};
constexpr TTable kKnightMg{
   -167, -89, -34, -49,  61, -97, -15,-107,
    -73, -41,  72,  36,  23,  62,   7, -17,
    -47,  60,  37,  65,  84, 129,  73,  44,
     -9,  17,  19,  53,  37,  69,  18,  22,
    -13,   4,  16,  13,  28,  19,  21,  -8,
    -23,  -9,  12,  10,  19,  17,  25, -16,
    -29, -53, -12,  -3,  -1,  18, -14, -19,
   -105, -21, -58, -33, -17, -28, -19, -23};
constexpr TTable kKnightEg{
    -58, -38, -13, -28, -31, -27, -63, -99,
    -25,  -8, -25,  -2,  -9, -25, -24, -52,
    -24, -20,  10,   9,  -1,  -9, -19, -41,
    -17,   3,  22,  22,  22,  11,   8, -18,
    -18,  -6,  16,  25,  16,  17,   4, -18,
    -23,  -3,  -1,  15,  10,  -3, -20, -22,
    -42, -20, -10,  -5,  -2, -20, -23, -44,
    -29, -51, -23, -15, -22, -18, -50, -64};
constexpr TTable kBishopMg{
    -29,   4, -82, -37, -25, -42,   7,  -8,
    -26,  16, -18, -13,  30,  59,  18, -47,
    -16,  37,  43,  40,  35,  50,  37,  -2,
     -4,   5,  19,  50,  37,  37,   7,  -2,
     -6,  13,  13,  26,  34,  12,  10,   4,
      0,  15,  15,  15,  14,  27,  18,  10,
      4,  15,  16,   0,   7,  21,  33,   1,
    -33,  -3, -14, -21, -13, -12, -39, -21};
constexpr TTable kBishopEg{
    -14, -21, -11,  -8,  -7,  -9, -17, -24,
     -8,  -4,   7, -12,  -3, -13,  -4, -14,
      2,  -8,   0,  -1,  -2,   6,   0,   4,
     -3,   9,  12,   9,  14,  10,   3,   2,
     -6,   3,  13,  19,   7,  10,  -3,  -9,
    -12,  -3,   8,  10,  13,   3,  -7, -15,
    -14, -18,  -7,  -1,   4,  -9, -15, -27,
    -23,  -9, -23,  -5,  -9, -16,  -5, -17};
constexpr TTable kRookMg{
     32,  42,  32,  51,  63,   9,  31,  43,
     27,  32,  58,  62,  80,  67,  26,  44,
     -5,  19,  26,  36,  17,  45,  61,  16,
    -24, -11,   7,  26,  24,  35,  -8, -20,
    -36, -26, -12,  -1,   9,  -7,   6, -23,
    -45, -25, -16, -17,   3,   0,  -5, -33,
    -44, -16, -20,  -9,  -1,  11,  -6, -71,
    -19, -13,   1,  17,  16,   7, -37, -26};
constexpr TTable kRookEg{
     13,  10,  18,  15,  12,  12,   8,   5,
     11,  13,  13,  11,  -3,   3,   8,   3,
      7,   7,   7,   5,   4,  -3,  -5,  -3,
      4,   3,  13,   1,   2,   1,  -1,   2,
      3,   5,   8,   4,  -5,  -6,  -8, -11,
     -4,   0,  -5,  -1,  -7, -12,  -8, -16,
     -6,  -6,   0,   2,  -9,  -9, -11,  -3,
     -9,   2,   3,  -1,  -5, -13,   4, -20};
constexpr TTable kQueenMg{
    -28,   0,  29,  12,  59,  44,  43,  45,
    -24, -39,  -5,   1, -16,  57,  28,  54,
    -13, -17,   7,   8,  29,  56,  47,  57,
    -27, -27, -16, -16,  -1,  17,  -2,   1,
     -9, -26,  -9, -10,  -2,  -4,   3,  -3,
    -14,   2, -11,  -2,  -5,   2,  14,   5,
    -35,  -8,  11,   2,   8,  15,  -3,   1,
     -1, -18,  -9,  10, -15, -25, -31, -50};
constexpr TTable kQueenEg{
     -9,  22,  22,  27,  27,  19,  10,  20,
    -17,  20,  32,  41,  58,  25,  30,   0,
    -20,   6,   9,  49,  47,  35,  19,   9,
      3,  22,  24,  45,  57,  40,  57,  36,
    -18,  28,  19,  47,  31,  34,  39,  23,
    -16, -27,  15,   6,   9,  17,  10,   5,
    -22, -23, -30, -16, -16, -23, -36, -32,
    -33, -28, -22, -43,  -5, -32, -20, -41};
constexpr TTable kKingMg{
    -65,  23,  16, -15, -56, -34,   2,  13,
     29,  -1, -20,  -7,  -8,  -4, -38, -29,
     -9,  24,   2, -16, -20,   6,  22, -22,
    -17, -20, -12, -27, -30, -25, -14, -36,
    -49,  -1, -27, -39, -46, -44, -33, -51,
    -14, -14, -22, -46, -44, -30, -15, -27,
      1,   7,  -8, -64, -43, -16,   9,   8,
    -15,  36,  12, -54,   8, -28,  24,  14};
constexpr TTable kKingEg{
    -74, -35, -18, -18, -11,  15,   4, -17,
    -12,  17,  14,  17,  17,  38,  23,  11,
     10,  17,  23,  15,  20,  45,  44,  13,
     -8,  22,  24,  27,  26,  33,  26,   3,
    -18,  -4,  21,  24,  27,  23,   9, -11,
    -19,  -3,  11,  21,  23,  16,   7,  -9,
    -27, -11,   4,  13,  14,   4,  -5, -17,
    -53, -34, -21, -11, -28, -14, -24, -43};
// clang-format on

// By piece type (index kPawn..kKing; 0 unused).
constexpr std::array<const TTable*, 7> kTablesMg{nullptr,    &kPawnMg,  &kRookMg, &kKnightMg,
                                                 &kBishopMg, &kQueenMg, &kKingMg};
constexpr std::array<const TTable*, 7> kTablesEg{nullptr,    &kPawnEg,  &kRookEg, &kKnightEg,
                                                 &kBishopEg, &kQueenEg, &kKingEg};
constexpr std::array<int, 7> kPhaseWeight{0, 0, 2, 1, 1, 4, 0};
constexpr int kFullPhase = 24;

struct TScore {
  int Mg = 0;
  int Eg = 0;
  void Add(int mg, int eg) {
    Mg += mg;
    Eg += eg;
  }
};

// Mobility: per reachable square beyond a typical count, by piece type.
constexpr std::array<int, 7> kMobilityMg{0, 0, 2, 4, 5, 1, 0};
constexpr std::array<int, 7> kMobilityEg{0, 0, 4, 4, 5, 2, 0};
constexpr std::array<int, 7> kMobilityBase{0, 0, 6, 4, 6, 12, 0};
// Weight of a piece's attacks on the squares around the other king.
constexpr std::array<int, 7> kKingAttackWeight{0, 0, 3, 2, 2, 5, 0};

constexpr std::array<int, 8> kPassedMg{0, 0, 5, 10, 20, 35, 60, 0};
constexpr std::array<int, 8> kPassedEg{0, 10, 15, 25, 40, 65, 100, 0};

int TableIndex(int colour, int square) { return colour == kWhite ? square ^ 56 : square; }

int Distance(int a, int b) {
  return std::max(std::abs(FileOf(a) - FileOf(b)), std::abs(RankOf(a) - RankOf(b)));
}

int CentreDistance(int square) {
  const int file = FileOf(square);
  const int rank = RankOf(square);
  return std::max(3 - file, file - 4) + std::max(3 - rank, rank - 4);
}

// The squares ahead of a pawn on its own file and the two beside it.
TBitboard PassedSpan(int colour, int square) {
  TBitboard files = FileMask(FileOf(square));
  if (FileOf(square) > 0) files |= FileMask(FileOf(square) - 1);
  if (FileOf(square) < 7) files |= FileMask(FileOf(square) + 1);
  const int rank = RankOf(square);
  const TBitboard ahead = colour == kWhite ? (rank == 7 ? 0 : ~TBitboard{0} << (8 * (rank + 1)))
                                           : (rank == 0 ? 0 : ~TBitboard{0} >> (8 * (8 - rank)));
  return files & ahead;
}

TBitboard AdjacentFiles(int file) {
  return (file > 0 ? FileMask(file - 1) : 0) | (file < 7 ? FileMask(file + 1) : 0);
}

void EvaluatePawns(const TPosition& position, int us, TScore& score) {
  const TBitboard own = position.Pieces(us, kPawn);
  const TBitboard theirs = position.Pieces(us ^ 1, kPawn);
  for (int file = 0; file < 8; ++file) {
    const int count = std::popcount(own & FileMask(file));
    if (count > 1) score.Add(-10 * (count - 1), -20 * (count - 1));
    if (count && !(own & AdjacentFiles(file))) score.Add(-10 * count, -15 * count);
  }
  for (TBitboard pawns = own; pawns; pawns &= pawns - 1) {
    const int square = std::countr_zero(pawns);
    if (PassedSpan(us, square) & theirs) continue;
    const int rank = RelativeRank(us, square);
    score.Add(kPassedMg[rank], kPassedEg[rank]);
    // An endgame pawn is worth more the nearer its own king and the
    // farther the other king from the square in front of it.
    const int front = square + Forward(us);
    if (front < 0 || front >= 64) continue;
    const int ownKing = position.KingSquare(us);
    const int otherKing = position.KingSquare(us ^ 1);
    if (ownKing >= 0 && otherKing >= 0)
      score.Add(0, (Distance(otherKing, front) * 5 - Distance(ownKing, front) * 2) * rank / 2);
  }
}

void EvaluateKingShelter(const TPosition& position, int us, TScore& score) {
  const int king = position.KingSquare(us);
  if (king < 0 || RelativeRank(us, king) > 1) return;
  const TBitboard own = position.Pieces(us, kPawn);
  const int kingFile = FileOf(king);
  for (int file = std::max(0, kingFile - 1); file <= std::min(7, kingFile + 1); ++file) {
    const TBitboard ahead = own & FileMask(file) & PassedSpan(us, king);
    if (ahead & RankMask(RankOf(king) + (us == kWhite ? 1 : -1))) continue;
    score.Add(ahead ? -10 : -25, 0);
  }
}

// Pieces' material, placement, mobility and pressure on the other king.
void EvaluatePieces(const TPosition& position, int us, TScore& score, int& phase) {
  const int them = us ^ 1;
  const TBitboard occupied = position.Occupied();
  const TBitboard unsafe = PawnAttackSet(them, position.Pieces(them, kPawn)) | position.Pieces(us);
  const int otherKing = position.KingSquare(them);
  const TBitboard kingZone =
      otherKing >= 0 ? KingAttacks(otherKing) | Bit(otherKing) : TBitboard{0};
  const TBitboard ownPawns = position.Pieces(us, kPawn);
  const TBitboard allPawns = position.PiecesOfType(kPawn);
  int attackers = 0;
  int attackUnits = 0;
  for (TBitboard pieces = position.Pieces(us); pieces; pieces &= pieces - 1) {
    const int square = std::countr_zero(pieces);
    const int type = position.TypeAt(square);
    const int index = TableIndex(us, square);
    score.Add(kMiddlegameValue[type] + (*kTablesMg[type])[index],
              kEndgameValue[type] + (*kTablesEg[type])[index]);
    phase += kPhaseWeight[type];
    if (type == kPawn || type == kKing) continue;
    if (type == kRook) {
      const TBitboard file = FileMask(FileOf(square));
      if (!(allPawns & file))
        score.Add(25, 10);
      else if (!(ownPawns & file))
        score.Add(10, 5);
    }
    const TBitboard attacks = PieceAttacks(type, square, occupied);
    const int mobility = std::popcount(attacks & ~unsafe) - kMobilityBase[type];
    score.Add(mobility * kMobilityMg[type], mobility * kMobilityEg[type]);
    if (const int hits = std::popcount(attacks & kingZone)) {
      ++attackers;
      attackUnits += kKingAttackWeight[type] * hits;
    }
  }
  if (std::popcount(position.Pieces(us, kBishop)) >= 2) score.Add(30, 50);
  if (attackers >= 2 && position.Pieces(us, kQueen))
    score.Add(std::min(500, attackUnits * attackUnits / 3), 0);
}

// A lone king is driven to the edge and met by the other king, so that
// the search finds mates past its horizon.
int MopUp(const TPosition& position, int strong) {
  const int weak = strong ^ 1;
  if (position.Pieces(weak) != position.Pieces(weak, kKing)) return 0;
  if (!position.HasPieces(strong)) return 0;
  const int strongKing = position.KingSquare(strong);
  const int weakKing = position.KingSquare(weak);
  if (strongKing < 0 || weakKing < 0) return 0;
  return 10 * CentreDistance(weakKing) + 4 * (14 - Distance(strongKing, weakKing) * 2);
}

int NonPawnMaterial(const TPosition& position, int colour) {
  int total = 0;
  for (int type : {kKnight, kBishop, kRook, kQueen})
    total += ExchangeValue(type) * std::popcount(position.Pieces(colour, type));
  return total;
}

// Without pawns a side needs more than a minor piece ahead to win.
bool CannotWin(const TPosition& position, int colour) {
  if (position.Pieces(colour, kPawn)) return false;
  return NonPawnMaterial(position, colour) - NonPawnMaterial(position, colour ^ 1) <
         ExchangeValue(kRook) - 100;
}

}  // namespace

int ExchangeValue(int type) {
  constexpr std::array<int, 7> kValues{0, 100, 500, 320, 330, 950, 20000};
  return kValues[type];
}

int Evaluate(const TPosition& position) {
  TScore white;
  TScore black;
  int phase = 0;
  EvaluatePieces(position, kWhite, white, phase);
  EvaluatePieces(position, kBlack, black, phase);
  EvaluatePawns(position, kWhite, white);
  EvaluatePawns(position, kBlack, black);
  EvaluateKingShelter(position, kWhite, white);
  EvaluateKingShelter(position, kBlack, black);
  phase = std::min(phase, kFullPhase);
  const int mg = white.Mg - black.Mg;
  const int eg = white.Eg - black.Eg + MopUp(position, kWhite) - MopUp(position, kBlack);
  int value = (mg * phase + eg * (kFullPhase - phase)) / kFullPhase;
  if ((value > 0 && CannotWin(position, kWhite)) || (value < 0 && CannotWin(position, kBlack)))
    value /= 8;
  constexpr int kTempo = 10;
  return (position.SideToMove() == kWhite ? value : -value) + kTempo;
}

bool ExchangeAtLeast(const TPosition& position, TMove move, int threshold) {
  const int from = MoveFrom(move);
  const int to = MoveTo(move);
  const int promotion = MovePromotion(move);
  const int captured = position.CapturedType(move);
  // balance: what the side to capture next stands to lose beyond what it
  // has already won, in the swap-off's negamax form.
  int balance = ExchangeValue(captured) - threshold;
  if (promotion) balance += ExchangeValue(promotion) - ExchangeValue(kPawn);
  if (balance < 0) return false;
  balance = ExchangeValue(promotion ? promotion : position.TypeAt(from)) - balance;
  if (balance <= 0) return true;

  TBitboard occupied = position.Occupied() ^ Bit(from) ^ Bit(to);
  if (captured == kPawn && !(position.Occupied() & Bit(to)))
    occupied ^= Bit(to - Forward(position.SideToMove()));
  TBitboard attackers = position.AttackersTo(to, occupied);
  const TBitboard diagonal = position.PiecesOfType(kBishop) | position.PiecesOfType(kQueen);
  const TBitboard straight = position.PiecesOfType(kRook) | position.PiecesOfType(kQueen);
  int side = position.SideToMove();
  int result = 1;
  for (;;) {
    side ^= 1;
    attackers &= occupied;
    const TBitboard mine = attackers & position.Pieces(side);
    if (!mine) break;
    result ^= 1;
    int type = kKing;
    for (int candidate : {kPawn, kKnight, kBishop, kRook, kQueen}) {
      if (mine & position.PiecesOfType(candidate)) {
        type = candidate;
        break;
      }
    }
    // A king takes only when nothing can take it back.
    if (type == kKing) return (attackers & position.Pieces(side ^ 1)) ? !result : result;
    balance = ExchangeValue(type) - balance;
    if (balance < result) break;
    const TBitboard pieces = mine & position.PiecesOfType(type);
    occupied ^= pieces & (~pieces + 1);
    if (type == kPawn || type == kBishop || type == kQueen)
      attackers |= BishopAttacks(to, occupied) & diagonal;
    if (type == kRook || type == kQueen) attackers |= RookAttacks(to, occupied) & straight;
  }
  return result != 0;
}

}  // namespace chess::engine
