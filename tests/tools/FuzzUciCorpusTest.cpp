#include <gtest/gtest.h>

#include <filesystem>

#include "fuzz/CorpusReplay.h"
#include "fuzz/UciFuzzEntry.h"

// Every stored input of the UCI fuzz target is played again.
TEST(FuzzCorpus, Uci) {
  EXPECT_GT(fuzz::ReplayCorpus(std::filesystem::path(LUDEX_SOURCE_DIR) / "fuzz" / "corpus" / "uci",
                               fuzz::FuzzUci),
            0u);
}
