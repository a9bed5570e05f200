// Throughput of our inflater against zlib's on multi-megabyte members: a
// text (a skin description-like markup) and a binary (a 24-bit picture with
// smooth areas, noise and repeated sprites). Both decoders run in the same
// program so that their medians can be compared as a ratio.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "skin/Inflate.h"

#ifdef LUDEX_HAVE_ZLIB
#include <zlib.h>
#endif

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes MakeText(std::size_t size) {
  static const char* const kWords[] = {
      "<BUTTON",   " pos=\"", "\" size=\"",   "\" bg=\"Main.", "\" link=\"Application.",
      "Exit",      "NewGame", "GUI.Minimize", "\"/>\r\n",      "  <TEXT font=\"Tah10B\"",
      " caption=", "the",     "board",        "window",        "skin",
      "White",     "Black",   "move",         "<!-- area -->", "\r\n"};
  std::mt19937 random(1);
  std::string text;
  while (text.size() < size) {
    text += kWords[random() % std::size(kWords)];
    if (random() % 3 == 0)
      text += std::to_string(random() % 400) + "," + std::to_string(random() % 300);
  }
  text.resize(size);
  return Bytes(text.begin(), text.end());
}

Bytes MakePicture(int width, int height) {
  std::mt19937 random(2);
  Bytes pixels(static_cast<std::size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::uint8_t* p = &pixels[(static_cast<std::size_t>(y) * width + x) * 3];
      const int region = (x / 160 + y / 120) % 4;
      if (region == 0) {  // gradient
        p[0] = static_cast<std::uint8_t>(x);
        p[1] = static_cast<std::uint8_t>(y);
        p[2] = static_cast<std::uint8_t>(x + y);
      } else if (region == 1) {  // noisy photo-like area
        const auto base = static_cast<std::uint8_t>((x * 3 + y * 5) / 7);
        p[0] = static_cast<std::uint8_t>(base + random() % 24);
        p[1] = static_cast<std::uint8_t>(base + random() % 24);
        p[2] = static_cast<std::uint8_t>(base + random() % 24);
      } else if (region == 2) {  // flat key colour
        p[0] = 0xFF;
        p[1] = 0x00;
        p[2] = 0xFF;
      } else {  // a repeated 27x27 sprite
        const int sx = x % 27, sy = y % 27;
        const bool inside = (sx - 13) * (sx - 13) + (sy - 13) * (sy - 13) < 120;
        p[0] = inside ? static_cast<std::uint8_t>(sx * 9) : 0;
        p[1] = inside ? static_cast<std::uint8_t>(sy * 9) : 0;
        p[2] = inside ? 0x80 : 0xFF;
      }
    }
  }
  return pixels;
}

#ifdef LUDEX_HAVE_ZLIB
Bytes Deflate(const Bytes& data) {
  z_stream stream{};
  deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
  Bytes packed(deflateBound(&stream, data.size()));
  stream.next_in = const_cast<Bytef*>(data.data());
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = packed.data();
  stream.avail_out = static_cast<uInt>(packed.size());
  if (deflate(&stream, Z_FINISH) != Z_STREAM_END) throw std::runtime_error("deflate");
  packed.resize(stream.total_out);
  deflateEnd(&stream);
  return packed;
}

struct Sample {
  Bytes data;
  Bytes packed;
};

const Sample& Text() {
  static const Sample sample = [] {
    Bytes data = MakeText(8 << 20);
    Bytes packed = Deflate(data);
    return Sample{std::move(data), std::move(packed)};
  }();
  return sample;
}

const Sample& Picture() {
  static const Sample sample = [] {
    Bytes data = MakePicture(1600, 1200);
    Bytes packed = Deflate(data);
    return Sample{std::move(data), std::move(packed)};
  }();
  return sample;
}

void RunLudex(benchmark::State& state, const Sample& sample) {
  Bytes out(sample.data.size());
  for (auto _ : state) {
    skin::TInflater inflater;
    if (!inflater.Inflate(sample.packed.data(), out.data(), out.size(), sample.packed.size()))
      state.SkipWithError("inflate failed");
    benchmark::DoNotOptimize(out.data());
  }
  if (out != sample.data) state.SkipWithError("output differs");
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * sample.data.size()));
  state.counters["compression"] = static_cast<double>(sample.data.size()) / sample.packed.size();
}

void RunZlib(benchmark::State& state, const Sample& sample) {
  Bytes out(sample.data.size());
  for (auto _ : state) {
    z_stream stream{};
    inflateInit2(&stream, -15);
    stream.next_in = const_cast<Bytef*>(sample.packed.data());
    stream.avail_in = static_cast<uInt>(sample.packed.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    if (inflate(&stream, Z_FINISH) != Z_STREAM_END) state.SkipWithError("zlib failed");
    inflateEnd(&stream);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * sample.data.size()));
}

void BM_LudexInflateText(benchmark::State& state) { RunLudex(state, Text()); }
void BM_ZlibInflateText(benchmark::State& state) { RunZlib(state, Text()); }
void BM_LudexInflatePicture(benchmark::State& state) { RunLudex(state, Picture()); }
void BM_ZlibInflatePicture(benchmark::State& state) { RunZlib(state, Picture()); }

BENCHMARK(BM_LudexInflateText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZlibInflateText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LudexInflatePicture)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZlibInflatePicture)->Unit(benchmark::kMillisecond);
#else
// Without zlib there is no reference to compare with; the program says so.
void BM_NoZlib(benchmark::State& state) {
  for (auto _ : state) {
  }
  state.SkipWithError("built without zlib");
}
BENCHMARK(BM_NoZlib);
#endif

}  // namespace

BENCHMARK_MAIN();
