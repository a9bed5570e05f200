#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz/SkinFuzzEntry.h"

// Every stored input of the skin fuzz target is built and painted again; a
// fault trips the sanitizers.
TEST(FuzzCorpus, Skin) {
  const std::filesystem::path folder =
      std::filesystem::path(LUDEX_SOURCE_DIR) / "fuzz" / "corpus" / "skin";
  std::size_t count = 0;
  for (const auto& file : std::filesystem::directory_iterator(folder)) {
    std::ifstream stream(file.path(), std::ios::binary);
    const std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(stream)),
                                         std::istreambuf_iterator<char>());
    fuzz::FuzzSkin(data.data(), data.size());
    ++count;
  }
  EXPECT_GT(count, 0u);
}
