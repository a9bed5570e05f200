#include "ZipTestUtil.h"

#include "tests/support/ByteWriter.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include <stdlib.h>
#include <sys/wait.h>

namespace skintest {

Bytes ToBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes SampleText(std::size_t size) {
  static const char* const kWords[] = {
      "<BUTTON ", "pos=\"9,6\" ", "bg=\"Main.RB\" ", "link=\"Application.Exit\"",
      "/>\r\n",   "ab",           "abcabc",          "aaaaaaa",
      "xyzxyzq",  "<!-- note -->"};
  std::mt19937 random(7);
  Bytes result;
  while (result.size() < size) {
    const char* word = kWords[random() % std::size(kWords)];
    for (const char* c = word; *c && result.size() < size; ++c) result.push_back(*c);
    if (random() % 5 == 0 && result.size() < size) result.push_back('0' + random() % 10);
  }
  return result;
}

Bytes RandomBytes(std::size_t size, std::uint32_t seed) {
  std::mt19937 random(seed);
  Bytes result(size);
  for (auto& byte : result) byte = static_cast<std::uint8_t>(random());
  return result;
}

Bytes Deflate(const Bytes& data, int level, int strategy, bool emptyFinalBlock) {
  z_stream stream{};
  if (deflateInit2(&stream, level, Z_DEFLATED, -15, 8, strategy) != Z_OK)
    throw std::runtime_error("deflateInit2");
  Bytes result(deflateBound(&stream, data.size()) + 16);
  stream.next_in = const_cast<Bytef*>(data.data());
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = result.data();
  stream.avail_out = static_cast<uInt>(result.size());
  if (emptyFinalBlock) deflate(&stream, Z_SYNC_FLUSH);
  const int status = deflate(&stream, Z_FINISH);
  deflateEnd(&stream);
  if (status != Z_STREAM_END) throw std::runtime_error("deflate");
  result.resize(stream.total_out);
  return result;
}

void BitWriter::Put(std::uint32_t value, unsigned count) {
  for (unsigned i = 0; i < count; ++i) {
    pending_ |= ((value >> i) & 1) << count_;
    if (++count_ == 8) {
      bytes_.push_back(static_cast<std::uint8_t>(pending_));
      pending_ = 0;
      count_ = 0;
    }
  }
}

void BitWriter::PutCode(std::uint32_t code, unsigned length) {
  for (unsigned i = length; i-- > 0;) Put((code >> i) & 1, 1);
}

void BitWriter::AlignToByte() {
  if (count_ > 0) Put(0, 8 - count_);
}

void BitWriter::PutByte(std::uint8_t value) { Put(value, 8); }

Bytes DeflateBomb(std::size_t packedSize) {
  BitWriter bits;
  bits.Put(1, 1);         // final block
  bits.Put(1, 2);         // fixed Huffman codes
  bits.PutCode(0x30, 8);  // literal 0
  for (std::size_t i = 0; i < packedSize * 8 / 13; ++i) {
    bits.PutCode(0xC5, 8);  // length 258 (symbol 285)
    bits.PutCode(0, 5);     // distance 1
  }
  bits.PutCode(0, 7);  // end of block
  return bits.Finish();
}

Bytes BitWriter::Finish() {
  AlignToByte();
  return bytes_;
}

using test_support::Put16;
using test_support::Put32;

Bytes BuildZip(const std::vector<ZipMember>& members, const Bytes& trailer) {
  Bytes out;
  for (const ZipMember& member : members) {
    Put32(out, 0x04034B50);
    Put16(out, 20);      // version needed
    Put16(out, 0x0002);  // flags
    Put16(out, member.method);
    Put16(out, 0x6C21);  // time
    Put16(out, 0x5A87);  // date
    Put32(out, member.crc);
    Put32(out, static_cast<std::uint32_t>(member.data.size()));
    Put32(out, member.uncompressedSize);
    Put16(out, static_cast<std::uint32_t>(member.name.size()));
    Put16(out, static_cast<std::uint32_t>(member.extra.size()));
    out.insert(out.end(), member.name.begin(), member.name.end());
    out.insert(out.end(), member.extra.begin(), member.extra.end());
    out.insert(out.end(), member.data.begin(), member.data.end());
  }
  out.insert(out.end(), trailer.begin(), trailer.end());
  return out;
}

Bytes BuildStreamedZip(const std::vector<ZipMember>& members, bool signatures) {
  Bytes out;
  std::vector<std::uint32_t> offsets;
  for (const ZipMember& member : members) {
    offsets.push_back(static_cast<std::uint32_t>(out.size()));
    Put32(out, 0x04034B50);
    Put16(out, 20);
    Put16(out, 0x0008);  // sizes and CRC-32 follow the data
    Put16(out, member.method);
    Put16(out, 0x6C21);
    Put16(out, 0x5A87);
    for (int i = 0; i < 3; ++i) Put32(out, 0);
    Put16(out, static_cast<std::uint32_t>(member.name.size()));
    Put16(out, 0);
    out.insert(out.end(), member.name.begin(), member.name.end());
    out.insert(out.end(), member.data.begin(), member.data.end());
    if (signatures) Put32(out, 0x08074B50);
    Put32(out, member.crc);
    Put32(out, static_cast<std::uint32_t>(member.data.size()));
    Put32(out, member.uncompressedSize);
  }
  const auto directory = static_cast<std::uint32_t>(out.size());
  for (std::size_t i = 0; i < members.size(); ++i) {
    const ZipMember& member = members[i];
    Put32(out, 0x02014B50);
    Put16(out, 20);  // made by
    Put16(out, 20);  // needed
    Put16(out, 0x0008);
    Put16(out, member.method);
    Put16(out, 0x6C21);
    Put16(out, 0x5A87);
    Put32(out, member.crc);
    Put32(out, static_cast<std::uint32_t>(member.data.size()));
    Put32(out, member.uncompressedSize);
    Put16(out, static_cast<std::uint32_t>(member.name.size()));
    for (int j = 0; j < 4; ++j) Put16(out, 0);  // extra, comment, disk, internal attributes
    Put32(out, 0);                              // external attributes
    Put32(out, offsets[i]);
    out.insert(out.end(), member.name.begin(), member.name.end());
  }
  const auto directorySize = static_cast<std::uint32_t>(out.size()) - directory;
  Put32(out, 0x06054B50);
  Put16(out, 0);
  Put16(out, 0);
  Put16(out, static_cast<std::uint32_t>(members.size()));
  Put16(out, static_cast<std::uint32_t>(members.size()));
  Put32(out, directorySize);
  Put32(out, directory);
  Put16(out, 0);  // no comment
  return out;
}

Bytes CentralDirectoryStart() {
  // Written in place: GCC 12 at -O3 misreports growing an empty vector here.
  Bytes out(46, 0);
  const Bytes signature = {0x50, 0x4B, 0x01, 0x02};
  std::copy(signature.begin(), signature.end(), out.begin());
  return out;
}

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "ludex-skin-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code error;
  std::filesystem::remove_all(path_, error);
}

void TempDir::Write(const std::string& name, const Bytes& data) const {
  const std::filesystem::path path = File(name);
  std::filesystem::create_directories(path.parent_path());
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

Bytes ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

int RunShell(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace skintest
