// Skins built as an attacker would: each costs little memory and time, and
// the readers keep what they read up to the limit and say that they stopped.
#include <gtest/gtest.h>
#include <unistd.h>
#include <zlib.h>

#include <filesystem>
#include <string>

#include "ZipTestUtil.h"
#include "platform/Bitmap.h"
#include "skin/CachedStream.h"
#include "skin/KestRes.h"
#include "skin/Limits.h"
#include "skin/PKZIP.h"
#include "skin/StreamPack.h"
#include "skin/XML.h"
#include "tests/support/ByteWriter.h"
#include "tests/support/MemoryPack.h"

using namespace skintest;
using skin::limits::kMaxMemberSize;

namespace {

std::uint32_t Crc(const Bytes& data) {
  return static_cast<std::uint32_t>(crc32(0, data.data(), static_cast<uInt>(data.size())));
}

// A ZIP pack over an archive held in memory, read as the skin loader reads
// one.
struct ZipPack {
  explicit ZipPack(Bytes archive) : file(std::move(archive)), cache(file, 16384, 2), pack(cache) {}
  platform::TMemoryStream file;
  skin::TCachedStream cache;
  skin::TZIPStrPack pack;
};

std::size_t CountElements(const skin::TXMLNode* node) {
  std::size_t count = 1;
  for (std::size_t i = 0; i < node->ChildCount(); ++i) count += CountElements(node->Child(i));
  return count;
}

// Loads the member as the skin loader does: through a 4-block cache.
void LoadXml(skin::TStreamPack& pack, const std::string& name, skin::TXMLTree& tree) {
  const auto stream = pack.OpenStream(name);
  ASSERT_NE(stream, nullptr);
  skin::TCachedStream cache(*stream, 16384, 4);
  tree.LoadFromStream(cache);
}

// An 8-bit RLE picture of width x height that ends at once: a few dozen
// bytes that decode to width x height pixels of its first palette colour.
std::string RlePicture(int width, int height) {
  std::vector<std::uint8_t> out = {'B', 'M'};
  const std::uint32_t dataOffset = 14 + 40 + 8;
  test_support::Put32(out, dataOffset + 2);
  test_support::Put32(out, 0);
  test_support::Put32(out, dataOffset);
  for (const std::uint32_t field :
       {40u, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)})
    test_support::Put32(out, field);
  test_support::Put16(out, 1);
  test_support::Put16(out, 8);
  for (const std::uint32_t field : {1u, 2u, 2835u, 2835u, 2u, 0u}) test_support::Put32(out, field);
  for (const std::uint8_t byte : {0x40, 0x80, 0xC0, 0, 0, 0, 0, 0, 0, 1}) out.push_back(byte);
  return std::string(out.begin(), out.end());
}

// The resources of a skin description over files held in memory, loaded as
// the skin loader loads them.
struct ResourceSkin {
  testing_support::TMemoryPack pack;
  skin::TXMLTree tree;
  skin::TSkinResManager resources;

  void Load(const std::string& xml) {
    platform::TMemoryStream stream(xml.data(), xml.size());
    tree.LoadFromStream(stream);
    resources.Clear();
    resources.Load(*tree.Root(), pack);
  }
  int Width(const std::string& image) { return resources.GetImage(image)->Item(0).GetWidth(); }
  int Cells(const std::string& area) { return resources.GetImage(area)->Count(); }
};

}  // namespace

// An interface.xml of millions of tiny elements, deflated into a few dozen
// kilobytes: the tree stops at the element limit.
TEST(HostileSkin, ElementBombStopsAtTheLimit) {
  std::string text = "<SKIN>";
  for (int i = 0; i < 2000000; ++i) text += "<a><b/></a>";
  const Bytes xml = ToBytes(text);
  const Bytes packed = Deflate(xml, 9, 0);
  EXPECT_LT(packed.size(), 70000u);
  ZipPack zip(BuildZip(
      {{"interface.xml", packed, 8, static_cast<std::uint32_t>(xml.size()), {}, Crc(xml)}}));
  skin::TXMLTree tree;
  LoadXml(zip.pack, "interface.xml", tree);
  EXPECT_EQ(zip.pack.LastDamage(), 0u);
  ASSERT_NE(tree.Root(), nullptr);
  EXPECT_TRUE(tree.LimitReached());
  EXPECT_EQ(CountElements(tree.Root()), skin::limits::kMaxXmlElements);
  EXPECT_EQ(tree.Root()->Name, "SKIN");
  ASSERT_EQ(tree.Root()->Child(0)->ChildCount(), 1u);
  EXPECT_EQ(tree.Root()->Child(0)->Child(0)->Name, "b");

  // A skin-sized document reaches no limit.
  platform::TMemoryStream small("<SKIN><a><b/></a></SKIN>", 24);
  tree.LoadFromStream(small);
  EXPECT_FALSE(tree.LimitReached());
}

// 100,000 attributes in one tag are split in linear time; the element keeps
// the first ones up to the limit, and a repeated name still keeps its first
// position and takes its last value, beyond the limit too.
TEST(HostileSkin, ManyAttributesAreCappedAndKeepTheRepeatRule) {
  std::string tag = "<E Link=\"first\"";
  for (int i = 0; i < 100000; ++i)
    tag += " a" + std::to_string(i) + "=\"" + std::to_string(i) + "\"";
  tag += " LINK=\"last\" a5=\"five\"/>";
  platform::TMemoryStream stream(tag.data(), tag.size());
  skin::TXMLTree tree;
  tree.LoadFromStream(stream);
  ASSERT_NE(tree.Root(), nullptr);
  const auto& attributes = tree.Root()->Attributes();
  ASSERT_EQ(attributes.size(), skin::limits::kMaxXmlAttributes);
  EXPECT_TRUE(tree.LimitReached());
  EXPECT_EQ(attributes[0].Name, "Link");
  EXPECT_EQ(attributes[0].Value, "last");
  EXPECT_EQ(tree.Root()->GetAttr("A5"), "five");
  EXPECT_EQ(attributes.back().Name, "a1022");
  EXPECT_EQ(tree.Root()->GetAttr("a1023"), "");

  // Exactly the limit is no loss.
  std::string full = "<E";
  for (std::size_t i = 0; i < skin::limits::kMaxXmlAttributes; ++i)
    full += " a" + std::to_string(i) + "=\"\"";
  full += "/>";
  platform::TMemoryStream fullStream(full.data(), full.size());
  tree.LoadFromStream(fullStream);
  EXPECT_EQ(tree.Root()->Attributes().size(), skin::limits::kMaxXmlAttributes);
  EXPECT_FALSE(tree.LimitReached());
}

// A member that inflates far beyond the member limit: 1 MB of deflate data
// that would decode to some 160 MB comes out as the limit's worth of bytes.
TEST(HostileSkin, DeflateBombStopsAtTheMemberLimit) {
  const Bytes bomb = DeflateBomb(1 << 20);
  ZipPack zip(BuildZip({{"mix.bmp", bomb, 8, 0xFFFFFFFF, {}, 0}}));
  const auto stream = zip.pack.OpenStream("mix.bmp");
  EXPECT_EQ(stream->GetSize(), kMaxMemberSize);
  EXPECT_EQ(zip.pack.LastDamage(), skin::kDamageLimitReached);
  std::uint8_t head[4] = {1, 1, 1, 1};
  stream->ReadBuffer(head, 4);
  EXPECT_EQ(head[3], 0);

  // The same member with its true size stated stops there too.
  ZipPack honest(BuildZip({{"mix.bmp", bomb, 8, 0xF0000000, {}, 0}}));
  EXPECT_EQ(honest.pack.OpenStream("mix.bmp")->GetSize(), kMaxMemberSize);
  EXPECT_EQ(honest.pack.LastDamage(), skin::kDamageLimitReached);
}

// A stored member claiming 4 GiB and one of an unknown method: the "?"
// padding stops at the limit.
TEST(HostileSkin, PaddingNeverPassesTheLimit) {
  const Bytes data = RandomBytes(1 << 20, 9);
  skin::TPKZIP zip;
  platform::TMemoryStream stored(BuildZip({{"big.bmp", data, 0, 0xFFFFFFFF, {}, 0}}));
  ASSERT_TRUE(zip.Open(&stored));
  zip.Extract(0);
  const skin::TZIPEntry& entry = zip.Entries()[0];
  ASSERT_EQ(static_cast<std::int64_t>(entry.Data.size()), kMaxMemberSize);
  EXPECT_TRUE(std::equal(data.begin(), data.end(), entry.Data.begin()));
  EXPECT_EQ(entry.Data.back(), '?');
  EXPECT_EQ(entry.Damage, skin::kDamageLimitReached);

  platform::TMemoryStream unknown(
      BuildZip({{"odd.bmp", RandomBytes(2 << 20, 3), 14, 0xFFFFFFFF, {}, 0}}));
  ASSERT_TRUE(zip.Open(&unknown));
  zip.Extract(0);
  EXPECT_EQ(static_cast<std::int64_t>(zip.Entries()[0].Data.size()), kMaxMemberSize);
  EXPECT_EQ(zip.Entries()[0].Damage, skin::kDamageUnknownMethod | skin::kDamageLimitReached);
}

// Members of one name are joined up to the limit, not beyond.
TEST(HostileSkin, SameNameMembersTogetherStayWithinTheLimit) {
  const Bytes bomb = DeflateBomb(200000);  // about 32 MB each
  const Bytes text = ToBytes("<SKIN/>");
  std::vector<ZipMember> members = {{"interface.xml", text, 0, 7, {}, Crc(text)}};
  for (int i = 0; i < 8; ++i) members.push_back({"Interface.XML", bomb, 8, 0xF0000000, {}, 0});
  ZipPack zip(BuildZip(members));
  const auto stream = zip.pack.OpenStream("INTERFACE.xml");
  EXPECT_EQ(stream->GetSize(), kMaxMemberSize);
  EXPECT_EQ(zip.pack.LastDamage() & skin::kDamageLimitReached, skin::kDamageLimitReached);
  std::uint8_t head[8] = {};
  stream->ReadBuffer(head, 8);
  EXPECT_EQ(Bytes(head, head + 7), text);
  EXPECT_EQ(head[7], 0);
}

// Damage is told apart, and the bytes come out as far as they could be read.
TEST(HostileSkin, ZipDamageIsReported) {
  const Bytes text = SampleText(100000);
  const Bytes packed = Deflate(text, 9, 0, true);
  const std::uint32_t size = static_cast<std::uint32_t>(text.size());
  auto damageOf = [](const Bytes& archive, Bytes* data = nullptr) {
    platform::TMemoryStream stream(archive);
    skin::TPKZIP zip;
    zip.Open(&stream);
    zip.Extract(0);
    if (data) *data = zip.Entries()[0].Data;
    return zip.Entries()[0].Damage;
  };
  Bytes data;
  EXPECT_EQ(damageOf(BuildZip({{"a.xml", packed, 8, size, {}, Crc(text)}}), &data), 0u);
  EXPECT_EQ(data, text);
  EXPECT_EQ(damageOf(BuildZip({{"a.xml", packed, 8, size, {}, Crc(text) ^ 1}}), &data),
            skin::kDamageCrcMismatch);
  EXPECT_EQ(data, text);

  Bytes cut = BuildZip({{"a.xml", packed, 8, size, {}, Crc(text)}});
  cut.resize(cut.size() - packed.size() / 2);
  EXPECT_EQ(damageOf(cut, &data) & skin::kDamageCutShort, skin::kDamageCutShort);
  EXPECT_EQ(data.size(), text.size());
  EXPECT_EQ(data.back(), '?');

  // Stated larger than the data decodes to, and stored data that is short.
  EXPECT_EQ(damageOf(BuildZip({{"a.xml", packed, 8, size + 1, {}, Crc(text)}})),
            skin::kDamageBadData);
  EXPECT_EQ(damageOf(BuildZip({{"a.bmp", ToBytes("BM"), 0, 5, {}, 0}, {"b", {}, 0, 0, {}, 0}})),
            skin::kDamageBadData);
  EXPECT_EQ(damageOf(BuildZip({{"a.bmp", ToBytes("BM"), 12, 2, {}, 0}})),
            skin::kDamageUnknownMethod);

  EXPECT_EQ(skin::DescribeDamage(0), "");
  EXPECT_EQ(skin::DescribeDamage(skin::kDamageCutShort | skin::kDamageCrcMismatch),
            "cut short, CRC mismatch");
}

// An archive of more members than any ZIP without ZIP64 holds stops listing
// at the limit.
TEST(HostileSkin, ListingStopsAtTheEntryLimit) {
  std::vector<ZipMember> members(skin::limits::kMaxZipEntries + 10,
                                 ZipMember{"x", {}, 0, 0, {}, 0});
  platform::TMemoryStream stream(BuildZip(members));
  skin::TPKZIP zip;
  EXPECT_TRUE(zip.Open(&stream));
  EXPECT_EQ(zip.Entries().size(), skin::limits::kMaxZipEntries);
  EXPECT_TRUE(zip.LimitReached());
}

// A folder pack opens nothing outside its folder: not by an absolute name,
// not by "..", not through a symbolic link. Links that stay inside work.
TEST(HostileSkin, FolderPackIsConfined) {
  TempDir dir;
  dir.Write("secret.txt", ToBytes("secret"));
  dir.Write("skin/interface.xml", ToBytes("<SKIN/>"));
  dir.Write("skin/img/mix.bmp", ToBytes("BM"));
  namespace fs = std::filesystem;
  fs::create_symlink("../secret.txt", dir.File("skin/link.txt"));
  fs::create_symlink(dir.File("secret.txt"), dir.File("skin/absolute.txt"));
  fs::create_symlink("..", dir.File("skin/up"));
  fs::create_symlink("interface.xml", dir.File("skin/alias.xml"));
  fs::create_symlink("img", dir.File("skin/pictures"));

  skin::TDirStrPack pack(dir.File("skin"));
  for (const std::string& name :
       {std::string("../secret.txt"), std::string("img/../../secret.txt"), dir.File("secret.txt"),
        std::string("/etc/hostname"), std::string("link.txt"), std::string("absolute.txt"),
        std::string("up/secret.txt"), std::string("img/../interface.xml"), std::string("..")})
    EXPECT_EQ(pack.OpenStream(name), nullptr) << name;

  EXPECT_EQ(pack.OpenStream("alias.xml")->ReadAll(), ToBytes("<SKIN/>"));
  EXPECT_EQ(pack.OpenStream("pictures/mix.bmp")->ReadAll(), ToBytes("BM"));
  EXPECT_EQ(pack.OpenStream("./img/mix.bmp")->ReadAll(), ToBytes("BM"));
  // A pack over a link to a folder holds that folder's files.
  fs::create_symlink(dir.File("skin"), dir.File("skinlink"));
  EXPECT_EQ(skin::TDirStrPack(dir.File("skinlink")).OpenStream("img/mix.bmp")->ReadAll(),
            ToBytes("BM"));
}

// A file in a skin folder larger than the member limit reads as its first
// kMaxMemberSize bytes.
TEST(HostileSkin, FolderMemberBeyondTheLimitIsCut) {
  TempDir dir;
  dir.Write("interface.xml", ToBytes("<SKIN/>"));
  std::filesystem::resize_file(dir.File("interface.xml"), 1 << 30);  // sparse: costs no disk
  skin::TDirStrPack pack(dir.Path());
  const auto stream = pack.OpenStream("interface.xml");
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(pack.LastDamage(), skin::kDamageLimitReached);
  EXPECT_EQ(stream->GetSize(), kMaxMemberSize);
  EXPECT_EQ(stream->Seek(0, platform::SeekOrigin::End), kMaxMemberSize);
  stream->SetPosition(kMaxMemberSize - 4);
  std::uint8_t tail[8];
  EXPECT_EQ(stream->Read(tail, 8), 4);
  stream->SetPosition(0);
  skin::TCachedStream cache(*stream, 16384, 4);
  skin::TXMLTree tree;
  tree.LoadFromStream(cache);
  ASSERT_NE(tree.Root(), nullptr);
  EXPECT_EQ(tree.Root()->Name, "SKIN");

  EXPECT_NE(pack.OpenStream("interface.xml"), nullptr);
  dir.Write("small.xml", ToBytes("<A/>"));
  pack.OpenStream("small.xml");
  EXPECT_EQ(pack.LastDamage(), 0u);
}

// A pipe has no size and cannot seek: every reader refuses it with a clear
// error instead of reading with a size of -1.
TEST(HostileSkin, PipesAreRefused) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  ASSERT_EQ(write(fds[1], "PK\x03\x04", 4), 4);
  close(fds[1]);
  platform::TFileStream pipeStream("/proc/self/fd/" + std::to_string(fds[0]),
                                   platform::TFileStream::Mode::Read);
  close(fds[0]);
  EXPECT_THROW(skin::TCachedStream(pipeStream, 16384, 2), platform::EStreamError);
  skin::TPKZIP zip;
  EXPECT_THROW(zip.Open(&pipeStream), platform::EStreamError);
  skin::TXMLTree tree;
  EXPECT_THROW(tree.LoadFromStream(pipeStream), platform::EStreamError);
  EXPECT_EQ(tree.Root(), nullptr);
  try {
    pipeStream.RequireSize();
  } catch (const platform::EStreamError& error) {
    EXPECT_NE(std::string(error.what()).find("cannot seek"), std::string::npos);
  }
}

// Pictures of a few dozen bytes may decode to 64 MiB each: the skin decodes
// two of the largest, then its later images are empty, as a missing file
// is; a file read before is still shared. A new load starts afresh.
TEST(HostileSkin, DecodedPixelsStayWithinTheSkinBudget) {
  ResourceSkin skin;
  for (const char* name : {"a.bmp", "b.bmp", "c.bmp"}) skin.pack.Add(name, RlePicture(4096, 4096));
  skin.Load(R"(<SKIN><IMAGE id="A" file="a.bmp"/><IMAGE id="B" file="b.bmp"/>
                 <IMAGE id="C" file="c.bmp"/><IMAGE id="Again" file="A.BMP"/></SKIN>)");
  EXPECT_EQ(skin.Width("A"), 4096);
  EXPECT_EQ(skin.Width("B"), 4096);
  EXPECT_EQ(skin.Width("C"), 0);
  EXPECT_EQ(skin.Width("Again"), 4096);
  EXPECT_TRUE(skin.resources.BudgetReached());

  skin.Load(R"(<SKIN><IMAGE id="C" file="c.bmp"/></SKIN>)");
  EXPECT_EQ(skin.Width("C"), 4096);
  EXPECT_FALSE(skin.resources.BudgetReached());
}

// Every file opened is charged, so thousands of IMAGEs open a bounded number
// of files. A file that failed to decode is not read again: "broken.bmp" is
// opened once, leaving room for all but one of those files to be pictures.
TEST(HostileSkin, ImageFilesOpenedAreBounded) {
  ResourceSkin skin;
  skin.pack.Add("broken.bmp", "BM and nothing more");
  std::string xml = R"(<SKIN><IMAGE id="X" file="broken.bmp"/><IMAGE id="Y" file="Broken.bmp"/>)";
  for (int i = 0; i < 3000; ++i) {
    const std::string name = "f" + std::to_string(i) + ".bmp";
    skin.pack.Add(name, RlePicture(2, 2));
    xml += "<IMAGE id=\"I" + std::to_string(i) + "\" file=\"" + name + "\"/>";
  }
  skin.Load(xml + "</SKIN>");
  EXPECT_EQ(skin.resources.GetImage("X"), nullptr);
  EXPECT_EQ(skin.resources.GetImage("Y"), nullptr);
  const int files = static_cast<int>(skin::limits::kMaxSkinPixels / skin::limits::kMinFilePixels);
  EXPECT_EQ(skin.pack.Opened, files);
  EXPECT_EQ(skin.Width("I" + std::to_string(files - 2)), 2);
  EXPECT_EQ(skin.Width("I" + std::to_string(files - 1)), 0);
  EXPECT_TRUE(skin.resources.BudgetReached());
}

// AREAs of the largest grid each, and glyphs cut by an underline, count
// against one budget of cells: exactly the budget is no loss; past it AREAs
// and pattern fonts get no cells and later images are empty.
TEST(HostileSkin, CellsStayWithinTheSkinBudget) {
  ResourceSkin skin;
  // A 33-pixel strip whose underline has a separator in every odd column:
  // 17 glyphs.
  platform::TBitmap strip(33, 3);
  for (int x = 1; x < 33; x += 2) strip.SetPixel(x, 2, platform::RGB(255, 0, 0));
  skin.pack.AddBitmap("strip.bmp", strip);
  skin.pack.AddBitmap("late.bmp", platform::TBitmap(5, 5));
  std::string xml = R"(<SKIN><IMAGE id="I" file="strip.bmp"><AREA id="Glyphs" split="Underline"/>)";
  const int grids = static_cast<int>(skin::limits::kMaxSkinCells / skin::limits::kMaxAreaCells) - 1;
  for (int i = 0; i < grids; ++i)
    xml += "<AREA id=\"G" + std::to_string(i) + "\" repeat=\"64,64\" mask=\"Color,Red\"/>";
  xml += R"(<AREA id="Rest" repeat="4079,1"/></IMAGE>)";
  skin.Load(xml + "</SKIN>");
  EXPECT_EQ(skin.Cells("I.Glyphs"), 17);
  EXPECT_EQ(skin.Cells("I.G0"), 4096);
  EXPECT_EQ(skin.Cells("I.Rest"), 4079);
  EXPECT_FALSE(skin.resources.BudgetReached());

  xml.insert(xml.size() - 8, R"(<AREA id="Over"/><AREA id="Glyphs2" split="Underline"/>)");
  skin.Load(xml +
            R"(<FONT id="F" pattern="I" symbols="ab"/><IMAGE id="Late" file="late.bmp"/></SKIN>)");
  EXPECT_EQ(skin.Cells("I.Over"), 0);
  EXPECT_EQ(skin.Cells("I.Glyphs2"), 0);
  EXPECT_EQ(skin.resources.Find<skin::TSkinResFont>("F")->Glyphs, nullptr);
  EXPECT_EQ(skin.Width("Late"), 0);
  EXPECT_TRUE(skin.resources.BudgetReached());
}

// Tens of thousands of IMAGEs of as many files, none of them there, and
// lookups of ids and areas that name nothing: each costs about the same
// however many resources came before.
// Lookups go through indexes (tools/measure/hostile-render.py times tens of
// thousands of them): ids and areas that name nothing still give nothing,
// and the last of many images is found.
TEST(HostileSkin, ManyResourcesAreLookedUpThroughIndexes) {
  ResourceSkin skin;
  std::string xml = "<SKIN><IMAGE id=\"Big\">";
  for (int i = 0; i < 2000; ++i) xml += "<AREA id=\"a" + std::to_string(i) + "\" repeat=\"0,0\"/>";
  xml += "</IMAGE>";
  for (int i = 0; i < 4000; ++i)
    xml += "<IMAGE id=\"I" + std::to_string(i) + "\" file=\"m" + std::to_string(i) + ".bmp\"/>";
  skin.Load(xml + "</SKIN>");
  EXPECT_EQ(skin.resources.Find<skin::TSkinResColor>("NoSuchColour"), nullptr);
  EXPECT_EQ(skin.Cells("Big.NoSuchArea"), 1);
  EXPECT_EQ(skin.Width("I3999"), 0);
  EXPECT_EQ(skin.Cells("Big.a1999"), 0);
}
