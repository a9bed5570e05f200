#pragma once

#include <optional>
#include <vector>

// The arithmetic of a match result: the score, the Elo difference it
// implies with a 95 % interval, and the reply-time statistics.
namespace match {

// Games won, drawn and lost, seen from one player.
struct TTally {
  int Wins = 0;
  int Draws = 0;
  int Losses = 0;

  int Games() const { return Wins + Draws + Losses; }
  // The mean score per game, 0..1 (a draw counts one half); 0.5 without games.
  double Score() const;
};

// An Elo difference and its 95 % interval. A bound is +-infinity where the
// score it stands for is 0 or 1; a clean sweep still gets a finite bound on
// its other side.
struct TEloEstimate {
  double Elo = 0;
  double Low = 0;
  double High = 0;
};

// The Elo difference that gives the expected score (0..1).
double EloFromScore(double score);
TEloEstimate EstimateElo(const TTally& tally);

// The middle value (the mean of the two middle values for an even count)
// and the largest; none for an empty list.
std::optional<double> Median(std::vector<double> values);
std::optional<double> Worst(const std::vector<double>& values);
// The smallest value that at least percent % of the values do not exceed
// (nearest rank); none for an empty list.
std::optional<double> Percentile(std::vector<double> values, double percent);

}  // namespace match
