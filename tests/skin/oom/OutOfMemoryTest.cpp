// The readers when memory runs out: a clear error, the partial result freed
// without allocating, and no std::terminate.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Bmp.h"
#include "platform/Stream.h"
#include "skin/CachedStream.h"
#include "skin/Limits.h"
#include "skin/PKZIP.h"
#include "skin/StreamPack.h"
#include "skin/XML.h"
#include "tests/support/ByteWriter.h"

// Under the address sanitizer, an allocation of more than a few megabytes
// fails (malloc answers null, operator new throws std::bad_alloc): the
// readers meet the end of memory deterministically. Without the sanitizer
// the tests are skipped.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSmallHeap = true;
extern "C" const char* __asan_default_options() {
  return "allocator_may_return_null=1:max_allocation_size_mb=5";
}
#else
constexpr bool kSmallHeap = false;
#endif

#define REQUIRE_SMALL_HEAP() \
  if (!kSmallHeap) GTEST_SKIP() << "needs the address sanitizer's allocation limit"

namespace {

// An archive of one deflated member of `packed` bytes that claims `size`.
std::vector<std::uint8_t> DeflatedZip(const std::string& name, std::uint32_t packed,
                                      std::uint32_t size) {
  std::vector<std::uint8_t> out;
  test_support::Put32(out, skin::TPKZIP::kLocalHeaderSignature);
  test_support::Put16(out, 20);  // version
  test_support::Put16(out, 0);   // flags
  test_support::Put16(out, 8);   // deflate
  test_support::Put32(out, 0);   // time, date
  test_support::Put32(out, 0);   // CRC-32
  test_support::Put32(out, packed);
  test_support::Put32(out, size);
  test_support::Put16(out, static_cast<std::uint32_t>(name.size()));
  test_support::Put16(out, 0);
  out.insert(out.end(), name.begin(), name.end());
  out.resize(out.size() + packed, 0);
  return out;
}

}  // namespace

// The tree of a document that does not fit is freed while the error unwinds
// (freeing allocates nothing, so no second error ends the program), and the
// caller gets an error that says what ran out.
TEST(OutOfMemory, XmlLoadFailsCleanly) {
  REQUIRE_SMALL_HEAP();
  // A tag longer than any allocation may be.
  std::string text;
  text.reserve((4 << 20) + 100100);
  text += "<SKIN><A v=\"";
  text.append((4 << 20) + 100000, 'x');
  text += "\"/><B/></SKIN>";
  platform::TMemoryStream stream(text.data(), text.size());
  skin::TCachedStream cache(stream, 16384, 4);
  skin::TXMLTree tree;
  try {
    tree.LoadFromStream(cache);
    FAIL() << "the document fitted";
  } catch (const skin::EOutOfMemory& error) {
    EXPECT_NE(std::string(error.what()).find("Out of memory reading an XML document after 1 "),
              std::string::npos)
        << error.what();
  }
  EXPECT_EQ(tree.Root(), nullptr);

  platform::TMemoryStream small("<SKIN><B/></SKIN>", 17);
  tree.LoadFromStream(small);
  ASSERT_NE(tree.Root(), nullptr);
  EXPECT_EQ(tree.Root()->ChildCount(), 1u);
}

// Freeing a tree whose levels hold hundreds of thousands of elements needs
// no memory: a list of the nodes still to free would outgrow the heap here
// (a group's children, then those of its last child, 800,000 at once), and
// an allocation that fails in a destructor ends the program.
TEST(OutOfMemory, FreeingATreeAllocatesNothing) {
  REQUIRE_SMALL_HEAP();
  auto root = std::make_unique<skin::TXMLNode>("SKIN");
  skin::TXMLNode* group = root.get();
  for (int level = 0; level < 2; ++level) {
    group = group->AddChild(std::make_unique<skin::TXMLNode>("GROUP"));
    for (int i = 0; i < 400000; ++i) group->AddChild(std::make_unique<skin::TXMLNode>());
  }
  root.reset();
  SUCCEED();
}

TEST(OutOfMemory, ZipExtractionFailsCleanly) {
  REQUIRE_SMALL_HEAP();
  // A small archive whose member claims more than an allocation may take.
  platform::TMemoryStream file(DeflatedZip("mix.bmp", 8000, 6 << 20));
  skin::TCachedStream cache(file, 16384, 2);
  skin::TPKZIP zip;
  ASSERT_TRUE(zip.Open(&cache));
  cache.SetPosition(0);
  skin::TZIPStrPack pack(cache);
  ASSERT_EQ(pack.Zip().Entries().size(), 1u);
  try {
    zip.Extract(0);
    ADD_FAILURE() << "the member fitted";
  } catch (const skin::EOutOfMemory& error) {
    EXPECT_NE(std::string(error.what()).find("\"mix.bmp\""), std::string::npos);
  }
  EXPECT_TRUE(zip.Entries()[0].Data.empty());
  EXPECT_THROW(pack.OpenStream("MIX.BMP"), skin::EOutOfMemory);
}

TEST(OutOfMemory, BmpDecodingFailsCleanly) {
  REQUIRE_SMALL_HEAP();
  // A 4096 x 4096 RLE8 picture of one run: 64 MiB of pixels from a few bytes.
  std::vector<std::uint8_t> file = {'B', 'M'};
  test_support::Put32(file, 0);
  test_support::Put32(file, 0);
  test_support::Put32(file, 14 + 40 + 4);
  for (const std::uint32_t field : {40u, 4096u, 4096u}) test_support::Put32(file, field);
  test_support::Put16(file, 1);
  test_support::Put16(file, 8);
  for (const std::uint32_t field : {1u, 0u, 0u, 0u, 1u, 0u}) test_support::Put32(file, field);
  test_support::Put32(file, 0x00FFFFFF);  // one palette entry
  file.insert(file.end(), {255, 0, 0, 1});
  try {
    platform::DecodeBmp(file);
    ADD_FAILURE() << "the picture fitted";
  } catch (const platform::EImageError& error) {
    EXPECT_NE(std::string(error.what()).find("out of memory for a 4096 x 4096 picture"),
              std::string::npos);
  }
}
