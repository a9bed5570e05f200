#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace app {

// The fixed part of a version resource.
struct TFixedFileInfo {
  static constexpr std::uint32_t kSignature = 0xFEEF04BD;
  static constexpr std::uint32_t kPreRelease = 2;

  std::uint32_t Signature = 0;
  std::uint32_t ProductVersionMS = 0;  // major << 16 | minor
  std::uint32_t ProductVersionLS = 0;  // beta number << 16 | build
  std::uint32_t FileFlagsMask = 0;
  std::uint32_t FileFlags = 0;
};

// The version text of an executable file: "2.0", or "2.0 Beta 3 (build 200)"
// for a pre-release. Only the running executable carries a version
// resource; every other file gives the empty text.
class TFileVersionInfo {
 public:
  explicit TFileVersionInfo(std::string path);
  // A file whose version resource is the given one (none: no resource).
  TFileVersionInfo(std::string path, std::optional<TFixedFileInfo> resource)
      : path_(std::move(path)), resource_(resource) {}

  std::string GetVersionText() const;
  const std::string& Path() const { return path_; }

  // The version resource built into the running executable.
  static TFixedFileInfo BuiltInResource();

 private:
  std::string path_;
  std::optional<TFixedFileInfo> resource_;
};

}  // namespace app
