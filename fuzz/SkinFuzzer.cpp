#include <cstdlib>
#include <memory>

#include "fuzz/SkinFuzzEntry.h"
#include "platform/Application.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  // Windows need the one application object; it lives as long as the run.
  static std::unique_ptr<platform::TApplication> application =
      std::make_unique<platform::TApplication>();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::FuzzSkin(data, size);
  return 0;
}
