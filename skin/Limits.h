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

// The most cells one AREA grid describes ("repeat" columns times rows). A
// real skin has a few dozen; a larger grid describes none.
inline constexpr std::int64_t kMaxAreaCells = 4096;

// The limits above hold per item; these hold for one skin as a whole, which
// may repeat an item as often as the element limit allows. Past either of
// them a skin's further images are empty, as a missing file is, and its
// further AREAs and pattern fonts get no cells.

// The most pixels the images of one skin decode to: two of the largest
// pictures the BMP decoder accepts (2^24 pixels each) and a million more
// for the rest of the skin, 132 MiB of pixels. The built-in skin decodes
// some 190,000. A picture's file is charged too, at 4 bytes a pixel (what a
// 32-bit picture takes), so that files which are read and then fail to
// decode cost no more than pixels that do. With the one file being decoded
// (at most kMaxMemberSize) and the window's buffers, a skin stays well
// within 512 MB.
inline constexpr std::int64_t kMaxSkinPixels = (std::int64_t{1} << 25) + (std::int64_t{1} << 20);

// What each image file a skin opens is charged at least, found or not, in
// pixels of kMaxSkinPixels: opening a file costs time and memory whatever it
// holds (an archive looks through its whole listing for the name). A skin
// thus opens at most 1,056 image files; a real one has tens.
inline constexpr std::int64_t kMinFilePixels = std::int64_t{1} << 15;

// The most cells the AREAs and pattern fonts of one skin cut (grid cells
// and underlined glyphs). The built-in skin has 71. A cell with its mask
// and resize effects costs a few hundred bytes and every draw of it is
// cheap, so 65,536 of them take some 25 MB; without the bound a skin of
// thousands of AREAs of kMaxAreaCells masked cells takes gigabytes.
inline constexpr std::int64_t kMaxSkinCells = std::int64_t{1} << 16;

}  // namespace skin::limits

namespace skin {

// A reader ran out of memory before it reached a limit: the message names the
// reader, in place of the bare std::bad_alloc.
class EOutOfMemory : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace skin
