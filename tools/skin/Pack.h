#pragma once

#include <memory>
#include <string>
#include <vector>

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

// The text on one line: control characters (tabs and newlines included)
// and the backslash itself are escaped as \xHH and \\.
std::string EscapeName(const std::string& name);

// A skin folder or a ZIP file opened the way the skin loader opens them.
class TOpenPack {
 public:
  // Throws platform::EStreamError when the file cannot be opened or read
  // as an archive (a pipe, for one).
  explicit TOpenPack(const std::string& path);
  // The built-in skin's archive, opened as the program opens it.
  struct TBuiltin {};
  explicit TOpenPack(TBuiltin);

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
  // True when the archive lists more members than the reader takes.
  bool ListingLimitReached() const;

 private:
  void OpenZip();
  bool HasZipMember(const std::string& name) const;

  std::string path_;
  std::unique_ptr<platform::TStream> file_;
  std::unique_ptr<skin::TCachedStream> cache_;
  std::unique_ptr<skin::TStreamPack> pack_;
  skin::TZIPStrPack* zip_ = nullptr;
};

// Opens the members of another pack and remembers those that came out
// damaged (skin::TMemberDamage), for the check of a whole skin.
class TWatchedPack : public skin::TStreamPack {
 public:
  struct TDamaged {
    std::string Name;
    unsigned Damage;
  };

  explicit TWatchedPack(skin::TStreamPack& pack) : pack_(pack) {}
  std::unique_ptr<platform::TStream> OpenStream(const std::string& name) override;
  const std::vector<TDamaged>& Damaged() const { return damaged_; }

 private:
  skin::TStreamPack& pack_;
  std::vector<TDamaged> damaged_;
};

}  // namespace skintool
