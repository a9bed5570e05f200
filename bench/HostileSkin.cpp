// The cost of hostile skin files, read as the skin loader reads them: each
// case builds its file once, then times the readers on it. The counter
// peak_rss_MB is the process's peak resident memory, the building of the
// file included; run one case per process (tools/measure-hostile.sh does)
// to read it per case.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Bmp.h"
#include "platform/Stream.h"
#include "skin/CachedStream.h"
#include "skin/PKZIP.h"
#include "skin/StreamPack.h"
#include "skin/XML.h"
#include "tests/support/ByteWriter.h"

#ifdef LUDEX_HAVE_ZLIB
#include <zlib.h>
#endif

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Member {
  std::string Name;
  Bytes Data;  // as stored: already deflated for method 8
  std::uint16_t Method = 0;
  std::uint32_t Size = 0;  // the uncompressed size the header states
};

Bytes BuildZip(const std::vector<Member>& members) {
  Bytes out;
  for (const Member& member : members) {
    test_support::Put32(out, skin::TPKZIP::kLocalHeaderSignature);
    test_support::Put16(out, 20);
    test_support::Put16(out, 0);
    test_support::Put16(out, member.Method);
    test_support::Put32(out, 0);  // time and date
    test_support::Put32(out, 0);  // CRC-32
    test_support::Put32(out, static_cast<std::uint32_t>(member.Data.size()));
    test_support::Put32(out, member.Size);
    test_support::Put16(out, static_cast<std::uint32_t>(member.Name.size()));
    test_support::Put16(out, 0);
    out.insert(out.end(), member.Name.begin(), member.Name.end());
    out.insert(out.end(), member.Data.begin(), member.Data.end());
  }
  return out;
}

#ifdef LUDEX_HAVE_ZLIB
// A raw deflate stream fed in pieces, so that no case holds its whole
// uncompressed file in memory.
class TDeflater {
 public:
  TDeflater() {
    if (deflateInit2(&stream_, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
      throw std::runtime_error("deflateInit2");
  }
  ~TDeflater() { deflateEnd(&stream_); }
  TDeflater(const TDeflater&) = delete;
  TDeflater& operator=(const TDeflater&) = delete;

  void Put(const std::string& data, bool last = false) {
    stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream_.avail_in = static_cast<uInt>(data.size());
    std::uint8_t chunk[1 << 16];
    do {
      stream_.next_out = chunk;
      stream_.avail_out = sizeof chunk;
      deflate(&stream_, last ? Z_FINISH : Z_NO_FLUSH);
      packed_.insert(packed_.end(), chunk, stream_.next_out);
    } while (stream_.avail_out == 0);
  }
  Bytes Finish() {
    Put({}, true);
    return std::move(packed_);
  }

 private:
  z_stream stream_{};
  Bytes packed_;
};
#endif

// `head` and then `count` copies of `piece`, deflated by zlib (stored when
// zlib is missing), as a member that states its true size.
Member Deflated(const std::string& name, const std::string& head, const std::string& piece,
                std::size_t count) {
  const std::uint64_t size = head.size() + piece.size() * count;
#ifdef LUDEX_HAVE_ZLIB
  TDeflater deflater;
  deflater.Put(head);
  const std::size_t perBlock = std::max<std::size_t>(1, 65536 / piece.size());
  std::string block;
  for (std::size_t i = 0; i < perBlock; ++i) block += piece;
  for (std::size_t done = 0; done < count; done += perBlock)
    deflater.Put(count - done >= perBlock ? block : block.substr(0, (count - done) * piece.size()));
  return {name, deflater.Finish(), 8,
          static_cast<std::uint32_t>(std::min<std::uint64_t>(size, 0xFFFFFFFF))};
#else
  std::string text = head;
  for (std::size_t i = 0; i < count; ++i) text += piece;
  return {name, Bytes(text.begin(), text.end()), 0, static_cast<std::uint32_t>(size)};
#endif
}

// About 1 MB of deflate data that decodes to 1 GiB of zeros.
Member DeflateBomb(const std::string& name) {
#ifdef LUDEX_HAVE_ZLIB
  TDeflater deflater;
  const std::string zeros(1 << 20, '\0');
  for (int i = 0; i < 1024; ++i) deflater.Put(zeros);
  return {name, deflater.Finish(), 8, 1u << 30};
#else
  return {name, {}, 8, 1u << 30};
#endif
}

double PeakRssMB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// What the skin loader does with a member: a picture is read whole and
// decoded, a description is parsed through a 4-block cache.
void LoadPicture(skin::TStreamPack& pack, const std::string& name) {
  auto stream = pack.OpenStream(name);
  if (!stream) return;
  try {
    benchmark::DoNotOptimize(platform::LoadBmp(*stream));
  } catch (const platform::EImageError&) {
  }
}

void LoadDescription(skin::TStreamPack& pack, const std::string& name) {
  auto stream = pack.OpenStream(name);
  if (!stream) return;
  skin::TCachedStream cache(*stream, 16384, 4);
  skin::TXMLTree tree;
  tree.LoadFromStream(cache);
  benchmark::DoNotOptimize(tree.Root());
}

// Times the loader's reading of one member from an archive.
template <typename Load>
void RunArchive(benchmark::State& state, const Bytes& archive, const std::string& name, Load load) {
  platform::TMemoryStream file(archive);
  skin::TCachedStream cache(file, 16384, 2);
  for (auto _ : state) {
    cache.SetPosition(0);
    skin::TZIPStrPack pack(cache);
    load(pack, name);
  }
  state.counters["archive_KB"] = static_cast<double>(archive.size()) / 1024.0;
  state.counters["peak_rss_MB"] = PeakRssMB();
}

void BM_ElementBomb(benchmark::State& state) {
  // Millions of tiny grandchildren of the root.
  const Bytes archive = BuildZip({Deflated("interface.xml", "<SKIN>", "<a><b/></a>", 6000000)});
  RunArchive(state, archive, "interface.xml", LoadDescription);
}

void BM_Attributes(benchmark::State& state) {
  std::string attributes;
  for (int i = 0; i < 200000; ++i) attributes += " a" + std::to_string(i) + "=\"1\"";
  const Bytes archive = BuildZip({Deflated("interface.xml", "<SKIN", attributes + "/>", 1)});
  RunArchive(state, archive, "interface.xml", LoadDescription);
}

void BM_DeflateBomb(benchmark::State& state) {
  RunArchive(state, BuildZip({DeflateBomb("mix.bmp")}), "mix.bmp", LoadPicture);
}

void BM_StoredClaiming4GiB(benchmark::State& state) {
  const Bytes data(1 << 20, 'B');
  RunArchive(state, BuildZip({{"mix.bmp", data, 0, 0xFFFFFFFF}}), "mix.bmp", LoadPicture);
}

void BM_UnknownMethodClaiming4GiB(benchmark::State& state) {
  const Bytes data(2 << 20, 'B');
  RunArchive(state, BuildZip({{"mix.bmp", data, 12, 0xFFFFFFFF}}), "mix.bmp", LoadPicture);
}

void BM_SameNameMembers(benchmark::State& state) {
  const Member bomb = DeflateBomb("mix.bmp");
  RunArchive(state, BuildZip(std::vector<Member>(16, bomb)), "MIX.BMP", LoadPicture);
}

// An RLE8 picture 16384 pixels wide whose data, deflated, is runs of 255
// pixels past the right edge, up to the member limit and without an end.
void BM_WideRleRuns(benchmark::State& state) {
  Bytes header = {'B', 'M'};
  test_support::Put32(header, 0);
  test_support::Put32(header, 0);
  test_support::Put32(header, 14 + 40 + 8);
  for (const std::uint32_t field : {40u, 16384u, 1024u}) test_support::Put32(header, field);
  test_support::Put16(header, 1);
  test_support::Put16(header, 8);
  for (const std::uint32_t field : {1u, 0u, 0u, 0u, 2u, 0u, 0u, 0x00FFFFFFu})
    test_support::Put32(header, field);
  const Bytes archive = BuildZip({Deflated("mix.bmp", std::string(header.begin(), header.end()),
                                           std::string("\xFF\x01", 2), 32 << 20)});
  RunArchive(state, archive, "mix.bmp", LoadPicture);
}

// A folder pack asked for names that lead outside it.
void BM_FolderEscapes(benchmark::State& state) {
  const std::filesystem::path root =
      std::filesystem::temp_directory_path() / ("ludex-hostile-" + std::to_string(getpid()));
  std::filesystem::create_directories(root / "skin");
  std::ofstream(root / "secret.txt") << "secret";
  std::filesystem::create_symlink("../secret.txt", root / "skin" / "link.txt");
  skin::TDirStrPack pack((root / "skin").string());
  std::size_t opened = 0;
  for (auto _ : state)
    for (const char* name : {"../secret.txt", "link.txt", "/etc/hostname"})
      opened += pack.OpenStream(name) != nullptr;
  std::filesystem::remove_all(root);
  if (opened != 0) state.SkipWithError("a name outside the folder was opened");
  state.counters["peak_rss_MB"] = PeakRssMB();
}

void BM_Pipe(benchmark::State& state) {
  for (auto _ : state) {
    int fds[2];
    if (pipe(fds) != 0) throw std::runtime_error("pipe");
    if (write(fds[1], "PK\x03\x04", 4) != 4) throw std::runtime_error("write");
    close(fds[1]);
    platform::TFileStream file("/proc/self/fd/" + std::to_string(fds[0]),
                               platform::TFileStream::Mode::Read);
    close(fds[0]);
    try {
      skin::TCachedStream cache(file, 16384, 2);
      state.SkipWithError("a pipe was read");
    } catch (const platform::EStreamError&) {
    }
  }
  state.counters["peak_rss_MB"] = PeakRssMB();
}

}  // namespace

BENCHMARK(BM_ElementBomb)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Attributes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeflateBomb)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StoredClaiming4GiB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnknownMethodClaiming4GiB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SameNameMembers)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WideRleRuns)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FolderEscapes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Pipe)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
