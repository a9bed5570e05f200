#include "app/Random.h"

#include <chrono>
#include <optional>
#include <random>

namespace app {
namespace {

std::mt19937_64& Generator() {
  static std::mt19937_64 generator(0x4c75646578ULL);
  return generator;
}

std::optional<int>& Override() {
  static std::optional<int> value;
  return value;
}

}  // namespace

void SeedRandom(std::uint64_t seed) { Generator().seed(seed); }

void RandomizeFromClock() {
  SeedRandom(static_cast<std::uint64_t>(
      std::chrono::high_resolution_clock::now().time_since_epoch().count()));
}

int RandomBelow(int range) {
  if (range <= 0) return 0;
  if (Override()) {
    const int value = *Override();
    return value < 0 ? 0 : value >= range ? range - 1 : value;
  }
  return std::uniform_int_distribution<int>(0, range - 1)(Generator());
}

void OverrideRandom(int value) { Override() = value; }
void ClearRandomOverride() { Override().reset(); }

}  // namespace app
