#include "skin/CachedStream.h"

#include <algorithm>
#include <cstring>

namespace skin {

TCachedStream::TCachedStream(platform::TStream& inner, std::int32_t blockSize, int blockCount)
    : inner_(inner),
      blockSize_(std::max<std::int32_t>(blockSize, 1)),
      blocks_(static_cast<std::size_t>(std::max(blockCount, 1))),
      size_(inner.RequireSize()) {
  for (TBlock& block : blocks_) block.Data.resize(static_cast<std::size_t>(blockSize_));
}

std::int64_t TCachedStream::Read(void* buffer, std::int64_t count) {
  if (count <= 0) return 0;
  if (count > blockSize_) {
    inner_.SetPosition(position_);
    const std::int64_t got = inner_.Read(buffer, count);
    position_ = inner_.GetPosition();
    return got;
  }

  ++useCounter_;
  if (TBlock* block = FindBlock(count)) {
    std::memcpy(buffer, block->Data.data() + (position_ - block->Start),
                static_cast<std::size_t>(count));
    block->LastUse = useCounter_;
    position_ += count;
    return count;
  }

  TBlock& block = LeastRecentlyUsed();
  block.Start = position_;
  inner_.SetPosition(position_);
  block.Length = static_cast<std::int32_t>(inner_.Read(block.Data.data(), blockSize_));
  block.Length = std::max<std::int32_t>(block.Length, 0);
  block.LastUse = useCounter_;
  const std::int64_t got = std::min<std::int64_t>(count, block.Length);
  std::memcpy(buffer, block.Data.data(), static_cast<std::size_t>(got));
  position_ += got;
  return got;
}

TCachedStream::TBlock* TCachedStream::FindBlock(std::int64_t count) {
  for (TBlock& block : blocks_) {
    const std::int64_t end = block.Start + block.Length;
    if (block.Start <= position_ && position_ < end && position_ + count <= end) return &block;
  }
  return nullptr;
}

TCachedStream::TBlock& TCachedStream::LeastRecentlyUsed() {
  return *std::min_element(blocks_.begin(), blocks_.end(),
                           [](const TBlock& a, const TBlock& b) { return a.LastUse < b.LastUse; });
}

std::int64_t TCachedStream::Write(const void*, std::int64_t) { return 0; }

std::int64_t TCachedStream::Seek(std::int64_t offset, platform::SeekOrigin origin) {
  switch (origin) {
    case platform::SeekOrigin::Begin:
      position_ = offset;
      break;
    case platform::SeekOrigin::Current:
      position_ += offset;
      break;
    case platform::SeekOrigin::End:
      position_ = size_ + offset;
      break;
  }
  position_ = std::clamp<std::int64_t>(position_, 0, size_);
  return position_;
}

}  // namespace skin
