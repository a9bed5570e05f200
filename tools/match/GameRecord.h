#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// How one game of a match ended, as the referees decide it and the report
// reads it. A record also travels as text from the process that played the
// game to the one that keeps the score.
namespace match {

// White moves first, in checkers too.
enum class TWinner { White, Black, None };

struct TVerdict {
  TWinner Winner = TWinner::None;
  // "checkmate", "threefold repetition", "Black: illegal move e2e5", ...
  std::string Reason;
  // The loser crashed, hung or named an illegal move.
  bool PlayerFailed = false;
};

// What a referee hands back: the verdict, the plies played (the opening's
// included) and each side's reply times in milliseconds.
// Each game under the program's rules is written as the program saves games
// (PGN, PDN) and read back; the moves read must be the moves played.
enum class TRecordCheck { NotWritten, ReadBack, Differs };

struct TGameOutcome {
  TVerdict Verdict;
  int Plies = 0;
  std::vector<double> WhiteTimes;
  std::vector<double> BlackTimes;
  TRecordCheck Record = TRecordCheck::NotWritten;
};

struct TGameRecord {
  int Game = 0;     // position in the schedule, from 0
  int Opening = 0;  // index into the opening list
  bool AIsWhite = true;
  TGameOutcome Outcome;

  // +1 when player A won, 0 for a draw, -1 when it lost.
  int ResultForA() const;
  const std::vector<double>& TimesA() const;
  const std::vector<double>& TimesB() const;
};

// One line per field; the reason last, as it may hold any text but a line end.
std::string SerializeRecord(const TGameRecord& record);
// None for a text SerializeRecord did not write.
std::optional<TGameRecord> ParseRecord(std::string_view text);

}  // namespace match
