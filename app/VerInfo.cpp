#include "app/VerInfo.h"

#include "platform/Files.h"
#include "platform/Resources.h"

namespace app {

namespace {

std::uint32_t Pack(int high, int low) {
  return (static_cast<std::uint32_t>(high) << 16) | (static_cast<std::uint32_t>(low) & 0xFFFF);
}

}  // namespace

TFileVersionInfo::TFileVersionInfo(std::string path) : path_(std::move(path)) {
  if (path_ == platform::ExecutablePath()) resource_ = BuiltInResource();
}

TFixedFileInfo TFileVersionInfo::BuiltInResource() {
  const platform::TVersionInfo version = platform::GetVersionInfo();
  TFixedFileInfo info;
  info.Signature = TFixedFileInfo::kSignature;
  info.ProductVersionMS = Pack(version.Major, version.Minor);
  info.ProductVersionLS = Pack(version.Release, version.Build);
  info.FileFlagsMask = TFixedFileInfo::kPreRelease;
  info.FileFlags = version.PreRelease ? TFixedFileInfo::kPreRelease : 0;
  return info;
}

std::string TFileVersionInfo::GetVersionText() const {
  if (!resource_ || resource_->Signature != TFixedFileInfo::kSignature) return {};
  const TFixedFileInfo& info = *resource_;
  std::string text = std::to_string(info.ProductVersionMS >> 16) + "." +
                     std::to_string(info.ProductVersionMS & 0xFFFF);
  const std::uint32_t preRelease = TFixedFileInfo::kPreRelease;
  if ((info.FileFlagsMask & preRelease) && (info.FileFlags & preRelease)) {
    text += " Beta " + std::to_string(info.ProductVersionLS >> 16) + " (build " +
            std::to_string(info.ProductVersionLS & 0xFFFF) + ")";
  }
  return text;
}

}  // namespace app
