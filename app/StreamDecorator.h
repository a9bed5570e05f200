#pragma once

#include "platform/Stream.h"

namespace app {

// A stream that forwards reading, writing and seeking to an inner stream it
// does not own; the inner stream must outlive the decorator.
class TStreamDecorator : public platform::TStream {
 public:
  explicit TStreamDecorator(platform::TStream& inner) : inner_(&inner) {}

  std::int64_t Read(void* buffer, std::int64_t count) override {
    return inner_->Read(buffer, count);
  }
  std::int64_t Write(const void* buffer, std::int64_t count) override {
    return inner_->Write(buffer, count);
  }
  std::int64_t Seek(std::int64_t offset, platform::SeekOrigin origin) override {
    return inner_->Seek(offset, origin);
  }
  std::int64_t GetSize() override { return inner_->GetSize(); }

  platform::TStream& Inner() const { return *inner_; }

 private:
  platform::TStream* inner_;
};

}  // namespace app
