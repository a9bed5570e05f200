#pragma once

#include <cstdint>
#include <vector>

// PNG files, for pictures with an alpha channel (icons).
namespace platform {

// The bytes of a PNG file of an 8-bit RGBA picture, rows top first (width x
// height x 4 bytes: red, green, blue, alpha). The same picture gives the
// same bytes. Empty when the sizes do not match the pixels.
std::vector<std::uint8_t> EncodePng(int width, int height, const std::vector<std::uint8_t>& rgba);

}  // namespace platform
