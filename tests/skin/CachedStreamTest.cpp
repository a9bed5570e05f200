#include "skin/CachedStream.h"

#include <gtest/gtest.h>

#include "ZipTestUtil.h"

using platform::SeekOrigin;
using skin::TCachedStream;
using namespace skintest;

namespace {

// A memory stream that records the position of every read.
class RecordingStream : public platform::TMemoryStream {
 public:
  using TMemoryStream::TMemoryStream;
  std::int64_t Read(void* buffer, std::int64_t count) override {
    reads.push_back({GetPosition(), count});
    return TMemoryStream::Read(buffer, count);
  }
  std::vector<std::pair<std::int64_t, std::int64_t>> reads;  // (offset, count)

  std::vector<std::int64_t> Offsets() const {
    std::vector<std::int64_t> offsets;
    for (const auto& read : reads) offsets.push_back(read.first);
    return offsets;
  }
};

}  // namespace

TEST(CachedStream, ByteReadsLoadEachBlockOnce) {
  const Bytes data = RandomBytes(40000, 9);
  RecordingStream inner(data);
  TCachedStream cache(inner, 16384, 2);
  EXPECT_EQ(cache.GetSize(), 40000);
  Bytes copy;
  std::uint8_t byte;
  while (cache.Read(&byte, 1) == 1) copy.push_back(byte);
  EXPECT_EQ(copy, data);
  // The read at the end finds no block and refills one from offset 40000.
  EXPECT_EQ(inner.Offsets(), (std::vector<std::int64_t>{0, 16384, 32768, 40000}));
  EXPECT_EQ(cache.Read(&byte, 1), 0);
}

TEST(CachedStream, LargeReadsBypassTheBlocks) {
  const Bytes data = RandomBytes(40000, 10);
  RecordingStream inner(data);
  TCachedStream cache(inner, 16384, 2);
  cache.Seek(100, SeekOrigin::Begin);
  Bytes buffer(20000);
  EXPECT_EQ(cache.Read(buffer.data(), 20000), 20000);
  EXPECT_EQ(buffer, Bytes(data.begin() + 100, data.begin() + 20100));
  EXPECT_EQ(cache.GetPosition(), 20100);
  // Near the end a bypassing read delivers what is left.
  cache.Seek(30000, SeekOrigin::Begin);
  EXPECT_EQ(cache.Read(buffer.data(), 20000), 10000);
  EXPECT_EQ(cache.GetPosition(), 40000);
  EXPECT_EQ(inner.reads.size(), 2u);
  EXPECT_EQ(inner.reads[0], (std::pair<std::int64_t, std::int64_t>{100, 20000}));
}

// Hits need the whole request inside one block; a straddling request
// reloads from its own position; replacement takes the least recently used
// block, empty ones first.
TEST(CachedStream, HitsMissesAndReplacement) {
  Bytes data(1000);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 7);
  RecordingStream inner(data);
  TCachedStream cache(inner, 100, 2);
  std::uint8_t buffer[100];

  EXPECT_EQ(cache.Read(buffer, 10), 10);  // block 0 <- 0..99
  cache.Seek(95, SeekOrigin::Begin);
  EXPECT_EQ(cache.Read(buffer, 10), 10);  // straddles: block 1 <- 95..194
  EXPECT_EQ(buffer[0], data[95]);
  EXPECT_EQ(buffer[9], data[104]);
  cache.Seek(50, SeekOrigin::Begin);
  EXPECT_EQ(cache.Read(buffer, 50), 50);  // hit in block 0
  cache.Seek(500, SeekOrigin::Begin);
  EXPECT_EQ(cache.Read(buffer, 5), 5);  // replaces block 1, the older one
  cache.Seek(120, SeekOrigin::Begin);
  EXPECT_EQ(cache.Read(buffer, 5), 5);  // no block holds it: block 0 is older
  EXPECT_EQ(buffer[0], data[120]);
  cache.Seek(502, SeekOrigin::Begin);
  EXPECT_EQ(cache.Read(buffer, 3), 3);  // still cached
  EXPECT_EQ(buffer[2], data[504]);
  EXPECT_EQ(inner.Offsets(), (std::vector<std::int64_t>{0, 95, 500, 120}));

  // A miss near the end copies what the refilled block holds.
  cache.Seek(990, SeekOrigin::Begin);
  EXPECT_EQ(cache.Read(buffer, 50), 10);
  EXPECT_EQ(buffer[9], data[999]);
  EXPECT_EQ(cache.Read(buffer, 1), 0);
}

TEST(CachedStream, SeekClampsAndWriteDoesNothing) {
  platform::TMemoryStream inner(RandomBytes(300, 11));
  TCachedStream cache(inner, 64, 1);
  EXPECT_EQ(cache.Seek(1000, SeekOrigin::Begin), 300);
  EXPECT_EQ(cache.Seek(-50, SeekOrigin::Current), 250);
  EXPECT_EQ(cache.Seek(-400, SeekOrigin::Current), 0);
  EXPECT_EQ(cache.Seek(0, SeekOrigin::End), 300);
  EXPECT_EQ(cache.Write("x", 1), 0);
  EXPECT_EQ(inner.GetSize(), 300);
  std::uint8_t byte;
  EXPECT_EQ(cache.Read(&byte, 1), 0);
  EXPECT_EQ(cache.Read(&byte, 0), 0);
}
