#include "skin/PKZIP.h"

#include <algorithm>
#include <array>
#include <new>
#include <utility>

#include "platform/Stream.h"
#include "skin/Inflate.h"
#include "skin/Limits.h"

namespace skin {

namespace {

std::uint16_t Get16(const std::uint8_t* data) {
  return static_cast<std::uint16_t>(data[0] | data[1] << 8);
}

std::uint32_t Get32(const std::uint8_t* data) {
  return static_cast<std::uint32_t>(Get16(data)) | static_cast<std::uint32_t>(Get16(data + 2))
                                                       << 16;
}

// Reads until count bytes arrived or the stream has no more; returns how
// many arrived.
std::int64_t ReadFully(platform::TStream& stream, std::uint8_t* buffer, std::int64_t count) {
  std::int64_t done = 0;
  while (done < count) {
    const std::int64_t got = stream.Read(buffer + done, count - done);
    if (got <= 0) break;
    done += got;
  }
  return done;
}

// Eight tables for the CRC-32 that ZIP archives store (polynomial
// 0xEDB88320): table 0 is the classic byte table, table k advances a byte
// that sits k positions further back, so eight bytes fold in one step.
constexpr std::array<std::array<std::uint32_t, 256>, 8> MakeCrcTables() {
  std::array<std::array<std::uint32_t, 256>, 8> tables{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    tables[0][n] = c;
  }
  for (std::size_t k = 1; k < 8; ++k)
    for (std::uint32_t n = 0; n < 256; ++n)
      tables[k][n] = tables[0][tables[k - 1][n] & 0xFF] ^ (tables[k - 1][n] >> 8);
  return tables;
}

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size) {
  static constexpr auto kTables = MakeCrcTables();
  std::uint32_t crc = 0xFFFFFFFFu;
  for (; size >= 8; data += 8, size -= 8) {
    const std::uint32_t low = crc ^ Get32(data);
    const std::uint32_t high = Get32(data + 4);
    crc = kTables[7][low & 0xFF] ^ kTables[6][(low >> 8) & 0xFF] ^ kTables[5][(low >> 16) & 0xFF] ^
          kTables[4][low >> 24] ^ kTables[3][high & 0xFF] ^ kTables[2][(high >> 8) & 0xFF] ^
          kTables[1][(high >> 16) & 0xFF] ^ kTables[0][high >> 24];
  }
  for (; size > 0; ++data, --size) crc = kTables[0][(crc ^ *data) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

// A member written with a data descriptor (flag bit 3) that the central
// directory does not list may have no CRC-32; it then cannot be checked.
bool HasCheckableCrc(const TZIPEntry& entry) {
  return !(entry.Flags & TPKZIP::kDataDescriptorFlag) || entry.CRC32 != 0;
}

}  // namespace

std::string DescribeDamage(unsigned damage) {
  static constexpr std::array<std::pair<unsigned, const char*>, 5> kWords = {{
      {kDamageCutShort, "cut short"},
      {kDamageBadData, "damaged data"},
      {kDamageCrcMismatch, "CRC mismatch"},
      {kDamageUnknownMethod, "unknown compression method"},
      {kDamageLimitReached, "size limit reached"},
  }};
  std::string text;
  for (const auto& [flag, words] : kWords) {
    if (!(damage & flag)) continue;
    if (!text.empty()) text += ", ";
    text += words;
  }
  return text;
}

bool TPKZIP::Open(platform::TStream* stream) {
  Clear();
  if (!stream) return false;
  size_ = stream->RequireSize();
  stream_ = stream;
  start_ = stream->GetPosition();
  while (stream->GetPosition() != size_) {
    if (entries_.size() >= limits::kMaxZipEntries) {
      limitReached_ = true;
      break;
    }
    std::array<std::uint8_t, 4> signature;
    if (ReadFully(*stream, signature.data(), 4) < 4) return false;
    const std::uint32_t value = Get32(signature.data());
    if (value == kLocalHeaderSignature) {
      if (!ReadEntry()) return false;
    } else if (value == kCentralHeaderSignature || value == kEndOfCentralDirSignature) {
      break;
    }
  }
  return true;
}

bool TPKZIP::ReadEntry() {
  const std::int64_t headerPosition = stream_->GetPosition() - 4;
  std::array<std::uint8_t, 26> header;
  if (ReadFully(*stream_, header.data(), header.size()) < static_cast<std::int64_t>(header.size()))
    return false;
  TZIPEntry entry;
  entry.Version = Get16(&header[0]);
  entry.Flags = Get16(&header[2]);
  entry.Method = Get16(&header[4]);
  entry.Time = Get16(&header[6]);
  entry.Date = Get16(&header[8]);
  entry.CRC32 = Get32(&header[10]);
  entry.CompressedSize = Get32(&header[14]);
  entry.UncompressedSize = Get32(&header[18]);
  entry.NameLength = Get16(&header[22]);
  entry.ExtraLength = Get16(&header[24]);

  entry.FileName.resize(entry.NameLength);
  if (ReadFully(*stream_, reinterpret_cast<std::uint8_t*>(entry.FileName.data()),
                entry.NameLength) < entry.NameLength)
    return false;
  stream_->Seek(entry.ExtraLength, platform::SeekOrigin::Current);
  const bool described =
      (entry.Flags & kDataDescriptorFlag) && TakeCentralSizes(entry, headerPosition);
  entry.DataOffset = stream_->GetPosition();
  stream_->Seek(entry.CompressedSize, platform::SeekOrigin::Current);
  if (described) SkipDataDescriptor();
  entries_.push_back(std::move(entry));
  return true;
}

bool TPKZIP::TakeCentralSizes(TZIPEntry& entry, std::int64_t headerPosition) {
  if (!centralRead_) ReadCentralDirectory();
  const auto found = centralSizes_.find(headerPosition);
  if (found == centralSizes_.end()) return false;
  entry.CRC32 = found->second.CRC32;
  entry.CompressedSize = found->second.CompressedSize;
  entry.UncompressedSize = found->second.UncompressedSize;
  return true;
}

// The end record (22 bytes and a comment of up to 65,535) closes the
// archive; it gives the central directory's size and its offset from the
// archive's start, so that an archive behind other bytes is read as well.
void TPKZIP::ReadCentralDirectory() {
  centralRead_ = true;
  const std::int64_t resume = stream_->GetPosition();
  constexpr std::int64_t kEndRecordSize = 22;
  const std::int64_t tailSize = std::min<std::int64_t>(size_ - start_, kEndRecordSize + 0xFFFF);
  std::vector<std::uint8_t> tail(static_cast<std::size_t>(std::max<std::int64_t>(tailSize, 0)));
  stream_->SetPosition(size_ - tailSize);
  if (ReadFully(*stream_, tail.data(), tailSize) == tailSize) {
    for (std::int64_t at = tailSize - kEndRecordSize; at >= 0; --at) {
      const std::uint8_t* record = tail.data() + at;
      if (Get32(record) != kEndOfCentralDirSignature) continue;
      const std::uint32_t directorySize = Get32(record + 12);
      const std::int64_t directory = size_ - tailSize + at - directorySize;
      ReadCentralRecords(directory, directory - Get32(record + 16), directorySize,
                         Get16(record + 10));
      break;
    }
  }
  stream_->SetPosition(resume);
}

// Record by record, so that memory stays small whatever size the end
// record claims.
void TPKZIP::ReadCentralRecords(std::int64_t position, std::int64_t base, std::uint32_t size,
                                std::uint16_t count) {
  constexpr std::int64_t kRecordSize = 46;
  if (position < start_) return;
  const std::int64_t end = position + size;
  std::array<std::uint8_t, kRecordSize> record;
  for (unsigned listed = 0; listed < count && position + kRecordSize <= end; ++listed) {
    stream_->SetPosition(position);
    if (ReadFully(*stream_, record.data(), kRecordSize) < kRecordSize ||
        Get32(record.data()) != kCentralHeaderSignature)
      return;
    centralSizes_.emplace(
        base + Get32(&record[42]),
        TCentralSizes{Get32(&record[16]), Get32(&record[20]), Get32(&record[24])});
    position += kRecordSize + Get16(&record[28]) + Get16(&record[30]) + Get16(&record[32]);
  }
}

// CRC-32 and both sizes, with or without a signature in front.
void TPKZIP::SkipDataDescriptor() {
  std::array<std::uint8_t, 4> word;
  if (ReadFully(*stream_, word.data(), word.size()) < 4) return;
  stream_->Seek(Get32(word.data()) == kDataDescriptorSignature ? 12 : 8,
                platform::SeekOrigin::Current);
}

std::int64_t TPKZIP::BackedSize(std::size_t index) const {
  if (!stream_ || index >= entries_.size()) return 0;
  const TZIPEntry& entry = entries_[index];
  // The member's bytes end at the archive's end, and no member expands
  // beyond kMaxExpansion times its bytes.
  const std::int64_t present =
      std::clamp<std::int64_t>(size_ - entry.DataOffset, 0, entry.CompressedSize);
  return std::min<std::int64_t>(entry.UncompressedSize, (present + 1) * kMaxExpansion);
}

void TPKZIP::Extract(std::size_t index) {
  if (!stream_ || index >= entries_.size()) return;
  TZIPEntry& entry = entries_[index];
  entry.Data = {};
  entry.Damage = AppendMember(index, entry.Data, limits::kMaxMemberSize);
}

unsigned TPKZIP::AppendMember(std::size_t index, std::vector<std::uint8_t>& out,
                              std::int64_t room) {
  if (!stream_ || index >= entries_.size()) return 0;
  const TZIPEntry& entry = entries_[index];
  const std::size_t start = out.size();
  try {
    unsigned damage = 0;
    const std::int64_t present =
        std::clamp<std::int64_t>(size_ - entry.DataOffset, 0, entry.CompressedSize);
    if (present < entry.CompressedSize) damage |= kDamageCutShort;
    std::int64_t size = BackedSize(index);
    if (size > room) {
      size = std::max<std::int64_t>(room, 0);
      damage |= kDamageLimitReached;
    }
    out.resize(start + static_cast<std::size_t>(size), '?');
    std::uint8_t* const data = out.data() + start;

    const bool whole = DecodeMember(entry, data, size, present, damage);
    if (damage == 0 && !whole) damage |= kDamageBadData;
    if (damage == 0 && HasCheckableCrc(entry) &&
        Crc32(data, static_cast<std::size_t>(size)) != entry.CRC32)
      damage |= kDamageCrcMismatch;
    return damage;
  } catch (const std::bad_alloc&) {
    out.resize(start);
    throw EOutOfMemory("Out of memory extracting \"" + entry.FileName + "\"");
  }
}

bool TPKZIP::DecodeMember(const TZIPEntry& entry, std::uint8_t* data, std::int64_t size,
                          std::int64_t present, unsigned& damage) {
  if (entry.Method != 0 && entry.Method != 8) {
    damage |= kDamageUnknownMethod;
    return false;
  }
  if (size == 0) return entry.UncompressedSize == 0;
  stream_->SetPosition(entry.DataOffset);
  if (entry.Method == 0) {
    const std::int64_t got = ReadFully(*stream_, data, size);
    return got == entry.UncompressedSize && entry.CompressedSize == entry.UncompressedSize;
  }

  const std::int64_t packedSize = std::min(present, limits::kMaxPackedSize);
  if (packedSize < present) damage |= kDamageLimitReached;
  std::vector<std::uint8_t> packed(static_cast<std::size_t>(packedSize));
  const std::int64_t got = ReadFully(*stream_, packed.data(), packedSize);
  TInflater inflater;
  return inflater.Inflate(packed.data(), data, static_cast<std::size_t>(size),
                          static_cast<std::size_t>(got)) &&
         inflater.DecodedLength() == entry.UncompressedSize;
}

void TPKZIP::Clear() {
  stream_ = nullptr;
  size_ = 0;
  start_ = 0;
  entries_.clear();
  centralSizes_.clear();
  centralRead_ = false;
  limitReached_ = false;
}

}  // namespace skin
