#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Bmp.h"
#include "platform/Stream.h"
#include "tests/support/ByteWriter.h"

namespace platform {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr TColor kRed = RGB(255, 0, 0);
constexpr TColor kGreen = RGB(0, 255, 0);
constexpr TColor kBlue = RGB(0, 0, 255);
constexpr TColor kWhite = RGB(255, 255, 255);
constexpr TColor kBlack = 0;

using test_support::Put16;
using test_support::Put32;

// Builds a BMP file: file header, info header (40 bytes), optional masks,
// palette (blue, green, red, 0 per entry) and the given pixel bytes.
struct TBmpBuilder {
  int Width = 0;
  int Height = 0;
  int Bits = 24;
  std::uint32_t Compression = 0;
  std::vector<TColor> Palette;
  std::vector<std::uint32_t> Masks;
  std::uint32_t ColorsUsed = 0;
  std::uint32_t HeaderSize = 40;  // longer headers (V4 108, V5 124) hold the masks
  Bytes Pixels;

  Bytes Build() const {
    Bytes header;
    Put32(header, HeaderSize);
    Put32(header, static_cast<std::uint32_t>(Width));
    Put32(header, static_cast<std::uint32_t>(Height));
    Put16(header, 1);
    Put16(header, Bits);
    Put32(header, Compression);
    Put32(header, static_cast<std::uint32_t>(Pixels.size()));
    Put32(header, 2835);
    Put32(header, 2835);
    Put32(header, ColorsUsed ? ColorsUsed : static_cast<std::uint32_t>(Palette.size()));
    Put32(header, 0);
    for (std::uint32_t mask : Masks) Put32(header, mask);
    if (HeaderSize > 40) header.resize(HeaderSize, 0);
    for (TColor color : Palette) {
      header.push_back(GetBValue(color));
      header.push_back(GetGValue(color));
      header.push_back(GetRValue(color));
      header.push_back(0);
    }
    Bytes file = {'B', 'M'};
    const std::uint32_t offset = 14 + static_cast<std::uint32_t>(header.size());
    Put32(file, offset + static_cast<std::uint32_t>(Pixels.size()));
    Put32(file, 0);
    Put32(file, offset);
    file.insert(file.end(), header.begin(), header.end());
    file.insert(file.end(), Pixels.begin(), Pixels.end());
    return file;
  }
};

std::vector<TColor> Row(const TBitmap& bitmap, int y) {
  std::vector<TColor> row;
  for (int x = 0; x < bitmap.Width(); ++x) row.push_back(bitmap.Pixel(x, y));
  return row;
}

std::string ErrorOf(const Bytes& file) {
  try {
    DecodeBmp(file);
  } catch (const EImageError& error) {
    return error.what();
  }
  return "(decoded)";
}

// Every prefix of a valid file is an error, never an over-read.
void ExpectEveryTruncationFails(const Bytes& file) {
  for (std::size_t size = 0; size < file.size(); ++size) {
    const Bytes prefix(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(size));
    EXPECT_THROW(DecodeBmp(prefix), EImageError) << "cut at " << size;
  }
}

TEST(BmpTest, PalettedDepthsBottomUpAndTopDown) {
  TBmpBuilder one;  // 10 pixels cross a byte boundary; rows padded to 4 bytes
  one.Width = 10;
  one.Height = 2;
  one.Bits = 1;
  one.Palette = {kBlack, kWhite};
  one.Pixels = {0b10110000, 0b01000000, 0, 0,  // bottom row
                0b00000001, 0b10000000};       // top row, without padding
  const TBitmap a = DecodeBmp(one.Build());
  const TColor k = kBlack, w = kWhite;
  EXPECT_EQ(Row(a, 1), (std::vector<TColor>{w, k, w, w, k, k, k, k, k, w}));
  EXPECT_EQ(Row(a, 0), (std::vector<TColor>{k, k, k, k, k, k, k, w, w, k}));
  EXPECT_FALSE(a.IsTransparent());
  ExpectEveryTruncationFails(one.Build());
  one.Width = 1;  // one bit still takes a four-byte row
  one.Pixels = {0x80, 0, 0, 0, 0x00};
  const TBitmap narrow = DecodeBmp(one.Build());
  EXPECT_EQ(narrow.Pixel(0, 1), kWhite);
  EXPECT_EQ(narrow.Pixel(0, 0), kBlack);

  TBmpBuilder four;
  four.Width = 3;
  four.Height = -2;  // top-down
  four.Bits = 4;
  four.Palette = {kBlack, kRed, kGreen, kBlue};
  four.Pixels = {0x12, 0x30, 0, 0, 0x33, 0x10, 0, 0};
  const TBitmap b = DecodeBmp(four.Build());
  EXPECT_EQ(Row(b, 0), (std::vector<TColor>{kRed, kGreen, kBlue}));
  EXPECT_EQ(Row(b, 1), (std::vector<TColor>{kBlue, kBlue, kRed}));

  TBmpBuilder eight;
  eight.Width = 3;
  eight.Height = 1;
  eight.Bits = 8;
  eight.Palette = {kBlack, kRed, kGreen};
  eight.Pixels = {2, 0, 1};  // the last row may lack its padding
  EXPECT_EQ(Row(DecodeBmp(eight.Build()), 0), (std::vector<TColor>{kGreen, kBlack, kRed}));
  eight.Pixels = {2, 3, 1, 0};
  EXPECT_NE(ErrorOf(eight.Build()).find("palette index 3"), std::string::npos);
}

TEST(BmpTest, DirectColourDepthsAndBitFields) {
  TBmpBuilder rgb555;
  rgb555.Width = 3;
  rgb555.Height = 1;
  rgb555.Bits = 16;
  rgb555.Pixels = {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0, 0};
  EXPECT_EQ(Row(DecodeBmp(rgb555.Build()), 0), (std::vector<TColor>{kRed, kGreen, kBlue}));

  TBmpBuilder rgb565 = rgb555;
  rgb565.Compression = 3;
  rgb565.Masks = {0xF800, 0x07E0, 0x001F};
  rgb565.Pixels = {0x00, 0xF8, 0xE0, 0x07, 0x10, 0x00};
  EXPECT_EQ(Row(DecodeBmp(rgb565.Build()), 0), (std::vector<TColor>{kRed, kGreen, RGB(0, 0, 132)}));
  ExpectEveryTruncationFails(rgb565.Build());

  TBmpBuilder rgb24;
  rgb24.Width = 2;
  rgb24.Height = 2;
  rgb24.Pixels = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
  const TBitmap c = DecodeBmp(rgb24.Build());
  EXPECT_EQ(Row(c, 1), (std::vector<TColor>{RGB(3, 2, 1), RGB(6, 5, 4)}));
  EXPECT_EQ(Row(c, 0), (std::vector<TColor>{RGB(9, 8, 7), RGB(12, 11, 10)}));

  TBmpBuilder rgb32;
  rgb32.Width = 1;
  rgb32.Height = 1;
  rgb32.Bits = 32;
  rgb32.Pixels = {10, 20, 30, 99};
  EXPECT_EQ(DecodeBmp(rgb32.Build()).Pixel(0, 0), RGB(30, 20, 10));
  rgb32.Compression = 3;
  rgb32.Masks = {0x000000FF, 0x0000FF00, 0x00FF0000};  // red in the lowest byte
  EXPECT_EQ(DecodeBmp(rgb32.Build()).Pixel(0, 0), RGB(10, 20, 30));
}

TEST(BmpTest, LongerHeadersCarryMasksInsideAndPalettesAfter) {
  TBmpBuilder v5;
  v5.HeaderSize = 124;
  v5.Width = 2;
  v5.Height = -1;
  v5.Bits = 32;
  v5.Compression = 3;
  v5.Masks = {0x0000FF00, 0x00FF0000, 0xFF000000};
  v5.Pixels = {0, 1, 2, 3, 0, 255, 0, 0};
  EXPECT_EQ(Row(DecodeBmp(v5.Build()), 0), (std::vector<TColor>{RGB(1, 2, 3), kRed}));
  ExpectEveryTruncationFails(v5.Build());

  TBmpBuilder v4;
  v4.HeaderSize = 108;
  v4.Width = 2;
  v4.Height = 1;
  v4.Bits = 8;
  v4.Palette = {kGreen, kBlue};
  v4.Pixels = {1, 0};
  EXPECT_EQ(Row(DecodeBmp(v4.Build()), 0), (std::vector<TColor>{kBlue, kGreen}));
}

TEST(BmpTest, CoreHeaderWithThreeBytePalette) {
  Bytes file = {'B', 'M'};
  Put32(file, 14 + 12 + 6 + 2);
  Put32(file, 0);
  Put32(file, 14 + 12 + 6);
  Put32(file, 12);
  Put16(file, 2);
  Put16(file, 1);
  Put16(file, 1);
  Put16(file, 8);
  file.insert(file.end(), {0, 0, 255, 255, 0, 0});  // red, blue
  file.insert(file.end(), {1, 0});
  EXPECT_EQ(Row(DecodeBmp(file), 0), (std::vector<TColor>{kBlue, kRed}));
  ExpectEveryTruncationFails(file);

  // Sixteen-bit fields above 255: a 1-bit picture 260 pixels wide.
  Bytes wide = {'B', 'M'};
  Put32(wide, 14 + 12 + 6 + 36);
  Put32(wide, 0);
  Put32(wide, 14 + 12 + 6);
  Put32(wide, 12);
  Put16(wide, 260);
  Put16(wide, 1);
  Put16(wide, 1);
  Put16(wide, 1);
  wide.insert(wide.end(), {0, 0, 255, 255, 0, 0});
  wide.resize(wide.size() + 36, 0);
  wide[wide.size() - 4] = 0x10;  // pixel 260, the last
  const TBitmap last = DecodeBmp(wide);
  EXPECT_EQ(last.Width(), 260);
  EXPECT_EQ(last.Pixel(258, 0), kRed);
  EXPECT_EQ(last.Pixel(259, 0), kBlue);
}

TEST(BmpTest, RunLengthEncodedImages) {
  TBmpBuilder rle8;
  rle8.Width = 4;
  rle8.Height = 3;
  rle8.Bits = 8;
  rle8.Compression = 1;
  rle8.Palette = {kWhite, kRed, kGreen, kBlue};
  rle8.Pixels = {3, 1,              // bottom row: three red
                 0, 0,              // end of line
                 0, 3, 2, 3, 2, 0,  // literal green, blue, green (padded)
                 0, 2, 1, 1,        // move right 1 and up 1 (to row 2, x 4)
                 0, 0,              // end of line: the top row stays white
                 0, 1};             // end of image
  const TBitmap a = DecodeBmp(rle8.Build());
  EXPECT_EQ(Row(a, 2), (std::vector<TColor>{kRed, kRed, kRed, kWhite}));
  EXPECT_EQ(Row(a, 1), (std::vector<TColor>{kGreen, kBlue, kGreen, kWhite}));
  EXPECT_EQ(Row(a, 0), (std::vector<TColor>{kWhite, kWhite, kWhite, kWhite}));
  ExpectEveryTruncationFails(rle8.Build());

  // A move may be followed by pixels on the same row, and leaves the skipped
  // ones at the first palette colour.
  rle8.Height = 2;
  rle8.Pixels = {1, 1, 0, 2, 2, 0, 1, 2, 0, 0,  // red, moved 2 right, green
                 0, 2, 1, 0, 1, 3, 0, 1};       // next row: moved 1 right, blue
  const TBitmap moved = DecodeBmp(rle8.Build());
  EXPECT_EQ(Row(moved, 1), (std::vector<TColor>{kRed, kWhite, kWhite, kGreen}));
  EXPECT_EQ(Row(moved, 0), (std::vector<TColor>{kWhite, kBlue, kWhite, kWhite}));

  TBmpBuilder rle4;
  rle4.Width = 5;
  rle4.Height = 1;
  rle4.Bits = 4;
  rle4.Compression = 2;
  rle4.Palette = {kWhite, kRed, kBlue};
  rle4.Pixels = {3, 0x12, 0, 3, 0x21, 0x00, 0, 1};  // red blue red | blue red white (clipped)
  EXPECT_EQ(Row(DecodeBmp(rle4.Build()), 0), (std::vector<TColor>{kRed, kBlue, kRed, kBlue, kRed}));
  TBmpBuilder literal = rle4;  // six literal pixels in three bytes and a padding byte, a run
  literal.Width = 8;
  literal.Pixels = {0, 6, 0x12, 0x21, 0x12, 0, 2, 0x11, 0, 1};
  EXPECT_EQ(Row(DecodeBmp(literal.Build()), 0),
            (std::vector<TColor>{kRed, kBlue, kBlue, kRed, kRed, kBlue, kRed, kRed}));

  rle4.Pixels = {3, 0x12, 0, 0, 1, 0x11, 0, 1};  // a pixel on a row past the top
  EXPECT_NE(ErrorOf(rle4.Build()).find("past the end"), std::string::npos);
  // A move may end one row above the top, as a closing end of line does;
  // one more is an error.
  rle4.Pixels = {3, 0x12, 0, 2, 0, 2, 0, 1};
  EXPECT_EQ(ErrorOf(rle4.Build()), "(decoded)");
  rle4.Pixels = {3, 0x12, 0, 2, 0, 3, 0, 1};
  EXPECT_NE(ErrorOf(rle4.Build()).find("moves past the end"), std::string::npos);
  for (const Bytes& cut : {Bytes{3, 0x12}, Bytes{0, 2, 1}}) {  // no end-of-image marker
    rle4.Pixels = cut;
    EXPECT_NE(ErrorOf(rle4.Build()).find("end-of-image"), std::string::npos);
  }
  rle4.Pixels = {2, 0x13, 0, 1};
  EXPECT_NE(ErrorOf(rle4.Build()).find("palette index 3"), std::string::npos);
  rle4.Height = -1;
  EXPECT_NE(ErrorOf(rle4.Build()).find("top-down RLE"), std::string::npos);
}

// Runs that reach past the right edge cost nothing for their length: a wide
// image of a megabyte of such runs decodes at once, the pixels inside the
// edge drawn and x stopping at the edge however far the runs go.
TEST(BmpTest, RunsPastTheRightEdgeAreSkippedWhole) {
  TBmpBuilder wide;
  wide.Width = 16384;
  wide.Height = 2;
  wide.Bits = 8;
  wide.Compression = 1;
  wide.Palette = {kWhite, kRed, kBlue};
  for (int i = 0; i < 65; ++i) wide.Pixels.insert(wide.Pixels.end(), {255, 1});  // 16575 red
  for (int i = 0; i < 500000; ++i) wide.Pixels.insert(wide.Pixels.end(), {255, 2});
  wide.Pixels.insert(wide.Pixels.end(), {0, 2, 255, 0});      // a move right stays at the edge
  wide.Pixels.insert(wide.Pixels.end(), {0, 0, 2, 2, 0, 1});  // next row: two blue
  const TBitmap bitmap = DecodeBmp(wide.Build());
  EXPECT_EQ(bitmap.Pixel(0, 1), kRed);
  EXPECT_EQ(bitmap.Pixel(16383, 1), kRed);
  EXPECT_EQ(bitmap.Pixel(1, 0), kBlue);
  EXPECT_EQ(bitmap.Pixel(2, 0), kWhite);

  // Past the edge, a run still names palette entries that must exist, on a
  // row inside the image.
  TBmpBuilder rle4;
  rle4.Width = 2;
  rle4.Height = 1;
  rle4.Bits = 4;
  rle4.Compression = 2;
  rle4.Palette = {kWhite, kRed};
  rle4.Pixels = {2, 0x11, 255, 0x11, 2, 0x13, 0, 1};
  EXPECT_NE(ErrorOf(rle4.Build()).find("palette index 3"), std::string::npos);
  rle4.Pixels = {2, 0x11, 255, 0x11, 1, 0x13, 0, 1};  // one pixel: only the first index counts
  EXPECT_EQ(ErrorOf(rle4.Build()), "(decoded)");
  rle4.Pixels = {2, 0x11, 0, 0, 255, 0x11, 0, 1};
  EXPECT_NE(ErrorOf(rle4.Build()).find("past the end"), std::string::npos);
}

TEST(BmpTest, MalformedHeadersAreErrors) {
  TBmpBuilder good;
  good.Width = 1;
  good.Height = 1;
  good.Pixels = {1, 2, 3};
  ASSERT_EQ(DecodeBmp(good.Build()).Width(), 1);
  ExpectEveryTruncationFails(good.Build());

  Bytes notBmp = good.Build();
  notBmp[0] = 'P';
  EXPECT_NE(ErrorOf(notBmp).find("not a BMP"), std::string::npos);
  EXPECT_THROW(DecodeBmp(nullptr, 100), EImageError);

  TBmpBuilder huge = good;  // a lying header must not make a huge allocation
  huge.Width = 1000000;
  huge.Height = 1000000;
  EXPECT_NE(ErrorOf(huge.Build()).find("bad image size"), std::string::npos);
  huge.Width = 16384;
  huge.Height = 16384;
  EXPECT_NE(ErrorOf(huge.Build()).find("too large"), std::string::npos);
  huge.Width = 4096;
  huge.Height = 4096;
  EXPECT_NE(ErrorOf(huge.Build()).find("truncated pixel data"), std::string::npos);
  huge.Height = -0x7FFFFFFF - 1;
  EXPECT_NE(ErrorOf(huge.Build()).find("bad image size"), std::string::npos);

  TBmpBuilder bad = good;
  bad.Width = 0;
  EXPECT_THROW(DecodeBmp(bad.Build()), EImageError);
  bad = good;
  bad.Bits = 7;
  EXPECT_NE(ErrorOf(bad.Build()).find("bit count 7"), std::string::npos);
  bad = good;
  bad.Compression = 4;  // embedded JPEG
  EXPECT_NE(ErrorOf(bad.Build()).find("compression 4"), std::string::npos);
  // Each compression goes with its own bit depths only: run lengths of 8 bits
  // at 8, of 4 at 4, bit fields at 16 and 32.
  const struct {
    std::uint32_t compression;
    int bits;
    bool valid;
  } pairs[] = {{1, 8, true},  {1, 4, false},  {1, 24, false}, {2, 4, true},
               {2, 8, false}, {2, 1, false},  {3, 16, true},  {3, 32, true},
               {3, 8, false}, {3, 24, false}, {0, 1, true},   {0, 32, true}};
  for (const auto& pair : pairs) {
    bad = good;
    bad.Compression = pair.compression;
    bad.Bits = pair.bits;
    if (pair.bits <= 8) bad.Palette = {kRed, kGreen};
    if (pair.compression == 3) bad.Masks = {0xF800, 0x07E0, 0x001F};
    bad.Pixels = pair.compression == 1 || pair.compression == 2 ? Bytes{0, 1} : Bytes{0, 0, 0, 0};
    EXPECT_EQ(ErrorOf(bad.Build()).find("compression") == std::string::npos, pair.valid)
        << pair.compression << " at " << pair.bits << " bits";
  }

  Bytes badOffset = good.Build();
  badOffset[10] = 0xFF;
  badOffset[11] = 0xFF;
  EXPECT_NE(ErrorOf(badOffset).find("offset"), std::string::npos);
  Bytes badHeader = good.Build();
  badHeader[14] = 20;
  EXPECT_NE(ErrorOf(badHeader).find("header size 20"), std::string::npos);

  // A palette that claims more entries than lie before the pixels holds
  // only those: an index beyond them is an error, not a read of the pixels.
  TBmpBuilder palette;
  palette.Width = 2;
  palette.Height = 1;
  palette.Bits = 8;
  palette.ColorsUsed = 200;
  palette.Palette = {kRed};
  palette.Pixels = {0, 0};
  EXPECT_EQ(Row(DecodeBmp(palette.Build()), 0), (std::vector<TColor>{kRed, kRed}));
  palette.Pixels = {0, 1};
  EXPECT_NE(ErrorOf(palette.Build()).find("palette index 1"), std::string::npos);
  // Without a data offset the palette is as long as the header says, and one
  // that would run past the end of the file is an error, not an over-read.
  Bytes noOffset = palette.Build();
  std::fill(noOffset.begin() + 10, noOffset.begin() + 14, 0);
  EXPECT_NE(ErrorOf(noOffset).find("truncated palette"), std::string::npos);
  // Without a colour count either, a palette is as long as the bit depth
  // allows, and the pixels follow it.
  TBmpBuilder mono;
  mono.Width = 2;
  mono.Height = 1;
  mono.Bits = 1;
  mono.Palette = {kRed, kGreen};
  mono.Pixels = {0x40, 0, 0, 0};
  Bytes bare = mono.Build();
  std::fill(bare.begin() + 10, bare.begin() + 14, 0);  // data offset
  std::fill(bare.begin() + 46, bare.begin() + 50, 0);  // colours used
  EXPECT_EQ(Row(DecodeBmp(bare), 0), (std::vector<TColor>{kRed, kGreen}));
}

TEST(BmpTest, EncodedBitmapsDecodeToTheSamePixels) {
  TBitmap bitmap(5, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) bitmap.SetPixel(x, y, RGB(x * 40, y * 80, 200 - x));
  EXPECT_EQ(DecodeBmp(EncodeBmp(bitmap, 24)), bitmap);
  EXPECT_EQ(DecodeBmp(EncodeBmp(bitmap, 32)), bitmap);
  TMemoryStream stream(EncodeBmp(bitmap));
  EXPECT_EQ(LoadBmp(stream), bitmap);
  EXPECT_THROW(EncodeBmp(bitmap, 8), std::invalid_argument);

  // The header other readers rely on: sizes, one plane, no compression, 96
  // pixels per inch, no palette; a file of more than 64 KB.
  const Bytes big = EncodeBmp(TBitmap(200, 100), 32);
  const auto field = [&big](std::size_t offset, std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t i = size; i-- > 0;) value = value << 8 | big[offset + i];
    return value;
  };
  ASSERT_EQ(big.size(), 54u + 80000u);
  const std::vector<std::uint32_t> fields = {field(2, 4),  field(10, 4), field(14, 4), field(18, 4),
                                             field(22, 4), field(26, 2), field(28, 2), field(30, 4),
                                             field(34, 4), field(38, 4), field(42, 4), field(46, 4),
                                             field(50, 4)};
  EXPECT_EQ(fields, (std::vector<std::uint32_t>{80054, 54, 40, 200, 100, 1, 32, 0, 80000, 3780,
                                                3780, 0, 0}));
}

// A stream that hands out a few bytes per read, as pipes and sockets do.
class TTrickleStream : public TStream {
 public:
  explicit TTrickleStream(std::vector<std::uint8_t> data) : inner_(std::move(data)) {}
  std::int64_t Read(void* buffer, std::int64_t count) override {
    return inner_.Read(buffer, std::min<std::int64_t>(count, 7));
  }
  std::int64_t Write(const void*, std::int64_t) override { return 0; }
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override {
    return inner_.Seek(offset, origin);
  }

 private:
  TMemoryStream inner_;
};

TEST(BmpTest, LoadingStartsAtTheStreamPositionAndReadsToItsEnd) {
  TBitmap bitmap(9, 4);
  bitmap.Fill(RGB(10, 120, 240));
  std::vector<std::uint8_t> bytes = {'x', 'y', 'z'};
  const std::vector<std::uint8_t> picture = EncodeBmp(bitmap);
  bytes.insert(bytes.end(), picture.begin(), picture.end());

  TMemoryStream memory(bytes);
  TTrickleStream trickle(bytes);
  for (TStream* stream : {static_cast<TStream*>(&memory), static_cast<TStream*>(&trickle)}) {
    stream->SetPosition(3);
    EXPECT_EQ(LoadBmp(*stream), bitmap);
    EXPECT_EQ(stream->GetPosition(), static_cast<std::int64_t>(bytes.size()));
  }
  trickle.SetPosition(3);
  EXPECT_EQ(trickle.ReadAll(), picture);

  // A picture cut short in memory is an error, not a read past its end.
  bytes.erase(bytes.end() - 2, bytes.end());  // a padding byte and a pixel byte
  TMemoryStream cut(bytes);
  cut.SetPosition(3);
  EXPECT_THROW(LoadBmp(cut), EImageError);
}

}  // namespace
}  // namespace platform
