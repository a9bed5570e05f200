#include "games/chess/ChessBoard.h"

#include <stdexcept>
#include <utility>

namespace chess {

using platform::TPoint;

namespace {

constexpr std::array<std::uint8_t, 8> kBackRank{kRook, kKnight, kBishop, kQueen,
                                                kKing, kBishop, kKnight, kRook};

constexpr TPoint kNoSquare{-1, -1};

// Piece letters by type, index 0 unused.
constexpr std::string_view kPieceLetters = " prnbqk";

std::vector<std::string_view> SplitFields(std::string_view text, char separator) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find(separator, start);
    fields.push_back(text.substr(start, end - start));
    if (end == std::string_view::npos) return fields;
    start = end + 1;
  }
}

void ParseRank(std::string_view text, int rank, TChessPosition& position) {
  int file = 0;
  for (char c : text) {
    if (c >= '1' && c <= '8') {
      file += c - '0';
    } else {
      const char lower = static_cast<char>(c | 0x20);
      const std::size_t type = kPieceLetters.find(lower);
      if (type == std::string_view::npos || type == 0)
        throw std::invalid_argument(std::string("bad piece letter '") + c + "'");
      if (file < 8)
        position.Squares[TChessPosition::Index(file, rank)] =
            MakePiece(static_cast<std::uint8_t>(type), c == lower ? kOtherSide : kSideToMove);
      ++file;
    }
    if (file > 8) break;
  }
  if (file != 8)
    throw std::invalid_argument("rank " + std::to_string(rank + 1) + " does not hold 8 squares");
}

void ParseCastling(std::string_view text, TChessPosition& position) {
  position.OwnShortCastle = position.OwnLongCastle = false;
  position.OppShortCastle = position.OppLongCastle = false;
  if (text == "-") return;
  if (text.empty()) throw std::invalid_argument("missing castling rights");
  for (char c : text) {
    bool* right = c == 'K'   ? &position.OwnShortCastle
                  : c == 'Q' ? &position.OwnLongCastle
                  : c == 'k' ? &position.OppShortCastle
                  : c == 'q' ? &position.OppLongCastle
                             : nullptr;
    if (!right || *right)
      throw std::invalid_argument("bad castling rights '" + std::string(text) + "'");
    *right = true;
  }
}

TPoint ParseEnPassant(std::string_view text) {
  if (text == "-") return kNoSquare;
  if (text.size() != 2 || text[0] < 'a' || text[0] > 'h' || text[1] < '1' || text[1] > '8')
    throw std::invalid_argument("bad en-passant square '" + std::string(text) + "'");
  return {text[0] - 'a', text[1] - '1'};
}

}  // namespace

TChessPosition::TChessPosition() { SetStartPosition(); }

void TChessPosition::SetStartPosition() {
  Squares.fill(MakePiece(kEmpty, kOtherSide));
  for (int file = 0; file < 8; ++file) {
    Squares[Index(file, 0)] = MakePiece(kBackRank[file], kSideToMove);
    Squares[Index(file, 1)] = MakePiece(kPawn, kSideToMove);
    Squares[Index(file, 6)] = MakePiece(kPawn, kOtherSide);
    Squares[Index(file, 7)] = MakePiece(kBackRank[file], kOtherSide);
    for (int rank = 2; rank < 4; ++rank)
      Squares[Index(file, rank)] = MakePiece(kEmpty, kSideToMove);
  }
  OwnLongCastle = OwnShortCastle = OppLongCastle = OppShortCastle = true;
  EnPassant = kNoSquare;
}

std::uint16_t TChessPosition::GetSquare(TPoint square) const {
  return OnBoard(square.X, square.Y) ? Squares[Index(square.X, square.Y)] : 0;
}

void TChessPosition::SetSquare(TPoint square, std::uint16_t value) {
  if (OnBoard(square.X, square.Y)) Squares[Index(square.X, square.Y)] = value;
}

void TChessPosition::ClearSquare(TPoint square) {
  if (OnBoard(square.X, square.Y)) Squares[Index(square.X, square.Y)] &= 0xFF00;
}

std::uint16_t TChessPosition::SwapColour(std::uint16_t value) {
  const std::uint8_t colour = PieceColour(value) == 0 ? 1 : 0;
  return MakePiece(PieceType(value), colour);
}

void TChessPosition::Flip() {
  for (int file = 0; file < 8; ++file) {
    for (int rank = 0; rank < 4; ++rank) {
      std::uint16_t& low = Squares[Index(file, rank)];
      std::uint16_t& high = Squares[Index(file, 7 - rank)];
      const std::uint16_t lowValue = low;
      low = SwapColour(high);
      high = SwapColour(lowValue);
    }
  }
  std::swap(OwnLongCastle, OppLongCastle);
  std::swap(OwnShortCastle, OppShortCastle);
  if (EnPassant.X >= 0) EnPassant.Y = 7 - EnPassant.Y;
}

void TChessPosition::ApplyMove(const TChessMove& move) {
  const TPoint from{move.FromX, move.FromY};
  const TPoint to{move.ToX, move.ToY};
  const std::uint16_t value = GetSquare(from);
  const std::uint8_t type = PieceType(value);
  SetSquare(to, value);
  ClearSquare(from);

  if (type == kPawn) {
    if (to.Y == 7) SetSquare(to, MakePiece(kQueen, kSideToMove));
    if (to == EnPassant) ClearSquare({to.X, to.Y - 1});
  }

  EnPassant = kNoSquare;
  if (type == kPawn && from.Y == 1 && to.Y == 3) EnPassant = {from.X, 2};

  if (type == kKing) {
    if (from == TPoint{4, 0}) {
      if (to == TPoint{6, 0}) {
        SetSquare({5, 0}, GetSquare({7, 0}));
        ClearSquare({7, 0});
      } else if (to == TPoint{2, 0}) {
        SetSquare({3, 0}, GetSquare({0, 0}));
        ClearSquare({0, 0});
      }
    }
    OwnLongCastle = OwnShortCastle = false;
  }

  if (to == TPoint{0, 7}) OppLongCastle = false;
  if (to == TPoint{7, 7}) OppShortCastle = false;

  if (type == kRook) {
    if (from == TPoint{0, 0}) OwnLongCastle = false;
    if (from == TPoint{7, 0}) OwnShortCastle = false;
  }
}

std::string TChessPosition::MoveToText(const TChessMove& move) {
  auto squareText = [](int file, int rank) {
    return std::string{static_cast<char>(file + 65), static_cast<char>(rank + 49)};
  };
  return squareText(move.FromX, move.FromY) + (move.Capture ? ":" : "-") +
         squareText(move.ToX, move.ToY);
}

TChessMove TChessPosition::MirrorMove(const TChessMove& move) {
  TChessMove mirrored = move;
  mirrored.FromY = 7 - move.FromY;
  mirrored.ToY = 7 - move.ToY;
  return mirrored;
}

std::string PositionToText(const TChessPosition& position) {
  std::string text;
  for (int rank = 7; rank >= 0; --rank) {
    int empty = 0;
    for (int file = 0; file < 8; ++file) {
      const std::uint16_t value = position.Squares[TChessPosition::Index(file, rank)];
      const std::uint8_t type = PieceType(value);
      if (type == kEmpty || type >= kPieceLetters.size()) {
        ++empty;
        continue;
      }
      if (empty) text += static_cast<char>('0' + empty);
      empty = 0;
      const char letter = kPieceLetters[type];
      text += PieceColour(value) == kSideToMove ? static_cast<char>(letter & ~0x20) : letter;
    }
    if (empty) text += static_cast<char>('0' + empty);
    if (rank > 0) text += '/';
  }
  std::string castling;
  if (position.OwnShortCastle) castling += 'K';
  if (position.OwnLongCastle) castling += 'Q';
  if (position.OppShortCastle) castling += 'k';
  if (position.OppLongCastle) castling += 'q';
  text += ' ' + (castling.empty() ? std::string("-") : castling) + ' ';
  const TPoint passed = position.EnPassant;
  if (TChessPosition::OnBoard(passed.X, passed.Y))
    text += std::string{static_cast<char>('a' + passed.X), static_cast<char>('1' + passed.Y)};
  else
    text += '-';
  return text;
}

TChessPosition PositionFromText(std::string_view text) {
  const std::vector<std::string_view> fields = SplitFields(text, ' ');
  if (fields.size() != 3)
    throw std::invalid_argument("a position is a board, castling rights and an en-passant square");
  const std::vector<std::string_view> ranks = SplitFields(fields[0], '/');
  if (ranks.size() != 8) throw std::invalid_argument("the board needs 8 ranks separated by '/'");
  TChessPosition position;
  position.Squares.fill(MakePiece(kEmpty, kOtherSide));
  for (int i = 0; i < 8; ++i) ParseRank(ranks[i], 7 - i, position);
  ParseCastling(fields[1], position);
  position.EnPassant = ParseEnPassant(fields[2]);
  return position;
}

int TChessPosition::SideScore() const {
  int total = 0;
  for (int rank = 0; rank < 8; ++rank) {
    for (int file = 0; file < 8; ++file) {
      const std::uint16_t value = Squares[Index(file, rank)];
      if (PieceType(value) == kEmpty || PieceColour(value) != kSideToMove) continue;
      total += score::PieceScore(PieceType(value), file, rank);
      if (PieceType(value) == kPawn && Squares[Index(file, 0)] == MakePiece(kRook, kSideToMove))
        total += score::kRookBehindPawn;
    }
  }
  return total;
}

int TChessPosition::OpponentScore() const {
  TChessPosition flipped = *this;
  flipped.Flip();
  return flipped.SideScore();
}

}  // namespace chess
