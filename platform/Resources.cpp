#include "platform/Resources.h"

#include <algorithm>

#include "resources/Embedded.h"
#include "resources/Version.h"

namespace platform {

namespace {

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [&](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace

std::optional<std::span<const std::uint8_t>> FindResource(std::string_view name) {
  for (const resources::EmbeddedResource* entry = resources::kEmbedded; entry->Name; ++entry)
    if (SameNameIgnoringCase(entry->Name, name))
      return std::span<const std::uint8_t>(entry->Data, entry->Size);
  return std::nullopt;
}

bool HasResource(std::string_view name) { return FindResource(name).has_value(); }

std::unique_ptr<TResourceStream> OpenResource(std::string_view name) {
  const auto data = FindResource(name);
  if (!data) return nullptr;
  return std::make_unique<TResourceStream>(*data);
}

std::int64_t TResourceStream::Read(void* buffer, std::int64_t count) {
  return cursor_.Read(data_.data(), GetSize(), buffer, count);
}

std::int64_t TResourceStream::Write(const void*, std::int64_t) { return 0; }

std::int64_t TResourceStream::Seek(std::int64_t offset, SeekOrigin origin) {
  return cursor_.Seek(GetSize(), offset, origin);
}

TVersionInfo GetVersionInfo() {
  return TVersionInfo{resources::kVersionMajor, resources::kVersionMinor, resources::kPreRelease,
                      resources::kVersionRelease, resources::kVersionBuild};
}

}  // namespace platform
