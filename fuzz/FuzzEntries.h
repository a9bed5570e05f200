#pragma once

#include <cstddef>
#include <cstdint>

// The work of each fuzz target on one input. The libFuzzer targets call
// these, and the skin tests replay the stored corpora through them. Each
// returns normally for any input and aborts when it finds a broken
// invariant; memory faults are the sanitizers' to report.
namespace fuzz {

// Lists the input as a ZIP archive through the skin loader's cache,
// extracts every member and opens members through a ZIP pack.
void FuzzZip(const std::uint8_t* data, std::size_t size);
// The first two bytes give the destination size in units of 16 bytes, the
// rest is a raw deflate stream. With zlib at hand, streams zlib decodes
// completely must decode to the same bytes.
void FuzzInflate(const std::uint8_t* data, std::size_t size);
// Parses the input as a skin description and walks the tree.
void FuzzXml(const std::uint8_t* data, std::size_t size);
// Decodes the input as a BMP file.
void FuzzBmp(const std::uint8_t* data, std::size_t size);

}  // namespace fuzz
