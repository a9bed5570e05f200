#pragma once

#include <cstdint>

// The program's one pseudo-random generator. The application seeds it once
// at start-up; the move searches draw from it. Tests seed it, or replace the
// draw, to make a search's pick predictable.
namespace app {

void SeedRandom(std::uint64_t seed);
// Seeds from the clock.
void RandomizeFromClock();
// An integer in 0 .. range-1 with equal probability; 0 when range <= 0.
int RandomBelow(int range);

// Makes every following RandomBelow return `value` (clamped into range)
// until ClearRandomOverride; for tests and tools that fix the draw.
void OverrideRandom(int value);
void ClearRandomOverride();

// Fixes the draw for the lifetime of the object.
class TFixedRandom {
 public:
  explicit TFixedRandom(int value) { OverrideRandom(value); }
  ~TFixedRandom() { ClearRandomOverride(); }
  TFixedRandom(const TFixedRandom&) = delete;
  TFixedRandom& operator=(const TFixedRandom&) = delete;
};

}  // namespace app
