// Checkers reply time: the fast exact search against the plain full-width
// search, per class of position, and a comparison run of the two; and the
// reply time of the stronger levels, which search within a time budget.
//
//   bench_CheckersSearch [benchmark flags]
//   bench_CheckersSearch --compare [positions per class]
//
// A reply is what the game does per computer move: a new thinker, the board
// copied in, GetBestMove.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include <time.h>

#include "app/Random.h"
#include "games/checkers/CheckersEngine.h"
#include "games/checkers/CheckersThinker.h"
#include "tests/checkers/CheckersTestPositions.h"
#include "tests/checkers/PlainCheckersSearch.h"

namespace {

using checkers::TCheckersPosition;
namespace fixtures = checkers::fixtures;

bool IsQuiet(const TCheckersPosition& position) {
  checkers::plain::TPlainThinker thinker;
  thinker.Position = position;
  thinker.GenerateMoves();
  return !thinker.CaptureFound && !thinker.Moves.empty();
}

// Random endings without a capture to open with: the costly case.
std::vector<TCheckersPosition> QuietEndings(unsigned seed, std::size_t count, int ownKings,
                                            int otherKings, int ownMen, int otherMen) {
  std::mt19937 random(seed);
  std::vector<TCheckersPosition> positions;
  while (positions.size() < count) {
    TCheckersPosition position =
        fixtures::RandomEndgame(random, ownKings, otherKings, ownMen, otherMen);
    if (IsQuiet(position)) positions.push_back(position);
  }
  return positions;
}

std::vector<TCheckersPosition> MiddleGame(std::size_t count) {
  // Every fifth position of random games, past the opening moves.
  std::vector<TCheckersPosition> positions = fixtures::RandomPlayPositions(41, count * 2, 5);
  positions.erase(positions.begin(), positions.begin() + static_cast<long>(count / 2));
  positions.resize(count);
  return positions;
}

struct TCorpus {
  const char* Name;
  std::function<std::vector<TCheckersPosition>(std::size_t)> Make;
  std::size_t PlainCount;  // positions the plain search replies to per iteration
};

const std::vector<TCorpus>& Corpora() {
  static const std::vector<TCorpus> corpora = {
      {"kings_3v3", [](std::size_t n) { return QuietEndings(1, n, 3, 3, 0, 0); }, 6},
      {"kings_4v4", [](std::size_t n) { return QuietEndings(2, n, 4, 4, 0, 0); }, 4},
      {"kings_2v2", [](std::size_t n) { return QuietEndings(3, n, 2, 2, 0, 0); }, 6},
      {"kings_and_men", [](std::size_t n) { return QuietEndings(4, n, 2, 2, 3, 3); }, 6},
      {"middle_game", [](std::size_t n) { return MiddleGame(n); }, 40},
  };
  return corpora;
}

std::string PlainReply(const TCheckersPosition& position) {
  checkers::plain::TPlainThinker thinker;
  thinker.Position = position;
  return thinker.GetBestMove();
}

std::string FastReply(const TCheckersPosition& position) {
  checkers::TCheckersThinker thinker;
  thinker.Position = position;
  return thinker.GetBestMove();
}

double Milliseconds(std::chrono::steady_clock::duration duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
}

// The machine is shared, so single replies are timed by the processor time
// of this thread rather than by the wall clock.
double ThreadMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// One iteration replies once to every position; the counters give the mean
// and the slowest reply of the iteration.
void BM_Replies(benchmark::State& state, std::vector<TCheckersPosition> positions,
                std::string (*reply)(const TCheckersPosition&)) {
  app::OverrideRandom(0);
  double worst = 0, total = 0;
  for (auto _ : state) {
    worst = total = 0;
    for (const TCheckersPosition& position : positions) {
      const double start = ThreadMilliseconds();
      benchmark::DoNotOptimize(reply(position));
      const double elapsed = ThreadMilliseconds() - start;
      worst = std::max(worst, elapsed);
      total += elapsed;
    }
  }
  app::ClearRandomOverride();
  state.counters["positions"] = static_cast<double>(positions.size());
  state.counters["mean_cpu_ms"] = total / static_cast<double>(positions.size());
  state.counters["worst_cpu_ms"] = worst;
}

std::vector<TCheckersPosition> Openings(std::size_t count) {
  // The first six moves of random games.
  std::vector<TCheckersPosition> positions;
  for (unsigned seed = 0; positions.size() < count; ++seed) {
    const std::vector<TCheckersPosition> game = fixtures::RandomPlayPositions(seed, 6);
    positions.insert(positions.end(), game.begin(), game.end());
  }
  positions.resize(count);
  return positions;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

// One engine (as one player of a game) replies to every position at a
// level; the counters give the median and the slowest reply by the wall
// clock, which the level's budget is measured by, the slowest by this
// thread's processor time (a wall-clock outlier well above it was time
// the machine gave to others) and the median depth.
void BM_LevelReplies(benchmark::State& state, std::vector<TCheckersPosition> positions, int level) {
  app::OverrideRandom(0);
  std::vector<double> times, depths;
  double worstProcessor = 0;
  for (auto _ : state) {
    checkers::TCheckersEngine engine;
    times.clear();
    depths.clear();
    for (const TCheckersPosition& position : positions) {
      const auto start = std::chrono::steady_clock::now();
      const double processorStart = ThreadMilliseconds();
      benchmark::DoNotOptimize(engine.ChooseMove(position, {}, level));
      worstProcessor = std::max(worstProcessor, ThreadMilliseconds() - processorStart);
      times.push_back(Milliseconds(std::chrono::steady_clock::now() - start));
      depths.push_back(engine.LastInfo().Depth);
    }
  }
  app::ClearRandomOverride();
  state.counters["positions"] = static_cast<double>(positions.size());
  state.counters["median_ms"] = Median(times);
  state.counters["worst_ms"] = *std::max_element(times.begin(), times.end());
  state.counters["worst_cpu_ms"] = worstProcessor;
  state.counters["median_depth"] = Median(depths);
}

void RegisterLevelBenchmarks(std::size_t count) {
  const std::vector<std::pair<const char*, std::vector<TCheckersPosition>>> corpora = {
      {"opening", Openings(count)},
      {"middle_game", MiddleGame(count)},
      {"kings_and_men", QuietEndings(4, count, 2, 2, 3, 3)},
      {"kings_3v3", QuietEndings(1, count, 3, 3, 0, 0)},
  };
  for (int level = 1; level <= checkers::kHighestLevel; ++level)
    for (const auto& [name, positions] : corpora)
      benchmark::RegisterBenchmark(("level" + std::to_string(level) + "/" + name).c_str(),
                                   BM_LevelReplies, positions, level)
          ->Unit(benchmark::kMillisecond)
          ->Iterations(1)
          ->UseRealTime();
}

void RegisterBenchmarks(std::size_t fastCount) {
  for (const TCorpus& corpus : Corpora()) {
    const std::vector<TCheckersPosition> all = corpus.Make(std::max(fastCount, corpus.PlainCount));
    const std::vector<TCheckersPosition> shared(all.begin(),
                                                all.begin() + static_cast<long>(corpus.PlainCount));
    const std::string name = corpus.Name;
    benchmark::RegisterBenchmark(("plain/" + name).c_str(), BM_Replies, shared, &PlainReply)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1)
        ->MeasureProcessCPUTime();
    benchmark::RegisterBenchmark(("fast/" + name).c_str(), BM_Replies, shared, &FastReply)
        ->Unit(benchmark::kMillisecond)
        ->MeasureProcessCPUTime();
    benchmark::RegisterBenchmark(("fast_corpus/" + name).c_str(), BM_Replies, all, &FastReply)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1)
        ->MeasureProcessCPUTime();
  }
}

// Compares every root score of the two searches, and the search values at
// depths 1 to 4, on `count` positions per class; exits non-zero on the first
// difference.
int Compare(std::size_t count) {
  std::size_t compared = 0;
  auto fail = [](const char* what, std::size_t i) {
    std::printf("MISMATCH %s at position %zu\n", what, i);
    return 1;
  };
  struct TClass {
    const char* Name;
    std::vector<TCheckersPosition> Positions;
    int FullDepthEvery;  // every n-th position gets the root comparison
  };
  std::mt19937 random(99);
  std::vector<TCheckersPosition> mixed;
  for (std::size_t i = 0; i < count; ++i)
    mixed.push_back(fixtures::RandomEndgame(random, 1 + static_cast<int>(i % 4),
                                            1 + static_cast<int>(i / 4 % 4),
                                            static_cast<int>(i % 3), static_cast<int>(i % 5)));
  const std::vector<TClass> classes = {
      {"random play", fixtures::RandomPlayPositions(123, count), 20},
      {"random endings", mixed, 100},
      {"kings 3v3", QuietEndings(7, count, 3, 3, 0, 0), 400},
  };
  for (const TClass& positionClass : classes) {
    const auto start = std::chrono::steady_clock::now();
    std::size_t roots = 0;
    checkers::TCheckersThinker reused;
    for (std::size_t i = 0; i < positionClass.Positions.size(); ++i) {
      const TCheckersPosition& position = positionClass.Positions[i];
      checkers::plain::TPlainThinker slow;
      checkers::TCheckersThinker fast;
      slow.Position = fast.Position = reused.Position = position;
      const int depth = 1 + static_cast<int>(i % 4);
      if (fast.Search(depth) != slow.Search(depth)) return fail(positionClass.Name, i);
      if (i % static_cast<std::size_t>(positionClass.FullDepthEvery) != 0) continue;
      const auto expected = slow.ScoreRootMoves();
      const auto got = reused.ScoreRootMoves();
      if (got.size() != expected.size() || reused.Moves != slow.Moves)
        return fail(positionClass.Name, i);
      for (std::size_t k = 0; k < got.size(); ++k)
        if (got[k].Score != expected[k].Score) return fail(positionClass.Name, i);
      ++roots;
    }
    compared += positionClass.Positions.size();
    std::printf(
        "%-15s %zu positions equal at depths 1-4, %zu of them at every root score (%.0f s)\n",
        positionClass.Name, positionClass.Positions.size(), roots,
        Milliseconds(std::chrono::steady_clock::now() - start) / 1000);
    std::fflush(stdout);
  }
  std::printf("all %zu positions equal\n", compared);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "--compare") == 0)
    return Compare(argc >= 3 ? std::strtoul(argv[2], nullptr, 10) : 10000);
  benchmark::Initialize(&argc, argv);
  RegisterBenchmarks(200);
  RegisterLevelBenchmarks(60);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
