#include "tools/match/MakeOpenings.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/Random.h"
#include "games/checkers/CheckersEngine.h"
#include "games/checkers/CheckersThinker.h"
#include "tools/match/Text.h"

namespace match {
namespace {

using checkers::TCheckersPosition;

struct TCandidate {
  std::vector<std::string> Moves;
  TCheckersPosition Position;  // after the moves, from the side to move's view
  std::size_t Order = 0;       // place in generation order
  int WhiteScore = 0;
};

// Every sequence of plies moves from position that ends in a quiet
// position (the side to move has moves, none of them a capture), in
// generation order. A pending capture would leave the search's score to
// the exchange that follows.
void Enumerate(const TCheckersPosition& position, int plies, std::vector<std::string>& moves,
               std::vector<TCandidate>& out) {
  checkers::TCheckersThinker thinker;
  thinker.Position = position;
  if (thinker.HasNoMoves()) return;
  if (plies == 0) {
    if (!thinker.CaptureFound) out.push_back({moves, position, out.size(), 0});
    return;
  }
  for (const std::string& move : thinker.Moves) {
    TCheckersPosition next = position;
    next.ApplyMove(move);
    next.Flip();
    moves.push_back(move);
    Enumerate(next, plies - 1, moves, out);
    moves.pop_back();
  }
}

void Shuffle(std::vector<TCandidate>& candidates) {
  for (std::size_t i = candidates.size(); i > 1; --i)
    std::swap(candidates[i - 1],
              candidates[static_cast<std::size_t>(app::RandomBelow(static_cast<int>(i)))]);
}

}  // namespace

std::string MakeCheckersOpenings(const TMakeOpeningsOptions& options) {
  std::vector<TCandidate> candidates;
  std::vector<std::string> moves;
  Enumerate(TCheckersPosition(), options.Plies, moves, candidates);
  std::vector<TCandidate> balanced;
  checkers::TCheckersEngine engine;
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    TCandidate& candidate = candidates[i];
    engine.NewGame();
    engine.ChooseMove(candidate.Position, {}, checkers::kHighestLevel);
    const int score = engine.LastInfo().Score;
    candidate.WhiteScore = options.Plies % 2 == 0 ? score : -score;
    std::fprintf(stderr, "%zu/%zu %s: %d (depth %d)\n", i + 1, candidates.size(),
                 JoinWords(candidate.Moves).c_str(), candidate.WhiteScore, engine.LastInfo().Depth);
    if (std::abs(candidate.WhiteScore) <= options.Margin) balanced.push_back(candidate);
  }
  // A seeded sample, then back into generation order.
  app::SeedRandom(options.Seed);
  Shuffle(balanced);
  balanced.resize(std::min(balanced.size(), static_cast<std::size_t>(options.Count)));
  std::sort(balanced.begin(), balanced.end(),
            [](const TCandidate& a, const TCandidate& b) { return a.Order < b.Order; });
  std::string text = Printf(
      "# Checkers openings for ludex-match, written by\n"
      "#   ludex-match --make-openings --plies %d --count %d --margin %d --seed %llu\n"
      "# %zu of the %zu sequences of %d plies that end without a capture pending,\n"
      "# each scored within the margin by the strongest level's search (a man is\n"
      "# 100; the score is White's). Each move is written as the move generator\n"
      "# names it for the side that plays it: the board turns after every move,\n"
      "# so both sides' men start on ranks 1 to 3.\n",
      options.Plies, options.Count, options.Margin, static_cast<unsigned long long>(options.Seed),
      balanced.size(), candidates.size(), options.Plies);
  for (const TCandidate& candidate : balanced)
    text += Printf("%s  # %d\n", JoinWords(candidate.Moves).c_str(), candidate.WhiteScore);
  return text;
}

}  // namespace match
