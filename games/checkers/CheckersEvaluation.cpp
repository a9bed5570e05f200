#include "games/checkers/CheckersEvaluation.h"

#include <array>
#include <bit>
#include <cstdlib>

namespace checkers::evaluation {
namespace {

using compact::Bit;
using compact::Geometry;
using compact::kDirections;
using compact::kPlayable;
using compact::SumOver;
using compact::TBits;

constexpr int kAllMen = 24;

// Bonus of a man by rank (0 = own back rank), early and late in the game.
constexpr std::array<int, 8> kAdvanceEarly = {0, 2, 5, 9, 14, 20, 30, 0};
constexpr std::array<int, 8> kAdvanceLate = {0, 6, 12, 20, 30, 42, 60, 0};
// Back-rank men that keep the opponent's men from crowning.
constexpr std::array<int, 8> kGuardByFile = {3, 0, 10, 0, 10, 0, 6, 0};
constexpr int kCentreMan = 5;
constexpr int kEdgeMan = -4;
constexpr int kLongDiagonalKing = 12;
constexpr int kKingMobility = 2;
constexpr int kTrappedKing = -30;
constexpr int kRunawayPerRank = 7;

struct TTables {
  std::array<std::int16_t, kPlayable> ManEarly{}, ManLate{}, Guard{}, King{}, Runaway{};
  // The squares in front of a man from which an opposing piece can stop it.
  std::array<std::uint32_t, kPlayable> Cone{};
};

TTables BuildTables() {
  const compact::TGeometry& g = Geometry();
  TTables tables;
  for (int square = 0; square < kPlayable; ++square) {
    const int file = g.File[square], rank = g.Rank[square];
    const bool centre = file >= 2 && file <= 5 && rank >= 2 && rank <= 5;
    const bool edge = file == 0 || file == 7;
    const int placement = centre ? kCentreMan : edge ? kEdgeMan : 0;
    tables.ManEarly[square] = static_cast<std::int16_t>(kAdvanceEarly[rank] + placement);
    tables.ManLate[square] = static_cast<std::int16_t>(kAdvanceLate[rank] + placement);
    tables.Guard[square] = static_cast<std::int16_t>(rank == 0 ? kGuardByFile[file] : 0);
    tables.King[square] = static_cast<std::int16_t>(file == rank ? kLongDiagonalKing : 0);
    tables.Runaway[square] = static_cast<std::int16_t>(kRunawayPerRank * rank);
    for (int other = 0; other < kPlayable; ++other) {
      const int ahead = g.Rank[other] - rank;
      if (ahead > 0 && std::abs(g.File[other] - file) <= ahead + 1)
        tables.Cone[square] |= Bit(other);
    }
  }
  return tables;
}

const TTables& Tables() {
  static const TTables tables = BuildTables();
  return tables;
}

int KingMobility(const TBits& bits, int square) {
  const compact::TGeometry& g = Geometry();
  const std::uint32_t occupied = bits.Own | bits.Other;
  int reach = 0;
  for (int direction = 0; direction < kDirections; ++direction) {
    const auto& ray = g.Ray[square][direction];
    const int length = g.RayLength[square][direction];
    for (int at = 0; at < length && !(occupied & Bit(ray[at])); ++at) ++reach;
  }
  return reach;
}

// The terms of the side to move's pieces; `pieces` counts both sides'.
int SideTerms(const TBits& bits, int pieces) {
  const TTables& t = Tables();
  const std::uint32_t men = bits.Own & ~bits.Kings, kings = bits.Own & bits.Kings;
  const std::uint32_t otherMen = bits.Other & ~bits.Kings;
  const bool otherHasKings = (bits.Other & bits.Kings) != 0;
  int score = kMan * std::popcount(men) + kKing * std::popcount(kings);
  score +=
      (SumOver(men, t.ManEarly) * pieces + SumOver(men, t.ManLate) * (kAllMen - pieces)) / kAllMen;
  if (otherMen != 0 && !otherHasKings) score += SumOver(men, t.Guard) * pieces / kAllMen;
  for (std::uint32_t rest = men; rest != 0; rest &= rest - 1) {
    const int square = std::countr_zero(rest);
    if (!(t.Cone[square] & bits.Other))
      score += otherHasKings ? t.Runaway[square] / 2 : t.Runaway[square];
  }
  score += SumOver(kings, t.King);
  for (std::uint32_t rest = kings; rest != 0; rest &= rest - 1) {
    const int mobility = KingMobility(bits, std::countr_zero(rest));
    score += mobility == 0 ? kTrappedKing : kKingMobility * mobility;
  }
  return score;
}

int Material(std::uint32_t pieces, std::uint32_t kings) {
  return kMan * std::popcount(pieces & ~kings) + kKing * std::popcount(pieces & kings);
}

}  // namespace

int Evaluate(const TBits& bits) {
  const int pieces = std::popcount(bits.Own | bits.Other);
  const int clamped = pieces > kAllMen ? kAllMen : pieces;
  int score = SideTerms(bits, clamped) - SideTerms(compact::Flipped(bits), clamped);
  // Ahead in material, trading down brings the win nearer.
  const int lead = Material(bits.Own, bits.Kings) - Material(bits.Other, bits.Kings);
  score += lead * (kAllMen - clamped) / (2 * kAllMen);
  return score;
}

}  // namespace checkers::evaluation
