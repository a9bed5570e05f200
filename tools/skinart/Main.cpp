// ludex-skinart OUT_DIR: draws the pictures of the built-in skin and writes
// them as OUT_DIR/mix.bmp (24 bits per pixel). The output depends only on
// this program and the installed DejaVu fonts, so every run writes the same
// bytes.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/Bmp.h"
#include "platform/Files.h"
#include "platform/Stream.h"
#include "tools/skinart/Sheet.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: ludex-skinart OUT_DIR\n", stderr);
    return 2;
  }
  // Text needs the application object; nothing is shown.
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  try {
    platform::TApplication application;
    const std::vector<std::uint8_t> bytes = platform::EncodeBmp(skinart::BuildSheet(), 24);
    platform::TFileStream file(platform::JoinPath(argv[1], "mix.bmp"),
                               platform::TFileStream::Mode::Create);
    file.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "ludex-skinart: %s\n", error.what());
    return 1;
  }
  return 0;
}
