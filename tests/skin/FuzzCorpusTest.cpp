#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz/FuzzEntries.h"

namespace {

using Entry = void (*)(const std::uint8_t*, std::size_t);

// Feeds every file of a stored corpus to the fuzz target's entry function;
// a broken invariant aborts, a memory fault trips the sanitizers.
std::size_t Replay(const std::string& target, Entry entry) {
  const std::filesystem::path folder =
      std::filesystem::path(LUDEX_SOURCE_DIR) / "fuzz" / "corpus" / target;
  std::size_t count = 0;
  for (const auto& file : std::filesystem::directory_iterator(folder)) {
    std::ifstream stream(file.path(), std::ios::binary);
    const std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(stream)),
                                         std::istreambuf_iterator<char>());
    entry(data.data(), data.size());
    ++count;
  }
  return count;
}

}  // namespace

TEST(FuzzCorpus, Zip) { EXPECT_GT(Replay("zip", fuzz::FuzzZip), 0u); }
TEST(FuzzCorpus, Inflate) { EXPECT_GT(Replay("inflate", fuzz::FuzzInflate), 0u); }
TEST(FuzzCorpus, Xml) { EXPECT_GT(Replay("xml", fuzz::FuzzXml), 0u); }
TEST(FuzzCorpus, Bmp) { EXPECT_GT(Replay("bmp", fuzz::FuzzBmp), 0u); }
