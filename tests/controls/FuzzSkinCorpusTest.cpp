#include <gtest/gtest.h>

#include <filesystem>

#include "fuzz/CorpusReplay.h"
#include "fuzz/SkinFuzzEntry.h"

// Every stored input of the skin fuzz target is built and painted again; a
// fault trips the sanitizers.
TEST(FuzzCorpus, Skin) {
  EXPECT_GT(fuzz::ReplayCorpus(std::filesystem::path(LUDEX_SOURCE_DIR) / "fuzz" / "corpus" / "skin",
                               fuzz::FuzzSkin),
            0u);
}
