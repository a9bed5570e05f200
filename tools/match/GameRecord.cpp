#include "tools/match/GameRecord.h"

#include <sstream>

namespace match {
namespace {

// More replies than any game can hold mark a damaged record.
constexpr std::size_t kMaxReplies = 100000;

const char* WinnerName(TWinner winner) {
  switch (winner) {
    case TWinner::White:
      return "white";
    case TWinner::Black:
      return "black";
    default:
      return "none";
  }
}

std::optional<TWinner> WinnerFromName(std::string_view name) {
  for (TWinner winner : {TWinner::White, TWinner::Black, TWinner::None})
    if (name == WinnerName(winner)) return winner;
  return std::nullopt;
}

void WriteTimes(std::ostringstream& out, const std::vector<double>& times) {
  out << times.size();
  for (double time : times) out << ' ' << time;
  out << '\n';
}

bool ReadTimes(std::istringstream& in, std::vector<double>& times) {
  std::size_t count = 0;
  if (!(in >> count) || count > kMaxReplies) return false;
  times.resize(count);
  for (double& time : times)
    if (!(in >> time)) return false;
  return true;
}

}  // namespace

int TGameRecord::ResultForA() const {
  if (Outcome.Verdict.Winner == TWinner::None) return 0;
  const bool whiteWon = Outcome.Verdict.Winner == TWinner::White;
  return whiteWon == AIsWhite ? 1 : -1;
}

const std::vector<double>& TGameRecord::TimesA() const {
  return AIsWhite ? Outcome.WhiteTimes : Outcome.BlackTimes;
}

const std::vector<double>& TGameRecord::TimesB() const {
  return AIsWhite ? Outcome.BlackTimes : Outcome.WhiteTimes;
}

std::string SerializeRecord(const TGameRecord& record) {
  std::ostringstream out;
  out.precision(17);
  out << record.Game << ' ' << record.Opening << ' ' << (record.AIsWhite ? 1 : 0) << ' '
      << record.Outcome.Plies << ' ' << WinnerName(record.Outcome.Verdict.Winner) << ' '
      << (record.Outcome.Verdict.PlayerFailed ? 1 : 0) << ' '
      << static_cast<int>(record.Outcome.Record) << '\n';
  WriteTimes(out, record.Outcome.WhiteTimes);
  WriteTimes(out, record.Outcome.BlackTimes);
  out << record.Outcome.Verdict.Reason << '\n';
  return out.str();
}

std::optional<TGameRecord> ParseRecord(std::string_view text) {
  std::istringstream in{std::string(text)};
  TGameRecord record;
  int aIsWhite = 0;
  int failed = 0;
  int check = 0;
  std::string winner;
  if (!(in >> record.Game >> record.Opening >> aIsWhite >> record.Outcome.Plies >> winner >>
        failed >> check) ||
      check < 0 || check > static_cast<int>(TRecordCheck::Differs))
    return std::nullopt;
  record.Outcome.Record = static_cast<TRecordCheck>(check);
  const std::optional<TWinner> parsedWinner = WinnerFromName(winner);
  if (!parsedWinner) return std::nullopt;
  record.AIsWhite = aIsWhite != 0;
  record.Outcome.Verdict.Winner = *parsedWinner;
  record.Outcome.Verdict.PlayerFailed = failed != 0;
  if (!ReadTimes(in, record.Outcome.WhiteTimes) || !ReadTimes(in, record.Outcome.BlackTimes))
    return std::nullopt;
  in.ignore(1);  // the line end after the times
  if (!std::getline(in, record.Outcome.Verdict.Reason)) return std::nullopt;
  return record;
}

}  // namespace match
