#include "games/chess/Pgn.h"

#include <cstdlib>

#include "app/TextUtil.h"

namespace chess {

namespace {

// Letters by piece type; the pawn has none.
constexpr std::string_view kPieceLetters = "  RNBQK";

int FileOf(int square) { return square & 7; }
int RankOf(int square) { return square >> 3; }

std::string SquareName(int square) {
  return {static_cast<char>('a' + FileOf(square)), static_cast<char>('1' + RankOf(square))};
}

// The pieces of a board by square (a1 = 0, seen from White).
class TPieceMap {
 public:
  explicit TPieceMap(const TEngineBoard& board)
      : position_(board.ToPosition()), white_(board.WhiteToMove()) {}

  int TypeAt(int square) const {
    return PieceType(position_.Squares[white_ ? square : square ^ 56]);
  }
  bool IsCastling(TEngineMove move) const {
    return TypeAt(move.From) == kKing && std::abs(move.To - move.From) == 2;
  }
  bool IsCapture(TEngineMove move) const {
    return TypeAt(move.To) != kEmpty ||
           (TypeAt(move.From) == kPawn && FileOf(move.From) != FileOf(move.To));
  }

 private:
  TChessPosition position_;
  bool white_;
};

// What the file or the rank of the start square must add so that no other
// legal move of the same kind of piece to the same square reads alike.
std::string Disambiguation(const std::vector<TEngineMove>& legal, const TPieceMap& pieces,
                           TEngineMove move) {
  bool rival = false;
  bool fileShared = false;
  bool rankShared = false;
  for (const TEngineMove& other : legal) {
    if (other.To != move.To || other.From == move.From ||
        pieces.TypeAt(other.From) != pieces.TypeAt(move.From))
      continue;
    rival = true;
    fileShared |= FileOf(other.From) == FileOf(move.From);
    rankShared |= RankOf(other.From) == RankOf(move.From);
  }
  const std::string from = SquareName(move.From);
  if (!rival) return {};
  if (!fileShared) return from.substr(0, 1);
  if (!rankShared) return from.substr(1, 1);
  return from;
}

// A move text taken apart: castling, or the piece, what is said of the
// start square, the target and the promotion.
struct TMoveText {
  // +1 for the short castling, -1 for the long one, 0 for other moves.
  int Castling = 0;
  // kEmpty when no piece letter is given.
  int Piece = kEmpty;
  int FromFile = -1;
  int FromRank = -1;
  int To = -1;
  int Promotion = kEmpty;
};

int PieceOfLetter(char letter) {
  const std::size_t at = std::string_view("  RNBQKP").find(letter);
  if (at == std::string_view::npos || at < 2) return kEmpty;
  return at == 7 ? kPawn : static_cast<int>(at);
}

bool ReadCastling(std::string_view text, TMoveText& move) {
  std::string letters(text);
  for (char& c : letters)
    if (c == '0') c = 'O';
  if (letters == "O-O") move.Castling = 1;
  if (letters == "O-O-O") move.Castling = -1;
  return move.Castling != 0;
}

// A promotion letter at the end, after the target square or "=".
void ReadPromotion(std::string_view& text, TMoveText& move) {
  if (text.size() < 3) return;
  const char before = text[text.size() - 2];
  const int piece = PieceOfLetter(static_cast<char>(text.back() & ~0x20));
  if (piece == kEmpty || piece == kPawn || piece == kKing ||
      (before != '=' && (before < '1' || before > '8')))
    return;
  move.Promotion = piece;
  text.remove_suffix(before == '=' ? 2 : 1);
}

// The start square's file and rank, if given, and the target.
bool ReadSquares(std::string_view text, TMoveText& move) {
  std::string squares;
  for (char c : text) {
    if (c == 'x' || c == ':' || c == '-') continue;
    if (squares.size() == 4) return false;
    squares += c;
  }
  if (squares.size() < 2) return false;
  const char toFile = squares[squares.size() - 2];
  const char toRank = squares.back();
  if (toFile < 'a' || toFile > 'h' || toRank < '1' || toRank > '8') return false;
  move.To = (toRank - '1') * 8 + (toFile - 'a');
  for (std::size_t i = 0; i + 2 < squares.size(); ++i) {
    const char c = squares[i];
    if (c >= 'a' && c <= 'h' && move.FromFile < 0)
      move.FromFile = c - 'a';
    else if (c >= '1' && c <= '8' && move.FromRank < 0)
      move.FromRank = c - '1';
    else
      return false;
  }
  return true;
}

std::optional<TMoveText> ReadMoveText(std::string_view text) {
  while (!text.empty() && std::string_view("+#!?").find(text.back()) != std::string_view::npos)
    text.remove_suffix(1);
  TMoveText move;
  if (ReadCastling(text, move)) return move;
  ReadPromotion(text, move);
  if (!text.empty() && PieceOfLetter(text.front()) != kEmpty) {
    move.Piece = PieceOfLetter(text.front());
    text.remove_prefix(1);
  }
  if (!ReadSquares(text, move)) return std::nullopt;
  return move;
}

bool Matches(const TMoveText& text, const TPieceMap& pieces, TEngineMove move) {
  const int type = pieces.TypeAt(move.From);
  if (text.Castling) return pieces.IsCastling(move) && move.To - move.From == 2 * text.Castling;
  if (move.To != text.To) return false;
  if (text.Piece != kEmpty && type != text.Piece) return false;
  // Without a letter a move is a pawn's, unless it names its start square.
  const bool fromGiven = text.FromFile >= 0 && text.FromRank >= 0;
  if (text.Piece == kEmpty && !fromGiven && type != kPawn) return false;
  if (text.FromFile >= 0 && FileOf(move.From) != text.FromFile) return false;
  if (text.FromRank >= 0 && RankOf(move.From) != text.FromRank) return false;
  // A promotion without its letter is to a queen.
  if (move.Promotion == kEmpty) return text.Promotion == kEmpty;
  return move.Promotion == (text.Promotion != kEmpty ? text.Promotion : kQueen);
}

// The legal move a text names, or why there is none.
std::optional<TEngineMove> FindMove(const TEngineBoard& board, std::string_view text,
                                    std::string& failure) {
  const std::optional<TMoveText> parsed = ReadMoveText(text);
  if (!parsed) return failure = "not a move", std::nullopt;
  const TPieceMap pieces(board);
  std::optional<TEngineMove> found;
  for (const TEngineMove& move : board.LegalMoves()) {
    if (!Matches(*parsed, pieces, move)) continue;
    if (found) return failure = "more than one legal move reads so", std::nullopt;
    found = move;
  }
  if (!found) failure = "no such legal move";
  return found;
}

int FullMoveNumber(const TEngineBoard& board) {
  const std::string fen = board.ToFen();
  return std::atoi(fen.c_str() + fen.rfind(' ') + 1);
}

std::optional<TEngineBoard> StartBoard(std::string_view fen, std::string* error = nullptr) {
  if (fen.empty()) return TEngineBoard(TRules::Program);
  return TEngineBoard::FromFen(fen, TRules::Program, error);
}

std::string ExportedResult(const std::string& result) {
  return app::IsRecordResult(result) ? result : "*";
}

std::string TagSection(const TChessRecord& record, const std::string& result) {
  app::TRecordTags tags = record.Tags;
  app::SetTag(tags, "Result", result);
  app::TRecordTags roster = {{"Event", "?"}, {"Site", "?"},  {"Date", "????.??.??"}, {"Round", "?"},
                             {"White", "?"}, {"Black", "?"}, {"Result", result}};
  if (!record.StartFen.empty()) {
    app::SetTag(tags, "SetUp", "1");
    app::SetTag(tags, "FEN", record.StartFen);
    roster.push_back({"SetUp", ""});
    roster.push_back({"FEN", ""});
  }
  return app::WriteTagSection(app::ExportTags(tags, roster, {"SetUp", "FEN"}));
}

}  // namespace

std::string ToSan(const TEngineBoard& board, TEngineMove move) {
  const TPieceMap pieces(board);
  std::string san;
  if (pieces.IsCastling(move)) {
    san = move.To > move.From ? "O-O" : "O-O-O";
  } else {
    const int type = pieces.TypeAt(move.From);
    const bool capture = pieces.IsCapture(move);
    if (type != kPawn)
      san = kPieceLetters[type] + Disambiguation(board.LegalMoves(), pieces, move);
    else if (capture)
      san = SquareName(move.From).substr(0, 1);
    if (capture) san += 'x';
    san += SquareName(move.To);
    if (move.Promotion != kEmpty) san += std::string("=") + kPieceLetters[move.Promotion];
  }
  TEngineBoard after = board;
  if (after.Play(move) && after.InCheck()) san += after.LegalMoves().empty() ? '#' : '+';
  return san;
}

std::optional<TEngineMove> ParseSan(const TEngineBoard& board, std::string_view text) {
  std::string failure;
  return FindMove(board, text, failure);
}

std::string WritePgn(const TChessRecord& record) {
  const std::string result = ExportedResult(record.Result);
  std::optional<TEngineBoard> board = StartBoard(record.StartFen);
  app::TMovetextWriter movetext;
  if (board) {
    app::TMoveCounter counter(FullMoveNumber(*board), board->WhiteToMove());
    for (const TEngineMove& move : record.Moves) {
      if (!board->IsLegal(move)) break;
      movetext.AddMove(counter, ToSan(*board, move));
      board->Play(move);
      counter.Advance();
    }
  }
  movetext.Add(result);
  return TagSection(record, result) + movetext.Text();
}

app::TRecordRead<TChessRecord> ReadPgn(std::string_view text) {
  app::TRecordRead<TChessRecord> read;
  std::optional<app::TScannedRecord> scanned = app::ScanRecord(text, read.Error);
  if (!scanned) return read;
  TChessRecord record;
  record.Result = std::move(scanned->Result);
  record.Tags = std::move(scanned->Tags);
  const std::string* fen = app::FindTag(record.Tags, "FEN");
  record.StartFen = fen ? app::Trim(*fen) : std::string();
  std::string failure;
  std::optional<TEngineBoard> board = StartBoard(record.StartFen, &failure);
  if (!board) return read.Error = {"tag FEN: " + app::ShownExcerpt(failure, 48), 0, {}}, read;
  const app::TMoveCounter counter(FullMoveNumber(*board), board->WhiteToMove());
  const std::optional<app::TRecordError> error =
      app::PlayScannedMoves(*scanned, counter, [&](std::string_view token, std::string& why) {
        const std::optional<TEngineMove> move = FindMove(*board, token, why);
        if (move) {
          board->Play(*move);
          record.Moves.push_back(*move);
        }
        return move.has_value();
      });
  if (error) return read.Error = *error, read;
  read.Record = std::move(record);
  return read;
}

}  // namespace chess
