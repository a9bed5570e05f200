#include "skin/PKZIP.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include "ZipTestUtil.h"
#include "platform/Stream.h"

using skin::TPKZIP;
using skin::TZIPEntry;
using namespace skintest;

namespace {

std::uint32_t Crc(const Bytes& data) {
  return static_cast<std::uint32_t>(crc32(0, data.data(), static_cast<uInt>(data.size())));
}

Bytes Extracted(TPKZIP& zip, std::size_t index) {
  zip.Extract(index);
  return zip.Entries()[index].Data;
}

// Files of a skin folder: deflated and stored members, an empty member,
// members larger than the window, a folder part.
std::vector<std::pair<std::string, Bytes>> SkinFiles() {
  return {
      {"interface.xml", SampleText(3000)},
      {"mix.bmp", RandomBytes(5000, 1)},
      {"empty.txt", {}},
      {"big.txt", SampleText(300000)},
      {"sub/noise.bin", RandomBytes(70000, 2)},
  };
}

// Writes the files into the folder; their names for a command line.
std::string WriteFiles(const TempDir& dir,
                       const std::vector<std::pair<std::string, Bytes>>& files) {
  std::string names;
  for (const auto& [name, data] : files) {
    dir.Write(name, data);
    names += " " + name;
  }
  return names;
}

void ExpectMembers(const std::string& path,
                   const std::vector<std::pair<std::string, Bytes>>& files) {
  platform::TFileStream stream(path, platform::TFileStream::Mode::Read);
  TPKZIP zip;
  ASSERT_TRUE(zip.Open(&stream));
  ASSERT_EQ(zip.Entries().size(), files.size()) << path;
  for (std::size_t i = 0; i < files.size(); ++i) {
    const auto& [name, data] = files[i];
    EXPECT_EQ(zip.Entries()[i].FileName, name);
    EXPECT_EQ(zip.Entries()[i].UncompressedSize, data.size()) << name;
    EXPECT_EQ(Extracted(zip, i), data) << name;
    EXPECT_EQ(zip.Entries()[i].Damage, 0u) << name;
  }
}

}  // namespace

// An archive written by the zip tool: deflated and stored members, an empty
// member, members larger than the window, a folder part, and the extra
// fields zip adds to every local header.
TEST(PKZIP, ReadsArchiveWrittenByZipTool) {
  TempDir dir;
  const auto files = SkinFiles();
  const std::string names = WriteFiles(dir, files);
  ASSERT_EQ(RunShell("cd " + dir.Path() + " && zip -q -n .bmp skin.zip" + names), 0);

  platform::TFileStream stream(dir.File("skin.zip"), platform::TFileStream::Mode::Read);
  TPKZIP zip;
  ASSERT_TRUE(zip.Open(&stream));
  ASSERT_EQ(zip.Entries().size(), files.size());
  for (std::size_t i = 0; i < files.size(); ++i) {
    const TZIPEntry& entry = zip.Entries()[i];
    const auto& [name, data] = files[i];
    EXPECT_EQ(entry.FileName, name);
    EXPECT_EQ(entry.NameLength, name.size());
    EXPECT_GT(entry.ExtraLength, 0) << name;
    EXPECT_EQ(entry.UncompressedSize, data.size()) << name;
    EXPECT_EQ(entry.CRC32, Crc(data)) << name;
    EXPECT_TRUE(entry.Data.empty());
    EXPECT_EQ(Extracted(zip, i), data) << name;
  }
  EXPECT_EQ(zip.Entries()[0].Method, 8);
  EXPECT_EQ(zip.Entries()[1].Method, 0);
  EXPECT_EQ(zip.Entries()[3].Method, 8);
  EXPECT_LT(zip.Entries()[3].CompressedSize, zip.Entries()[3].UncompressedSize);

  zip.Clear();
  EXPECT_TRUE(zip.Entries().empty());
  zip.Extract(0);  // nothing to extract from
}

// Archivers that stream their output (zip writing into a pipe, CMake's
// archive writer) put the sizes behind each member's data; the central
// directory gives them.
TEST(PKZIP, ReadsArchivesWrittenWithDataDescriptors) {
  TempDir dir;
  const auto files = SkinFiles();
  const std::string names = WriteFiles(dir, files);
  ASSERT_EQ(RunShell("cd " + dir.Path() + " && zip -q -n .bmp -" + names + " | cat > piped.zip"),
            0);
  ASSERT_EQ(RunShell("cd " + dir.Path() + " && cmake -E tar cf cmake.zip --format=zip" + names), 0);
  for (const char* archive : {"piped.zip", "cmake.zip"}) {
    const Bytes bytes = ReadFile(dir.File(archive));
    ASSERT_GE(bytes.size(), 8u);
    EXPECT_EQ(bytes[6] & 8, 8) << archive << " has no data descriptors: the test proves nothing";
    ExpectMembers(dir.File(archive), files);
  }
}

// The same by hand: descriptors with and without their signature, an
// archive behind other bytes (its offsets count from its own start), and
// the central directory's CRC-32 checked.
TEST(PKZIP, DataDescriptorSizesComeFromTheCentralDirectory) {
  const Bytes text = SampleText(40000);
  const std::vector<ZipMember> members = {
      {"interface.xml", Deflate(text, 9, 0), 8, 40000, {}, Crc(text)},
      {"mix.bmp", ToBytes("BM-stored"), 0, 9, {}, Crc(ToBytes("BM-stored"))},
  };
  for (const bool signatures : {true, false}) {
    Bytes archive = ToBytes("#!prefix");
    const Bytes zipped = BuildStreamedZip(members, signatures);
    archive.insert(archive.end(), zipped.begin(), zipped.end());
    platform::TMemoryStream stream(archive);
    TPKZIP zip;
    ASSERT_TRUE(zip.Open(&stream));
    ASSERT_EQ(zip.Entries().size(), 2u) << signatures;
    EXPECT_EQ(zip.Entries()[0].CompressedSize, members[0].data.size());
    EXPECT_EQ(Extracted(zip, 0), text);
    EXPECT_EQ(Extracted(zip, 1), ToBytes("BM-stored"));
    EXPECT_EQ(zip.Entries()[0].Damage | zip.Entries()[1].Damage, 0u);
  }

  // An end record claiming more directory than the archive holds, or more
  // records than follow, gives no sizes: the members keep their local ones.
  for (const std::uint32_t claimed : {0xFFFFFFF0u, 46u * 7}) {
    Bytes archive = BuildStreamedZip(members, true);
    const std::size_t sizeField = archive.size() - 22 + 12;
    for (int i = 0; i < 4; ++i)
      archive[sizeField + i] = static_cast<std::uint8_t>(claimed >> (8 * i));
    platform::TMemoryStream stream(archive);
    TPKZIP zip;
    ASSERT_TRUE(zip.Open(&stream));
    ASSERT_FALSE(zip.Entries().empty());
    EXPECT_EQ(zip.Entries()[0].CompressedSize, 0u) << claimed;
  }

  std::vector<ZipMember> wrong = members;
  wrong[1].crc ^= 1;
  platform::TMemoryStream stream(BuildStreamedZip(wrong, true));
  TPKZIP zip;
  ASSERT_TRUE(zip.Open(&stream));
  ASSERT_EQ(zip.Entries().size(), 2u);
  zip.Extract(1);
  EXPECT_EQ(zip.Entries()[1].Damage, skin::kDamageCrcMismatch);
}

// An archive built byte by byte: every header field comes through, extra
// fields of odd lengths are skipped, junk between members is stepped over
// four bytes at a time, and the central directory ends the list.
TEST(PKZIP, ReadsHandBuiltArchive) {
  const Bytes text = SampleText(50000);
  std::vector<ZipMember> members = {
      {"interface.xml", Deflate(text, 9, 0), 8, 50000, RandomBytes(7, 4), Crc(text)},
      {"mix.bmp", ToBytes("BM-stored"), 0, 9, RandomBytes(1, 5), 0x12345678},
      {"Odd/Name.TXT", ToBytes("abc"), 0, 3, RandomBytes(255, 6), 1},
      {"shrunk.dat", ToBytes("xxxxxxxx"), 12, 20, {}, 2},
  };
  Bytes archive = BuildZip({members[0], members[1]});
  archive.insert(archive.end(), {'j', 'u', 'n', 'k'});
  const Bytes rest = BuildZip({members[2], members[3]}, CentralDirectoryStart());
  archive.insert(archive.end(), rest.begin(), rest.end());
  const Bytes more = BuildZip({{"after.txt", ToBytes("never listed"), 0, 12, {}, 0}});
  archive.insert(archive.end(), more.begin(), more.end());

  platform::TMemoryStream stream(archive);
  TPKZIP zip;
  ASSERT_TRUE(zip.Open(&stream));
  ASSERT_EQ(zip.Entries().size(), 4u);
  const TZIPEntry& first = zip.Entries()[0];
  EXPECT_EQ(first.Version, 20);
  EXPECT_EQ(first.Flags, 2);
  EXPECT_EQ(first.Method, 8);
  EXPECT_EQ(first.Time, 0x6C21);
  EXPECT_EQ(first.Date, 0x5A87);
  EXPECT_EQ(first.CRC32, Crc(text));
  EXPECT_EQ(first.CompressedSize, members[0].data.size());
  EXPECT_EQ(first.ExtraLength, 7);
  EXPECT_EQ(first.DataOffset, 30 + 13 + 7);
  EXPECT_EQ(zip.Entries()[2].FileName, "Odd/Name.TXT");
  EXPECT_EQ(zip.Entries()[2].ExtraLength, 255);

  EXPECT_EQ(Extracted(zip, 0), text);
  EXPECT_EQ(Extracted(zip, 1), ToBytes("BM-stored"));
  EXPECT_EQ(Extracted(zip, 2), ToBytes("abc"));
  EXPECT_EQ(Extracted(zip, 3), Bytes(20, '?'));  // method 12 is not supported
  zip.Extract(99);                               // out of range: nothing happens
}

TEST(PKZIP, EmptyAndShortStreams) {
  TPKZIP zip;
  platform::TMemoryStream empty;
  EXPECT_TRUE(zip.Open(&empty));
  EXPECT_TRUE(zip.Entries().empty());

  platform::TMemoryStream three(ToBytes("PK\x03"));
  EXPECT_FALSE(zip.Open(&three));
  EXPECT_FALSE(zip.Open(nullptr));

  // A header cut inside its file name: the member before it stays listed.
  Bytes archive = BuildZip({{"a.txt", ToBytes("A"), 0, 1, {}, 0}, {"bbbbbbbb", {}, 0, 0, {}, 0}});
  archive.resize(archive.size() - 3);
  platform::TMemoryStream cut(archive);
  EXPECT_FALSE(zip.Open(&cut));
  ASSERT_EQ(zip.Entries().size(), 1u);
  EXPECT_EQ(Extracted(zip, 0), ToBytes("A"));
}

// Sizes in a header are believed only as far as the archive backs them: a
// few header bytes cannot make extraction allocate gigabytes.
TEST(PKZIP, HostileSizesAreBounded) {
  // Compressed size far past the end of the archive.
  Bytes archive = BuildZip({{"a.txt", ToBytes("hello"), 0, 5, {}, 0}});
  archive[18] = archive[19] = archive[20] = archive[21] = 0xF0;
  archive[22] = archive[23] = archive[24] = archive[25] = 0xF0;
  platform::TMemoryStream stream(archive);
  TPKZIP zip;
  EXPECT_FALSE(zip.Open(&stream));
  ASSERT_EQ(zip.Entries().size(), 1u);
  const Bytes data = Extracted(zip, 0);
  ASSERT_EQ(data.size(), 6 * TPKZIP::kMaxExpansion);
  EXPECT_EQ(Bytes(data.begin(), data.begin() + 5), ToBytes("hello"));
  EXPECT_EQ(data[5], '?');

  // A deflated member claiming 4 GiB from 10 bytes.
  const Bytes text = ToBytes("a short text, deflated");
  const Bytes packed = Deflate(text, 9, 0);
  Bytes huge = BuildZip({{"huge.txt", packed, 8, 0xFFFFFFFF, {}, 0}});
  platform::TMemoryStream hugeStream(huge);
  ASSERT_TRUE(zip.Open(&hugeStream));
  const Bytes inflated = Extracted(zip, 0);
  EXPECT_EQ(inflated.size(), (packed.size() + 1) * TPKZIP::kMaxExpansion);
  EXPECT_EQ(Bytes(inflated.begin(), inflated.begin() + text.size()), text);
  EXPECT_EQ(inflated[text.size()], '?');

  // A deflated member whose data is cut by the end of the archive.
  const Bytes longText = SampleText(100000);
  const Bytes longPacked = Deflate(longText, 6, Z_FIXED, true);
  Bytes truncated = BuildZip({{"cut.txt", longPacked, 8, 100000, {}, 0}});
  truncated.resize(truncated.size() - longPacked.size() / 2);
  platform::TMemoryStream truncatedStream(truncated);
  zip.Open(&truncatedStream);
  ASSERT_EQ(zip.Entries().size(), 1u);
  const Bytes partial = Extracted(zip, 0);
  ASSERT_EQ(partial.size(), 100000u);
  EXPECT_EQ(partial.back(), '?');
  EXPECT_EQ(Bytes(partial.begin(), partial.begin() + 32768),
            Bytes(longText.begin(), longText.begin() + 32768));
}
