#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace fuzz {

using TFuzzEntry = void (*)(const std::uint8_t* data, std::size_t size);

// Feeds every file of a stored corpus folder to a fuzz target's entry
// function, as the normal test run replays them; returns how many there
// were. A broken invariant aborts, a memory fault trips the sanitizers.
inline std::size_t ReplayCorpus(const std::filesystem::path& folder, TFuzzEntry entry) {
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

}  // namespace fuzz
