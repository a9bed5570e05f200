#pragma once

#include <memory>
#include <string>

#include "platform/Stream.h"
#include "skin/CachedStream.h"
#include "skin/StreamPack.h"

// What the ludex-skin commands share: exit statuses, error lines and packs
// opened the way the skin loader opens them.
namespace skintool {

// 0: done. 1: no such member, a damaged archive or member, or a limit
// reached (after printing what the program would read). 2: a usage error,
// an unreadable or unseekable file, or out of memory.
constexpr int kDone = 0;
constexpr int kDamaged = 1;
constexpr int kUsage = 2;

// Writes "ludex-skin: " + message on standard error; returns status.
int Fail(int status, const std::string& message);

// A skin folder or a ZIP file opened the way the skin loader opens them.
class TOpenPack {
 public:
  // Throws platform::EStreamError when the file cannot be opened or read
  // as an archive (a pipe, for one).
  explicit TOpenPack(const std::string& path);

  // The member's stream; null when the pack does not hold it (a ZIP pack
  // answers an empty stream for a missing member, so ask its listing).
  std::unique_ptr<platform::TStream> Open(const std::string& name);
  // The pack itself, for the skin loader.
  skin::TStreamPack& Pack() { return *pack_; }
  // Damage flags (skin::TMemberDamage) of the member opened last.
  unsigned LastDamage() const { return pack_->LastDamage(); }
  // Reports the damage of the member opened last on standard error: the
  // status to exit with.
  int ReportDamage(const std::string& name) const;

 private:
  bool HasZipMember(const std::string& name) const;

  std::string path_;
  std::unique_ptr<platform::TFileStream> file_;
  std::unique_ptr<skin::TCachedStream> cache_;
  std::unique_ptr<skin::TStreamPack> pack_;
  skin::TZIPStrPack* zip_ = nullptr;
};

}  // namespace skintool
