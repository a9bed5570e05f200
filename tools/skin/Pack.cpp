#include "tools/skin/Pack.h"

#include <cstdio>

#include "app/TextUtil.h"
#include "platform/Files.h"
#include "platform/Resources.h"
#include "skin/PKZIP.h"

namespace skintool {

int Fail(int status, const std::string& message) {
  std::fprintf(stderr, "ludex-skin: %s\n", message.c_str());
  return status;
}

std::string EscapeName(const std::string& name) {
  std::string result;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\') {
      result += "\\\\";
    } else if (byte < 0x20 || byte == 0x7F) {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02X", byte);
      result += hex;
    } else {
      result += c;
    }
  }
  return result;
}

TOpenPack::TOpenPack(const std::string& path) : path_(path) {
  if (platform::DirectoryExists(path)) {
    pack_ = std::make_unique<skin::TDirStrPack>(path);
    return;
  }
  file_ = std::make_unique<platform::TFileStream>(path, platform::TFileStream::Mode::Read);
  OpenZip();
}

TOpenPack::TOpenPack(TBuiltin) : path_("builtin") {
  file_ = platform::OpenResource("DefSkin");
  if (!file_) throw platform::EStreamError("the program holds no built-in skin");
  OpenZip();
}

void TOpenPack::OpenZip() {
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

bool TOpenPack::ListingLimitReached() const { return zip_ && zip_->Zip().LimitReached(); }

bool TOpenPack::HasZipMember(const std::string& name) const {
  for (const skin::TZIPEntry& entry : zip_->Zip().Entries())
    if (app::SameText(entry.FileName, name)) return true;
  return false;
}

std::unique_ptr<platform::TStream> TWatchedPack::OpenStream(const std::string& name) {
  std::unique_ptr<platform::TStream> stream = pack_.OpenStream(name);
  lastDamage_ = pack_.LastDamage();
  if (lastDamage_ != 0) damaged_.push_back({name, lastDamage_});
  return stream;
}

}  // namespace skintool
