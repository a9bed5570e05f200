#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "platform/Bitmap.h"

namespace platform {

class TStream;

// A picture file that cannot be decoded: malformed, truncated or too large.
class EImageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The largest picture the decoder accepts: each side at most kMaxBmpSide
// pixels and at most kMaxBmpPixels pixels in all (64 MiB of pixel data).
inline constexpr int kMaxBmpSide = 16384;
inline constexpr std::int64_t kMaxBmpPixels = std::int64_t{1} << 24;

// Decodes a BMP file ("BM" file header, then a core, info, V4 or V5 header)
// with 1, 4, 8, 16, 24 or 32 bits per pixel, uncompressed, RLE4, RLE8 or
// bit fields, stored bottom-up or top-down. Throws EImageError with a
// description of the fault for anything it cannot read completely; it never
// reads outside the given bytes. A palette holds at most the entries that
// lie before the pixel data; a pixel naming an entry it lacks is an error.
// Pixels an RLE image skips take palette entry 0, and runs that reach past a
// row's right edge are cut there, at no cost for their length. Running out of
// memory is an EImageError too. The result is not transparent.
TBitmap DecodeBmp(const std::uint8_t* data, std::size_t size);
inline TBitmap DecodeBmp(const std::vector<std::uint8_t>& data) {
  return DecodeBmp(data.data(), data.size());
}
// Reads the stream from its position to its end and decodes it.
TBitmap LoadBmp(TStream& stream);

// Encodes a bitmap as an uncompressed bottom-up BMP file with 24 or 32 bits
// per pixel (any other value throws std::invalid_argument).
std::vector<std::uint8_t> EncodeBmp(const TBitmap& bitmap, int bitsPerPixel = 24);

}  // namespace platform
