#include "skin/StreamPack.h"

#include <gtest/gtest.h>

#include "ZipTestUtil.h"
#include "skin/CachedStream.h"

using namespace skintest;

TEST(StreamPack, BaseHoldsNothing) { EXPECT_EQ(skin::TStreamPack().OpenStream("x"), nullptr); }

TEST(StreamPack, FolderWithOrWithoutTrailingSeparator) {
  TempDir dir;
  dir.Write("interface.xml", ToBytes("<SKIN/>"));
  dir.Write("img/mix.bmp", ToBytes("BM"));
  for (const std::string& folder : {dir.Path(), dir.Path() + "/"}) {
    skin::TDirStrPack pack(folder);
    auto stream = pack.OpenStream("interface.xml");
    ASSERT_NE(stream, nullptr) << folder;
    EXPECT_EQ(stream->ReadAll(), ToBytes("<SKIN/>"));
    auto nested = pack.OpenStream("img/mix.bmp");
    ASSERT_NE(nested, nullptr);
    EXPECT_EQ(nested->ReadAll(), ToBytes("BM"));
    EXPECT_EQ(pack.OpenStream("missing.xml"), nullptr);
    EXPECT_EQ(pack.OpenStream("img"), nullptr);  // a folder is no member
    EXPECT_EQ(pack.OpenStream(""), nullptr);
  }
}

TEST(StreamPack, ZipMembersIgnoreCase) {
  const Bytes xml = SampleText(40000);
  Bytes archive = BuildZip({{"interface.xml", Deflate(xml, 9, 0), 8, 40000, {}, 0},
                            {"Images/Mix.BMP", ToBytes("BM1"), 0, 3, {1, 2, 3}, 0},
                            {"images/mix.bmp", ToBytes("BM2"), 0, 3, {}, 0}},
                           CentralDirectoryStart());
  platform::TMemoryStream file(archive);
  skin::TCachedStream cached(file, 16384, 2);
  skin::TZIPStrPack pack(cached);
  ASSERT_EQ(pack.Zip().Entries().size(), 3u);

  auto stream = pack.OpenStream("Interface.XML");
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(stream->GetPosition(), 0);
  EXPECT_EQ(stream->ReadAll(), xml);
  // Opening again extracts again.
  EXPECT_EQ(pack.OpenStream("interface.xml")->ReadAll(), xml);
  // Every matching member, one after the other.
  EXPECT_EQ(pack.OpenStream("IMAGES/MIX.bmp")->ReadAll(), ToBytes("BM1BM2"));
  // The folder part is part of the name.
  auto missing = pack.OpenStream("mix.bmp");
  ASSERT_NE(missing, nullptr);
  EXPECT_EQ(missing->GetSize(), 0);
}
