// Reply times of the deeper chess levels: the whole ChooseLevelMove call,
// table allocation included, over openings, middlegames and endgames in the
// game's own coordinates. Reports the median and the worst reply.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "games/chess/ChessEngine.h"

namespace {

using chess::TChessPosition;

// FENs of positions the program can meet, White or Black to move.
const char* const kPositions[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 2",
    "r1bqkbnr/pppp1ppp/2n5/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R b KQkq - 3 3",
    "rnbqkb1r/pp2pppp/3p1n2/8/3NP3/8/PPP2PPP/RNBQKB1R w KQkq - 1 5",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10",
    "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP2BPPP/R2QKB1R b KQ - 2 8",
    "2rq1rk1/pb1nbppp/1p2pn2/2pp4/2PP4/1P1BPN2/PB1N1PPP/R2Q1RK1 w - - 4 11",
    "r2q1rk1/ppp2ppp/2np1n2/2b1p3/2B1P1b1/2NP1N2/PPP2PPP/R1BQ1RK1 w - - 6 7",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "8/8/4k3/3p4/3P4/4K3/8/8 w - - 0 1",
    "6k1/5ppp/8/8/8/8/5PPP/3R2K1 b - - 0 1",
    "8/5pk1/6p1/8/3R4/6P1/5PK1/1r6 w - - 0 40",
    "4k3/8/8/8/8/8/4P3/4K3 w - - 0 1",
};

std::vector<TChessPosition> GamePositions() {
  std::vector<TChessPosition> positions;
  for (const char* fen : kPositions)
    if (auto board = chess::TEngineBoard::FromFen(fen, chess::TRules::Program))
      positions.push_back(board->ToPosition());
  return positions;
}

void BM_LevelReply(benchmark::State& state) {
  const int level = static_cast<int>(state.range(0));
  const std::vector<TChessPosition> positions = GamePositions();
  std::vector<double> milliseconds;
  for (auto _ : state) {
    for (const TChessPosition& position : positions) {
      chess::TChessEngine engine;
      chess::TChessMove move;
      const auto start = std::chrono::steady_clock::now();
      benchmark::DoNotOptimize(chess::ChooseLevelMove(engine, position, {}, level, move));
      milliseconds.push_back(
          std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
              .count());
    }
  }
  std::sort(milliseconds.begin(), milliseconds.end());
  state.counters["median_ms"] = milliseconds[milliseconds.size() / 2];
  state.counters["worst_ms"] = milliseconds.back();
  state.counters["replies"] = static_cast<double>(milliseconds.size());
}
BENCHMARK(BM_LevelReply)->Arg(1)->Arg(2)->Iterations(3)->Unit(benchmark::kMillisecond);

// Nodes per second of a fixed-depth search from the middlegame above.
void BM_SearchDepth8(benchmark::State& state) {
  const auto board = chess::TEngineBoard::FromFen(kPositions[5], chess::TRules::Standard);
  std::uint64_t nodes = 0;
  for (auto _ : state) {
    chess::TChessEngine engine;
    chess::TSearchLimits limits;
    limits.MaxDepth = 8;
    nodes += engine.Search(*board, limits).Info.Nodes;
  }
  state.counters["nodes_per_s"] =
      benchmark::Counter(static_cast<double>(nodes), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SearchDepth8)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
