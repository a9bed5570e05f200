#include "skin/Inflate.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace skin {

namespace {

// A decode table entry packs, from the low bits up: the number of bits the
// code occupies at this table level (4 bits), the number of extra bits that
// follow the code, or for a subtable link the subtable's index width (4 bits),
// the entry kind (8 bits) and a value (16 bits): a literal byte, a length or
// distance base, or a subtable's offset in the table.
constexpr std::uint32_t kLiteral = 0x01 << 8;
constexpr std::uint32_t kBase = 0x02 << 8;  // length or distance with extra bits
constexpr std::uint32_t kEndOfBlock = 0x04 << 8;
constexpr std::uint32_t kSubtable = 0x08 << 8;
constexpr std::uint32_t kInvalid = 0x10 << 8;

constexpr std::uint32_t MakeEntry(std::uint32_t kind, std::uint32_t value,
                                  std::uint32_t extra = 0) {
  return value << 16 | kind | extra << 4;
}
constexpr unsigned CodeBits(std::uint32_t entry) { return entry & 15; }
constexpr unsigned ExtraBits(std::uint32_t entry) { return (entry >> 4) & 15; }
constexpr std::uint32_t EntryValue(std::uint32_t entry) { return entry >> 16; }

constexpr unsigned kLitLenTableBits = 11;
constexpr unsigned kDistTableBits = 8;
constexpr unsigned kCodeLenTableBits = 7;
constexpr unsigned kMaxCodeBits = 15;
constexpr std::size_t kMaxMatch = 258;
// The widest a fast match copy writes past the match's end.
constexpr std::size_t kCopyOverrun = 8;

constexpr unsigned kLitLenSymbols = 288;
constexpr unsigned kDistSymbols = 32;

constexpr std::array<std::uint16_t, 29> kLengthBase = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                                       15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                                       67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<std::uint8_t, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                       2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<std::uint16_t, 30> kDistBase = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<std::uint8_t, 30> kDistExtra = {0, 0, 0,  0,  1,  1,  2,  2,  3,  3,
                                                     4, 4, 5,  5,  6,  6,  7,  7,  8,  8,
                                                     9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
constexpr std::array<std::uint8_t, 19> kCodeLengthOrder = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                           11, 4,  12, 3, 13, 2, 14, 1, 15};

constexpr std::array<std::uint32_t, kLitLenSymbols> MakeLitLenEntries() {
  std::array<std::uint32_t, kLitLenSymbols> entries{};
  for (unsigned symbol = 0; symbol < 256; ++symbol) entries[symbol] = MakeEntry(kLiteral, symbol);
  entries[256] = MakeEntry(kEndOfBlock, 0);
  for (unsigned i = 0; i < kLengthBase.size(); ++i)
    entries[257 + i] = MakeEntry(kBase, kLengthBase[i], kLengthExtra[i]);
  entries[286] = entries[287] = MakeEntry(kInvalid, 0);
  return entries;
}

constexpr std::array<std::uint32_t, kDistSymbols> MakeDistEntries() {
  std::array<std::uint32_t, kDistSymbols> entries{};
  for (unsigned i = 0; i < kDistBase.size(); ++i)
    entries[i] = MakeEntry(kBase, kDistBase[i], kDistExtra[i]);
  entries[30] = entries[31] = MakeEntry(kInvalid, 0);
  return entries;
}

constexpr std::array<std::uint32_t, 19> MakeCodeLenEntries() {
  std::array<std::uint32_t, 19> entries{};
  for (unsigned symbol = 0; symbol < entries.size(); ++symbol)
    entries[symbol] = MakeEntry(kLiteral, symbol);
  return entries;
}

constexpr auto kLitLenEntries = MakeLitLenEntries();
constexpr auto kDistEntries = MakeDistEntries();
constexpr auto kCodeLenEntries = MakeCodeLenEntries();

std::uint32_t ReverseBits(std::uint32_t code, unsigned length) {
  std::uint32_t reversed = 0;
  for (unsigned i = 0; i < length; ++i, code >>= 1) reversed = (reversed << 1) | (code & 1);
  return reversed;
}

// Which incomplete codes a table accepts: the code-length code must be
// complete; literal/length and distance codes may also be a single code of
// one bit, and a distance code may be empty.
enum class TIncomplete { Reject, SingleCode };

// Builds a two-level decode table for the canonical Huffman code with the
// given code lengths: codes up to tableBits long are looked up directly,
// longer ones through a subtable linked from their first tableBits bits.
// Unused slots decode as invalid. False for an over-subscribed code or an
// incomplete one that `incomplete` does not accept.
bool BuildTable(const std::uint8_t* lengths, unsigned count, const std::uint32_t* entries,
                unsigned tableBits, TIncomplete incomplete, std::vector<std::uint32_t>& table) {
  std::array<unsigned, kMaxCodeBits + 1> lengthCount{};
  for (unsigned symbol = 0; symbol < count; ++symbol) ++lengthCount[lengths[symbol]];
  lengthCount[0] = 0;

  unsigned maxLength = 0;
  int left = 1;
  for (unsigned length = 1; length <= kMaxCodeBits; ++length) {
    left = left * 2 - static_cast<int>(lengthCount[length]);
    if (left < 0) return false;
    if (lengthCount[length] != 0) maxLength = length;
  }
  const bool empty = maxLength == 0;
  if (left > 0 && !empty && (incomplete == TIncomplete::Reject || maxLength != 1)) return false;
  if (empty && incomplete == TIncomplete::Reject) return false;

  table.assign(std::size_t{1} << tableBits, MakeEntry(kInvalid, 0));
  const unsigned subBits = maxLength > tableBits ? maxLength - tableBits : 0;

  std::array<std::uint32_t, kMaxCodeBits + 2> nextCode{};
  for (unsigned length = 1; length <= kMaxCodeBits; ++length)
    nextCode[length + 1] = (nextCode[length] + lengthCount[length]) << 1;

  for (unsigned symbol = 0; symbol < count; ++symbol) {
    const unsigned length = lengths[symbol];
    if (length == 0) continue;
    const std::uint32_t code = ReverseBits(nextCode[length]++, length);
    const std::uint32_t entry = entries[symbol];
    if (length <= tableBits) {
      for (std::size_t i = code; i < (std::size_t{1} << tableBits); i += std::size_t{1} << length)
        table[i] = entry | length;
      continue;
    }
    const std::uint32_t prefix = code & ((1u << tableBits) - 1);
    if ((table[prefix] & kSubtable) == 0) {
      const auto offset = static_cast<std::uint32_t>(table.size());
      table[prefix] = MakeEntry(kSubtable, offset, subBits) | tableBits;
      table.resize(table.size() + (std::size_t{1} << subBits), MakeEntry(kInvalid, 0));
    }
    const std::size_t offset = EntryValue(table[prefix]);
    const unsigned subLength = length - tableBits;
    for (std::size_t i = code >> tableBits; i < (std::size_t{1} << subBits);
         i += std::size_t{1} << subLength)
      table[offset + i] = entry | subLength;
  }
  return true;
}

// Looks up the next code of the bit buffer; the returned entry's code bits
// are those still to drop (the first level's bits are dropped already when
// the code continues in a subtable).
inline std::uint32_t Lookup(const std::uint32_t* table, unsigned tableBits, std::uint64_t& bits,
                            unsigned& bitCount) {
  std::uint32_t entry = table[bits & ((1u << tableBits) - 1)];
  if (entry & kSubtable) {
    bits >>= tableBits;
    bitCount -= tableBits;
    entry = table[EntryValue(entry) + (bits & ((1u << ExtraBits(entry)) - 1))];
  }
  return entry;
}

inline std::uint64_t LoadLittleEndian64(const std::uint8_t* data) {
  std::uint64_t value;
  std::memcpy(&value, data, sizeof value);
  if constexpr (std::endian::native == std::endian::big) value = __builtin_bswap64(value);
  return value;
}

}  // namespace

TInflater::TInflater() = default;
TInflater::~TInflater() = default;

bool TInflater::Inflate(const std::uint8_t* source, std::uint8_t* destination,
                        std::size_t destinationLength, std::size_t sourceLength) {
  in_ = source;
  inLength_ = source ? sourceLength : 0;
  inPos_ = 0;
  bits_ = 0;
  bitCount_ = 0;
  out_ = destination;
  outLength_ = destination ? destinationLength : 0;
  written_ = 0;
  chunkStart_ = 0;
  chunkEnd_ = kWindowSize;
  fixedTables_ = false;
  saved_.assign(out_, out_ + std::min(kWindowSize, outLength_));

  TBlockResult result;
  do {
    result = DecodeBlock();
  } while (result == TBlockResult::Continue);
  Finish(result == TBlockResult::Final);

  saved_ = {};
  litLenTable_ = {};
  distTable_ = {};
  return result == TBlockResult::Final;
}

TInflater::TBlockResult TInflater::DecodeBlock() {
  const bool final = TakeBits(1) != 0;
  TBlockResult result = TBlockResult::Stop;
  switch (TakeBits(2)) {
    case 0:
      result = CopyStoredBlock();
      break;
    case 1:
      BuildFixedTables();
      result = DecodeHuffmanBlock();
      break;
    case 2:
      result = ReadDynamicTables() ? DecodeHuffmanBlock() : TBlockResult::Stop;
      break;
    default:
      break;
  }
  if (result == TBlockResult::Continue && final) return TBlockResult::Final;
  return result;
}

TInflater::TBlockResult TInflater::CopyStoredBlock() {
  DropBits(bitCount_ & 7);
  const std::uint32_t length = TakeBits(16);
  const std::uint32_t check = TakeBits(16);
  if (length != (~check & 0xFFFF)) return TBlockResult::Stop;

  // The stored bytes start at the first whole byte still in the bit buffer.
  inPos_ -= bitCount_ >> 3;
  bits_ = 0;
  bitCount_ = 0;
  const std::size_t present =
      inPos_ < inLength_ ? std::min<std::size_t>(length, inLength_ - inPos_) : 0;
  if (present > 0 && !PutBytes(in_ + inPos_, present)) return TBlockResult::Stop;
  for (std::size_t i = present; i < length; ++i)
    if (!PutByte(0)) return TBlockResult::Stop;
  inPos_ += length;
  return TBlockResult::Continue;
}

void TInflater::BuildFixedTables() {
  if (fixedTables_) return;
  std::array<std::uint8_t, kLitLenSymbols> litLen{};
  std::fill(litLen.begin(), litLen.begin() + 144, 8);
  std::fill(litLen.begin() + 144, litLen.begin() + 256, 9);
  std::fill(litLen.begin() + 256, litLen.begin() + 280, 7);
  std::fill(litLen.begin() + 280, litLen.end(), 8);
  std::array<std::uint8_t, kDistSymbols> dist{};
  dist.fill(5);
  BuildTable(litLen.data(), kLitLenSymbols, kLitLenEntries.data(), kLitLenTableBits,
             TIncomplete::Reject, litLenTable_);
  BuildTable(dist.data(), kDistSymbols, kDistEntries.data(), kDistTableBits, TIncomplete::Reject,
             distTable_);
  fixedTables_ = true;
}

bool TInflater::ReadDynamicTables() {
  fixedTables_ = false;
  const unsigned litLenCount = TakeBits(5) + 257;
  const unsigned distCount = TakeBits(5) + 1;
  const unsigned codeLenCount = TakeBits(4) + 4;
  if (litLenCount > 286 || distCount > 30) return false;

  std::array<std::uint8_t, 19> codeLenLengths{};
  for (unsigned i = 0; i < codeLenCount; ++i) codeLenLengths[kCodeLengthOrder[i]] = TakeBits(3);
  std::vector<std::uint32_t>& codeLenTable = distTable_;  // free until the lengths are read
  if (!BuildTable(codeLenLengths.data(), 19, kCodeLenEntries.data(), kCodeLenTableBits,
                  TIncomplete::Reject, codeLenTable))
    return false;

  std::array<std::uint8_t, 286 + 30> lengths{};
  const unsigned total = litLenCount + distCount;
  for (unsigned i = 0; i < total;) {
    Refill();
    const std::uint32_t entry = Lookup(codeLenTable.data(), kCodeLenTableBits, bits_, bitCount_);
    if (entry & kInvalid) return false;
    DropBits(CodeBits(entry));
    const std::uint32_t symbol = EntryValue(entry);
    if (symbol < 16) {
      lengths[i++] = static_cast<std::uint8_t>(symbol);
      continue;
    }
    std::uint8_t value = 0;
    unsigned repeat;
    if (symbol == 16) {
      if (i == 0) return false;
      value = lengths[i - 1];
      repeat = 3 + TakeBits(2);
    } else if (symbol == 17) {
      repeat = 3 + TakeBits(3);
    } else {
      repeat = 11 + TakeBits(7);
    }
    if (i + repeat > total) return false;
    std::fill_n(lengths.begin() + i, repeat, value);
    i += repeat;
  }
  if (lengths[256] == 0) return false;
  return BuildTable(lengths.data(), litLenCount, kLitLenEntries.data(), kLitLenTableBits,
                    TIncomplete::SingleCode, litLenTable_) &&
         BuildTable(lengths.data() + litLenCount, distCount, kDistEntries.data(), kDistTableBits,
                    TIncomplete::SingleCode, distTable_);
}

TInflater::TBlockResult TInflater::DecodeHuffmanBlock() {
  for (;;) {
    const TFastResult fast = DecodeSymbolsFast();
    if (fast == TFastResult::Error) return TBlockResult::Stop;
    if (fast == TFastResult::EndOfBlock) return TBlockResult::Continue;
    // One symbol at a time near the end of the destination or of a chunk.
    Refill();
    std::uint32_t entry = Lookup(litLenTable_.data(), kLitLenTableBits, bits_, bitCount_);
    DropBits(CodeBits(entry));
    if (entry & kLiteral) {
      if (!PutByte(static_cast<std::uint8_t>(EntryValue(entry)))) return TBlockResult::Stop;
      continue;
    }
    if (entry & kEndOfBlock) return TBlockResult::Continue;
    if (entry & kInvalid) return TBlockResult::Stop;
    const std::size_t length = EntryValue(entry) + PeekBits(ExtraBits(entry));
    DropBits(ExtraBits(entry));
    Refill();
    entry = Lookup(distTable_.data(), kDistTableBits, bits_, bitCount_);
    if (entry & kInvalid) return TBlockResult::Stop;
    DropBits(CodeBits(entry));
    const std::size_t distance = EntryValue(entry) + PeekBits(ExtraBits(entry));
    DropBits(ExtraBits(entry));
    if (!PutMatch(length, distance)) return TBlockResult::Stop;
  }
}

// Decodes symbols while the chunk in progress has room for the longest match
// and its copy overrun; the slow path takes over near the chunk's end.
TInflater::TFastResult TInflater::DecodeSymbolsFast() {
  const std::uint32_t* litLen = litLenTable_.data();
  const std::uint32_t* dist = distTable_.data();
  std::uint64_t bits = bits_;
  unsigned bitCount = bitCount_;
  std::size_t inPos = inPos_;
  std::uint8_t* const out = out_;
  std::size_t written = written_;
  const std::size_t limit = std::min(chunkEnd_, outLength_);
  TFastResult result = TFastResult::SlowPath;

  const auto drop = [&](unsigned count) {
    bits >>= count;
    bitCount -= count;
  };

  while (written + kMaxMatch + kCopyOverrun <= limit) {
    if (inPos + 8 <= inLength_) {
      bits |= LoadLittleEndian64(in_ + inPos) << bitCount;
      inPos += (63 - bitCount) >> 3;
      bitCount |= 56;
    } else {
      for (; bitCount < 56; bitCount += 8, ++inPos)
        bits |= std::uint64_t{inPos < inLength_ ? in_[inPos] : std::uint8_t{0}} << bitCount;
    }

    std::uint32_t entry = Lookup(litLen, kLitLenTableBits, bits, bitCount);
    if (entry & kLiteral) {
      drop(CodeBits(entry));
      out[written++] = static_cast<std::uint8_t>(EntryValue(entry));
      // At least 41 bits are left: enough for a second literal of the
      // first table level.
      entry = litLen[bits & ((1u << kLitLenTableBits) - 1)];
      if (entry & kLiteral) {
        drop(CodeBits(entry));
        out[written++] = static_cast<std::uint8_t>(EntryValue(entry));
      }
      continue;
    }
    if (entry & kEndOfBlock) {
      drop(CodeBits(entry));
      result = TFastResult::EndOfBlock;
      break;
    }
    if (entry & kInvalid) {
      result = TFastResult::Error;
      break;
    }

    drop(CodeBits(entry));
    const std::size_t length = EntryValue(entry) + (bits & ((1u << ExtraBits(entry)) - 1));
    drop(ExtraBits(entry));

    entry = Lookup(dist, kDistTableBits, bits, bitCount);
    drop(CodeBits(entry));
    const std::size_t distance = EntryValue(entry) + (bits & ((1u << ExtraBits(entry)) - 1));
    drop(ExtraBits(entry));
    if ((entry & kInvalid) || distance > written) {
      result = TFastResult::Error;
      break;
    }

    std::uint8_t* target = out + written;
    const std::uint8_t* from = target - distance;
    std::uint8_t* const end = target + length;
    if (distance >= 8) {
      do {
        std::memcpy(target, from, 8);
        target += 8;
        from += 8;
      } while (target < end);
    } else if (distance == 1) {
      std::memset(target, *from, length);
    } else {
      while (target < end) *target++ = *from++;
    }
    written += length;
  }

  bits_ = bits;
  bitCount_ = bitCount;
  inPos_ = inPos;
  written_ = written;
  return result;
}

void TInflater::Refill() {
  if (inPos_ + 8 <= inLength_) {
    bits_ |= LoadLittleEndian64(in_ + inPos_) << bitCount_;
    inPos_ += (63 - bitCount_) >> 3;
    bitCount_ |= 56;
    return;
  }
  for (; bitCount_ < 56; bitCount_ += 8, ++inPos_) {
    const std::uint64_t byte = inPos_ < inLength_ ? in_[inPos_] : 0;
    bits_ |= byte << bitCount_;
  }
}

std::uint32_t TInflater::TakeBits(unsigned count) {
  if (bitCount_ < count) Refill();
  const std::uint32_t value = PeekBits(count);
  DropBits(count);
  return value;
}

void TInflater::StartNextChunk() {
  chunkStart_ = chunkEnd_;
  chunkEnd_ += kWindowSize;
  const std::size_t saveEnd = std::min(chunkEnd_, outLength_);
  if (chunkStart_ < saveEnd)
    saved_.assign(out_ + chunkStart_, out_ + saveEnd);
  else
    saved_.clear();
}

bool TInflater::PutByte(std::uint8_t value) {
  if (written_ == chunkEnd_) StartNextChunk();
  if (written_ >= outLength_) return false;
  out_[written_++] = value;
  return true;
}

bool TInflater::PutBytes(const std::uint8_t* data, std::size_t count) {
  while (count > 0) {
    if (written_ == chunkEnd_) StartNextChunk();
    const std::size_t room = std::min(chunkEnd_, outLength_) - std::min(written_, outLength_);
    if (room == 0) return false;
    const std::size_t n = std::min(count, room);
    std::memcpy(out_ + written_, data, n);
    written_ += n;
    data += n;
    count -= n;
  }
  return true;
}

bool TInflater::PutMatch(std::size_t length, std::size_t distance) {
  if (distance > written_) return false;
  for (std::size_t i = 0; i < length; ++i)
    if (!PutByte(out_[written_ - distance])) return false;
  return true;
}

void TInflater::Finish(bool delivered) {
  // A chunk that filled up was delivered when it filled.
  const bool chunkFull = written_ == chunkEnd_;
  const std::size_t restoreFrom =
      delivered || chunkFull ? std::min(written_, outLength_) : chunkStart_;
  const std::size_t restoreTo = std::min(chunkEnd_, outLength_);
  if (restoreFrom < restoreTo)
    std::memcpy(out_ + restoreFrom, saved_.data() + (restoreFrom - chunkStart_),
                restoreTo - restoreFrom);
}

}  // namespace skin
