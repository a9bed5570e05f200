#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "fuzz/CorpusReplay.h"
#include "fuzz/FuzzEntries.h"

namespace {

// Replays a target's stored corpus through its entry function.
std::size_t Replay(const std::string& target, fuzz::TFuzzEntry entry) {
  return fuzz::ReplayCorpus(std::filesystem::path(LUDEX_SOURCE_DIR) / "fuzz" / "corpus" / target,
                            entry);
}

}  // namespace

TEST(FuzzCorpus, Zip) { EXPECT_GT(Replay("zip", fuzz::FuzzZip), 0u); }
TEST(FuzzCorpus, Inflate) { EXPECT_GT(Replay("inflate", fuzz::FuzzInflate), 0u); }
TEST(FuzzCorpus, Xml) { EXPECT_GT(Replay("xml", fuzz::FuzzXml), 0u); }
TEST(FuzzCorpus, Bmp) { EXPECT_GT(Replay("bmp", fuzz::FuzzBmp), 0u); }
