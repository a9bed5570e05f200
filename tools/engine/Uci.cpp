#include "tools/engine/Uci.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include "app/CommandLine.h"
#include "app/TextUtil.h"

namespace engine {

namespace {

using std::chrono::milliseconds;

// The most of an input word an answer quotes, and of a reason it repeats.
constexpr std::size_t kMaxQuoted = 40;
constexpr std::size_t kMaxReason = 160;
// Times beyond this many milliseconds (eleven days) count as this much.
constexpr long long kMaxMillis = 1'000'000'000;
constexpr long long kMaxCount = 1'000'000'000'000'000;

// Words are separated by blanks and any control character.
std::vector<std::string_view> SplitWords(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && static_cast<unsigned char>(line[i]) <= ' ') ++i;
    const std::size_t start = i;
    while (i < line.size() && static_cast<unsigned char>(line[i]) > ' ') ++i;
    if (i > start) words.push_back(line.substr(start, i - start));
  }
  return words;
}

// An input word as an answer shows it: shortened, control characters escaped.
std::string Quote(std::string_view word) {
  const bool cut = word.size() > kMaxQuoted;
  return app::Quoted(app::EscapeForDisplay(word.substr(0, kMaxQuoted)) + (cut ? "..." : ""));
}

// The parameters of "go" that take a number, and those that stand alone.
constexpr std::string_view kNumberParameters[] = {"depth", "nodes", "movetime", "wtime",    "btime",
                                                  "winc",  "binc",  "mate",     "movestogo"};
constexpr std::string_view kFlagParameters[] = {"infinite", "ponder", "searchmoves"};

bool TakesNumber(std::string_view word) {
  return std::find(std::begin(kNumberParameters), std::end(kNumberParameters), word) !=
         std::end(kNumberParameters);
}

bool IsGoKeyword(std::string_view word) {
  return TakesNumber(word) || std::find(std::begin(kFlagParameters), std::end(kFlagParameters),
                                        word) != std::end(kFlagParameters);
}

milliseconds ReadMillis(long long value) {
  return milliseconds{std::clamp(value, 0LL, kMaxMillis)};
}

// Sets the go parameter key that takes a number. Times below zero (a
// host's clock run out) count as zero.
void SetGoValue(TGoRequest& go, std::string_view key, long long value) {
  const long long count = std::clamp(value, 0LL, kMaxCount);
  if (key == "depth") go.Depth = static_cast<int>(std::min(count, 1000LL));
  // A mate in n moves lies within 2n plies.
  if (key == "mate") go.Depth = static_cast<int>(std::min(count, 500LL) * 2);
  if (key == "nodes") go.Nodes = static_cast<std::uint64_t>(count);
  if (key == "movetime") go.MoveTime = ReadMillis(count);
  if (key == "wtime") go.WhiteTime = ReadMillis(count);
  if (key == "btime") go.BlackTime = ReadMillis(count);
  if (key == "winc") go.WhiteIncrement = ReadMillis(count);
  if (key == "binc") go.BlackIncrement = ReadMillis(count);
  if (key == "movestogo") go.MovesToGo = static_cast<int>(std::min(count, 1000LL));
}

// A whole decimal number, perhaps negative, of at most 18 digits.
std::optional<long long> ReadInteger(std::string_view word) {
  const bool negative = !word.empty() && word[0] == '-';
  if (negative) word.remove_prefix(1);
  if (word.empty() || word.size() > 18) return std::nullopt;
  long long value = 0;
  for (char c : word) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return negative ? -value : value;
}

// The moves of pv as far as they are legal one after the other.
std::string PvText(chess::TEngineBoard board, const std::vector<chess::TEngineMove>& pv) {
  std::string text;
  for (const chess::TEngineMove& move : pv) {
    if (!board.Play(move)) break;
    text += ' ' + chess::TEngineBoard::ToUci(move);
  }
  return text;
}

std::string InfoLine(const chess::TEngineBoard& board, const chess::TSearchInfo& info) {
  const long long time = info.Time.count();
  const std::uint64_t nps = time > 0 ? info.Nodes * 1000 / static_cast<std::uint64_t>(time) : 0;
  std::string line = "info depth " + std::to_string(info.Depth) + " score ";
  line +=
      info.MateIn != 0 ? "mate " + std::to_string(info.MateIn) : "cp " + std::to_string(info.Score);
  line += " nodes " + std::to_string(info.Nodes) + " time " + std::to_string(time) + " nps " +
          std::to_string(nps);
  const std::string pv = PvText(board, info.Pv);
  if (!pv.empty()) line += " pv" + pv;
  return line;
}

// The answer to a search of board: its move, else the first legal move (a
// search stopped before it finished one depth), else the null move.
std::string BestMoveLine(const chess::TEngineBoard& board, const chess::TSearchResult& result) {
  if (result.Best && board.IsLegal(*result.Best))
    return "bestmove " + chess::TEngineBoard::ToUci(*result.Best);
  const std::vector<chess::TEngineMove> moves = board.LegalMoves();
  return "bestmove " + (moves.empty() ? std::string("0000") : chess::TEngineBoard::ToUci(moves[0]));
}

// A FEN of one to six fields; the side to move, castling rights and
// en-passant square a host left out are filled in as "w - -".
std::string CompleteFen(const std::vector<std::string_view>& fields) {
  static constexpr const char* kDefaults[] = {"", "w", "-", "-"};
  std::string fen;
  for (std::size_t i = 0; i < std::max<std::size_t>(fields.size(), 4); ++i) {
    if (i) fen += ' ';
    fen += i < fields.size() ? std::string(fields[i]) : kDefaults[i];
  }
  return fen;
}

}  // namespace

TUciSession::TUciSession(TUciSearcher& searcher, TWrite write)
    : searcher_(searcher), write_(std::move(write)) {}

TUciSession::~TUciSession() { searcher_.Stop(); }

bool TUciSession::Feed(std::string_view bytes) {
  while (!ended_ && !bytes.empty()) {
    const std::size_t end = bytes.find('\n');
    const std::string_view part = bytes.substr(0, end);
    if (!overlong_ && input_.size() + part.size() <= kMaxLineLength)
      input_.append(part);
    else
      overlong_ = true;
    if (end == std::string_view::npos) break;
    EndLine();
    bytes.remove_prefix(end + 1);
  }
  return !ended_;
}

void TUciSession::Finish() {
  if (ended_) return;
  if (!input_.empty() || overlong_) EndLine();
  if (!ended_) Quit();
}

void TUciSession::EndLine() {
  if (overlong_)
    Note("line longer than " + std::to_string(kMaxLineLength) + " bytes ignored");
  else
    HandleLine(input_);
  input_.clear();
  overlong_ = false;
}

bool TUciSession::HandleLine(std::string_view line) {
  if (ended_) return false;
  const TWords words = SplitWords(line);
  if (words.empty()) return true;
  const std::string_view command = words[0];
  if (command == "uci")
    Identify();
  else if (command == "isready")
    Send("readyok");
  else if (command == "ucinewgame")
    NewGame();
  else if (command == "setoption")
    SetOption(words);
  else if (command == "position")
    SetPosition(words);
  else if (command == "go")
    Go(words);
  else if (command == "stop")
    Stop();
  else if (command == "ponderhit")
    PonderHit();
  else if (command == "quit")
    Quit();
  else if (command != "debug" && command != "register")
    Note("unknown command " + Quote(command));
  return !ended_;
}

void TUciSession::Identify() {
  Send("id name " + app::VersionLine("Ludex"));
  Send("id author The Ludex developers");
  Send("option name Level type spin default " + std::to_string(kUciDefaultLevel) + " min " +
       std::to_string(chess::kLowestLevel) + " max " + std::to_string(chess::kHighestLevel));
  Send("uciok");
}

void TUciSession::NewGame() {
  Stop();
  searcher_.NewGame();
  board_ = chess::TEngineBoard(chess::TRules::Standard);
}

void TUciSession::SetOption(const TWords& words) {
  if (words.size() < 3 || words[1] != "name") {
    Note("setoption needs 'name NAME [value VALUE]'");
    return;
  }
  std::size_t index = 2;
  std::string name;
  for (; index < words.size() && words[index] != "value"; ++index) {
    if (!name.empty()) name += ' ';
    name += words[index];
  }
  if (!app::SameText(name, "Level")) {
    Note("unknown option " + Quote(name));
    return;
  }
  const bool oneValue = index + 2 == words.size();
  const std::optional<long long> level = oneValue ? ReadInteger(words[index + 1]) : std::nullopt;
  if (!level || *level < chess::kLowestLevel || *level > chess::kHighestLevel) {
    Note("Level takes a number from " + std::to_string(chess::kLowestLevel) + " to " +
         std::to_string(chess::kHighestLevel) +
         (oneValue ? ", not " + Quote(words[index + 1]) : "") + "; it stays " +
         std::to_string(level_));
    return;
  }
  level_ = static_cast<int>(*level);
}

void TUciSession::SetPosition(const TWords& words) {
  std::size_t index = 2;
  std::optional<chess::TEngineBoard> board;
  if (words.size() >= 2 && words[1] == "startpos") {
    board.emplace(chess::TRules::Standard);
  } else if (words.size() >= 2 && words[1] == "fen") {
    std::vector<std::string_view> fields;
    for (; index < words.size() && words[index] != "moves"; ++index) fields.push_back(words[index]);
    if (fields.empty() || fields.size() > 6) {
      Note("position fen takes 1 to 6 fields, not " + std::to_string(fields.size()) +
           "; the position stays");
      return;
    }
    const std::string fen = CompleteFen(fields);
    std::string error;
    board = chess::TEngineBoard::FromFen(fen, chess::TRules::Standard, &error);
    if (!board) {
      Note("bad FEN (" + app::EscapeForDisplay(error.substr(0, kMaxReason)) +
           "); the position stays");
      return;
    }
    if (fields.size() < 4) Note("incomplete FEN read as " + Quote(fen));
  } else {
    Note("position needs 'startpos' or 'fen FEN'; the position stays");
    return;
  }
  if (index < words.size() && words[index] != "moves") {
    Note("unexpected " + Quote(words[index]) + " in position; the position stays");
    return;
  }
  for (std::size_t i = index + 1; i < words.size(); ++i) {
    const std::optional<chess::TEngineMove> move = board->ParseUci(words[i]);
    if (!move || !board->Play(*move)) {
      Note("illegal move " + Quote(words[i]) + " (move " + std::to_string(i - index) +
           " of the list); the position stays");
      return;
    }
  }
  board_ = std::move(*board);
}

TGoRequest TUciSession::ReadGo(const TWords& words, bool& ponder) {
  TGoRequest go;
  for (std::size_t i = 1; i < words.size(); ++i) {
    const std::string_view key = words[i];
    if (key == "infinite") {
      go.Infinite = true;
    } else if (key == "ponder") {
      ponder = true;
    } else if (key == "searchmoves") {
      Note("searchmoves is not supported: every move is searched");
      while (i + 1 < words.size() && board_.ParseUci(words[i + 1])) ++i;
    } else if (!TakesNumber(key)) {
      Note("go: unknown parameter " + Quote(key));
    } else {
      const bool given = i + 1 < words.size() && !IsGoKeyword(words[i + 1]);
      const std::optional<long long> value = given ? ReadInteger(words[++i]) : std::nullopt;
      if (value)
        SetGoValue(go, key, *value);
      else
        Note("go: " + std::string(key) + " needs a number, not " +
             (given ? Quote(words[i]) : "nothing"));
    }
  }
  return go;
}

void TUciSession::Go(const TWords& words) {
  bool ponder = false;
  TGoRequest go = ReadGo(words, ponder);
  Stop();
  if (ponder) {
    ponder_ = go;
    ponderBoard_ = board_;
    go.Infinite = true;
  }
  StartSearch(board_, go, go.Infinite);
}

void TUciSession::PonderHit() {
  if (!ponder_) return;
  const TGoRequest go = *ponder_;
  ponder_.reset();
  StopSearch(false);
  StartSearch(ponderBoard_, go, go.Infinite);
}

void TUciSession::Stop() {
  ponder_.reset();
  StopSearch(true);
}

void TUciSession::Quit() {
  Stop();
  ended_ = true;
}

void TUciSession::StartSearch(const chess::TEngineBoard& board, const TGoRequest& go, bool held) {
  chess::TSearchLimits limits = LimitsForGo(go, level_, board.WhiteToMove());
  limits.OnInfo = [this, board](const chess::TSearchInfo& info) { Send(InfoLine(board, info)); };
  {
    const std::lock_guard lock(mutex_);
    searching_ = true;
    held_ = held;
    heldBestMove_.reset();
  }
  searcher_.Start(board, std::move(limits), [this, board](const chess::TSearchResult& result) {
    SearchDone(BestMoveLine(board, result));
  });
}

void TUciSession::StopSearch(bool report) {
  {
    const std::lock_guard lock(mutex_);
    if (!searching_) return;
  }
  searcher_.Stop();
  const std::lock_guard lock(mutex_);
  if (report && heldBestMove_) write_(*heldBestMove_);
  heldBestMove_.reset();
  searching_ = false;
}

void TUciSession::SearchDone(const std::string& bestMove) {
  const std::lock_guard lock(mutex_);
  if (held_) {
    heldBestMove_ = bestMove;
    return;
  }
  write_(bestMove);
  searching_ = false;
}

void TUciSession::Send(const std::string& line) {
  const std::lock_guard lock(mutex_);
  write_(line);
}

void TUciSession::Note(const std::string& text) { Send("info string " + text); }

}  // namespace engine
