#include "games/chess/ChessEngineBoard.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <vector>

namespace chess::engine {

namespace {

struct TAttackTables {
  std::array<TBitboard, 64> Knight{};
  std::array<TBitboard, 64> King{};
  std::array<std::array<TBitboard, 64>, 2> Pawn{};
  // The lines through each square, the square itself left out.
  std::array<TBitboard, 64> File{};
  std::array<TBitboard, 64> Diagonal{};
  std::array<TBitboard, 64> AntiDiagonal{};
  // Sliding attacks along one rank: by file and the occupancy of files b..g.
  std::array<std::array<std::uint8_t, 64>, 8> RankSlide{};
};

constexpr TBitboard Offset(int square, int fileStep, int rankStep) {
  const int file = FileOf(square) + fileStep;
  const int rank = RankOf(square) + rankStep;
  return file >= 0 && file < 8 && rank >= 0 && rank < 8 ? Bit(rank * 8 + file) : 0;
}

constexpr TBitboard Line(int square, int fileStep, int rankStep) {
  TBitboard line = 0;
  for (int distance = 1; distance < 8; ++distance)
    line |= Offset(square, fileStep * distance, rankStep * distance);
  return line;
}

constexpr std::uint8_t SlideAlongRank(int file, int occupancy) {
  std::uint8_t attacks = 0;
  for (int step : {-1, 1}) {
    for (int f = file + step; f >= 0 && f < 8; f += step) {
      attacks |= static_cast<std::uint8_t>(1 << f);
      if (occupancy & (1 << f)) break;
    }
  }
  return attacks;
}

constexpr TAttackTables BuildAttackTables() {
  TAttackTables tables;
  constexpr int kKnightSteps[8][2] = {{1, 2},   {2, 1},   {2, -1}, {1, -2},
                                      {-1, -2}, {-2, -1}, {-2, 1}, {-1, 2}};
  for (int square = 0; square < 64; ++square) {
    for (const auto& step : kKnightSteps) tables.Knight[square] |= Offset(square, step[0], step[1]);
    for (int file = -1; file <= 1; ++file)
      for (int rank = -1; rank <= 1; ++rank)
        if (file || rank) tables.King[square] |= Offset(square, file, rank);
    tables.Pawn[kWhite][square] = Offset(square, -1, 1) | Offset(square, 1, 1);
    tables.Pawn[kBlack][square] = Offset(square, -1, -1) | Offset(square, 1, -1);
    tables.File[square] = Line(square, 0, 1) | Line(square, 0, -1);
    tables.Diagonal[square] = Line(square, 1, 1) | Line(square, -1, -1);
    tables.AntiDiagonal[square] = Line(square, 1, -1) | Line(square, -1, 1);
  }
  for (int file = 0; file < 8; ++file)
    for (int inner = 0; inner < 64; ++inner)
      tables.RankSlide[file][inner] = SlideAlongRank(file, inner << 1);
  return tables;
}

constexpr TAttackTables kAttacks = BuildAttackTables();

// Attacks along a file or diagonal: the difference of the occupancy and
// twice the slider's bit runs up to the first blocker; doing the same on
// the byte-swapped board gives the other direction.
TBitboard LineAttacks(int square, TBitboard occupied, TBitboard mask) {
  TBitboard forward = occupied & mask;
  TBitboard reverse = __builtin_bswap64(forward);
  forward -= Bit(square);
  reverse -= Bit(square ^ 56);
  forward ^= __builtin_bswap64(reverse);
  return forward & mask;
}

TBitboard RankAttacks(int square, TBitboard occupied) {
  const int shift = square & 56;
  const int inner = static_cast<int>((occupied >> (shift + 1)) & 63);
  return static_cast<TBitboard>(kAttacks.RankSlide[FileOf(square)][inner]) << shift;
}

// Zobrist keys from a fixed-seed splitmix64 stream.
struct TZobrist {
  std::array<std::array<std::array<std::uint64_t, 64>, 7>, 2> Piece{};
  std::array<std::uint64_t, 16> Castling{};
  std::array<std::uint64_t, 8> EnPassant{};
  std::uint64_t Black = 0;
};

constexpr TZobrist BuildZobrist() {
  TZobrist keys;
  std::uint64_t state = 0x4C75646578436865ULL;
  auto next = [&state] {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  };
  for (auto& colour : keys.Piece)
    for (auto& type : colour)
      for (auto& key : type) key = next();
  for (auto& key : keys.Castling) key = next();
  for (auto& key : keys.EnPassant) key = next();
  keys.Black = next();
  return keys;
}

constexpr TZobrist kZobrist = BuildZobrist();

constexpr std::string_view kPieceLetters = " prnbqk";

int PieceCode(int colour, int type) { return type | (colour << 3); }

}  // namespace

TBitboard KnightAttacks(int square) { return kAttacks.Knight[square]; }
TBitboard KingAttacks(int square) { return kAttacks.King[square]; }
TBitboard PawnAttacks(int colour, int square) { return kAttacks.Pawn[colour][square]; }

TBitboard BishopAttacks(int square, TBitboard occupied) {
  return LineAttacks(square, occupied, kAttacks.Diagonal[square]) |
         LineAttacks(square, occupied, kAttacks.AntiDiagonal[square]);
}

TBitboard RookAttacks(int square, TBitboard occupied) {
  return LineAttacks(square, occupied, kAttacks.File[square]) | RankAttacks(square, occupied);
}

TBitboard PieceAttacks(int type, int square, TBitboard occupied) {
  switch (type) {
    case kKnight:
      return KnightAttacks(square);
    case kBishop:
      return BishopAttacks(square, occupied);
    case kRook:
      return RookAttacks(square, occupied);
    case kQueen:
      return BishopAttacks(square, occupied) | RookAttacks(square, occupied);
    case kKing:
      return KingAttacks(square);
    default:
      return 0;
  }
}

TBitboard PawnAttackSet(int colour, TBitboard pawns) {
  const TBitboard west = pawns & ~FileMask(0);
  const TBitboard east = pawns & ~FileMask(7);
  return colour == kWhite ? (west << 7) | (east << 9) : (west >> 9) | (east >> 7);
}

TPosition::TPosition(TRules rules) : rules_(rules) {}

TPosition TPosition::Start(TRules rules) {
  TPosition position(rules);
  constexpr int kBackRank[8] = {kRook, kKnight, kBishop, kQueen, kKing, kBishop, kKnight, kRook};
  for (int file = 0; file < 8; ++file) {
    position.Put(file, kWhite, kBackRank[file]);
    position.Put(8 + file, kWhite, kPawn);
    position.Put(48 + file, kBlack, kPawn);
    position.Put(56 + file, kBlack, kBackRank[file]);
  }
  position.SetCastling(kWhiteShort | kWhiteLong | kBlackShort | kBlackLong);
  return position;
}

void TPosition::Put(int square, int colour, int type) {
  if (squares_[square]) Remove(square);
  squares_[square] = static_cast<std::uint8_t>(PieceCode(colour, type));
  byColour_[colour] |= Bit(square);
  byType_[type] |= Bit(square);
  hash_ ^= kZobrist.Piece[colour][type][square];
}

void TPosition::Remove(int square) {
  const int colour = ColourAt(square);
  const int type = TypeAt(square);
  squares_[square] = 0;
  byColour_[colour] &= ~Bit(square);
  byType_[type] &= ~Bit(square);
  hash_ ^= kZobrist.Piece[colour][type][square];
}

void TPosition::MovePiece(int from, int to) {
  if (!squares_[from]) return;
  const int colour = ColourAt(from);
  const int type = TypeAt(from);
  Remove(from);
  Put(to, colour, type);
}

void TPosition::SetSideToMove(int colour) {
  hash_ ^= EnPassantKey();
  if (colour != side_) hash_ ^= kZobrist.Black;
  side_ = colour;
  hash_ ^= EnPassantKey();
}

void TPosition::SetCastling(int rights) {
  hash_ ^= kZobrist.Castling[castling_] ^ kZobrist.Castling[rights & 15];
  castling_ = rights & 15;
}

void TPosition::SetEnPassant(int square) {
  hash_ ^= EnPassantKey();
  enPassant_ = square;
  hash_ ^= EnPassantKey();
}

// The en-passant square counts for the key only when a pawn could take
// there, so that positions which only differ by an unusable square repeat.
std::uint64_t TPosition::EnPassantKey() const {
  if (enPassant_ < 0 || !(PawnAttacks(side_ ^ 1, enPassant_) & Pieces(side_, kPawn))) return 0;
  return kZobrist.EnPassant[FileOf(enPassant_)];
}

void TPosition::DropImpossibleCastling() {
  int rights = castling_;
  for (int colour : {kWhite, kBlack}) {
    const int home = colour == kWhite ? 0 : 56;
    const int shortRight = colour == kWhite ? kWhiteShort : kBlackShort;
    const int longRight = colour == kWhite ? kWhiteLong : kBlackLong;
    if (squares_[home + 4] != PieceCode(colour, kKing)) rights &= ~(shortRight | longRight);
    if (squares_[home + 7] != PieceCode(colour, kRook)) rights &= ~shortRight;
    if (squares_[home] != PieceCode(colour, kRook)) rights &= ~longRight;
  }
  SetCastling(rights);
}

int TPosition::KingSquare(int colour) const {
  const TBitboard kings = Pieces(colour, kKing);
  return kings ? std::countr_zero(kings) : -1;
}

bool TPosition::HasPieces(int colour) const {
  return (Pieces(colour) & ~byType_[kPawn] & ~byType_[kKing]) != 0;
}

TBitboard TPosition::AttackersTo(int square, TBitboard occupied) const {
  const TBitboard diagonal = byType_[kBishop] | byType_[kQueen];
  const TBitboard straight = byType_[kRook] | byType_[kQueen];
  return (PawnAttacks(kBlack, square) & Pieces(kWhite, kPawn)) |
         (PawnAttacks(kWhite, square) & Pieces(kBlack, kPawn)) |
         (KnightAttacks(square) & byType_[kKnight]) | (KingAttacks(square) & byType_[kKing]) |
         (BishopAttacks(square, occupied) & diagonal) | (RookAttacks(square, occupied) & straight);
}

bool TPosition::Attacked(int square, int byColour) const {
  return (PawnAttacks(byColour ^ 1, square) & Pieces(byColour, kPawn)) ||
         ReachedByPiece(square, byColour);
}

bool TPosition::ReachedByPiece(int square, int byColour) const {
  const TBitboard them = byColour_[byColour];
  const TBitboard occupied = Occupied();
  return (KnightAttacks(square) & them & byType_[kKnight]) ||
         (KingAttacks(square) & them & byType_[kKing]) ||
         (BishopAttacks(square, occupied) & them & (byType_[kBishop] | byType_[kQueen])) ||
         (RookAttacks(square, occupied) & them & (byType_[kRook] | byType_[kQueen]));
}

bool TPosition::InCheck() const {
  for (TBitboard kings = Pieces(side_, kKing); kings; kings &= kings - 1)
    if (Attacked(std::countr_zero(kings), side_ ^ 1)) return true;
  return false;
}

void TPosition::AddPromotions(TMoveList& list, int from, int to, int kinds) const {
  if (kinds & kTactical) list.Add(PackMove(from, to, kQueen));
  if (!(kinds & kQuiet) || rules_ == TRules::Program) return;
  for (int type : {kKnight, kRook, kBishop}) list.Add(PackMove(from, to, type));
}

void TPosition::AddPawnMoves(TMoveList& list, int kinds) const {
  const int us = side_;
  const int forward = Forward(us);
  const TBitboard empty = ~Occupied();
  const TBitboard lastRank = RankMask(us == kWhite ? 7 : 0);
  const TBitboard victims = Pieces(us ^ 1) | (enPassant_ >= 0 ? Bit(enPassant_) : 0);
  for (TBitboard pawns = Pieces(us, kPawn); pawns; pawns &= pawns - 1) {
    const int from = std::countr_zero(pawns);
    const int ahead = from + forward;
    if (ahead >= 0 && ahead < 64 && (empty & Bit(ahead))) {
      if (Bit(ahead) & lastRank) {
        AddPromotions(list, from, ahead, kinds);
      } else if (kinds & kQuiet) {
        list.Add(PackMove(from, ahead));
        if (RelativeRank(us, from) == 1 && (empty & Bit(ahead + forward)))
          list.Add(PackMove(from, ahead + forward));
      }
    }
    for (TBitboard targets = PawnAttacks(us, from) & victims; targets; targets &= targets - 1) {
      const int to = std::countr_zero(targets);
      if (Bit(to) & lastRank)
        AddPromotions(list, from, to, kinds);
      else if (kinds & kTactical)
        list.Add(PackMove(from, to));
    }
  }
}

void TPosition::AddCastlings(TMoveList& list) const {
  const int us = side_;
  const int home = us == kWhite ? 0 : 56;
  if (squares_[home + 4] != PieceCode(us, kKing)) return;
  const int shortRight = us == kWhite ? kWhiteShort : kBlackShort;
  const int longRight = us == kWhite ? kWhiteLong : kBlackLong;
  const TBitboard occupied = Occupied();
  if ((castling_ & shortRight) && !(occupied & (Bit(home + 5) | Bit(home + 6))) &&
      squares_[home + 7] == PieceCode(us, kRook))
    list.Add(PackMove(home + 4, home + 6));
  if ((castling_ & longRight) && !(occupied & (Bit(home + 1) | Bit(home + 2) | Bit(home + 3))) &&
      squares_[home] == PieceCode(us, kRook))
    list.Add(PackMove(home + 4, home + 2));
}

void TPosition::Generate(TMoveList& list, int kinds) const {
  list.Count = 0;
  const int us = side_;
  const TBitboard occupied = Occupied();
  TBitboard targets = 0;
  if (kinds & kTactical) targets |= Pieces(us ^ 1);
  if (kinds & kQuiet) targets |= ~occupied;
  AddPawnMoves(list, kinds);
  for (TBitboard pieces = Pieces(us) & ~byType_[kPawn]; pieces; pieces &= pieces - 1) {
    const int from = std::countr_zero(pieces);
    for (TBitboard attacks = PieceAttacks(TypeAt(from), from, occupied) & targets; attacks;
         attacks &= attacks - 1)
      list.Add(PackMove(from, std::countr_zero(attacks)));
  }
  if (kinds & kQuiet) AddCastlings(list);
}

bool TPosition::IsPseudoLegal(TMove move) const {
  const int from = MoveFrom(move);
  if (move == kNoMove || !(Pieces(side_) & Bit(from))) return false;
  // The full list is short, and the search asks this only of the few
  // moves it tries before generating (the stored best move, the killers).
  TMoveList list;
  Generate(list, kAllMoves);
  for (int i = 0; i < list.Count; ++i)
    if (list.Moves[i] == move) return true;
  return false;
}

int TPosition::CapturedType(TMove move) const {
  const int to = MoveTo(move);
  if (squares_[to]) return TypeAt(to);
  if (to == enPassant_ && TypeAt(MoveFrom(move)) == kPawn && FileOf(MoveFrom(move)) != FileOf(to))
    return kPawn;
  return kEmpty;
}

bool TPosition::IsCapture(TMove move) const { return CapturedType(move) != kEmpty; }

bool TPosition::IsTactical(TMove move) const {
  return IsCapture(move) || MovePromotion(move) == kQueen;
}

bool TPosition::IsCastling(TMove move) const {
  const int from = MoveFrom(move);
  const int to = MoveTo(move);
  const int home = side_ == kWhite ? 0 : 56;
  return TypeAt(from) == kKing && from == home + 4 && (to == home + 6 || to == home + 2);
}

void TPosition::Apply(TMove move) {
  const int us = side_;
  const int from = MoveFrom(move);
  const int to = MoveTo(move);
  const int type = TypeAt(from);
  const int home = us == kWhite ? 0 : 56;
  const int otherHome = home ^ 56;
  const bool castles = IsCastling(move);

  hash_ ^= EnPassantKey();
  ++halfMoveClock_;
  if (type == kPawn || squares_[to]) halfMoveClock_ = 0;
  if (CapturedType(move) == kPawn && !squares_[to]) Remove(to - Forward(us));
  Remove(from);
  Put(to, us, MovePromotion(move) ? MovePromotion(move) : type);
  if (castles) MovePiece(to == home + 6 ? home + 7 : home, to == home + 6 ? home + 5 : home + 3);

  enPassant_ = -1;
  if (type == kPawn && RelativeRank(us, from) == 1 && RelativeRank(us, to) == 3)
    enPassant_ = from + Forward(us);

  int rights = castling_;
  const int ownShort = us == kWhite ? kWhiteShort : kBlackShort;
  const int ownLong = us == kWhite ? kWhiteLong : kBlackLong;
  if (type == kKing) rights &= ~(ownShort | ownLong);
  if (type == kRook && from == home) rights &= ~ownLong;
  if (type == kRook && from == home + 7) rights &= ~ownShort;
  if (to == otherHome) rights &= ~(us == kWhite ? kBlackLong : kWhiteLong);
  if (to == otherHome + 7) rights &= ~(us == kWhite ? kBlackShort : kWhiteShort);
  SetCastling(rights);

  side_ ^= 1;
  hash_ ^= kZobrist.Black;
  hash_ ^= EnPassantKey();
}

// A castling king may not leave check, and the squares it crosses and the
// rook's square may not be attacked. The program's own rules also refuse
// the long castling when any reply could land on the knight's square,
// which a pawn does by its straight step and not by its diagonal.
bool TPosition::CastlingIsSafe(TMove move, const TPosition& after) const {
  if (InCheck()) return false;
  const int us = side_;
  const int them = us ^ 1;
  const int home = us == kWhite ? 0 : 56;
  if (MoveTo(move) == home + 6) return !after.Attacked(home + 5, them);
  if (after.Attacked(home + 3, them)) return false;
  if (rules_ == TRules::Standard) return true;
  const int knightSquare = home + 1;
  return !after.ReachedByPiece(knightSquare, them) &&
         after.squares_[knightSquare + Forward(us)] != PieceCode(them, kPawn);
}

bool TPosition::Play(TMove move, TPosition& after) const {
  after = *this;
  after.Apply(move);
  for (TBitboard kings = after.Pieces(side_, kKing); kings; kings &= kings - 1)
    if (after.Attacked(std::countr_zero(kings), side_ ^ 1)) return false;
  return !IsCastling(move) || CastlingIsSafe(move, after);
}

void TPosition::PlayNull(TPosition& after) const {
  after = *this;
  after.hash_ ^= after.EnPassantKey();
  after.enPassant_ = -1;
  after.side_ ^= 1;
  after.hash_ ^= kZobrist.Black;
  // No repetition reaches back across a passed turn.
  after.halfMoveClock_ = 0;
}

namespace {

std::vector<std::string_view> SplitSpaces(std::string_view text) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  while (start < text.size()) {
    if (text[start] == ' ') {
      ++start;
      continue;
    }
    const std::size_t end = std::min(text.find(' ', start), text.size());
    fields.push_back(text.substr(start, end - start));
    start = end;
  }
  return fields;
}

bool ParsePlacement(std::string_view text, TPosition& position, std::string& error) {
  int rank = 7;
  int file = 0;
  for (char c : text) {
    if (c == '/') {
      if (file != 8)
        return error = "rank " + std::to_string(rank + 1) + " does not hold 8 squares", false;
      if (--rank < 0) return error = "more than 8 ranks", false;
      file = 0;
    } else if (c >= '1' && c <= '8') {
      file += c - '0';
    } else {
      const char lower = static_cast<char>(c | 0x20);
      const std::size_t type = kPieceLetters.find(lower);
      if (type == std::string_view::npos || type == 0)
        return error = std::string("bad character '") + c + "' in the placement", false;
      if (file < 8)
        position.Put(rank * 8 + file, c == lower ? kBlack : kWhite, static_cast<int>(type));
      ++file;
    }
    if (file > 8)
      return error = "rank " + std::to_string(rank + 1) + " does not hold 8 squares", false;
  }
  if (file != 8)
    return error = "rank " + std::to_string(rank + 1) + " does not hold 8 squares", false;
  if (rank != 0) return error = "the placement needs 8 ranks", false;
  return true;
}

bool ParseCastlingField(std::string_view text, TPosition& position, std::string& error) {
  int rights = 0;
  if (text != "-") {
    for (char c : text) {
      const int right = c == 'K'   ? TPosition::kWhiteShort
                        : c == 'Q' ? TPosition::kWhiteLong
                        : c == 'k' ? TPosition::kBlackShort
                        : c == 'q' ? TPosition::kBlackLong
                                   : 0;
      if (!right || (rights & right))
        return error = "bad castling rights '" + std::string(text) + "'", false;
      rights |= right;
    }
  }
  position.SetCastling(rights);
  position.DropImpossibleCastling();
  return true;
}

bool ParseEnPassantField(std::string_view text, TPosition& position, std::string& error) {
  if (text == "-") return true;
  const int us = position.SideToMove();
  const char rank = us == kWhite ? '6' : '3';
  if (text.size() != 2 || text[0] < 'a' || text[0] > 'h' || text[1] != rank)
    return error = "bad en-passant square '" + std::string(text) + "'", false;
  const int square = (text[1] - '1') * 8 + (text[0] - 'a');
  // A square no double step can have left is ignored.
  const int pawn = square - Forward(us);
  if (!(position.Occupied() & Bit(square)) && position.TypeAt(pawn) == kPawn &&
      position.ColourAt(pawn) != us && !(position.Occupied() & Bit(square + Forward(us))))
    position.SetEnPassant(square);
  return true;
}

bool ParseCounter(std::string_view text, int& value) {
  const auto [end, code] = std::from_chars(text.data(), text.data() + text.size(), value);
  return code == std::errc() && end == text.data() + text.size() && value >= 0 && value < 1000000;
}

bool CheckMaterial(const TPosition& position, std::string& error) {
  for (int colour : {kWhite, kBlack}) {
    const char* name = colour == kWhite ? "White" : "Black";
    if (std::popcount(position.Pieces(colour, kKing)) != 1)
      return error = std::string(name) + " needs exactly one king", false;
    if (std::popcount(position.Pieces(colour)) > 16)
      return error = std::string(name) + " has more than 16 pieces", false;
  }
  if (position.PiecesOfType(kPawn) & (RankMask(0) | RankMask(7)))
    return error = "a pawn stands on the first or last rank", false;
  TPosition passed = position;
  passed.SetSideToMove(position.SideToMove() ^ 1);
  if (passed.InCheck()) return error = "the side not to move is in check", false;
  return true;
}

}  // namespace

std::optional<TPosition> ParseFen(std::string_view fen, TRules rules, std::string& error,
                                  int& fullMove) {
  const std::vector<std::string_view> fields = SplitSpaces(fen);
  if (fields.size() < 4 || fields.size() > 6)
    return error = "FEN needs placement, side, castling, en passant and optionally two counters",
           std::nullopt;
  TPosition position(rules);
  if (!ParsePlacement(fields[0], position, error)) return std::nullopt;
  if (fields[1] != "w" && fields[1] != "b")
    return error = "the side to move is 'w' or 'b'", std::nullopt;
  position.SetSideToMove(fields[1] == "w" ? kWhite : kBlack);
  if (!CheckMaterial(position, error)) return std::nullopt;
  if (!ParseCastlingField(fields[2], position, error)) return std::nullopt;
  if (!ParseEnPassantField(fields[3], position, error)) return std::nullopt;
  int halfMoves = 0;
  fullMove = 1;
  if ((fields.size() > 4 && !ParseCounter(fields[4], halfMoves)) ||
      (fields.size() > 5 && !ParseCounter(fields[5], fullMove)))
    return error = "bad move counters", std::nullopt;
  fullMove = std::max(fullMove, 1);
  position.SetHalfMoveClock(halfMoves);
  return position;
}

std::string WriteFen(const TPosition& position, int fullMove) {
  std::string fen;
  for (int rank = 7; rank >= 0; --rank) {
    int empty = 0;
    for (int file = 0; file < 8; ++file) {
      const int square = rank * 8 + file;
      if (!(position.Occupied() & Bit(square))) {
        ++empty;
        continue;
      }
      if (empty) fen += static_cast<char>('0' + empty);
      empty = 0;
      const char letter = kPieceLetters[position.TypeAt(square)];
      fen += position.ColourAt(square) == kWhite ? static_cast<char>(letter & ~0x20) : letter;
    }
    if (empty) fen += static_cast<char>('0' + empty);
    if (rank) fen += '/';
  }
  fen += position.SideToMove() == kWhite ? " w " : " b ";
  const int rights = position.Castling();
  std::string castling;
  if (rights & TPosition::kWhiteShort) castling += 'K';
  if (rights & TPosition::kWhiteLong) castling += 'Q';
  if (rights & TPosition::kBlackShort) castling += 'k';
  if (rights & TPosition::kBlackLong) castling += 'q';
  fen += castling.empty() ? "-" : castling;
  fen += ' ';
  const int passed = position.EnPassant();
  if (passed >= 0) {
    fen += static_cast<char>('a' + FileOf(passed));
    fen += static_cast<char>('1' + RankOf(passed));
  } else {
    fen += '-';
  }
  return fen + ' ' + std::to_string(position.HalfMoveClock()) + ' ' + std::to_string(fullMove);
}

std::string MoveText(TMove move) {
  std::string text;
  for (int square : {MoveFrom(move), MoveTo(move)}) {
    text += static_cast<char>('a' + FileOf(square));
    text += static_cast<char>('1' + RankOf(square));
  }
  if (MovePromotion(move)) text += kPieceLetters[MovePromotion(move)];
  return text;
}

}  // namespace chess::engine
