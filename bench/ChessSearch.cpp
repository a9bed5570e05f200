// The chess reply search against its plain transcription: root scores of
// every legal move (three plies), on a Kiwipete-like middlegame and on a
// corpus of middlegame positions from random play.
//
// bench_ChessSearch --compare=N checks instead that both give the same root
// scores on N random-play positions and prints the slowest reply.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/Random.h"
#include "games/chess/ChessThinker.h"
#include "tests/chess/ChessTestPositions.h"
#include "tests/chess/PlainChessSearch.h"

namespace {

using chess::TChessPosition;

// Random-play positions with most pieces still on the board and many moves.
std::vector<TChessPosition> MiddlegameCorpus(int count) {
  std::vector<TChessPosition> corpus;
  for (const TChessPosition& position : chess_test::RandomPlayPositions(20 * count, 31, 60)) {
    int pieces = 0;
    for (std::uint16_t value : position.Squares) pieces += chess::PieceType(value) != 0;
    plain_chess::Chess oracle = plain_chess::Chess::From(position);
    oracle.GenerateLegal();
    if (pieces >= 24 && oracle.moves.size() >= 30) corpus.push_back(position);
    if (static_cast<int>(corpus.size()) == count) break;
  }
  return corpus;
}

const std::vector<TChessPosition>& Corpus() {
  static const std::vector<TChessPosition> corpus = MiddlegameCorpus(20);
  return corpus;
}

std::vector<int> FastRootScores(const TChessPosition& position) {
  chess::TChessThinker thinker;
  thinker.SetPosition(position);
  thinker.GenerateLegalMoves();
  return thinker.ScoreMoves(thinker.Moves);
}

void BM_PlainKiwipete(benchmark::State& state) {
  const TChessPosition position = chess_test::Pos(chess_test::kKiwipete);
  for (auto _ : state) {
    plain_chess::Chess oracle = plain_chess::Chess::From(position);
    benchmark::DoNotOptimize(oracle.RootScores());
  }
}
BENCHMARK(BM_PlainKiwipete)->Unit(benchmark::kMillisecond);

void BM_FastKiwipete(benchmark::State& state) {
  const TChessPosition position = chess_test::Pos(chess_test::kKiwipete);
  for (auto _ : state) benchmark::DoNotOptimize(FastRootScores(position));
}
BENCHMARK(BM_FastKiwipete)->Unit(benchmark::kMillisecond);

void BM_PlainCorpus(benchmark::State& state) {
  for (auto _ : state)
    for (const TChessPosition& position : Corpus()) {
      plain_chess::Chess oracle = plain_chess::Chess::From(position);
      benchmark::DoNotOptimize(oracle.RootScores());
    }
  state.counters["positions"] = static_cast<double>(Corpus().size());
}
BENCHMARK(BM_PlainCorpus)->Unit(benchmark::kMillisecond);

void BM_FastCorpus(benchmark::State& state) {
  for (auto _ : state)
    for (const TChessPosition& position : Corpus())
      benchmark::DoNotOptimize(FastRootScores(position));
  state.counters["positions"] = static_cast<double>(Corpus().size());
}
BENCHMARK(BM_FastCorpus)->Unit(benchmark::kMillisecond);

// The whole reply the game asks for, draw included.
void BM_FastBestMoveKiwipete(benchmark::State& state) {
  chess::TChessThinker thinker;
  thinker.SetPosition(chess_test::Pos(chess_test::kKiwipete));
  chess::TChessMove move;
  for (auto _ : state) {
    thinker.GetBestWhiteMove(move);
    benchmark::DoNotOptimize(move);
  }
}
BENCHMARK(BM_FastBestMoveKiwipete)->Unit(benchmark::kMillisecond);

void BM_PerftStart5(benchmark::State& state) {
  chess::TChessThinker thinker;
  for (auto _ : state) benchmark::DoNotOptimize(thinker.Perft(5));
}
BENCHMARK(BM_PerftStart5)->Unit(benchmark::kMillisecond);

double Milliseconds(std::chrono::steady_clock::duration duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
}

// Compares root scores on count random-play positions; returns the number
// of positions that differ.
int Compare(int count) {
  int differing = 0;
  double slowest = 0;
  std::string slowestText;
  double plainTotal = 0;
  double fastTotal = 0;
  const std::vector<TChessPosition> positions = chess_test::RandomPlayPositions(count, 97);
  for (const TChessPosition& position : positions) {
    const auto start = std::chrono::steady_clock::now();
    const std::vector<int> fast = FastRootScores(position);
    const auto middle = std::chrono::steady_clock::now();
    plain_chess::Chess oracle = plain_chess::Chess::From(position);
    const std::vector<int> plain = oracle.RootScores();
    const auto end = std::chrono::steady_clock::now();
    if (Milliseconds(middle - start) > slowest) {
      slowest = Milliseconds(middle - start);
      slowestText = chess::PositionToText(position);
    }
    fastTotal += Milliseconds(middle - start);
    plainTotal += Milliseconds(end - middle);
    if (fast != plain) {
      ++differing;
      std::printf("differs: %s\n", chess::PositionToText(position).c_str());
    }
  }
  std::printf(
      "%zu positions, %d differ; slowest fast reply %.2f ms; total fast %.0f ms, plain %.0f ms\n",
      positions.size(), differing, slowest, fastTotal, plainTotal);
  std::printf("slowest: %s\n", slowestText.c_str());

  // The whole reply, draw and log included, on middlegames.
  double slowestReply = 0;
  const std::vector<TChessPosition> middlegames = MiddlegameCorpus(count / 10 + 1);
  for (const TChessPosition& position : middlegames) {
    chess::TChessThinker thinker;
    thinker.SetPosition(position);
    chess::TChessMove move;
    const auto start = std::chrono::steady_clock::now();
    thinker.GetBestWhiteMove(move);
    slowestReply = std::max(slowestReply, Milliseconds(std::chrono::steady_clock::now() - start));
  }
  std::printf("%zu middlegames: slowest GetBestWhiteMove %.2f ms\n", middlegames.size(),
              slowestReply);
  return differing;
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (std::strncmp(argv[i], "--compare=", 10) == 0)
      return Compare(std::atoi(argv[i] + 10)) ? 1 : 0;
  app::OverrideRandom(0);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
