// ludex-match: plays matches between the computer's levels, or between a
// level and a UCI chess engine, and reports the score with an Elo interval
// and each player's reply times. A developer's tool; it is not installed.
#include <cstdio>
#include <exception>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "tools/match/MakeOpenings.h"
#include "tools/match/Match.h"
#include "tools/match/Openings.h"
#include "tools/match/Options.h"
#include "tools/match/Report.h"

namespace {

using match::TOpening;

constexpr app::TCommandLineHelp kHelp{
    "ludex-match",
    "usage: ludex-match chess|checkers PLAYER_A PLAYER_B [OPTION...]\n"
    "       ludex-match --make-openings [--plies N] [--count N] [--margin N] [--seed N]\n"
    "       ludex-match --help | --version\n",
    "Plays a match: every opening of the book twice, A taking White first and\n"
    "Black next, and prints A's wins, draws and losses, its score, the Elo\n"
    "difference with a 95 % interval, how the games ended and the median and\n"
    "worst reply time of each player.\n"
    "\n"
    "PLAYER is one of:\n"
    "  level:N                the computer at level N (0..2), in this process\n"
    "  uci:'PROGRAM [ARG...]' a UCI chess engine (chess only); the match is\n"
    "                         then played under standard rules, which level 0\n"
    "                         does not know\n"
    "Options:\n"
    "  -j N                   games played at once, each in a process of its own\n"
    "                         (default 1); reply times are only trustworthy while\n"
    "                         the machine has a core for each\n"
    "  --seed N               the random generator's seed (default 1); each game\n"
    "                         is seeded from it and its number\n"
    "  -v                     a line per game as it ends\n"
    "  --games N              games to play (default: two per opening)\n"
    "  --openings N           play only the book's first N openings\n"
    "  --book FILE            the opening book (default: openings-GAME.txt in the\n"
    "                         tool's source folder)\n"
    "  --max-plies N          a game is drawn after N plies (default 200)\n"
    "  --movetime MS          a UCI engine's time per move (default 250)\n"
    "  --uci-option A:NAME=VALUE\n"
    "                         a setoption for player A's (or B:) UCI engine\n"
    "\n"
    "Games end by checkmate or no move left (a loss), stalemate, threefold\n"
    "repetition, the fifty-move rule (standard rules), insufficient material\n"
    "or the ply limit (draws). A player that names an illegal move, crashes or\n"
    "stays silent for 5 s past its move time loses; the summary lists each.\n"
    "\n"
    "--make-openings writes a checkers book to standard output: the move\n"
    "sequences of --plies plies (default 4) that end without a capture pending\n"
    "and that the strongest level scores within --margin (default 15; a man is\n"
    "100), a seeded sample of --count of them (default 100).\n"};

std::string DefaultBook(match::TGameKind game) {
  return std::string(LUDEX_MATCH_BOOK_DIR) +
         (game == match::TGameKind::Chess ? "/openings-chess.txt" : "/openings-checkers.txt");
}

// The book's openings the match plays; none when one is unusable (said on
// standard error).
std::optional<std::vector<TOpening>> ReadBook(const match::TMatchOptions& options) {
  const std::string path = options.Book.empty() ? DefaultBook(options.Game) : options.Book;
  std::vector<TOpening> book = match::LoadOpenings(path);
  if (options.OpeningCount > 0 && static_cast<std::size_t>(options.OpeningCount) < book.size())
    book.resize(static_cast<std::size_t>(options.OpeningCount));
  bool usable = !book.empty();
  if (book.empty()) std::fprintf(stderr, "ludex-match: %s: no openings\n", path.c_str());
  for (const TOpening& opening : book) {
    const std::string problem = options.Game == match::TGameKind::Chess
                                    ? match::ChessOpeningProblem(opening)
                                    : match::CheckersOpeningProblem(opening);
    if (problem.empty()) continue;
    std::fprintf(stderr, "ludex-match: %s:%d: %s\n", path.c_str(), opening.Line, problem.c_str());
    usable = false;
  }
  if (!usable) return std::nullopt;
  return book;
}

int PlayMatch(const match::TMatchOptions& options) {
  const std::optional<std::vector<TOpening>> book = ReadBook(options);
  if (!book) return 1;
  const int games = match::ScheduledGames(options, static_cast<int>(book->size()));
  const match::TMatchResult result =
      match::RunMatch(options, *book, [&](const match::TGameRecord& record) {
        if (!options.Verbose) return;
        std::cout << match::GameLine(record, *book, games) << std::endl;
      });
  std::cout << match::Summary(options, result, static_cast<int>(book->size())) << std::flush;
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  // Only --help and --version are answered the common way: the other
  // options may come first too.
  if (!args.empty() && (args[0] == "--help" || args[0] == "--version"))
    return *app::AnswerOptions(argc, argv, kHelp);
  const bool makeOpenings = !args.empty() && args[0] == "--make-openings";
  try {
    if (makeOpenings) {
      std::cout << match::MakeCheckersOpenings(match::ParseMakeOpeningsOptions(
                       std::vector<std::string>(args.begin() + 1, args.end())))
                << std::flush;
      return 0;
    }
    return PlayMatch(match::ParseMatchOptions(args));
  } catch (const match::TUsageError& error) {
    return app::UsageError(kHelp, error.what());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "ludex-match: %s\n", error.what());
    return 1;
  }
}
