#include "platform/Bmp.h"

#include <algorithm>
#include <bit>
#include <new>
#include <string>

#include "platform/Stream.h"

namespace platform {

static_assert(std::endian::native == std::endian::little,
              "pixel words are read as little-endian B, G, R, X bytes");

namespace {

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;
constexpr std::uint32_t kBiBitFields = 3;
constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kCoreHeaderSize = 12;
constexpr std::size_t kInfoHeaderSize = 40;

[[noreturn]] void Fail(const std::string& what) { throw EImageError("BMP: " + what); }

// Bounds-checked little-endian reads from the file's bytes.
class TByteReader {
 public:
  TByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  std::size_t Size() const { return size_; }
  bool Has(std::size_t offset, std::size_t count) const {
    return offset <= size_ && count <= size_ - offset;
  }
  void Need(std::size_t offset, std::size_t count, const char* what) const {
    if (!Has(offset, count)) Fail(std::string("truncated ") + what);
  }
  std::uint8_t U8(std::size_t offset) const {
    Need(offset, 1, "data");
    return data_[offset];
  }
  std::uint16_t U16(std::size_t offset) const {
    Need(offset, 2, "data");
    return static_cast<std::uint16_t>(data_[offset] | (data_[offset + 1] << 8));
  }
  std::uint32_t U32(std::size_t offset) const {
    Need(offset, 4, "data");
    return static_cast<std::uint32_t>(data_[offset]) |
           (static_cast<std::uint32_t>(data_[offset + 1]) << 8) |
           (static_cast<std::uint32_t>(data_[offset + 2]) << 16) |
           (static_cast<std::uint32_t>(data_[offset + 3]) << 24);
  }
  std::int32_t S32(std::size_t offset) const { return static_cast<std::int32_t>(U32(offset)); }
  const std::uint8_t* At(std::size_t offset) const { return data_ + offset; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
};

// One colour channel of a bit-field pixel, scaled to 8 bits.
struct TChannel {
  std::uint32_t Mask = 0;
  int Shift = 0;
  std::uint32_t Max = 0;

  explicit TChannel(std::uint32_t mask) : Mask(mask) {
    if (mask == 0) return;
    Shift = std::countr_zero(mask);
    Max = mask >> Shift;
  }
  std::uint32_t Value(std::uint32_t pixel) const {
    if (Max == 0) return 0;
    const std::uint64_t value = (pixel & Mask) >> Shift;
    return static_cast<std::uint32_t>((value * 255 + Max / 2) / Max);
  }
};

struct THeader {
  int Width = 0;
  int Height = 0;  // always positive; TopDown tells the row order
  bool TopDown = false;
  int BitsPerPixel = 0;
  std::uint32_t Compression = kBiRgb;
  std::uint32_t Masks[3] = {0x7C00, 0x03E0, 0x001F};  // red, green, blue
  std::size_t PaletteOffset = 0;
  std::size_t PaletteEntries = 0;
  std::size_t PaletteEntrySize = 4;
  std::size_t DataOffset = 0;
};

void ReadCoreHeader(const TByteReader& in, THeader& header) {
  in.Need(kFileHeaderSize, kCoreHeaderSize, "header");
  header.Width = in.U16(18);
  header.Height = in.U16(20);
  header.BitsPerPixel = in.U16(24);
  header.PaletteEntrySize = 3;
  header.PaletteOffset = kFileHeaderSize + kCoreHeaderSize;
}

// Reads the fields of an info header (and of its V2..V5 extensions, which
// only add fields this decoder does not need). Returns the colours used.
std::uint32_t ReadInfoHeader(const TByteReader& in, std::size_t headerSize, THeader& header) {
  in.Need(kFileHeaderSize, headerSize, "header");
  const std::int64_t width = in.S32(18);
  const std::int64_t height = in.S32(22);
  if (width <= 0 || height == 0 || width > kMaxBmpSide || height > kMaxBmpSide ||
      height < -kMaxBmpSide)
    Fail("bad image size " + std::to_string(width) + " x " + std::to_string(height));
  header.Width = static_cast<int>(width);
  header.Height = static_cast<int>(height < 0 ? -height : height);
  header.TopDown = height < 0;
  header.BitsPerPixel = in.U16(28);
  header.Compression = in.U32(30);
  std::size_t afterHeader = kFileHeaderSize + headerSize;
  if (header.Compression == kBiBitFields) {
    // The three masks follow a plain info header and are part of longer ones.
    if (headerSize == kInfoHeaderSize) afterHeader += 12;
    in.Need(54, 12, "colour masks");
    for (int i = 0; i < 3; ++i) header.Masks[i] = in.U32(54 + 4 * i);
  }
  header.PaletteOffset = afterHeader;
  return in.U32(46);
}

void CheckFormat(const THeader& header) {
  const int bpp = header.BitsPerPixel;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
    Fail("unsupported bit count " + std::to_string(bpp));
  if (header.Width <= 0 || header.Height <= 0) Fail("empty image");
  if (header.Width > kMaxBmpSide || header.Height > kMaxBmpSide) Fail("image too large");
  if (static_cast<std::int64_t>(header.Width) * header.Height > kMaxBmpPixels)
    Fail("image too large");
  const std::uint32_t c = header.Compression;
  const bool valid = c == kBiRgb || (c == kBiRle8 && bpp == 8) || (c == kBiRle4 && bpp == 4) ||
                     (c == kBiBitFields && (bpp == 16 || bpp == 32));
  if (!valid)
    Fail("unsupported compression " + std::to_string(c) + " for " + std::to_string(bpp) +
         " bits per pixel");
  if (header.TopDown && (c == kBiRle8 || c == kBiRle4)) Fail("top-down RLE image");
}

THeader ReadHeader(const TByteReader& in) {
  if (!in.Has(0, kFileHeaderSize + 4) || in.U8(0) != 'B' || in.U8(1) != 'M') Fail("not a BMP file");
  THeader header;
  const std::uint32_t headerSize = in.U32(kFileHeaderSize);
  std::uint32_t colorsUsed = 0;
  if (headerSize == kCoreHeaderSize)
    ReadCoreHeader(in, header);
  else if (headerSize >= kInfoHeaderSize)
    colorsUsed = ReadInfoHeader(in, headerSize, header);
  else
    Fail("unknown header size " + std::to_string(headerSize));
  CheckFormat(header);
  const std::uint32_t dataOffset = in.U32(10);
  if (header.BitsPerPixel <= 8) {
    const std::size_t full = std::size_t{1} << header.BitsPerPixel;
    std::size_t entries = colorsUsed == 0 ? full : std::min<std::size_t>(colorsUsed, full);
    // The palette never reaches into the pixel data.
    if (dataOffset >= header.PaletteOffset)
      entries = std::min(entries, (dataOffset - header.PaletteOffset) / header.PaletteEntrySize);
    header.PaletteEntries = entries;
  }
  const std::size_t paletteBytes = header.PaletteEntries * header.PaletteEntrySize;
  in.Need(header.PaletteOffset, paletteBytes, "palette");
  header.DataOffset = dataOffset != 0 ? dataOffset : header.PaletteOffset + paletteBytes;
  if (header.DataOffset > in.Size()) Fail("pixel data offset past the end of the file");
  return header;
}

std::vector<std::uint32_t> ReadPalette(const TByteReader& in, const THeader& header) {
  std::vector<std::uint32_t> palette(header.PaletteEntries);
  for (std::size_t i = 0; i < palette.size(); ++i) {
    const std::uint8_t* entry = in.At(header.PaletteOffset + i * header.PaletteEntrySize);
    palette[i] = entry[0] | (entry[1] << 8) | (static_cast<std::uint32_t>(entry[2]) << 16);
  }
  return palette;
}

class TDecoder {
 public:
  TDecoder(const TByteReader& in, const THeader& header)
      : in_(in), header_(header), palette_(ReadPalette(in, header)) {}

  TBitmap Decode() {
    const bool rle = header_.Compression == kBiRle8 || header_.Compression == kBiRle4;
    // Uncompressed data is checked before the bitmap is allocated, so a
    // header that lies about its size costs no memory.
    if (!rle) in_.Need(header_.DataOffset, RowDataSize(), "pixel data");
    TBitmap bitmap(header_.Width, header_.Height);
    if (rle)
      DecodeRle(bitmap);
    else
      DecodeRows(bitmap);
    return bitmap;
  }

 private:
  std::uint32_t PaletteColor(std::uint32_t index) const {
    if (index >= palette_.size()) Fail("palette index " + std::to_string(index) + " out of range");
    return palette_[index];
  }

  std::size_t RowBits() const {
    return static_cast<std::size_t>(header_.Width) * header_.BitsPerPixel;
  }
  std::size_t Stride() const { return (RowBits() + 31) / 32 * 4; }
  // The last row may lack its padding; its pixels must all be there.
  std::size_t RowDataSize() const { return Stride() * (header_.Height - 1) + (RowBits() + 7) / 8; }

  void DecodeRows(TBitmap& bitmap) const {
    for (int row = 0; row < header_.Height; ++row) {
      const int y = header_.TopDown ? row : header_.Height - 1 - row;
      DecodeRow(in_.At(header_.DataOffset + Stride() * row), bitmap.Row(y));
    }
  }

  void DecodeRow(const std::uint8_t* src, std::uint32_t* dest) const {
    const int width = header_.Width;
    switch (header_.BitsPerPixel) {
      case 1:
      case 4:
      case 8:
        for (int x = 0; x < width; ++x) dest[x] = PaletteColor(PackedIndex(src, x));
        break;
      case 16:
        DecodeBitFields(src, dest, 2);
        break;
      case 24:
        for (int x = 0; x < width; ++x, src += 3)
          dest[x] = src[0] | (src[1] << 8) | (static_cast<std::uint32_t>(src[2]) << 16);
        break;
      case 32:
        if (header_.Compression == kBiBitFields) {
          DecodeBitFields(src, dest, 4);
        } else {
          for (int x = 0; x < width; ++x, src += 4)
            dest[x] = src[0] | (src[1] << 8) | (static_cast<std::uint32_t>(src[2]) << 16);
        }
        break;
    }
  }

  std::uint32_t PackedIndex(const std::uint8_t* src, int x) const {
    const int bpp = header_.BitsPerPixel;
    const int bit = x * bpp;
    const int shift = 8 - bpp - bit % 8;
    return (src[bit / 8] >> shift) & ((1u << bpp) - 1);
  }

  void DecodeBitFields(const std::uint8_t* src, std::uint32_t* dest, int bytes) const {
    const TChannel red(header_.Masks[0]), green(header_.Masks[1]), blue(header_.Masks[2]);
    for (int x = 0; x < header_.Width; ++x, src += bytes) {
      std::uint32_t pixel = src[0] | (src[1] << 8);
      if (bytes == 4) pixel |= (src[2] << 16) | (static_cast<std::uint32_t>(src[3]) << 24);
      dest[x] = blue.Value(pixel) | (green.Value(pixel) << 8) | (red.Value(pixel) << 16);
    }
  }

  // Run-length data: (count, index) runs and escapes (0,0 end of line, 0,1
  // end of image, 0,2 move, 0,n n literal pixels padded to a word). Pixels
  // past the right edge are dropped; x stops at the edge, so an encoded run
  // there costs the same whatever its length.
  void DecodeRle(TBitmap& bitmap) {
    bitmap.Fill(TBitmap::ColorFromPixel(PaletteColor(0)));
    const bool four = header_.Compression == kBiRle4;
    std::size_t pos = header_.DataOffset;
    int x = 0, row = 0;
    auto line = [&]() {
      if (row >= header_.Height) Fail("RLE data runs past the end of the image");
      return bitmap.Row(header_.Height - 1 - row);
    };
    auto advance = [&](int count) { x = std::min(x + count, header_.Width); };
    for (;;) {
      RleNeed(pos, 2);
      const std::uint8_t count = in_.U8(pos), value = in_.U8(pos + 1);
      pos += 2;
      if (count > 0) {
        std::uint32_t* const pixels = line();
        const std::uint32_t even = PaletteColor(four ? value >> 4 : value);
        const std::uint32_t odd = count > 1 ? PaletteColor(four ? value & 0x0F : value) : even;
        const int visible = std::min<int>(count, header_.Width - x);
        for (int i = 0; i < visible; ++i) pixels[x + i] = i % 2 == 0 ? even : odd;
        advance(count);
      } else if (value == 0) {
        x = 0;
        ++row;
      } else if (value == 1) {
        return;
      } else if (value == 2) {
        RleNeed(pos, 2);
        advance(in_.U8(pos));
        row += in_.U8(pos + 1);
        pos += 2;
      } else {
        const std::size_t bytes = four ? (value + 1) / 2 : value;
        RleNeed(pos, bytes);
        std::uint32_t* const pixels = line();
        for (int i = 0; i < value; ++i) {
          const std::uint8_t byte = in_.U8(pos + (four ? i / 2 : i));
          const std::uint32_t color =
              PaletteColor(four ? (i % 2 == 0 ? byte >> 4 : byte & 0x0F) : byte);
          if (x < header_.Width) pixels[x] = color;
          advance(1);
        }
        pos += (bytes + 1) / 2 * 2;
      }
      if (row > header_.Height + 1) Fail("RLE data moves past the end of the image");
    }
  }

  void RleNeed(std::size_t pos, std::size_t count) const {
    if (!in_.Has(pos, count)) Fail("RLE data ends before its end-of-image marker");
  }

  const TByteReader& in_;
  const THeader& header_;
  std::vector<std::uint32_t> palette_;
};

void PutU16(std::vector<std::uint8_t>& out, std::uint32_t value) {
  out.push_back(value & 0xFF);
  out.push_back((value >> 8) & 0xFF);
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  PutU16(out, value & 0xFFFF);
  PutU16(out, value >> 16);
}

}  // namespace

TBitmap DecodeBmp(const std::uint8_t* data, std::size_t size) {
  const TByteReader in(data, data ? size : 0);
  const THeader header = ReadHeader(in);
  try {
    return TDecoder(in, header).Decode();
  } catch (const std::bad_alloc&) {
    Fail("out of memory for a " + std::to_string(header.Width) + " x " +
         std::to_string(header.Height) + " picture");
  }
}

TBitmap LoadBmp(TStream& stream) {
  // A picture already in memory is decoded where it lies, not copied first.
  if (auto* memory = dynamic_cast<TMemoryStream*>(&stream)) {
    const auto start = static_cast<std::size_t>(memory->GetPosition());
    memory->Seek(0, SeekOrigin::End);
    return DecodeBmp(memory->Data().data() + start, memory->Data().size() - start);
  }
  return DecodeBmp(stream.ReadAll());
}

std::vector<std::uint8_t> EncodeBmp(const TBitmap& bitmap, int bitsPerPixel) {
  if (bitsPerPixel != 24 && bitsPerPixel != 32)
    throw std::invalid_argument("EncodeBmp: 24 or 32 bits per pixel");
  const int bytes = bitsPerPixel / 8;
  const std::uint32_t stride = (static_cast<std::uint32_t>(bitmap.Width()) * bytes + 3) / 4 * 4;
  const std::uint32_t imageSize = stride * bitmap.Height();
  const std::uint32_t offset = kFileHeaderSize + kInfoHeaderSize;
  std::vector<std::uint8_t> out;
  out.reserve(offset + imageSize);
  out.push_back('B');
  out.push_back('M');
  PutU32(out, offset + imageSize);
  PutU32(out, 0);
  PutU32(out, offset);
  PutU32(out, kInfoHeaderSize);
  PutU32(out, bitmap.Width());
  PutU32(out, bitmap.Height());
  PutU16(out, 1);
  PutU16(out, bitsPerPixel);
  PutU32(out, kBiRgb);
  PutU32(out, imageSize);
  PutU32(out, 3780);  // 96 pixels per inch
  PutU32(out, 3780);
  PutU32(out, 0);
  PutU32(out, 0);
  for (int y = bitmap.Height() - 1; y >= 0; --y) {
    const std::uint8_t* row = bitmap.ScanLine(y);
    for (int x = 0; x < bitmap.Width(); ++x, row += 4) out.insert(out.end(), row, row + bytes);
    out.resize(out.size() + (stride - bitmap.Width() * bytes), 0);
  }
  return out;
}

}  // namespace platform
