#include "tools/match/Stats.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace match {
namespace {

// The interval's confidence and the two-sided quantile of the normal
// distribution that belongs to it.
constexpr double kConfidence = 0.95;
constexpr double kZ95 = 1.959964;

}  // namespace

double TTally::Score() const {
  const int games = Games();
  return games == 0 ? 0.5 : (Wins + 0.5 * Draws) / games;
}

double EloFromScore(double score) {
  if (score <= 0) return -std::numeric_limits<double>::infinity();
  if (score >= 1) return std::numeric_limits<double>::infinity();
  return -400.0 * std::log10(1.0 / score - 1.0);
}

// Each game scores 1, 1/2 or 0: a trinomial variable. With N games, W wins,
// D draws and L losses the mean score is
//   mu = (W + D / 2) / N,
// the variance of one game's score is
//   sigma^2 = (W (1 - mu)^2 + D (1/2 - mu)^2 + L mu^2) / N,
// and the mean's standard error is sigma / sqrt(N). The 95 % interval of the
// score, mu +- 1.96 sigma / sqrt(N), clamped to 0..1, becomes an Elo
// interval through the logistic curve Elo(s) = -400 log10(1/s - 1), which
// rises monotonically.
TEloEstimate EstimateElo(const TTally& tally) {
  const int games = tally.Games();
  const double mu = tally.Score();
  TEloEstimate estimate{EloFromScore(mu), EloFromScore(mu), EloFromScore(mu)};
  if (games == 0) return estimate;
  const double variance = (tally.Wins * (1 - mu) * (1 - mu) +
                           tally.Draws * (0.5 - mu) * (0.5 - mu) + tally.Losses * mu * mu) /
                          games;
  const double margin = kZ95 * std::sqrt(variance / games);
  estimate.Low = EloFromScore(std::max(0.0, mu - margin));
  estimate.High = EloFromScore(std::min(1.0, mu + margin));
  // Every game won (or lost) leaves no variance to measure. Then the score
  // below which N straight wins had a chance under 5 % bounds the interval:
  // p^N = 0.05 gives p = 0.05^(1/N).
  const double sweep = std::pow(1 - kConfidence, 1.0 / games);
  if (tally.Wins == games) estimate.Low = EloFromScore(sweep);
  if (tally.Losses == games) estimate.High = EloFromScore(1 - sweep);
  return estimate;
}

std::optional<double> Median(std::vector<double> values) {
  if (values.empty()) return std::nullopt;
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  if (values.size() % 2 == 1) return values[middle];
  return (values[middle - 1] + values[middle]) / 2;
}

std::optional<double> Percentile(std::vector<double> values, double percent) {
  if (values.empty()) return std::nullopt;
  std::sort(values.begin(), values.end());
  const double rank = std::ceil(percent / 100 * static_cast<double>(values.size()));
  const std::size_t index = static_cast<std::size_t>(std::clamp(rank, 1.0, 1.0 * values.size()));
  return values[index - 1];
}

std::optional<double> Worst(const std::vector<double>& values) {
  if (values.empty()) return std::nullopt;
  return *std::max_element(values.begin(), values.end());
}

}  // namespace match
