#include "games/checkers/CheckersTable.h"

#include <algorithm>

namespace checkers::search {

TTranspositionTable::TTranspositionTable(std::size_t megabytes) {
  const std::size_t wanted = std::max<std::size_t>(megabytes, 1) * 1024 * 1024 / sizeof(TBucket);
  count_ = std::size_t{1} << (63 - __builtin_clzll(wanted));
  mask_ = count_ - 1;
  buckets_ = std::make_unique<TBucket[]>(count_);
}

std::uint64_t TTranspositionTable::KeyOf(const compact::TBits& bits) {
  std::uint64_t h = (std::uint64_t{bits.Own} << 32 | bits.Other) * 0x9E3779B97F4A7C15ull;
  h ^= (std::uint64_t{bits.Kings} + 0x632BE59BD9B4E019ull) * 0xC2B2AE3D27D4EB4Full;
  h ^= h >> 29;
  h *= 0xD6E8FEB86659FD93ull;
  h ^= h >> 32;
  // Key 0 marks an empty entry.
  return h | 1;
}

const TTableEntry* TTranspositionTable::Find(std::uint64_t key) const {
  for (const TTableEntry& entry : BucketOf(key).Entries)
    if (entry.Key == key) return &entry;
  return nullptr;
}

void TTranspositionTable::Store(std::uint64_t key, int depth, int score, TBound bound, int move) {
  TBucket& bucket = BucketOf(key);
  TTableEntry* slot = nullptr;
  for (TTableEntry& entry : bucket.Entries)
    if (entry.Key == key) slot = &entry;
  if (slot) {
    // A shallower result of the same search keeps the deeper one's move.
    if (move == kNoMove) move = slot->Move;
  } else {
    // The entry worth least: old searches first, then the shallowest.
    auto worth = [this](const TTableEntry& entry) {
      return entry.Key == 0 ? -1000 : entry.Depth - (entry.Age == age_ ? 0 : 256);
    };
    slot = &bucket.Entries[0];
    for (TTableEntry& entry : bucket.Entries)
      if (worth(entry) < worth(*slot)) slot = &entry;
  }
  *slot = {
      key,   static_cast<std::int16_t>(score), static_cast<std::uint8_t>(std::clamp(depth, 0, 255)),
      bound, static_cast<std::uint8_t>(move),  age_};
}

void TTranspositionTable::Clear() {
  std::fill(buckets_.get(), buckets_.get() + count_, TBucket{});
  age_ = 0;
}

}  // namespace checkers::search
