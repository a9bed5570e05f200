#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/skinart/Art.h"

// The program's icon in the files a desktop installation uses.
namespace skinart {

// The sizes of the PNG pictures, in pixels a side.
inline constexpr std::array<int, 8> kIconSizes = {16, 22, 24, 32, 48, 64, 128, 256};

struct TIconFile {
  std::string Path;  // relative, in the hicolor theme's layout
  std::vector<std::uint8_t> Bytes;
};

// The icon drawn at the size, with partial transparency at its edges.
TRgbaImage RenderIcon(int pixels);

// hicolor/<size>x<size>/apps/ludex.png for every size and
// hicolor/scalable/apps/ludex.svg.
std::vector<TIconFile> IconFiles();

}  // namespace skinart
