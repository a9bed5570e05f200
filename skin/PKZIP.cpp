#include "skin/PKZIP.h"

#include <algorithm>
#include <array>

#include "platform/Stream.h"
#include "skin/Inflate.h"

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

}  // namespace

bool TPKZIP::Open(platform::TStream* stream) {
  Clear();
  if (!stream) return false;
  stream_ = stream;
  const std::int64_t size = stream->GetSize();
  while (stream->GetPosition() != size) {
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
  entry.DataOffset = stream_->GetPosition();
  stream_->Seek(entry.CompressedSize, platform::SeekOrigin::Current);
  entries_.push_back(std::move(entry));
  return true;
}

void TPKZIP::Extract(std::size_t index) {
  if (!stream_ || index >= entries_.size()) return;
  TZIPEntry& entry = entries_[index];

  // The header's sizes are trusted only as far as the archive can back them:
  // the member's bytes end at the archive's end, and no member expands
  // beyond kMaxExpansion times its bytes.
  const std::int64_t present =
      std::clamp<std::int64_t>(stream_->GetSize() - entry.DataOffset, 0, entry.CompressedSize);
  const std::int64_t size =
      std::min<std::int64_t>(entry.UncompressedSize, (present + 1) * kMaxExpansion);
  entry.Data.assign(static_cast<std::size_t>(size), '?');
  if (size == 0) return;

  stream_->SetPosition(entry.DataOffset);
  if (entry.Method == 0) {
    ReadFully(*stream_, entry.Data.data(), size);
  } else if (entry.Method == 8) {
    std::vector<std::uint8_t> packed(static_cast<std::size_t>(present));
    const std::int64_t got = ReadFully(*stream_, packed.data(), present);
    TInflater().Inflate(packed.data(), entry.Data.data(), entry.Data.size(),
                        static_cast<std::size_t>(got));
  }
}

void TPKZIP::Clear() {
  stream_ = nullptr;
  entries_.clear();
}

}  // namespace skin
