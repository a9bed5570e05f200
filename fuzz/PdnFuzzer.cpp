#include "fuzz/RecordFuzzEntries.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::FuzzPdn(data, size);
  return 0;
}
