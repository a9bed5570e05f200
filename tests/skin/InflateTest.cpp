#include "skin/Inflate.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <array>

#include "ZipTestUtil.h"

using skin::TInflater;
using namespace skintest;

namespace {

constexpr std::size_t kWindow = TInflater::kWindowSize;

struct Result {
  bool ok;
  Bytes out;
};

Result Inflate(const Bytes& packed, std::size_t outSize) {
  Result result{false, Bytes(outSize, '?')};
  result.ok = TInflater().Inflate(packed.data(), result.out.data(), outSize, packed.size());
  return result;
}

bool AllQuestionMarks(const Bytes& data, std::size_t from) {
  return std::all_of(data.begin() + static_cast<std::ptrdiff_t>(from), data.end(),
                     [](std::uint8_t b) { return b == '?'; });
}

Bytes Prefix(const Bytes& data, std::size_t count) {
  return Bytes(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(count));
}

void PutFixedLiteral(BitWriter& bits, unsigned literal) {
  if (literal < 144)
    bits.PutCode(0x30 + literal, 8);
  else
    bits.PutCode(0x190 + literal - 144, 9);
}
void PutFixedEnd(BitWriter& bits) { bits.PutCode(0, 7); }

// A stored block of `data`, with a length check that is right or off by one.
void PutStoredBlock(BitWriter& bits, const Bytes& data, bool final, bool goodCheck = true) {
  bits.Put(final ? 1 : 0, 1);
  bits.Put(0, 2);
  bits.AlignToByte();
  const auto length = static_cast<std::uint32_t>(data.size());
  bits.Put(length, 16);
  bits.Put((~length & 0xFFFF) ^ (goodCheck ? 0 : 1), 16);
  for (std::uint8_t byte : data) bits.PutByte(byte);
}

// Canonical Huffman codes for the given code lengths, as deflate assigns them.
std::vector<std::uint32_t> CanonicalCodes(const std::vector<std::uint8_t>& lengths) {
  std::array<std::uint32_t, 16> count{}, next{};
  for (std::uint8_t length : lengths)
    if (length) ++count[length];
  for (unsigned length = 1; length < 16; ++length)
    next[length] = (next[length - 1] + count[length - 1]) << 1;
  std::vector<std::uint32_t> codes(lengths.size());
  for (std::size_t symbol = 0; symbol < lengths.size(); ++symbol)
    if (lengths[symbol]) codes[symbol] = next[lengths[symbol]]++;
  return codes;
}

// A dynamic block of chosen literal/length and distance code lengths. Each
// length goes out as a code-length symbol of four bits: symbols 0 to 15 all
// four bits long make symbol s the code s.
struct DynamicBlock {
  std::vector<std::uint8_t> litLen = std::vector<std::uint8_t>(257);
  std::vector<std::uint8_t> dist = std::vector<std::uint8_t>(1);
  BitWriter bits;

  void PutHeader() {
    bits.Put(1, 1);
    bits.Put(2, 2);
    bits.Put(static_cast<std::uint32_t>(litLen.size() - 257), 5);
    bits.Put(static_cast<std::uint32_t>(dist.size() - 1), 5);
    bits.Put(15, 4);
    for (unsigned symbol : {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15})
      bits.Put(symbol < 16 ? 4 : 0, 3);
    for (std::uint8_t length : litLen) bits.PutCode(length, 4);
    for (std::uint8_t length : dist) bits.PutCode(length, 4);
  }
  void Put(unsigned symbol) { bits.PutCode(CanonicalCodes(litLen)[symbol], litLen[symbol]); }
  void PutDist(unsigned symbol) { bits.PutCode(CanonicalCodes(dist)[symbol], dist[symbol]); }
};

}  // namespace

// Every block type and every kind of match zlib emits, at sizes around the
// window, decodes byte for byte.
TEST(Inflate, DecodesWhatZlibWrites) {
  const struct {
    int level;
    int strategy;
  } kModes[] = {{0, Z_DEFAULT_STRATEGY}, {1, Z_DEFAULT_STRATEGY},
                {9, Z_DEFAULT_STRATEGY}, {6, Z_FIXED},
                {6, Z_HUFFMAN_ONLY},     {6, Z_RLE}};
  for (std::size_t size :
       {std::size_t{0}, std::size_t{1}, kWindow - 1, kWindow, kWindow + 1, std::size_t{200000}}) {
    for (const Bytes& data : {SampleText(size), RandomBytes(size, 3)}) {
      for (const auto& mode : kModes) {
        const Bytes packed = Deflate(data, mode.level, mode.strategy);
        const Result result = Inflate(packed, data.size());
        EXPECT_TRUE(result.ok) << size << " level " << mode.level << " strategy " << mode.strategy;
        EXPECT_EQ(result.out, data)
            << size << " level " << mode.level << " strategy " << mode.strategy;
      }
    }
  }
}

TEST(Inflate, HandBuiltFixedBlockWithOverlappingMatch) {
  BitWriter bits;
  bits.Put(1, 1);  // final
  bits.Put(1, 2);  // fixed Huffman
  PutFixedLiteral(bits, 'a');
  PutFixedLiteral(bits, 0xE9);  // a nine-bit literal
  bits.PutCode(265 - 256, 7);   // length 11 + 1 extra bit
  bits.Put(1, 1);               // -> 12
  bits.PutCode(1, 5);           // distance 2
  PutFixedEnd(bits);
  const Result result = Inflate(bits.Finish(), 14);
  EXPECT_TRUE(result.ok);
  EXPECT_EQ(result.out, ToBytes("a\xE9"
                                "a\xE9"
                                "a\xE9"
                                "a\xE9"
                                "a\xE9"
                                "a\xE9"
                                "a\xE9"));
}

// Input bytes past the end read as zero, whatever lies in memory there, and
// seven zero bits are the fixed code's end of block: a stream cut right
// before its end code still ends, with the careful decoder (a destination
// just large enough) and the fast one (room to spare) alike.
TEST(Inflate, InputPastTheEndReadsAsZero) {
  const std::string text = "ok, a stream long enough for whole-word reads";
  BitWriter bits;
  bits.Put(1, 1);
  bits.Put(1, 2);
  for (char c : text) PutFixedLiteral(bits, static_cast<unsigned char>(c));
  const Bytes packed = bits.Finish();
  Bytes padded = packed;
  padded.resize(packed.size() + 16, 0xFF);
  for (std::size_t outSize : {text.size(), text.size() + 400}) {
    Bytes out(outSize, '?');
    EXPECT_TRUE(TInflater().Inflate(padded.data(), out.data(), outSize, packed.size())) << outSize;
    EXPECT_EQ(Prefix(out, text.size()), ToBytes(text)) << outSize;
    EXPECT_TRUE(AllQuestionMarks(out, text.size())) << outSize;
  }
}

// Output is delivered a window at a time: a truncated stream leaves every
// byte after the last whole window it reached as "?".
TEST(Inflate, TruncatedStreamLeavesUnreachedBytes) {
  const Bytes data = SampleText(3 * kWindow + 5000);
  const Bytes packed = Deflate(data, 6, Z_FIXED, true);
  for (double share : {0.2, 0.5, 0.9}) {
    const Bytes cut = Prefix(packed, static_cast<std::size_t>(packed.size() * share));
    TInflater inflater;
    Bytes out(data.size(), '?');
    EXPECT_FALSE(inflater.Inflate(cut.data(), out.data(), out.size(), cut.size()));
    const std::size_t delivered = inflater.DecodedLength() / kWindow * kWindow;
    ASSERT_LT(delivered, data.size());
    EXPECT_EQ(Prefix(out, delivered), Prefix(data, delivered)) << share;
    EXPECT_TRUE(AllQuestionMarks(out, delivered)) << share;
  }
}

// Stored blocks that start inside a window and cross into the next; a bad
// length check stops the stream with the whole windows before it delivered.
TEST(Inflate, StoredBlockLengthCheck) {
  const Bytes first = SampleText(40000);
  Bytes expected = ToBytes("x");
  expected.insert(expected.end(), first.begin(), first.end());
  BitWriter bits;
  PutStoredBlock(bits, ToBytes("x"), false);
  PutStoredBlock(bits, first, false);
  PutStoredBlock(bits, ToBytes("tail"), true, false);
  Result result = Inflate(bits.Finish(), expected.size() + 4);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(Prefix(result.out, kWindow), Prefix(expected, kWindow));
  EXPECT_TRUE(AllQuestionMarks(result.out, kWindow));

  BitWriter good;
  PutStoredBlock(good, ToBytes("x"), false);
  PutStoredBlock(good, first, false);
  PutStoredBlock(good, ToBytes("tail"), true);
  result = Inflate(good.Finish(), expected.size() + 4);
  EXPECT_TRUE(result.ok);
  for (char c : std::string("tail")) expected.push_back(c);
  EXPECT_EQ(result.out, expected);
}

// Every length and distance symbol, its extra bits all zeros and all ones,
// copies as a plain byte-by-byte copy does. The bases are derived as the
// format defines them: each symbol's range starts where the previous ends.
TEST(Inflate, EveryLengthAndDistanceSymbol) {
  std::array<unsigned, 29> lengthBase{}, lengthExtra{};
  for (unsigned code = 0, base = 3; code < 29; ++code) {
    lengthExtra[code] = code < 8 || code == 28 ? 0 : (code - 4) / 4;
    lengthBase[code] = code == 28 ? 258 : base;
    base += 1u << lengthExtra[code];
  }
  std::array<unsigned, 30> distBase{}, distExtra{};
  for (unsigned code = 0, base = 1; code < 30; ++code) {
    distExtra[code] = code < 4 ? 0 : code / 2 - 1;
    distBase[code] = base;
    base += 1u << distExtra[code];
  }
  BitWriter bits;
  bits.Put(1, 1);
  bits.Put(1, 2);
  Bytes expected;
  for (std::size_t i = 0; i < 32768; ++i) {  // history for the farthest distance
    expected.push_back(static_cast<std::uint8_t>(i * 131 + i / 251));
    PutFixedLiteral(bits, expected.back());
  }
  for (unsigned ones : {0u, 1u}) {
    for (unsigned code = 0; code < 30; ++code) {
      const unsigned length = code % 29, symbol = 257 + length;
      const std::uint32_t lengthBits = ones ? (1u << lengthExtra[length]) - 1 : 0;
      const std::uint32_t distBits = ones ? (1u << distExtra[code]) - 1 : 0;
      if (symbol < 280)
        bits.PutCode(symbol - 256, 7);
      else
        bits.PutCode(0xC0 + symbol - 280, 8);
      bits.Put(lengthBits, lengthExtra[length]);
      bits.PutCode(code, 5);
      bits.Put(distBits, distExtra[code]);
      const std::size_t distance = distBase[code] + distBits;
      for (unsigned i = 0; i < lengthBase[length] + lengthBits; ++i)
        expected.push_back(expected[expected.size() - distance]);
    }
  }
  PutFixedEnd(bits);
  const Result result = Inflate(bits.Finish(), expected.size());
  EXPECT_TRUE(result.ok);
  EXPECT_EQ(result.out, expected);
}

TEST(Inflate, DecodingErrorsKeepEarlierContents) {
  // Block type 3.
  BitWriter reserved;
  reserved.Put(1, 1);
  reserved.Put(3, 2);
  EXPECT_TRUE(AllQuestionMarks(Inflate(reserved.Finish(), 10).out, 0));

  // A distance reaching before the first byte.
  BitWriter far;
  far.Put(1, 1);
  far.Put(1, 2);
  PutFixedLiteral(far, 'x');
  far.PutCode(257 - 256, 7);  // length 3
  far.PutCode(1, 5);          // distance 2, one byte too far
  PutFixedEnd(far);
  Result result = Inflate(far.Finish(), 4);
  EXPECT_FALSE(result.ok);
  EXPECT_TRUE(AllQuestionMarks(result.out, 0));

  // Distance codes 30 and 31 do not exist.
  BitWriter badDistance;
  badDistance.Put(1, 1);
  badDistance.Put(1, 2);
  PutFixedLiteral(badDistance, 'x');
  badDistance.PutCode(257 - 256, 7);
  badDistance.PutCode(30, 5);
  EXPECT_FALSE(Inflate(badDistance.Finish(), 4).ok);

  // Dynamic headers: too many length codes; an over-subscribed code-length
  // code; a repeat with no previous length; no end-of-block code.
  const auto dynamicHeader = [](unsigned hlit, unsigned hdist, unsigned hclen) {
    BitWriter bits;
    bits.Put(1, 1);
    bits.Put(2, 2);
    bits.Put(hlit, 5);
    bits.Put(hdist, 5);
    bits.Put(hclen, 4);
    return bits;
  };
  BitWriter tooMany = dynamicHeader(30, 0, 15);
  for (int i = 0; i < 19; ++i) tooMany.Put(4, 3);
  EXPECT_FALSE(Inflate(tooMany.Finish(), 4).ok);

  BitWriter oversubscribed = dynamicHeader(0, 0, 15);
  for (int i = 0; i < 19; ++i) oversubscribed.Put(1, 3);
  EXPECT_FALSE(Inflate(oversubscribed.Finish(), 4).ok);

  // Code lengths 1 for symbols 16 and 17 (the first two in the order):
  // a complete two-symbol code where "0" is symbol 16.
  BitWriter repeatFirst = dynamicHeader(0, 0, 0);
  repeatFirst.Put(1, 3);
  repeatFirst.Put(1, 3);
  repeatFirst.Put(0, 3);
  repeatFirst.Put(0, 3);
  repeatFirst.PutCode(0, 1);  // symbol 16 first
  repeatFirst.Put(0, 2);
  EXPECT_FALSE(Inflate(repeatFirst.Finish(), 4).ok);

  // All 258 lengths zero, written as two runs of 129 zeros (symbol 18):
  // the end-of-block code has no length.
  BitWriter noEnd = dynamicHeader(0, 0, 0);
  noEnd.Put(0, 3);  // 16 unused
  noEnd.Put(1, 3);  // 17 -> code "0"
  noEnd.Put(1, 3);  // 18 -> code "1"
  noEnd.Put(0, 3);  // 0 unused
  for (int i = 0; i < 2; ++i) {
    noEnd.PutCode(1, 1);
    noEnd.Put(129 - 11, 7);
  }
  EXPECT_FALSE(Inflate(noEnd.Finish(), 4).ok);
}

// A destination shorter than the stream: whole windows that fit are
// delivered; the window that does not fit is dropped with all after it.
TEST(Inflate, ChunkThatDoesNotFitIsDropped) {
  const Bytes data = SampleText(3 * kWindow + 100);
  for (int level : {9, 0}) {  // Huffman-coded and stored blocks
    const Bytes packed = Deflate(data, level, Z_DEFAULT_STRATEGY);
    for (std::size_t outSize : {kWindow + 10, 2 * kWindow, 2 * kWindow + 200, 3 * kWindow + 99}) {
      const Result result = Inflate(packed, outSize);
      EXPECT_FALSE(result.ok) << level;
      const std::size_t delivered = outSize / kWindow * kWindow;
      EXPECT_EQ(Prefix(result.out, delivered), Prefix(data, delivered)) << level << " " << outSize;
      EXPECT_TRUE(AllQuestionMarks(result.out, delivered)) << level << " " << outSize;
    }
    // A destination larger than the stream gets it all and keeps the rest.
    const Result larger = Inflate(packed, data.size() + 50);
    EXPECT_TRUE(larger.ok) << level;
    EXPECT_EQ(Prefix(larger.out, data.size()), data) << level;
    EXPECT_TRUE(AllQuestionMarks(larger.out, data.size())) << level;
  }
}

// Prefixes and corrupted variants of a real stream stay inside the
// destination and leave every byte past what was decoded untouched (the
// fast match copy writes a little ahead and must undo that).
TEST(Inflate, DamagedStreamsStayInBounds) {
  const Bytes data = SampleText(70000);
  const Bytes packed = Deflate(data, 9, Z_DEFAULT_STRATEGY);
  for (std::size_t i = 0; i < packed.size(); i += 97) {
    Bytes damaged = packed;
    damaged[i] ^= 0x5A;
    for (const Bytes& input : {damaged, Prefix(packed, i)}) {
      TInflater inflater;
      Bytes out(data.size(), '?');
      inflater.Inflate(input.data(), out.data(), out.size(), input.size());
      EXPECT_TRUE(AllQuestionMarks(out, std::min(inflater.DecodedLength(), out.size()))) << i;
    }
  }
}

// Codes zlib never writes but the format allows: a single one-bit distance
// code, no distance code at all, a lone end-of-block code, and codes of the
// full fifteen bits, which decode through the second table level.
TEST(Inflate, DynamicBlocksWithSparseAndLongestCodes) {
  // "a", "b", end and length 3 in two bits each; distance 1 is the code "0".
  const auto single = [](bool badDistance) {
    DynamicBlock block;
    block.litLen.resize(258);
    block.litLen['a'] = block.litLen['b'] = block.litLen[256] = block.litLen[257] = 2;
    block.dist = {1};
    block.PutHeader();
    block.Put('a');
    block.Put('b');
    block.Put(257);
    if (badDistance)
      block.bits.PutCode(1, 1);  // the half of the one-bit code that is unused
    else
      block.PutDist(0);
    block.Put(256);
    return Inflate(block.bits.Finish(), 5);
  };
  EXPECT_TRUE(single(false).ok);
  EXPECT_EQ(single(false).out, ToBytes("abbbb"));
  EXPECT_FALSE(single(true).ok);

  // No distance code: literals decode, a match cannot.
  const auto noDistance = [](bool match) {
    DynamicBlock block;
    block.litLen.resize(258);
    block.litLen['a'] = 1;
    block.litLen[256] = block.litLen[257] = 2;
    block.PutHeader();
    block.Put('a');
    if (match) {
      block.Put(257);
      block.bits.Put(0, 8);
    }
    block.Put('a');
    block.Put(256);
    return Inflate(block.bits.Finish(), 2);
  };
  EXPECT_TRUE(noDistance(false).ok);
  EXPECT_EQ(noDistance(false).out, ToBytes("aa"));
  EXPECT_FALSE(noDistance(true).ok);

  // A lone end-of-block code is an empty block in one bit, not in two.
  for (std::uint8_t length : {1, 2}) {
    DynamicBlock block;
    block.litLen[256] = length;
    block.PutHeader();
    block.Put(256);
    EXPECT_EQ(Inflate(block.bits.Finish(), 0).ok, length == 1);
  }

  // Literals "A".."M" of 1 to 13 bits, then "N", "O", end and length 3 of 15
  // bits; distances 3 to 16 (no extra bits up to 4) of 1 to 14 bits, 1 and 2
  // of 15. Enough rounds for the fast decoder and the careful one both.
  DynamicBlock longest;
  longest.litLen.resize(258);
  for (unsigned i = 0; i < 13; ++i) longest.litLen['A' + i] = static_cast<std::uint8_t>(i + 1);
  longest.litLen['N'] = longest.litLen['O'] = longest.litLen[256] = longest.litLen[257] = 15;
  longest.dist.assign(16, 0);
  for (unsigned i = 0; i < 14; ++i) longest.dist[2 + i] = static_cast<std::uint8_t>(i + 1);
  longest.dist[0] = longest.dist[1] = 15;
  longest.PutHeader();
  std::string expected;
  for (int round = 0; round < 40; ++round) {
    for (char c = 'A'; c <= 'O'; ++c) longest.Put(static_cast<unsigned char>(c));
    longest.Put(257);
    longest.PutDist(round % 2);  // distance 1 or 2
    expected += "ABCDEFGHIJKLMNO";
    for (int i = 0; i < 3; ++i) expected += expected[expected.size() - 1 - round % 2];
    longest.Put('C');  // three bits
    longest.Put(257);
    longest.PutDist(2);  // distance 3
    expected += 'C';
    for (int i = 0; i < 3; ++i) expected += expected[expected.size() - 3];
  }
  longest.Put(256);
  const Result result = Inflate(longest.bits.Finish(), expected.size());
  EXPECT_TRUE(result.ok);
  EXPECT_EQ(result.out, ToBytes(expected));
}
