#include "app/RecordText.h"

#include <algorithm>

#include "app/TextUtil.h"

namespace app {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// Moves shown in messages are cut to this many bytes.
constexpr std::size_t kShownMoveLength = 24;

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}
bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsTagNameChar(char c) {
  return IsDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
// Characters that end a move token and start something else.
bool IsTokenEnd(char c) {
  return IsSpace(c) || std::string_view("{}()[];$").find(c) != std::string_view::npos;
}

// The result a termination marker stands for, empty when it is none.
std::string_view MarkerResult(std::string_view token) {
  if (token == "1-0" || token == "2-0") return "1-0";
  if (token == "0-1" || token == "0-2") return "0-1";
  if (token == "1/2-1/2" || token == "1-1") return "1/2-1/2";
  if (token == "*") return "*";
  return {};
}

bool IsValidTagName(std::string_view name) {
  return !name.empty() && name.size() <= kMaxTagName &&
         std::all_of(name.begin(), name.end(), IsTagNameChar);
}

// The value cut to the reader's limit without splitting a UTF-8 sequence,
// control characters turned into spaces.
std::string ExportedValue(std::string_view value) {
  if (value.size() > kMaxTagValue) {
    std::size_t end = kMaxTagValue;
    while (end > 0 && (static_cast<unsigned char>(value[end]) & 0xC0) == 0x80) --end;
    value = value.substr(0, end);
  }
  std::string exported;
  for (char c : value) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    if (c == '"' || c == '\\') exported += '\\';
    exported += c;
  }
  return exported;
}

// "YYYY.MM.DD", any digit may be "?".
bool IsRecordDate(std::string_view date) {
  if (date.size() != 10) return false;
  for (std::size_t i = 0; i < date.size(); ++i) {
    const bool dot = i == 4 || i == 7;
    if (dot ? date[i] != '.' : !(IsDigit(date[i]) || date[i] == '?')) return false;
  }
  return true;
}

// Reads the first game of a text; see the header for what it accepts.
class TScanner {
 public:
  TScanner(std::string_view text, TRecordError& error)
      : text_(text.substr(0, kMaxRecordText)), cut_(text.size() > kMaxRecordText), error_(error) {}

  std::optional<TScannedRecord> Scan() {
    if (text_.starts_with(kByteOrderMark)) at_ = start_ = kByteOrderMark.size();
    while (!AtEnd() && !ended_) {
      if (!ScanNext()) return std::nullopt;
    }
    if (!ended_ && cut_)
      return Fail("the game goes on past the first 1 MiB of the text"), std::nullopt;
    if (!movetext_ && record_.Tags.empty()) return Fail("the text holds no game"), std::nullopt;
    if (record_.Result.empty()) record_.Result = TaggedResult();
    return std::move(record_);
  }

 private:
  std::string TaggedResult() const {
    const std::string* tag = FindTag(record_.Tags, "Result");
    const std::string_view result = tag ? MarkerResult(*tag) : std::string_view();
    return result.empty() ? "*" : std::string(result);
  }

  bool AtEnd() const { return at_ >= text_.size(); }
  bool AtLineStart() const { return at_ == start_ || IsLineEnd(text_[at_ - 1]); }

  bool ScanNext() {
    const char c = text_[at_];
    if (c == '%' && AtLineStart()) return SkipLine();
    if (IsSpace(c)) return ++at_, true;
    switch (c) {
      case '[':
        // A tag after the movetext begins the next game.
        if (movetext_) return ended_ = true;
        return ReadTag();
      case '{':
        return SkipComment();
      case ';':
        return SkipLine();
      case '(':
        return SkipVariation();
      case ')':
      case ']':
      case '}':
        // Stray closers are left alone.
        return ++at_, true;
      case '$':
        ++at_;
        while (!AtEnd() && IsDigit(text_[at_])) ++at_;
        return true;
      default:
        return TakeToken(ReadToken());
    }
  }

  bool SkipLine() {
    while (!AtEnd() && !IsLineEnd(text_[at_])) ++at_;
    return true;
  }

  bool SkipComment() {
    const std::size_t start = at_;
    const std::size_t close = text_.find('}', at_ + 1);
    if (close == std::string_view::npos) return FailAt(start, "a comment is not closed");
    at_ = close + 1;
    return true;
  }

  // Variations are skipped whole; comments inside them may hold brackets.
  bool SkipVariation() {
    const std::size_t start = at_;
    int depth = 0;
    while (!AtEnd()) {
      const char c = text_[at_];
      if (c == '{') {
        if (!SkipComment()) return false;
        continue;
      }
      if (c == ';' || (c == '%' && AtLineStart())) {
        SkipLine();
        continue;
      }
      ++at_;
      if (c == '(' && ++depth > kMaxVariationDepth)
        return FailAt(start, "variations are nested more than " +
                                 std::to_string(kMaxVariationDepth) + " deep");
      if (c == ')' && --depth == 0) return true;
    }
    return FailAt(start, "a variation is not closed");
  }

  bool ReadTag() {
    const std::size_t start = at_++;
    SkipSpaces();
    const std::size_t nameStart = at_;
    while (!AtEnd() && IsTagNameChar(text_[at_])) ++at_;
    const std::string_view name = text_.substr(nameStart, at_ - nameStart);
    if (name.empty()) return FailAt(start, "a tag has no name");
    if (name.size() > kMaxTagName)
      return FailAt(start,
                    "a tag name is longer than " + std::to_string(kMaxTagName) + " characters");
    const std::string shown = "tag " + EscapeForDisplay(name);
    if (record_.Tags.size() >= kMaxRecordTags)
      return FailAt(start, "the game has more than " + std::to_string(kMaxRecordTags) + " tags");
    SkipSpaces();
    if (AtEnd() || text_[at_] != '"') return FailAt(start, shown + ": the value is not quoted");
    std::string value;
    if (!ReadTagValue(value)) return FailAt(start, shown + ": the value is not closed on its line");
    if (value.size() > kMaxTagValue)
      return FailAt(
          start, shown + ": the value is longer than " + std::to_string(kMaxTagValue) + " bytes");
    SkipSpaces();
    if (AtEnd() || text_[at_] != ']') return FailAt(start, shown + ": no ']' after the value");
    ++at_;
    record_.Tags.push_back({std::string(name), std::move(value)});
    return true;
  }

  // Reads a quoted value with its \" and \\ escapes, stopping early (false)
  // at the line's end or once it is too long to accept.
  bool ReadTagValue(std::string& value) {
    ++at_;
    while (!AtEnd() && !IsLineEnd(text_[at_]) && value.size() <= kMaxTagValue) {
      char c = text_[at_++];
      if (c == '"') return true;
      if (c == '\\' && !AtEnd() && (text_[at_] == '"' || text_[at_] == '\\')) c = text_[at_++];
      value += c;
    }
    return value.size() > kMaxTagValue;
  }

  void SkipSpaces() {
    while (!AtEnd() && (text_[at_] == ' ' || text_[at_] == '\t')) ++at_;
  }

  std::string_view ReadToken() {
    const std::size_t start = at_;
    while (!AtEnd() && !IsTokenEnd(text_[at_])) ++at_;
    return text_.substr(start, at_ - start);
  }

  bool TakeToken(std::string_view token) {
    movetext_ = true;
    std::size_t digits = 0;
    while (digits < token.size() && IsDigit(token[digits])) ++digits;
    // A move number, "12." or "12...", alone or before its move.
    if (digits == token.size()) return true;
    if (token[digits] == '.') {
      const std::size_t move = token.find_first_not_of('.', digits);
      if (move == std::string_view::npos) return true;
      token.remove_prefix(move);
    }
    const std::string_view result = MarkerResult(token);
    if (!result.empty()) {
      record_.Result = result;
      ended_ = true;
      return true;
    }
    while (!token.empty() && (token.back() == '!' || token.back() == '?')) token.remove_suffix(1);
    // "e.p." after an en-passant capture says nothing more.
    if (token.empty() || token == "e.p.") return true;
    if (record_.Moves.size() >= kMaxRecordPlies)
      return Fail("the game has more than " + std::to_string(kMaxRecordPlies) + " moves");
    record_.Moves.push_back(token);
    return true;
  }

  bool Fail(std::string message) {
    error_ = {std::move(message), 0, {}};
    return false;
  }

  bool FailAt(std::size_t offset, const std::string& message) {
    const std::string_view before = text_.substr(0, offset);
    // CR LF counts as one line end, a lone CR as one too.
    std::size_t line = 1;
    for (std::size_t i = 0; i < before.size(); ++i)
      if (before[i] == '\n' ||
          (before[i] == '\r' && (i + 1 >= text_.size() || text_[i + 1] != '\n')))
        ++line;
    return Fail("line " + std::to_string(line) + ": " + message);
  }

  std::string_view text_;
  bool cut_;
  TRecordError& error_;
  std::size_t at_ = 0;
  // Where the text begins, after a byte order mark.
  std::size_t start_ = 0;
  bool movetext_ = false;
  bool ended_ = false;
  TScannedRecord record_;
};

}  // namespace

std::optional<TScannedRecord> ScanRecord(std::string_view text, TRecordError& error) {
  return TScanner(text, error).Scan();
}

const std::string* FindTag(const TRecordTags& tags, std::string_view name) {
  for (const TRecordTag& tag : tags)
    if (tag.Name == name) return &tag.Value;
  return nullptr;
}

void SetTag(TRecordTags& tags, std::string_view name, std::string_view value) {
  for (TRecordTag& tag : tags) {
    if (tag.Name == name) {
      tag.Value = value;
      return;
    }
  }
  tags.push_back({std::string(name), std::string(value)});
}

bool IsRecordResult(std::string_view text) {
  return text == "1-0" || text == "0-1" || text == "1/2-1/2" || text == "*";
}

std::string TMoveCounter::Label() const {
  return std::to_string(number_) + (whiteToMove_ ? "." : "...");
}

void TMoveCounter::Advance() {
  if (!whiteToMove_) ++number_;
  whiteToMove_ = !whiteToMove_;
}

std::string ShownExcerpt(std::string_view text, std::size_t length) {
  if (text.size() <= length) return EscapeForDisplay(text);
  return EscapeForDisplay(text.substr(0, length)) + "...";
}

TRecordError MoveError(const TMoveCounter& at, std::string_view move, std::string_view reason) {
  const std::string shown = ShownExcerpt(move, kShownMoveLength);
  return {"move " + at.Label() + " " + shown + ": " + std::string(reason), at.Number(), shown};
}

TRecordTags ExportTags(const TRecordTags& tags, const TRecordTags& roster,
                       std::initializer_list<std::string_view> dropped) {
  TRecordTags exported;
  for (const TRecordTag& entry : roster) {
    const std::string* value = FindTag(tags, entry.Name);
    const bool usable = value && (entry.Name != "Date" || IsRecordDate(*value));
    exported.push_back({entry.Name, usable ? *value : entry.Value});
  }
  for (const TRecordTag& tag : tags) {
    const bool inRoster = FindTag(roster, tag.Name) != nullptr;
    const bool isDropped = std::find(dropped.begin(), dropped.end(), tag.Name) != dropped.end();
    if (!inRoster && !isDropped) exported.push_back(tag);
  }
  return exported;
}

std::string WriteTagSection(const TRecordTags& tags) {
  std::string text;
  for (const TRecordTag& tag : tags) {
    if (IsValidTagName(tag.Name))
      text += '[' + tag.Name + " \"" + ExportedValue(tag.Value) + "\"]\n";
  }
  return text + '\n';
}

void TMovetextWriter::Add(std::string_view token) {
  if (lineLength_ == 0) {
    lineLength_ = token.size();
  } else if (lineLength_ + 1 + token.size() > kMovetextWidth) {
    text_ += '\n';
    lineLength_ = token.size();
  } else {
    text_ += ' ';
    lineLength_ += 1 + token.size();
  }
  text_ += token;
}

void TMovetextWriter::AddMove(const TMoveCounter& counter, std::string_view move) {
  // A number stays on the line of its move.
  const bool numbered = counter.WhiteToMove() || !numbered_;
  numbered_ = true;
  Add(numbered ? counter.Label() + ' ' + std::string(move) : std::string(move));
}

}  // namespace app
