// ludex-skinart [SKIN] OUT_DIR: draws the pictures of a skin and writes them
// into OUT_DIR as 24-bit BMP files. SKIN is DefSkin (the built-in skin's
// mix.bmp, also when it is left out), Walnut or Midnight. The output depends
// only on this program and the installed DejaVu fonts, so every run writes
// the same bytes.
//
// ludex-skinart icons OUT_DIR: writes the program's icon into OUT_DIR in the
// hicolor theme's layout (PNG pictures of every size and an SVG file). The
// program's own tray and window icons are the 16 and 32 pixel pictures.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Application.h"
#include "platform/Bmp.h"
#include "platform/Files.h"
#include "platform/Offscreen.h"
#include "platform/Stream.h"
#include "tools/skinart/Catalog.h"
#include "tools/skinart/Icons.h"

namespace {

int Usage() {
  std::string names;
  for (const std::string_view name : skinart::SkinNames())
    names.append(names.empty() ? "" : " | ").append(name);
  std::fprintf(stderr, "usage: ludex-skinart [%s] OUT_DIR\n       ludex-skinart icons OUT_DIR\n",
               names.c_str());
  return 2;
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  platform::TFileStream file(path, platform::TFileStream::Mode::Create);
  file.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
}

void WriteIcons(const std::string& outDir) {
  for (const skinart::TIconFile& icon : skinart::IconFiles()) {
    const std::string path = platform::JoinPath(outDir, icon.Path);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    WriteFile(path, icon.Bytes);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) return Usage();
  const std::string skin = argc == 3 ? argv[1] : "DefSkin";
  const std::string outDir = argv[argc - 1];
  // Text needs the application object; nothing is shown.
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  platform::QuietOffscreenMessages();
  try {
    if (skin == "icons") {
      WriteIcons(outDir);
      return 0;
    }
    platform::TApplication application;
    const std::vector<skinart::TSheetFile> sheets = skinart::SkinSheets(skin);
    if (sheets.empty()) return Usage();
    for (const skinart::TSheetFile& sheet : sheets)
      WriteFile(platform::JoinPath(outDir, sheet.Name), platform::EncodeBmp(sheet.Picture, 24));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "ludex-skinart: %s\n", error.what());
    return 1;
  }
  return 0;
}
