#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Helpers shared by the skin tests: reference deflate streams, hand-built
// archives and temporary folders.
namespace skintest {

using Bytes = std::vector<std::uint8_t>;

Bytes ToBytes(const std::string& text);
// Text with long and short repeats, like a skin description.
Bytes SampleText(std::size_t size);
// Bytes that do not compress.
Bytes RandomBytes(std::size_t size, std::uint32_t seed);

// A raw deflate stream made by zlib at `level` with `strategy`
// (Z_DEFAULT_STRATEGY, Z_FIXED, Z_HUFFMAN_ONLY, Z_RLE, ...). With
// emptyFinalBlock, all data sits in blocks before an empty final block, so
// that a cut inside the data never lands in the final block.
Bytes Deflate(const Bytes& data, int level, int strategy, bool emptyFinalBlock = false);

// A fixed-Huffman deflate stream of at least packedSize bytes: one zero
// byte, then matches of 258 bytes at distance 1, some 160 times packedSize
// bytes of zeros in all.
Bytes DeflateBomb(std::size_t packedSize);

// Writes bits least significant first, as deflate streams hold them.
class BitWriter {
 public:
  void Put(std::uint32_t value, unsigned count);
  // A Huffman code is written most significant bit first.
  void PutCode(std::uint32_t code, unsigned length);
  void AlignToByte();
  void PutByte(std::uint8_t value);
  Bytes Finish();

 private:
  Bytes bytes_;
  std::uint32_t pending_ = 0;
  unsigned count_ = 0;
};

// One member for a hand-built archive.
struct ZipMember {
  std::string name;
  Bytes data;  // stored as given (already compressed for method 8)
  std::uint16_t method = 0;
  std::uint32_t uncompressedSize = 0;
  Bytes extra;
  std::uint32_t crc = 0;
};
// Local headers and data of each member, then `trailer`.
Bytes BuildZip(const std::vector<ZipMember>& members, const Bytes& trailer = {});
Bytes CentralDirectoryStart();
// As an archiver streaming its output writes it: every local header with
// flag bit 3 and no CRC-32 or sizes, a data descriptor behind each member's
// data (with its optional signature when `signatures`), then the central
// directory with the real values and the end record.
Bytes BuildStreamedZip(const std::vector<ZipMember>& members, bool signatures);

// A fresh empty folder under the temporary folder, removed by the caller.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  void Write(const std::string& name, const Bytes& data) const;

 private:
  std::string path_;
};

Bytes ReadFile(const std::string& path);
// Runs a shell command; returns its exit status.
int RunShell(const std::string& command);

}  // namespace skintest
