#include "tools/skinart/Texture.h"

#include <algorithm>
#include <cmath>

#include "tools/skinart/Art.h"

namespace skinart {

namespace {

// A well mixed 32-bit hash of a lattice point.
std::uint32_t Hash(std::int32_t x, std::int32_t y, std::uint32_t seed) {
  std::uint32_t h = seed * 0x9E3779B9u;
  h ^= static_cast<std::uint32_t>(x) * 0x85EBCA6Bu;
  h = (h << 13) | (h >> 19);
  h ^= static_cast<std::uint32_t>(y) * 0xC2B2AE35u;
  h ^= h >> 16;
  h *= 0x7FEB352Du;
  h ^= h >> 15;
  h *= 0x846CA68Bu;
  h ^= h >> 16;
  return h;
}

double LatticeValue(std::int32_t x, std::int32_t y, std::uint32_t seed) {
  return Hash(x, y, seed) / 4294967295.0;
}

double SmoothStep(double t) { return t * t * (3 - 2 * t); }

}  // namespace

double ValueNoise(double x, double y, std::uint32_t seed) {
  const double fx = std::floor(x);
  const double fy = std::floor(y);
  const auto ix = static_cast<std::int32_t>(fx);
  const auto iy = static_cast<std::int32_t>(fy);
  const double tx = SmoothStep(x - fx);
  const double ty = SmoothStep(y - fy);
  const double top = LatticeValue(ix, iy, seed) * (1 - tx) + LatticeValue(ix + 1, iy, seed) * tx;
  const double bottom =
      LatticeValue(ix, iy + 1, seed) * (1 - tx) + LatticeValue(ix + 1, iy + 1, seed) * tx;
  return top * (1 - ty) + bottom * ty;
}

double FractalNoise(double x, double y, std::uint32_t seed) {
  double sum = 0;
  double weight = 0.5;
  double total = 0;
  for (int octave = 0; octave < 4; ++octave) {
    sum += weight * ValueNoise(x, y, seed + static_cast<std::uint32_t>(octave) * 7919u);
    total += weight;
    x *= 2;
    y *= 2;
    weight /= 2;
  }
  return sum / total;
}

double WoodGrain(double along, double across, std::uint32_t seed) {
  // Rings about five pixels apart, bent slowly along the board, with fine
  // fibres running along the grain.
  const double warp = 3.2 * FractalNoise(along * 0.015, across * 0.05, seed);
  const double ring = across / 5.3 + warp;
  const double band = 0.5 + 0.5 * std::sin(2 * kPi * ring);
  const double rings = std::pow(band, 0.6);
  const double fibres = ValueNoise(along * 0.08, across * 1.1, seed + 101u);
  return std::clamp(0.75 * rings + 0.25 * fibres, 0.0, 1.0);
}

}  // namespace skinart
