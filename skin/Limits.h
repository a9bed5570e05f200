#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>

// The limits of the readers of skin files. Skins come from anywhere, and the
// program runs with no memory limit of its own: a file of a few hundred
// kilobytes must not cost gigabytes or minutes. Each limit lies far above
// what a real skin needs. A reader that meets one stops as it stops on
// malformed input, keeping what it read so far, and says so to its caller.
namespace skin::limits {

// The most bytes one member of a pack comes out as: what a ZIP member
// extracts to (its "?" padding included), the bytes of same-name members
// joined together, and what is read of a file in a skin folder. The largest
// picture the BMP decoder accepts is 2^24 pixels of 4 bytes (64 MiB); the
// 64 KiB above that leave room for its headers and palette. A skin
// description is a few kilobytes.
inline constexpr std::int64_t kMaxMemberSize = (std::int64_t{64} << 20) + (std::int64_t{64} << 10);

// The most compressed bytes read for one deflated member. Deflate needs at
// most 5 bytes of block framing per 65,535 bytes it stores, so a member of
// kMaxMemberSize never needs more than this; what lies beyond is not read.
inline constexpr std::int64_t kMaxPackedSize = kMaxMemberSize + kMaxMemberSize / 64;

// The most members an archive lists. A skin holds tens of files; this is also
// the most a ZIP archive without the ZIP64 extension can hold.
inline constexpr std::size_t kMaxZipEntries = 65535;

// The most elements in one skin description. A real skin has hundreds; each
// element costs about 150 bytes, so the tree stays within some 15 MB.
inline constexpr std::size_t kMaxXmlElements = 100000;

// The most attributes of one element. A control reads a dozen at most; the
// rest would only cost time in every lookup.
inline constexpr std::size_t kMaxXmlAttributes = 1024;

// The deepest element nesting in a skin description. Real skins nest a
// handful of levels; code that walks the tree recursively relies on the bound.
inline constexpr int kMaxXmlDepth = 1024;

}  // namespace skin::limits

namespace skin {

// A reader ran out of memory before it reached a limit: the message names the
// reader, in place of the bare std::bad_alloc.
class EOutOfMemory : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace skin
