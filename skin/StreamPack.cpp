#include "skin/StreamPack.h"

#include "app/TextUtil.h"
#include "platform/Files.h"

namespace skin {

std::unique_ptr<platform::TStream> TStreamPack::OpenStream(const std::string&) { return nullptr; }

TDirStrPack::TDirStrPack(std::string folder) : folder_(std::move(folder)) {}

std::unique_ptr<platform::TStream> TDirStrPack::OpenStream(const std::string& name) {
  std::string path = folder_;
  if (path.empty() || path.back() != '/') path += '/';
  path += name;
  if (!platform::FileExists(path)) return nullptr;
  try {
    return std::make_unique<platform::TFileStream>(path, platform::TFileStream::Mode::Read);
  } catch (const platform::EStreamError&) {
    return nullptr;
  }
}

TZIPStrPack::TZIPStrPack(platform::TStream& stream) { zip_.Open(&stream); }

std::unique_ptr<platform::TStream> TZIPStrPack::OpenStream(const std::string& name) {
  auto result = std::make_unique<platform::TMemoryStream>();
  for (std::size_t i = 0; i < zip_.Entries().size(); ++i) {
    if (!app::SameText(zip_.Entries()[i].FileName, name)) continue;
    zip_.Extract(i);
    std::vector<std::uint8_t>& data = zip_.Entries()[i].Data;
    result->WriteBuffer(data.data(), static_cast<std::int64_t>(data.size()));
    // The pack hands the bytes out; it does not keep a second copy.
    data = {};
  }
  result->SetPosition(0);
  return result;
}

}  // namespace skin
