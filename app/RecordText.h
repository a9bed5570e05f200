#pragma once

#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The text form that chess (PGN) and checkers (PDN) game records share: tag
// pairs such as [Event "Club match"], then the movetext of move numbers,
// moves, comments, variations and annotations, ended by the result. The
// scanner splits the first game of a text into its tags and move tokens;
// each game's reader then plays the moves on its own board.
//
// Reading is tolerant of what people write: comments {...} and ; to the end
// of the line, variations (...) nested to any depth within the limit (they
// are skipped), NAGs $n, the marks ! ? !! ?? !? ?! and "e.p.", move numbers "12." and
// "12..." alone or glued to the move, "%" escape lines, LF, CR LF or CR line
// ends and a UTF-8 byte order mark.
//
// Limits, so that a hostile file costs little: only the first
// kMaxRecordText bytes are looked at (a first game that goes on past them is
// refused), at most kMaxRecordPlies moves, kMaxRecordTags tags with names of
// kMaxTagName and values of kMaxTagValue bytes, variations nested
// kMaxVariationDepth deep. The scanner works without recursion, in time
// linear in the text it looks at.
namespace app {

constexpr std::size_t kMaxRecordText = std::size_t{1} << 20;
constexpr std::size_t kMaxRecordPlies = 2000;
constexpr std::size_t kMaxRecordTags = 256;
constexpr std::size_t kMaxTagName = 64;
constexpr std::size_t kMaxTagValue = 1024;
constexpr int kMaxVariationDepth = 256;
// Movetext lines a writer produces are at most this long.
constexpr std::size_t kMovetextWidth = 79;

struct TRecordTag {
  std::string Name;
  std::string Value;

  friend bool operator==(const TRecordTag&, const TRecordTag&) = default;
};
using TRecordTags = std::vector<TRecordTag>;

// Why a record could not be read.
struct TRecordError {
  // One printable line, such as "move 12... Nf6: no such legal move" or
  // "line 3: a comment is not closed".
  std::string Message;
  // The failing move's number and its text as written (shortened, escaped
  // for display); 0 and empty when the failure lies elsewhere.
  int MoveNumber = 0;
  std::string Move;
};

// A reader's answer: the record, or the reason there is none.
template <typename TRecord>
struct TRecordRead {
  std::optional<TRecord> Record;
  TRecordError Error;

  explicit operator bool() const { return Record.has_value(); }
};

// The first game of a text, its moves not yet interpreted.
struct TScannedRecord {
  TRecordTags Tags;
  // The move tokens in order, move numbers and annotation marks taken off;
  // views into the scanned text.
  std::vector<std::string_view> Moves;
  // How the game ended: its termination marker ("1-0", "0-1", "1/2-1/2" or
  // "*"; "2-0", "0-2" and "1-1" are read as the first three), else its
  // Result tag when that holds one, else "*".
  std::string Result;
};

std::optional<TScannedRecord> ScanRecord(std::string_view text, TRecordError& error);

// The first tag of the name (names compare exactly), or null.
const std::string* FindTag(const TRecordTags& tags, std::string_view name);
// Replaces the first tag of the name, or adds one at the end.
void SetTag(TRecordTags& tags, std::string_view name, std::string_view value);
// One of the four results a record may end with.
bool IsRecordResult(std::string_view text);

// Counts the moves of a game as records number them: White's and Black's
// moves share a number, which grows after Black's move.
class TMoveCounter {
 public:
  TMoveCounter(int number, bool whiteToMove) : number_(number), whiteToMove_(whiteToMove) {}

  int Number() const { return number_; }
  bool WhiteToMove() const { return whiteToMove_; }
  // "12." before White's move, "12..." before Black's.
  std::string Label() const;
  void Advance();

 private:
  int number_;
  bool whiteToMove_;
};

// A piece of a record's text fit for a message: at most `length` bytes of
// it, escaped for display (app::EscapeForDisplay, so at most four
// characters a byte), and "..." when it was cut short.
std::string ShownExcerpt(std::string_view text, std::size_t length);

// The error for a move that cannot be played: "move 12... Nf6: <reason>".
TRecordError MoveError(const TMoveCounter& at, std::string_view move, std::string_view reason);

// Plays the scanned moves in turn from the counter's move: play(token,
// failure) plays the move a token names and returns true, or returns false
// and says why in failure. The error names the first move that fails.
template <typename TPlay>
std::optional<TRecordError> PlayScannedMoves(const TScannedRecord& record, TMoveCounter counter,
                                             TPlay&& play) {
  std::string failure;
  for (std::string_view token : record.Moves) {
    if (!play(token, failure)) return MoveError(counter, token, failure);
    counter.Advance();
  }
  return std::nullopt;
}

// The tags a writer puts out: each tag of the roster, in the roster's order,
// with the record's value when it has one and the roster's otherwise; then
// the record's other tags in their order, except those named in `dropped`
// (which the writer puts out itself, if at all). A Date that is not
// "YYYY.MM.DD" (with "?" for digits not known) takes the roster's value.
TRecordTags ExportTags(const TRecordTags& tags, const TRecordTags& roster,
                       std::initializer_list<std::string_view> dropped);
// The tag section: one [Name "Value"] line per tag and a blank line. Names
// that a reader would refuse are left out; values lose their control
// characters and are cut to kMaxTagValue bytes.
std::string WriteTagSection(const TRecordTags& tags);

// Builds movetext: tokens separated by single spaces, a line break instead
// of the space before a token that would pass kMovetextWidth.
class TMovetextWriter {
 public:
  void Add(std::string_view token);
  // The move, after its number (on the same line) when it is White's move
  // or the first one.
  void AddMove(const TMoveCounter& counter, std::string_view move);
  // The movetext so far, ending with a line break.
  std::string Text() const { return text_ + '\n'; }

 private:
  std::string text_;
  std::size_t lineLength_ = 0;
  bool numbered_ = false;
};

}  // namespace app
