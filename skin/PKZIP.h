#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {
class TStream;
}

namespace skin {

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
};

// Reads a ZIP archive by walking its local file headers from the front and
// extracts stored and deflated members. Other methods extract as "?" bytes.
class TPKZIP {
 public:
  static constexpr std::uint32_t kLocalHeaderSignature = 0x04034B50;
  static constexpr std::uint32_t kCentralHeaderSignature = 0x02014B50;
  static constexpr std::uint32_t kEndOfCentralDirSignature = 0x06054B50;
  // No member comes out larger than this many times the bytes it occupies
  // in the archive: deflate expands at most about 1032 to 1.
  static constexpr std::int64_t kMaxExpansion = 1032;

  // Forgets earlier entries and lists the members from the stream's current
  // position. False when stream is null or a read came up short (the entries
  // listed before stay).
  bool Open(platform::TStream* stream);
  // Fills Entries()[index].Data; an index out of range does nothing.
  void Extract(std::size_t index);
  // Forgets the stream and the entries.
  void Clear();

  const std::vector<TZIPEntry>& Entries() const { return entries_; }
  std::vector<TZIPEntry>& Entries() { return entries_; }

 private:
  bool ReadEntry();

  platform::TStream* stream_ = nullptr;  // not owned
  std::vector<TZIPEntry> entries_;
};

}  // namespace skin
