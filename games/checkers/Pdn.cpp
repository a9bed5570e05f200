#include "games/checkers/Pdn.h"

#include <algorithm>
#include <charconv>

#include "app/TextUtil.h"
#include "games/checkers/CheckersThinker.h"

namespace checkers {

namespace {

constexpr std::string_view kGameType = "25";
constexpr int kMaxPiecesPerSide = 12;
// A capture takes at most the other side's twelve pieces: thirteen squares.
constexpr std::size_t kMaxPathSquares = 13;

std::string NameOf(int square) {
  return TCheckersPosition::SquareName(FileOf(square), RankOf(square));
}

// The square of the usual numbering (1 is b8, 32 is g1), or -1.
int NumberedSquare(std::string_view text) {
  int number = 0;
  const auto [end, code] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (code != std::errc() || end != text.data() + text.size() || number < 1 || number > 32)
    return -1;
  const int rank = 7 - (number - 1) / 4;
  return SquareIndex(2 * ((number - 1) % 4) + (rank & 1), rank);
}

// The dark square a name ("c3", either case) or a number stands for, or -1.
int ReadSquare(std::string_view text) {
  if (text.size() == 2 && text[1] >= '1' && text[1] <= '8') {
    const int file = app::AsciiLower(text[0]) - 'a';
    const int rank = text[1] - '1';
    if (file >= 0 && file < 8) return IsPlayable(file, rank) ? SquareIndex(file, rank) : -1;
  }
  return text.size() <= 2 ? NumberedSquare(text) : -1;
}

// A piece of the text quoted in a message.
std::string Shown(std::string_view text) { return app::Quoted(app::ShownExcerpt(text, 24)); }

bool IsSeparator(char c) { return c == '-' || c == ':' || c == 'x' || c == 'X'; }

// A move text as the generator writes it ("c3-e5-g7"), from any of the
// notations read; none when the text is no path of squares.
std::optional<std::string> CanonicalMove(std::string_view text) {
  std::string canonical;
  std::size_t squares = 0;
  while (true) {
    std::size_t end = 0;
    while (end < text.size() && !IsSeparator(text[end])) ++end;
    const int square = ReadSquare(text.substr(0, end));
    if (square < 0 || ++squares > kMaxPathSquares) return std::nullopt;
    if (!canonical.empty()) canonical += '-';
    canonical += NameOf(square);
    if (end == text.size()) break;
    text.remove_prefix(end + 1);
  }
  if (squares < 2) return std::nullopt;
  return canonical;
}

// A game under way: the side to move's legal moves in White's square names.
class TGameBoard {
 public:
  explicit TGameBoard(const std::optional<TCheckersSetUp>& setUp)
      : whiteToMove_(!setUp || setUp->WhiteToMove) {
    if (setUp) thinker_.Position = setUp->Board;
    if (!whiteToMove_) thinker_.Position.Flip();
    Generate();
  }

  bool WhiteToMove() const { return whiteToMove_; }
  bool CaptureFound() const { return thinker_.CaptureFound; }
  const std::vector<std::string>& Moves() const { return moves_; }
  bool IsLegal(const std::string& move) const {
    return std::find(moves_.begin(), moves_.end(), move) != moves_.end();
  }

  // Plays one of Moves().
  void Play(const std::string& move) {
    thinker_.Position.ApplyMove(whiteToMove_ ? move : TCheckersPosition::TurnedMoveText(move));
    thinker_.Position.Flip();
    whiteToMove_ = !whiteToMove_;
    Generate();
  }

 private:
  void Generate() {
    thinker_.GenerateMoves();
    moves_ = thinker_.Moves;
    if (!whiteToMove_)
      for (std::string& move : moves_) move = TCheckersPosition::TurnedMoveText(move);
  }

  TCheckersThinker thinker_;
  bool whiteToMove_;
  std::vector<std::string> moves_;
};

// The legal move a text names, or why there is none. A capture may be
// written by its start and end squares alone when no other capture joins them.
std::optional<std::string> FindMove(const TGameBoard& board, std::string_view text,
                                    std::string& failure) {
  const std::optional<std::string> wanted = CanonicalMove(text);
  if (!wanted) return failure = "not a move", std::nullopt;
  if (board.IsLegal(*wanted)) return wanted;
  std::optional<std::string> found;
  if (board.CaptureFound() && wanted->size() == 5) {
    for (const std::string& move : board.Moves()) {
      if (!move.starts_with(wanted->substr(0, 2)) || !move.ends_with(wanted->substr(3))) continue;
      if (found) return failure = "more than one capture joins these squares", std::nullopt;
      found = move;
    }
  }
  if (!found) failure = "no such legal move";
  return found;
}

std::string WrittenMove(std::string move, bool capture) {
  if (capture) std::replace(move.begin(), move.end(), '-', ':');
  return move;
}

std::string TagSection(const TCheckersRecord& record, const std::string& result) {
  app::TRecordTags tags = record.Tags;
  app::SetTag(tags, "Result", result);
  app::SetTag(tags, "GameType", kGameType);
  app::TRecordTags roster = {
      {"Event", "?"}, {"Site", "?"},  {"Date", "????.??.??"}, {"Round", "?"},
      {"White", "?"}, {"Black", "?"}, {"Result", result},     {"GameType", std::string(kGameType)}};
  if (record.SetUp) {
    app::SetTag(tags, "FEN", ToPdnFen(*record.SetUp));
    roster.push_back({"FEN", ""});
  }
  return app::WriteTagSection(app::ExportTags(tags, roster, {"FEN"}));
}

// Reads one side's pieces ("Wa1,c1,Kd4" or "W21-32") into the board.
class TFenSide {
 public:
  TFenSide(TCheckersPosition& board, bool white, std::string& error)
      : board_(board), white_(white), error_(error) {}

  bool Read(std::string_view list) {
    while (!list.empty()) {
      const std::size_t comma = std::min(list.find(','), list.size());
      if (!ReadItem(app::Trim(list.substr(0, comma)))) return false;
      list.remove_prefix(std::min(comma + 1, list.size()));
    }
    return true;
  }

 private:
  bool ReadItem(std::string_view item) {
    if (item.empty()) return true;
    const bool king = item.front() == 'K' || item.front() == 'k';
    if (king) item.remove_prefix(1);
    const std::size_t dash = item.find('-');
    if (dash == std::string_view::npos) return Put(ReadSquare(item), king, item);
    // A range of numbered squares.
    int first = 0;
    int last = 0;
    const auto [firstEnd, firstCode] = std::from_chars(item.data(), item.data() + dash, first);
    const auto [lastEnd, lastCode] =
        std::from_chars(item.data() + dash + 1, item.data() + item.size(), last);
    if (firstCode != std::errc() || lastCode != std::errc() || firstEnd != item.data() + dash ||
        lastEnd != item.data() + item.size() || first < 1 || last > 32 || first > last)
      return Fail("bad range of squares " + Shown(item));
    for (int number = first; number <= last; ++number)
      if (!Put(NumberedSquare(std::to_string(number)), king, item)) return false;
    return true;
  }

  bool Put(int square, bool king, std::string_view name) {
    const std::string shown = Shown(name);
    if (square < 0) return Fail("bad square " + shown);
    if (board_.Squares[square] != kEmpty) return Fail("square " + shown + " is named twice");
    if (!king && RankOf(square) == (white_ ? 7 : 0))
      return Fail("a man stands on its crowning rank at " + shown);
    if (++count_ > kMaxPiecesPerSide)
      return Fail(std::string(white_ ? "White" : "Black") + " has more than 12 pieces");
    board_.Squares[square] = white_ ? (king ? kOwnKing : kOwnMan) : (king ? kOtherKing : kOtherMan);
    return true;
  }

  bool Fail(std::string message) {
    error_ = std::move(message);
    return false;
  }

  TCheckersPosition& board_;
  bool white_;
  std::string& error_;
  int count_ = 0;
};

std::string PieceList(const TCheckersPosition& board, std::int8_t man, std::int8_t king) {
  std::string list;
  for (int square = 0; square < 64; ++square) {
    if (board.Squares[square] != man && board.Squares[square] != king) continue;
    if (!list.empty()) list += ',';
    if (board.Squares[square] == king) list += 'K';
    list += NameOf(square);
  }
  return list;
}

bool IsOurGameType(const std::string* gameType) {
  if (!gameType) return true;
  return app::Trim(gameType->substr(0, gameType->find(','))) == kGameType;
}

}  // namespace

std::string ToPdnFen(const TCheckersSetUp& setUp) {
  return std::string(setUp.WhiteToMove ? "W" : "B") + ":W" +
         PieceList(setUp.Board, kOwnMan, kOwnKing) + ":B" +
         PieceList(setUp.Board, kOtherMan, kOtherKing);
}

std::optional<TCheckersSetUp> FromPdnFen(std::string_view fen, std::string& error) {
  std::string text = app::Trim(fen);
  if (!text.empty() && text.back() == '.') text.pop_back();
  TCheckersSetUp setUp;
  setUp.Board.Squares.fill(kEmpty);
  std::string_view rest = text;
  const std::size_t colon = std::min(rest.find(':'), rest.size());
  const std::string side = app::Trim(rest.substr(0, colon));
  if (side != "W" && side != "B" && side != "w" && side != "b")
    return error = "the side to move is 'W' or 'B'", std::nullopt;
  setUp.WhiteToMove = side == "W" || side == "w";
  rest.remove_prefix(colon);
  bool seen[2] = {false, false};
  while (!rest.empty()) {
    rest.remove_prefix(1);
    const std::size_t end = std::min(rest.find(':'), rest.size());
    const std::string field = app::Trim(rest.substr(0, end));
    rest.remove_prefix(end);
    const char colour = field.empty() ? ' ' : field.front();
    // Move counters some writers add say nothing about the position.
    if (colour == 'H' || colour == 'F') continue;
    if (colour != 'W' && colour != 'B')
      return error = "unknown field " + Shown(field), std::nullopt;
    const bool white = colour == 'W';
    if (seen[white])
      return error = std::string("the pieces of ") + colour + " are listed twice", std::nullopt;
    seen[white] = true;
    if (!TFenSide(setUp.Board, white, error).Read(std::string_view(field).substr(1)))
      return std::nullopt;
  }
  return setUp;
}

std::string WritePdn(const TCheckersRecord& record) {
  const std::string result = app::IsRecordResult(record.Result) ? record.Result : "*";
  TGameBoard board(record.SetUp);
  app::TMoveCounter counter(1, board.WhiteToMove());
  app::TMovetextWriter movetext;
  for (const std::string& text : record.Moves) {
    const std::optional<std::string> move = CanonicalMove(text);
    if (!move || !board.IsLegal(*move)) break;
    movetext.AddMove(counter, WrittenMove(*move, board.CaptureFound()));
    board.Play(*move);
    counter.Advance();
  }
  movetext.Add(result);
  return TagSection(record, result) + movetext.Text();
}

app::TRecordRead<TCheckersRecord> ReadPdn(std::string_view text) {
  app::TRecordRead<TCheckersRecord> read;
  std::optional<app::TScannedRecord> scanned = app::ScanRecord(text, read.Error);
  if (!scanned) return read;
  TCheckersRecord record;
  record.Result = std::move(scanned->Result);
  record.Tags = std::move(scanned->Tags);
  const std::string* gameType = app::FindTag(record.Tags, "GameType");
  if (!IsOurGameType(gameType))
    return read.Error = {"tag GameType: " + Shown(*gameType) + " is not this game (type 25)",
                         0,
                         {}},
           read;
  std::string failure;
  if (const std::string* fen = app::FindTag(record.Tags, "FEN")) {
    record.SetUp = FromPdnFen(*fen, failure);
    if (!record.SetUp) return read.Error = {"tag FEN: " + failure, 0, {}}, read;
  }
  TGameBoard board(record.SetUp);
  const std::optional<app::TRecordError> error =
      app::PlayScannedMoves(*scanned, app::TMoveCounter(1, board.WhiteToMove()),
                            [&](std::string_view token, std::string& why) {
                              const std::optional<std::string> move = FindMove(board, token, why);
                              if (move) {
                                board.Play(*move);
                                record.Moves.push_back(*move);
                              }
                              return move.has_value();
                            });
  if (error) return read.Error = *error, read;
  read.Record = std::move(record);
  return read;
}

}  // namespace checkers
