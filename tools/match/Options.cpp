#include "tools/match/Options.h"

#include <charconv>

#include "tools/match/Text.h"

namespace match {
namespace {

constexpr int kMaxJobs = 64;
constexpr int kMaxCount = 1000000;

long long ParseCount(const std::string& text, long long min, long long max,
                     const std::string& what) {
  long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < min || value > max)
    throw TUsageError(what + " must be a number from " + std::to_string(min) + " to " +
                      std::to_string(max) + " (got '" + text + "')");
  return value;
}

std::uint64_t ParseSeed(const std::string& text) {
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty())
    throw TUsageError("--seed needs a whole number (got '" + text + "')");
  return value;
}

// Walks the arguments, handing each option its value.
class TArgs {
 public:
  explicit TArgs(const std::vector<std::string>& args) : args_(args) {}
  bool Done() const { return at_ >= args_.size(); }
  const std::string& Next() { return args_[at_++]; }
  const std::string& Value(const std::string& option) {
    if (Done()) throw TUsageError(option + " needs a value");
    return Next();
  }

 private:
  const std::vector<std::string>& args_;
  std::size_t at_ = 0;
};

// "A:Name=Value" for --uci-option.
void AddUciOption(TMatchOptions& options, const std::string& text) {
  const std::size_t equals = text.find('=');
  if (text.size() < 3 || text[1] != ':' || (text[0] != 'A' && text[0] != 'B') ||
      equals == std::string::npos || equals == 2)
    throw TUsageError("--uci-option needs A:NAME=VALUE or B:NAME=VALUE (got '" + text + "')");
  TPlayerSpec& player = text[0] == 'A' ? options.A : options.B;
  player.UciOptions.emplace_back(text.substr(2, equals - 2), text.substr(equals + 1));
}

TGameKind ParseGame(const std::string& text) {
  if (text == "chess") return TGameKind::Chess;
  if (text == "checkers") return TGameKind::Checkers;
  throw TUsageError("unknown game '" + text + "' (chess or checkers)");
}

void CheckPlayer(const TMatchOptions& options, const TPlayerSpec& player) {
  if (player.IsUci) {
    if (options.Game != TGameKind::Chess) throw TUsageError("only chess engines speak UCI");
    return;
  }
  if (!player.UciOptions.empty())
    throw TUsageError("--uci-option for " + player.Text + ", which is no UCI engine");
  if (player.Level == 0 && MatchRules(options) == chess::TRules::Standard)
    throw TUsageError("level 0 plays only the program's rules, not a UCI engine's");
}

}  // namespace

TPlayerSpec ParsePlayer(const std::string& text) {
  TPlayerSpec player;
  player.Text = text;
  if (text.rfind("level:", 0) == 0) {
    player.Level = static_cast<int>(
        ParseCount(text.substr(6), chess::kLowestLevel, chess::kHighestLevel, "a level"));
    return player;
  }
  if (text.rfind("uci:", 0) == 0) {
    player.IsUci = true;
    player.Command = SplitWords(text.substr(4));
    if (player.Command.empty()) throw TUsageError("uci: needs a program");
    return player;
  }
  throw TUsageError("unknown player '" + text + "' (level:N or uci:PROGRAM)");
}

TMatchOptions ParseMatchOptions(const std::vector<std::string>& args) {
  TMatchOptions options;
  std::vector<std::string> words;
  std::vector<std::string> uciOptions;
  for (TArgs at(args); !at.Done();) {
    const std::string& arg = at.Next();
    if (arg == "-j")
      options.Jobs = static_cast<int>(ParseCount(at.Value(arg), 1, kMaxJobs, arg));
    else if (arg == "--seed")
      options.Seed = ParseSeed(at.Value(arg));
    else if (arg == "-v")
      options.Verbose = true;
    else if (arg == "--movetime")
      options.MoveTime = static_cast<int>(ParseCount(at.Value(arg), 1, 3600000, arg));
    else if (arg == "--max-plies")
      options.MaxPlies = static_cast<int>(ParseCount(at.Value(arg), 1, 100000, arg));
    else if (arg == "--games")
      options.Games = static_cast<int>(ParseCount(at.Value(arg), 1, kMaxCount, arg));
    else if (arg == "--openings")
      options.OpeningCount = static_cast<int>(ParseCount(at.Value(arg), 1, kMaxCount, arg));
    else if (arg == "--book")
      options.Book = at.Value(arg);
    else if (arg == "--uci-option")
      uciOptions.push_back(at.Value(arg));
    else if (arg.size() > 1 && arg[0] == '-')
      throw TUsageError("unknown option '" + arg + "'");
    else
      words.push_back(arg);
  }
  if (words.size() != 3) throw TUsageError("needs a game and two players");
  options.Game = ParseGame(words[0]);
  options.A = ParsePlayer(words[1]);
  options.B = ParsePlayer(words[2]);
  for (const std::string& text : uciOptions) AddUciOption(options, text);
  CheckPlayer(options, options.A);
  CheckPlayer(options, options.B);
  return options;
}

TMakeOpeningsOptions ParseMakeOpeningsOptions(const std::vector<std::string>& args) {
  TMakeOpeningsOptions options;
  for (TArgs at(args); !at.Done();) {
    const std::string& arg = at.Next();
    if (arg == "--plies")
      options.Plies = static_cast<int>(ParseCount(at.Value(arg), 1, 6, arg));
    else if (arg == "--count")
      options.Count = static_cast<int>(ParseCount(at.Value(arg), 1, kMaxCount, arg));
    else if (arg == "--margin")
      options.Margin = static_cast<int>(ParseCount(at.Value(arg), 0, 100000, arg));
    else if (arg == "--seed")
      options.Seed = ParseSeed(at.Value(arg));
    else
      throw TUsageError("unknown argument '" + arg + "' for --make-openings");
  }
  return options;
}

}  // namespace match
