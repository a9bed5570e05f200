#include "skin/StreamPack.h"

#include <algorithm>
#include <filesystem>
#include <new>
#include <system_error>

#include "app/TextUtil.h"
#include "platform/Files.h"
#include "skin/Limits.h"

namespace skin {

namespace {

namespace fs = std::filesystem;

// The first `size` bytes of a stream it owns, read-only.
class TBoundedStream : public platform::TStream {
 public:
  TBoundedStream(std::unique_ptr<platform::TStream> inner, std::int64_t size)
      : inner_(std::move(inner)), size_(size) {}

  std::int64_t Read(void* buffer, std::int64_t count) override {
    const std::int64_t left = size_ - inner_->GetPosition();
    return inner_->Read(buffer,
                        std::clamp<std::int64_t>(count, 0, std::max<std::int64_t>(left, 0)));
  }
  std::int64_t Write(const void*, std::int64_t) override { return 0; }
  std::int64_t Seek(std::int64_t offset, platform::SeekOrigin origin) override {
    std::int64_t base = 0;
    if (origin == platform::SeekOrigin::Current) base = inner_->GetPosition();
    if (origin == platform::SeekOrigin::End) base = size_;
    return inner_->Seek(std::clamp<std::int64_t>(base + offset, 0, size_),
                        platform::SeekOrigin::Begin);
  }
  std::int64_t GetSize() override { return size_; }

 private:
  std::unique_ptr<platform::TStream> inner_;
  std::int64_t size_;
};

// A relative name whose parts never climb: no ".." and no leading "/".
bool StaysBelow(const std::string& name) {
  if (name.empty() || name.front() == '/' || name.find('\0') != std::string::npos) return false;
  const fs::path path(name);
  return std::none_of(path.begin(), path.end(), [](const fs::path& part) { return part == ".."; });
}

bool IsInside(const fs::path& folder, const fs::path& file) {
  const auto [folderEnd, fileEnd] =
      std::mismatch(folder.begin(), folder.end(), file.begin(), file.end());
  return folderEnd == folder.end();
}

}  // namespace

std::unique_ptr<platform::TStream> TStreamPack::OpenStream(const std::string&) { return nullptr; }

TDirStrPack::TDirStrPack(std::string folder) : folder_(std::move(folder)) {}

std::string TDirStrPack::ConfinedPath(const std::string& name) const {
  if (!StaysBelow(name)) return {};
  std::error_code error;
  const fs::path folder = fs::canonical(folder_, error);
  if (error) return {};
  const fs::path file = fs::canonical(folder / name, error);
  if (error || !IsInside(folder, file)) return {};
  return file.string();
}

std::unique_ptr<platform::TStream> TDirStrPack::OpenStream(const std::string& name) {
  lastDamage_ = 0;
  // The resolved path is opened, so a link cannot be swapped in between.
  const std::string path = ConfinedPath(name);
  if (!platform::FileExists(path)) return nullptr;
  try {
    auto file = std::make_unique<platform::TFileStream>(path, platform::TFileStream::Mode::Read);
    if (file->RequireSize() <= limits::kMaxMemberSize) return file;
    lastDamage_ = kDamageLimitReached;
    return std::make_unique<TBoundedStream>(std::move(file), limits::kMaxMemberSize);
  } catch (const platform::EStreamError&) {
    return nullptr;
  }
}

TZIPStrPack::TZIPStrPack(platform::TStream& stream) {
  zip_.Open(&stream);
  const auto& entries = zip_.Entries();
  for (std::size_t i = 0; i < entries.size(); ++i)
    members_[app::AsciiLowerCase(entries[i].FileName)].push_back(i);
}

std::unique_ptr<platform::TStream> TZIPStrPack::OpenStream(const std::string& name) {
  lastDamage_ = 0;
  static const std::vector<std::size_t> kNone;
  const auto found = members_.find(app::AsciiLowerCase(name));
  const std::vector<std::size_t>& matches = found == members_.end() ? kNone : found->second;
  std::int64_t planned = 0;
  for (const std::size_t i : matches) planned += zip_.BackedSize(i);
  // The bytes are extracted straight into the stream's block, allocated
  // once: a member is never held twice.
  std::vector<std::uint8_t> bytes;
  try {
    bytes.reserve(static_cast<std::size_t>(std::min(planned, limits::kMaxMemberSize)));
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory("Out of memory extracting \"" + name + "\"");
  }
  for (const std::size_t i : matches)
    lastDamage_ |= zip_.AppendMember(
        i, bytes, limits::kMaxMemberSize - static_cast<std::int64_t>(bytes.size()));
  return std::make_unique<platform::TMemoryStream>(std::move(bytes));
}

}  // namespace skin
