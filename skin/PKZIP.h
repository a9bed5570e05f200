#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace platform {
class TStream;
}

namespace skin {

// What went wrong while a member was extracted, as flags; 0 when it came out
// whole and its CRC-32 matched. The bytes come out as far as they could be
// read either way.
enum TMemberDamage : unsigned {
  kDamageCutShort = 1,       // the archive ends inside the member's data
  kDamageBadData = 2,        // invalid deflate data, or data of another size than stated
  kDamageCrcMismatch = 4,    // decoded whole, but the CRC-32 differs from the header's
  kDamageUnknownMethod = 8,  // neither stored nor deflated: "?" bytes only
  kDamageLimitReached = 16,  // beyond limits::kMaxMemberSize: cut there
};
// The damage flags in words, such as "cut short, CRC mismatch"; empty for 0.
std::string DescribeDamage(unsigned damage);

// One member of a ZIP archive, as its local file header describes it.
struct TZIPEntry {
  std::uint16_t Version = 0;  // version needed to extract
  std::uint16_t Flags = 0;    // general-purpose flags
  std::uint16_t Method = 0;   // 0 stored, 8 deflate
  std::uint16_t Time = 0;     // last modification time
  std::uint16_t Date = 0;     // last modification date
  std::uint32_t CRC32 = 0;
  std::uint32_t CompressedSize = 0;
  std::uint32_t UncompressedSize = 0;
  std::uint16_t NameLength = 0;
  std::uint16_t ExtraLength = 0;
  std::string FileName;            // as stored, folder parts included
  std::int64_t DataOffset = 0;     // position of the member data in the stream
  std::vector<std::uint8_t> Data;  // the extracted bytes; empty until extracted
  unsigned Damage = 0;             // TMemberDamage flags of the last extraction
};

// Reads a ZIP archive by walking its local file headers from the front and
// extracts stored and deflated members. Other methods extract as "?" bytes.
// A member written with a data descriptor (flag bit 3, as archivers that
// stream their output do) may state no sizes in its local header; it takes
// its sizes and CRC-32 from the central directory, and the walk steps over
// the descriptor behind its data.
// The header's sizes are believed only as far as the archive backs them and
// the limits allow (skin/Limits.h): no member extracts to more than
// limits::kMaxMemberSize bytes, and at most limits::kMaxZipEntries are listed.
class TPKZIP {
 public:
  static constexpr std::uint32_t kLocalHeaderSignature = 0x04034B50;
  static constexpr std::uint32_t kCentralHeaderSignature = 0x02014B50;
  static constexpr std::uint32_t kEndOfCentralDirSignature = 0x06054B50;
  static constexpr std::uint32_t kDataDescriptorSignature = 0x08074B50;
  static constexpr std::uint16_t kDataDescriptorFlag = 8;
  // No member comes out larger than this many times the bytes it occupies
  // in the archive: deflate expands at most about 1032 to 1.
  static constexpr std::int64_t kMaxExpansion = 1032;

  // Forgets earlier entries and lists the members from the stream's current
  // position. False when stream is null or a read came up short (the entries
  // listed before stay). A stream with no size (a pipe) is refused with
  // platform::EStreamError.
  bool Open(platform::TStream* stream);
  // Fills Entries()[index].Data and .Damage; an index out of range does
  // nothing. Running out of memory throws EOutOfMemory.
  void Extract(std::size_t index);
  // Appends the member's bytes to `out`, at most `room` of them, and returns
  // the damage flags; an index out of range appends nothing.
  unsigned AppendMember(std::size_t index, std::vector<std::uint8_t>& out, std::int64_t room);
  // How many bytes the member extracts to with no limit: its stated size, as
  // far as the archive's bytes can back it.
  std::int64_t BackedSize(std::size_t index) const;
  // Forgets the stream and the entries.
  void Clear();
  // True when the listing stopped at limits::kMaxZipEntries.
  bool LimitReached() const { return limitReached_; }

  const std::vector<TZIPEntry>& Entries() const { return entries_; }
  std::vector<TZIPEntry>& Entries() { return entries_; }

 private:
  struct TCentralSizes {
    std::uint32_t CRC32 = 0;
    std::uint32_t CompressedSize = 0;
    std::uint32_t UncompressedSize = 0;
  };

  bool ReadEntry();
  // Gives the entry the central directory's sizes and CRC-32 of the member
  // whose local header starts at headerPosition; false when it lists none.
  bool TakeCentralSizes(TZIPEntry& entry, std::int64_t headerPosition);
  void ReadCentralDirectory();
  void ReadCentralRecords(std::int64_t position, std::int64_t base, std::uint32_t size,
                          std::uint16_t count);
  void SkipDataDescriptor();
  // Reads or inflates the member into data[0, size); true when it decoded to
  // exactly its stated size. Adds damage flags it finds on the way.
  bool DecodeMember(const TZIPEntry& entry, std::uint8_t* data, std::int64_t size,
                    std::int64_t present, unsigned& damage);

  platform::TStream* stream_ = nullptr;  // not owned
  std::int64_t size_ = 0;                // the stream's size, taken by Open
  std::int64_t start_ = 0;               // where the archive starts in the stream
  // The central directory's sizes by local header position, read at the
  // first member that needs them.
  std::map<std::int64_t, TCentralSizes> centralSizes_;
  bool centralRead_ = false;
  std::vector<TZIPEntry> entries_;
  bool limitReached_ = false;
};

}  // namespace skin
