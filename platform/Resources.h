#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

#include "platform/Stream.h"

namespace platform {

// The data files built into the executable (Win32 resources), looked up by
// name ignoring ASCII case: "DefSkin", "Keyboard", "LangEn", and the icons
// "TRAY" and "MAINICON" as PNG bytes.
std::optional<std::span<const std::uint8_t>> FindResource(std::string_view name);
bool HasResource(std::string_view name);

// A read-only stream over resource bytes, which stay where they are (no
// copy). Writing fails (Write returns 0).
class TResourceStream : public TStream {
 public:
  explicit TResourceStream(std::span<const std::uint8_t> data) : data_(data) {}

  std::int64_t Read(void* buffer, std::int64_t count) override;
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
  std::int64_t GetSize() override { return static_cast<std::int64_t>(data_.size()); }

 private:
  std::span<const std::uint8_t> data_;
  TBlockCursor cursor_;
};

// A stream over the named resource, or null when there is none.
std::unique_ptr<TResourceStream> OpenResource(std::string_view name);

// The version resource of the executable: the product version major.minor,
// whether the build is a pre-release, and its two build numbers (the
// release number, shown as "Beta N", and the build number).
struct TVersionInfo {
  int Major = 0;
  int Minor = 0;
  bool PreRelease = false;
  int Release = 0;
  int Build = 0;
};
TVersionInfo GetVersionInfo();

}  // namespace platform
