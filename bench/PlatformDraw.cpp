// Window shapes and piece drawing: the platform work a skinned window does
// when it is resized (its region from the background's mask) and when a
// board paints (64 small copies, masked or not).
#include <benchmark/benchmark.h>

#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/Region.h"

namespace {

constexpr platform::TColor kFuchsia = platform::RGB(255, 0, 255);

// A 258 x 300 window background: rounded corners and a few holes in the
// mask colour, as skins cut them.
platform::TBitmap Background() {
  platform::TBitmap bitmap(258, 300);
  bitmap.Fill(platform::RGB(192, 192, 192));
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) {
      const int cx = x < 20 ? 20 - x : (x >= 238 ? x - 237 : 0);
      const int cy = y < 20 ? 20 - y : (y >= 280 ? y - 279 : 0);
      const bool corner = cx * cx + cy * cy > 400;
      const bool hole = (x / 16 + y / 16) % 7 == 0 && x % 16 < 5 && y % 16 < 5;
      if (corner || hole) bitmap.SetPixel(x, y, kFuchsia);
    }
  return bitmap;
}

void BM_RegionFromBitmapMask(benchmark::State& state) {
  const platform::TBitmap bitmap = Background();
  for (auto _ : state)
    benchmark::DoNotOptimize(platform::TRegion::FromBitmapMask(bitmap, kFuchsia));
}
BENCHMARK(BM_RegionFromBitmapMask);

// The same shape built run by run: the whole rectangle with every run of
// mask pixels removed by exclusive-or.
void BM_RegionByRunXor(benchmark::State& state) {
  const platform::TBitmap bitmap = Background();
  for (auto _ : state) {
    platform::TRegion region(platform::Rect(0, 0, bitmap.Width(), bitmap.Height()));
    for (int y = 0; y < bitmap.Height(); ++y)
      for (int x = 0, start = -1; x <= bitmap.Width(); ++x) {
        const bool key = x < bitmap.Width() && bitmap.Pixel(x, y) == kFuchsia;
        if (key && start < 0) start = x;
        if (!key && start >= 0) {
          region.CombineWith(platform::TRegion(platform::Rect(start, y, x, y + 1)),
                             platform::TCombineMode::Xor);
          start = -1;
        }
      }
    benchmark::DoNotOptimize(region);
  }
}
BENCHMARK(BM_RegionByRunXor);

platform::TBitmap Piece() {
  platform::TBitmap piece(27, 27);
  piece.Fill(kFuchsia);
  for (int y = 4; y < 23; ++y)
    for (int x = 6; x < 21; ++x) piece.SetPixel(x, y, platform::RGB(x * 9, y * 9, 40));
  return piece;
}

// One board paint: 64 squares of 27 x 27.
void BM_BoardCopy(benchmark::State& state) {
  const platform::TBitmap piece = Piece();
  platform::TBitmap board(216, 216);
  platform::TCanvas canvas(board);
  for (auto _ : state) {
    for (int square = 0; square < 64; ++square)
      canvas.CopyRect(platform::Bounds(square % 8 * 27, square / 8 * 27, 27, 27), piece,
                      platform::Rect(0, 0, 27, 27));
    benchmark::DoNotOptimize(board.Row(0));
  }
}
BENCHMARK(BM_BoardCopy);

void BM_BoardTransparent(benchmark::State& state) {
  const platform::TBitmap piece = Piece();
  platform::TBitmap board(216, 216);
  platform::TCanvas canvas(board);
  for (auto _ : state) {
    for (int square = 0; square < 64; ++square)
      canvas.DrawTransparent(square % 8 * 27, square / 8 * 27, piece, kFuchsia);
    benchmark::DoNotOptimize(board.Row(0));
  }
}
BENCHMARK(BM_BoardTransparent);

}  // namespace

BENCHMARK_MAIN();
