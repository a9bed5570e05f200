#include "tools/match/Report.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "tools/match/Text.h"

namespace match {
namespace {

const char* ResultForA(const TGameRecord& record) {
  switch (record.ResultForA()) {
    case 1:
      return "A won";
    case -1:
      return "B won";
    default:
      return "draw";
  }
}

const char* GameName(const TMatchOptions& options) {
  if (options.Game == TGameKind::Checkers) return "checkers";
  return MatchRules(options) == chess::TRules::Standard ? "chess (standard rules)"
                                                        : "chess (the program's rules)";
}

const char* Colour(bool white) { return white ? "White" : "Black"; }

std::string TimeLine(const char* who, const TPlayerSpec& player, const std::vector<double>& times) {
  const std::optional<double> median = Median(times);
  if (!median) return Printf("reply times of %s (%s): none\n", who, player.Text.c_str());
  return Printf(
      "reply times of %s (%s): median %.1f ms, 99th percentile %.1f ms, worst %.1f ms over %zu "
      "replies\n",
      who, player.Text.c_str(), *median, *Percentile(times, 99), *Worst(times), times.size());
}

std::string EndingsLine(const std::vector<TGameRecord>& records) {
  std::map<std::string, int> endings;
  for (const TGameRecord& record : records)
    ++endings[record.Outcome.Verdict.PlayerFailed ? "player failure"
                                                  : record.Outcome.Verdict.Reason];
  std::string line = "endings:";
  for (const auto& [reason, count] : endings)
    line += Printf("%s %s %d", line.back() == ':' ? "" : ",", reason.c_str(), count);
  return line + '\n';
}

// How many games' records read back with the moves played.
std::string RecordsLine(const std::vector<TGameRecord>& records) {
  int written = 0;
  int same = 0;
  for (const TGameRecord& record : records) {
    if (record.Outcome.Record == TRecordCheck::NotWritten) continue;
    ++written;
    same += record.Outcome.Record == TRecordCheck::ReadBack;
  }
  if (written == 0) return {};
  return Printf("game records written and read back: %d of %d with the same moves\n", same,
                written);
}

std::string FailureLines(const std::vector<TGameRecord>& records, int games) {
  std::string lines;
  for (const TGameRecord& record : records)
    if (record.Outcome.Verdict.PlayerFailed)
      lines += Printf("failure in game %d/%d (A %s): %s\n", record.Game + 1, games,
                      Colour(record.AIsWhite), record.Outcome.Verdict.Reason.c_str());
  return lines;
}

std::string LostLines(const std::vector<int>& lost) {
  if (lost.empty()) return "";
  std::string line = "games without a record (their process died):";
  for (int game : lost) line += Printf(" %d", game + 1);
  return line + '\n';
}

}  // namespace

TTally TallyForA(const std::vector<TGameRecord>& records) {
  TTally tally;
  for (const TGameRecord& record : records) {
    const int result = record.ResultForA();
    if (result > 0)
      ++tally.Wins;
    else if (result < 0)
      ++tally.Losses;
    else
      ++tally.Draws;
  }
  return tally;
}

std::string FormatElo(double elo) {
  if (std::isinf(elo)) return elo > 0 ? "+inf" : "-inf";
  return Printf("%+ld", std::lround(elo));
}

std::string GameLine(const TGameRecord& record, const std::vector<TOpening>& book, int games) {
  const TOpening& opening = book[static_cast<std::size_t>(record.Opening)];
  return Printf("game %d/%d: opening %d (%s), A %s: %s, %s, %d plies", record.Game + 1, games,
                record.Opening + 1, JoinWords(opening.Moves).c_str(), Colour(record.AIsWhite),
                ResultForA(record), record.Outcome.Verdict.Reason.c_str(), record.Outcome.Plies);
}

std::string Summary(const TMatchOptions& options, const TMatchResult& result, int openings) {
  const std::vector<TGameRecord>& records = result.Records;
  const TTally tally = TallyForA(records);
  const TEloEstimate elo = EstimateElo(tally);
  std::vector<double> timesA;
  std::vector<double> timesB;
  for (const TGameRecord& record : records) {
    timesA.insert(timesA.end(), record.TimesA().begin(), record.TimesA().end());
    timesB.insert(timesB.end(), record.TimesB().begin(), record.TimesB().end());
  }
  const int games = ScheduledGames(options, openings);
  std::string text =
      Printf("%s: A = %s, B = %s, %d games from %d openings, seed %llu\n", GameName(options),
             options.A.Text.c_str(), options.B.Text.c_str(), games,
             std::min(openings, (games + 1) / 2), static_cast<unsigned long long>(options.Seed));
  text += Printf("games %d: A won %d, drew %d, lost %d; score %.1f %%\n", tally.Games(), tally.Wins,
                 tally.Draws, tally.Losses, 100 * tally.Score());
  text += Printf("Elo difference A - B: %s (95 %% interval %s .. %s)\n", FormatElo(elo.Elo).c_str(),
                 FormatElo(elo.Low).c_str(), FormatElo(elo.High).c_str());
  text += EndingsLine(records);
  text += RecordsLine(records);
  text += FailureLines(records, games);
  text += LostLines(result.Lost);
  text += TimeLine("A", options.A, timesA);
  text += TimeLine("B", options.B, timesB);
  return text;
}

}  // namespace match
