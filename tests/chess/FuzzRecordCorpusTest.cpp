#include <gtest/gtest.h>

#include <filesystem>

#include "fuzz/CorpusReplay.h"
#include "fuzz/RecordFuzzEntries.h"

namespace {

std::filesystem::path Corpus(const char* name) {
  return std::filesystem::path(LUDEX_SOURCE_DIR) / "fuzz" / "corpus" / name;
}

}  // namespace

// Every stored input of the game-record fuzz targets is read, written and
// read back again.
TEST(FuzzCorpus, Pgn) { EXPECT_GT(fuzz::ReplayCorpus(Corpus("pgn"), fuzz::FuzzPgn), 0u); }

TEST(FuzzCorpus, Pdn) { EXPECT_GT(fuzz::ReplayCorpus(Corpus("pdn"), fuzz::FuzzPdn), 0u); }
