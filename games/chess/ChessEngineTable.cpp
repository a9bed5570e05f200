#include "games/chess/ChessEngineTable.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

namespace chess::engine {

TTranspositionTable::TTranspositionTable(std::size_t megabytes)
    : entryCount_(std::bit_floor(megabytes * 1024 * 1024 / sizeof(TTableEntry))) {}

void TTranspositionTable::TFree::operator()(TTableEntry* entries) const { std::free(entries); }

// An all-zero entry is an empty one, so calloc's fresh pages need no
// clearing here.
void TTranspositionTable::Allocate() {
  if (!entries_)
    entries_.reset(static_cast<TTableEntry*>(std::calloc(entryCount_, sizeof(TTableEntry))));
}

void TTranspositionTable::Clear() {
  if (!entries_) return;
  std::fill_n(entries_.get(), entryCount_, TTableEntry{});
  age_ = 0;
}

const TTableEntry* TTranspositionTable::Probe(std::uint64_t key) const {
  if (!entries_) return nullptr;
  const TTableEntry* bucket = &entries_[key & (entryCount_ - 2)];
  for (int i = 0; i < 2; ++i)
    if (bucket[i].Key == key && bucket[i].Bound != kNoBound) return &bucket[i];
  return nullptr;
}

void TTranspositionTable::Store(std::uint64_t key, TMove move, int score, int depth, TBound bound) {
  Allocate();
  if (!entries_) return;
  TTableEntry* bucket = &entries_[key & (entryCount_ - 2)];
  // The first entry keeps the deepest result of this search; what it
  // gives up moves to the second.
  TTableEntry* slot = &bucket[1];
  if (bucket[0].Key == key || bucket[0].Age != age_ || depth >= bucket[0].Depth) {
    slot = &bucket[0];
    if (bucket[0].Key != key && bucket[0].Bound != kNoBound) bucket[1] = bucket[0];
  }
  // A search that found no best move keeps the one stored before.
  if (move == kNoMove && slot->Key == key) move = slot->Move;
  *slot = {key,
           move,
           static_cast<std::int16_t>(score),
           static_cast<std::int8_t>(std::clamp(depth, -128, 127)),
           bound,
           age_};
}

}  // namespace chess::engine
