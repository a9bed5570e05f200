#pragma once

#include <cstdint>
#include <vector>

#include "platform/Stream.h"

namespace skin {

// A read-only cache in front of a stream that is read in small pieces: a
// fixed set of blocks, refilled least-recently-used first. Reads larger than
// a block go straight to the inner stream. Writing is not supported.
class TCachedStream : public platform::TStream {
 public:
  // The inner stream is not owned and must outlive the cache; its size is
  // taken once, here: a stream with no size (a pipe) is refused with
  // platform::EStreamError. Block size and count are at least 1.
  TCachedStream(platform::TStream& inner, std::int32_t blockSize, int blockCount);

  std::int64_t Read(void* buffer, std::int64_t count) override;
  // Writes nothing and reports 0 bytes.
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  // Clamps the new position to 0 .. size; does no input.
  std::int64_t Seek(std::int64_t offset, platform::SeekOrigin origin) override;
  std::int64_t GetSize() override { return size_; }

 private:
  struct TBlock {
    std::uint64_t LastUse = 0;  // 0: never used
    std::int64_t Start = 0;
    std::int32_t Length = 0;
    std::vector<std::uint8_t> Data;
  };

  TBlock* FindBlock(std::int64_t count);
  TBlock& LeastRecentlyUsed();

  platform::TStream& inner_;
  std::int32_t blockSize_;
  std::vector<TBlock> blocks_;
  std::uint64_t useCounter_ = 0;
  std::int64_t position_ = 0;
  std::int64_t size_;
};

}  // namespace skin
