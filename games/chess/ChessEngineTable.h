#pragma once

#include <cstdint>
#include <memory>

#include "games/chess/ChessEngineBoard.h"

// The transposition table: what earlier searches learnt about positions,
// found by their Zobrist keys, in buckets of two entries (one kept for
// the deepest search, one for the latest).
namespace chess::engine {

enum TBound : std::uint8_t { kNoBound = 0, kUpperBound = 1, kLowerBound = 2, kExactBound = 3 };

struct TTableEntry {
  std::uint64_t Key = 0;
  TMove Move = kNoMove;
  std::int16_t Score = 0;
  std::int8_t Depth = 0;
  TBound Bound = kNoBound;
  std::uint8_t Age = 0;
};

class TTranspositionTable {
 public:
  // Allocates nothing until the first Store.
  explicit TTranspositionTable(std::size_t megabytes);

  void Clear();
  // Marks the entries of earlier searches as replaceable first.
  void NextSearch() { ++age_; }
  // The entry for the key, or null.
  const TTableEntry* Probe(std::uint64_t key) const;
  void Store(std::uint64_t key, TMove move, int score, int depth, TBound bound);

 private:
  void Allocate();

  struct TFree {
    void operator()(TTableEntry* entries) const;
  };

  std::size_t entryCount_;
  // Zeroed by the system page by page as the search first touches them.
  std::unique_ptr<TTableEntry[], TFree> entries_;
  std::uint8_t age_ = 0;
};

}  // namespace chess::engine
