#pragma once

// The transposition table of the stronger levels: bounds and best moves of
// searched positions, in buckets of four entries, allocated on first use.

#include <cstdint>
#include <memory>

#include "games/checkers/CheckersBits.h"

namespace checkers::search {

enum class TBound : std::uint8_t { None, Lower, Upper, Exact };

constexpr std::uint8_t kNoMove = 0xFF;

struct TTableEntry {
  std::uint64_t Key = 0;
  std::int16_t Score = 0;
  std::uint8_t Depth = 0;
  TBound Bound = TBound::None;
  std::uint8_t Move = kNoMove;  // index in generation order
  std::uint8_t Age = 0;
};

class TTranspositionTable {
 public:
  // `megabytes` is rounded down to a power of two buckets.
  explicit TTranspositionTable(std::size_t megabytes);

  static std::uint64_t KeyOf(const compact::TBits& bits);

  // The entry of `key`, or nullptr.
  const TTableEntry* Find(std::uint64_t key) const;
  void Store(std::uint64_t key, int depth, int score, TBound bound, int move);
  // Entries of earlier searches give way first.
  void NextSearch() { ++age_; }
  void Clear();

 private:
  static constexpr std::size_t kWays = 4;
  struct TBucket {
    TTableEntry Entries[kWays];
  };

  TBucket& BucketOf(std::uint64_t key) const { return buckets_[key & mask_]; }

  std::size_t count_;
  std::size_t mask_;
  std::unique_ptr<TBucket[]> buckets_;
  std::uint8_t age_ = 0;
};

}  // namespace checkers::search
