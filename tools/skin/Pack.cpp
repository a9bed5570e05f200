#include "tools/skin/Pack.h"

#include <cstdio>

#include "app/TextUtil.h"
#include "platform/Files.h"
#include "skin/PKZIP.h"

namespace skintool {

int Fail(int status, const std::string& message) {
  std::fprintf(stderr, "ludex-skin: %s\n", message.c_str());
  return status;
}

TOpenPack::TOpenPack(const std::string& path) : path_(path) {
  if (platform::DirectoryExists(path)) {
    pack_ = std::make_unique<skin::TDirStrPack>(path);
    return;
  }
  file_ = std::make_unique<platform::TFileStream>(path, platform::TFileStream::Mode::Read);
  cache_ = std::make_unique<skin::TCachedStream>(*file_, 16384, 2);
  auto zip = std::make_unique<skin::TZIPStrPack>(*cache_);
  zip_ = zip.get();
  pack_ = std::move(zip);
}

std::unique_ptr<platform::TStream> TOpenPack::Open(const std::string& name) {
  if (zip_ && !HasZipMember(name)) return nullptr;
  return pack_->OpenStream(name);
}

int TOpenPack::ReportDamage(const std::string& name) const {
  if (LastDamage() == 0) return kDone;
  return Fail(kDamaged, path_ + ": \"" + name + "\": " + skin::DescribeDamage(LastDamage()));
}

bool TOpenPack::HasZipMember(const std::string& name) const {
  for (const skin::TZIPEntry& entry : zip_->Zip().Entries())
    if (app::SameText(entry.FileName, name)) return true;
  return false;
}

}  // namespace skintool
