#include "fuzz/UciFuzzEntry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::FuzzUci(data, size);
  return 0;
}
