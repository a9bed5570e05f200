#pragma once

#include <string>
#include <vector>

#include "tools/match/Match.h"
#include "tools/match/Stats.h"

// What ludex-match prints: one line per game on request, and the summary.
namespace match {

// Player A's wins, draws and losses over the records.
TTally TallyForA(const std::vector<TGameRecord>& records);

// "+147", "-12", "+inf".
std::string FormatElo(double elo);

// "game 3/200: opening 2 (d2d4 d7d5 c2c4), A White: A won, checkmate, 87 plies"
std::string GameLine(const TGameRecord& record, const std::vector<TOpening>& book, int games);

// The summary block: who played, the score with its Elo interval, how the
// games ended, the failures, and each player's median, 99th percentile and
// worst reply time. openings is the size of the book.
std::string Summary(const TMatchOptions& options, const TMatchResult& result, int openings);

}  // namespace match
