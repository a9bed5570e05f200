#include "tools/match/Match.h"

#include <memory>

#include "app/Random.h"
#include "tools/match/CheckersReferee.h"
#include "tools/match/ChessReferee.h"
#include "tools/match/UciPlayer.h"
#include "tools/match/WorkerPool.h"

namespace match {
namespace {

// SplitMix64's finaliser: neighbouring game numbers give unrelated seeds.
std::uint64_t MixSeed(std::uint64_t seed, int index) {
  std::uint64_t z = seed + 0x9E3779B97F4A7C15ULL * (static_cast<std::uint64_t>(index) + 1);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

std::unique_ptr<TChessPlayer> MakeChessPlayer(const TMatchOptions& options,
                                              const TPlayerSpec& spec) {
  if (spec.IsUci)
    return MakeUciPlayer(
        {.Command = spec.Command, .Options = spec.UciOptions, .MoveTime = options.MoveTime});
  if (MatchRules(options) == chess::TRules::Standard) return MakeStandardLevelPlayer(spec.Level);
  return MakeProgramLevelPlayer(spec.Level);
}

TGameOutcome PlayChess(const TMatchOptions& options, const TOpening& opening, bool aIsWhite) {
  const std::unique_ptr<TChessPlayer> a = MakeChessPlayer(options, options.A);
  const std::unique_ptr<TChessPlayer> b = MakeChessPlayer(options, options.B);
  const TChessGameSetup setup{MatchRules(options), opening.Moves, options.MaxPlies};
  return aIsWhite ? PlayChessGame(setup, *a, *b) : PlayChessGame(setup, *b, *a);
}

TGameOutcome PlayCheckers(const TMatchOptions& options, const TOpening& opening, bool aIsWhite) {
  const std::unique_ptr<TCheckersPlayer> a = MakeCheckersLevelPlayer(options.A.Level);
  const std::unique_ptr<TCheckersPlayer> b = MakeCheckersLevelPlayer(options.B.Level);
  const TCheckersGameSetup setup{opening.Moves, options.MaxPlies};
  return aIsWhite ? PlayCheckersGame(setup, *a, *b) : PlayCheckersGame(setup, *b, *a);
}

}  // namespace

chess::TRules MatchRules(const TMatchOptions& options) {
  return options.A.IsUci || options.B.IsUci ? chess::TRules::Standard : chess::TRules::Program;
}

int ScheduledGames(const TMatchOptions& options, int openings) {
  return options.Games > 0 ? options.Games : 2 * openings;
}

int ScheduledOpening(int index, int openings) { return (index / 2) % openings; }

TGameRecord PlayScheduledGame(const TMatchOptions& options, const std::vector<TOpening>& book,
                              int index) {
  app::SeedRandom(MixSeed(options.Seed, index));
  TGameRecord record;
  record.Game = index;
  record.Opening = ScheduledOpening(index, static_cast<int>(book.size()));
  record.AIsWhite = index % 2 == 0;
  const TOpening& opening = book[static_cast<std::size_t>(record.Opening)];
  record.Outcome = options.Game == TGameKind::Chess
                       ? PlayChess(options, opening, record.AIsWhite)
                       : PlayCheckers(options, opening, record.AIsWhite);
  return record;
}

TMatchResult RunMatch(const TMatchOptions& options, const std::vector<TOpening>& book,
                      const std::function<void(const TGameRecord&)>& onGame) {
  TMatchResult result;
  const auto play = [&](int index) {
    return SerializeRecord(PlayScheduledGame(options, book, index));
  };
  const auto done = [&](int index, const std::optional<std::string>& answer) {
    const std::optional<TGameRecord> record = answer ? ParseRecord(*answer) : std::nullopt;
    if (!record) {
      result.Lost.push_back(index);
      return;
    }
    result.Records.push_back(*record);
    onGame(*record);
  };
  RunJobs(ScheduledGames(options, static_cast<int>(book.size())), options.Jobs, play, done);
  return result;
}

}  // namespace match
