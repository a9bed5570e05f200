#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/Stream.h"
#include "skin/PKZIP.h"

namespace skin {

// A set of named streams: the files of a skin, in a folder or an archive.
class TStreamPack {
 public:
  virtual ~TStreamPack() = default;
  // Opens the named member for reading; null when there is none. The base
  // holds nothing.
  virtual std::unique_ptr<platform::TStream> OpenStream(const std::string& name);
  // What went wrong while the last OpenStream read its member: TMemberDamage
  // flags, 0 when it read the member whole. The stream holds what could be
  // read either way.
  unsigned LastDamage() const { return lastDamage_; }

 protected:
  unsigned lastDamage_ = 0;
};

// The files of a folder, and nothing outside it.
class TDirStrPack : public TStreamPack {
 public:
  // The folder may be given with or without a trailing "/".
  explicit TDirStrPack(std::string folder);
  // The file Folder + "/" + name, opened read-only and shared; null when it
  // is missing, is no regular file or cannot be opened, and when the name
  // leads outside the folder: an absolute name, a ".." part, or a symbolic
  // link to a place outside. A file larger than limits::kMaxMemberSize reads
  // as its first kMaxMemberSize bytes (LastDamage() tells).
  std::unique_ptr<platform::TStream> OpenStream(const std::string& name) override;
  const std::string& Folder() const { return folder_; }

 private:
  // The member's file with every link resolved; empty when it is missing or
  // lies outside the folder.
  std::string ConfinedPath(const std::string& name) const;

  std::string folder_;
};

// The members of a ZIP archive.
class TZIPStrPack : public TStreamPack {
 public:
  // Lists the archive from the stream's current position. The stream is not
  // owned and must stay alive for the life of the pack; a stream with no
  // size (a pipe) is refused with platform::EStreamError.
  explicit TZIPStrPack(platform::TStream& stream);
  // A new memory stream, positioned at 0, holding the extracted bytes of
  // every member whose stored name equals name ignoring ASCII case, one
  // after the other, together at most limits::kMaxMemberSize bytes; empty
  // (never null) when no member matches.
  std::unique_ptr<platform::TStream> OpenStream(const std::string& name) override;
  const TPKZIP& Zip() const { return zip_; }

 private:
  // The members of each name in archive order, under the name in lower
  // case: a skin opening thousands of files costs one look-up each.
  std::unordered_map<std::string, std::vector<std::size_t>> members_;
  TPKZIP zip_;
};

}  // namespace skin
