#include <gtest/gtest.h>

#include <cmath>

#include "tools/match/GameRecord.h"
#include "tools/match/Report.h"
#include "tools/match/Stats.h"

namespace match {
namespace {

TEST(MatchStats, EloFollowsTheLogisticCurve) {
  EXPECT_DOUBLE_EQ(EloFromScore(0.5), 0);
  EXPECT_NEAR(EloFromScore(0.75), 190.85, 0.01);
  EXPECT_NEAR(EloFromScore(0.25), -190.85, 0.01);
  EXPECT_TRUE(std::isinf(EloFromScore(1)) && EloFromScore(1) > 0);
  EXPECT_TRUE(std::isinf(EloFromScore(0)) && EloFromScore(0) < 0);
}

TEST(MatchStats, IntervalComesFromTheTrinomialVariance) {
  // 60 wins, 20 draws, 20 losses: score 0.7, variance per game 0.16, so the
  // score's standard error is 0.04 and its interval 0.7 +- 0.0784.
  const TEloEstimate strong = EstimateElo({60, 20, 20});
  EXPECT_NEAR(strong.Elo, 147.19, 0.01);
  EXPECT_NEAR(strong.Low, 86.23, 0.01);
  EXPECT_NEAR(strong.High, 218.25, 0.01);
  // Draws narrow the interval: 30 / 50 / 20 scores 0.55 with variance 0.1225.
  const TEloEstimate close = EstimateElo({30, 50, 20});
  EXPECT_NEAR(close.Elo, 34.86, 0.01);
  EXPECT_NEAR(close.Low, -12.93, 0.01);
  EXPECT_NEAR(close.High, 84.01, 0.01);
}

TEST(MatchStats, DegenerateTalliesStayFinite) {
  const TEloEstimate draws = EstimateElo({0, 10, 0});
  EXPECT_EQ(draws.Elo, 0);
  EXPECT_EQ(draws.Low, 0);
  EXPECT_EQ(draws.High, 0);
  const TEloEstimate none = EstimateElo({});
  EXPECT_EQ(none.Elo, 0);
  // Nearly all wins: the upper bound is infinite, the lower one is not.
  const TEloEstimate sweep = EstimateElo({9, 1, 0});
  EXPECT_TRUE(std::isinf(sweep.High));
  EXPECT_FALSE(std::isinf(sweep.Low));
  EXPECT_GT(sweep.Low, 100);
  EXPECT_EQ(FormatElo(sweep.High), "+inf");
  // Ten straight wins: a score below 0.05^(1/10) = 0.741 would make them
  // less likely than 5 %.
  const TEloEstimate wins = EstimateElo({10, 0, 0});
  EXPECT_TRUE(std::isinf(wins.Elo) && std::isinf(wins.High));
  EXPECT_NEAR(wins.Low, 182.73, 0.01);
  const TEloEstimate losses = EstimateElo({0, 0, 10});
  EXPECT_NEAR(losses.High, -182.73, 0.01);
  EXPECT_TRUE(std::isinf(losses.Low) && losses.Low < 0);
  EXPECT_EQ(FormatElo(-12.6), "-13");
  EXPECT_EQ(FormatElo(0.2), "+0");
}

TEST(MatchStats, MedianAndWorst) {
  EXPECT_FALSE(Median({}));
  EXPECT_FALSE(Worst({}));
  EXPECT_EQ(*Median({5, 1, 3}), 3);
  EXPECT_EQ(*Median({4, 1, 3, 2}), 2.5);
  EXPECT_EQ(*Worst({4, 9, 3}), 9);
  EXPECT_FALSE(Percentile({}, 99));
  std::vector<double> hundred;
  for (int i = 100; i >= 1; --i) hundred.push_back(i);
  EXPECT_EQ(*Percentile(hundred, 99), 99);
  EXPECT_EQ(*Percentile(hundred, 100), 100);
  EXPECT_EQ(*Percentile({7, 3}, 99), 7);
  EXPECT_EQ(*Percentile({7, 3}, 0), 3);
}

TEST(MatchStats, RecordsSurviveTheirTextForm) {
  TGameRecord record;
  record.Game = 7;
  record.Opening = 3;
  record.AIsWhite = false;
  record.Outcome.Verdict = {TWinner::White, "Black: illegal move 'e2e5'", true};
  record.Outcome.Plies = 41;
  record.Outcome.WhiteTimes = {1.5, 2.25};
  record.Outcome.BlackTimes = {0.125};
  record.Outcome.Record = TRecordCheck::Differs;
  const std::optional<TGameRecord> back = ParseRecord(SerializeRecord(record));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->Game, 7);
  EXPECT_EQ(back->Opening, 3);
  EXPECT_FALSE(back->AIsWhite);
  EXPECT_EQ(back->Outcome.Verdict.Winner, TWinner::White);
  EXPECT_EQ(back->Outcome.Verdict.Reason, "Black: illegal move 'e2e5'");
  EXPECT_TRUE(back->Outcome.Verdict.PlayerFailed);
  EXPECT_EQ(back->Outcome.Plies, 41);
  EXPECT_EQ(back->Outcome.Record, TRecordCheck::Differs);
  EXPECT_EQ(back->Outcome.WhiteTimes, (std::vector<double>{1.5, 2.25}));
  EXPECT_EQ(back->TimesA(), (std::vector<double>{0.125}));
  EXPECT_EQ(back->ResultForA(), -1);

  EXPECT_FALSE(ParseRecord(""));
  EXPECT_FALSE(ParseRecord("1 2 1 40 nobody 0\n0\n0\nreason\n"));
  EXPECT_FALSE(ParseRecord("1 2 1 40 white 0\n99999999999 1\n"));
}

TEST(MatchStats, TallyCountsFromPlayerAsView) {
  std::vector<TGameRecord> records(4);
  records[0].Outcome.Verdict.Winner = TWinner::White;  // A White: a win
  records[1].AIsWhite = false;
  records[1].Outcome.Verdict.Winner = TWinner::White;  // A Black: a loss
  records[2].AIsWhite = false;
  records[2].Outcome.Verdict.Winner = TWinner::Black;  // a win
  const TTally tally = TallyForA(records);             // records[3]: a draw
  EXPECT_EQ(tally.Wins, 2);
  EXPECT_EQ(tally.Losses, 1);
  EXPECT_EQ(tally.Draws, 1);
  EXPECT_DOUBLE_EQ(tally.Score(), 0.625);
}

}  // namespace
}  // namespace match
