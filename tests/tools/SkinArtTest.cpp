#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/Bmp.h"

namespace {

namespace fs = std::filesystem;
using platform::TColor;

constexpr TColor kFuchsia = platform::RGB(255, 0, 255);
constexpr TColor kBlue = platform::RGB(0, 0, 255);

std::vector<std::uint8_t> ReadBytes(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(file),
                                   std::istreambuf_iterator<char>());
}

struct TArea {
  int Left, Top, Width, Height;
  TColor Key;
  bool OpenBottom = false;  // a tab runs on into what lies below it
};

// Every keyed picture of the sheet, cell by cell.
std::vector<TArea> KeyedCells() {
  std::vector<TArea> cells = {{0, 0, 258, 300, kFuchsia}};
  for (int row = 0; row < 4; ++row) {
    cells.push_back({332, 167 + row * 16, 14, 15, kFuchsia});
    cells.push_back({346, 167 + row * 16, 14, 15, kFuchsia});
    cells.push_back({332, 230 + row * 16, 14, 15, kFuchsia});
  }
  for (int column = 0; column < 3; ++column)
    cells.push_back({258 + column * 22, 258, 21, 30, kFuchsia, true});
  for (int row = 0; row < 6; ++row)
    for (int column = 0; column < 4; ++column) {
      cells.push_back({216 + column * 28, 300 + row * 28, 27, 27, kBlue});
      // Checkers: men and kings in the first two rows.
      if (row < 2) cells.push_back({258 + column * 28, row * 28, 27, 27, kBlue});
    }
  return cells;
}

int Luminance(TColor color) {
  return (299 * platform::GetRValue(color) + 587 * platform::GetGValue(color) +
          114 * platform::GetBValue(color)) /
         1000;
}

// How strongly a pixel leans towards the key: what blending with it adds.
int KeyTint(TColor color, TColor key) {
  const int r = platform::GetRValue(color);
  const int g = platform::GetGValue(color);
  const int b = platform::GetBValue(color);
  return key == kBlue ? b - std::max(r, g) : std::min(r, b) - g;
}

// The generator is run once into a temporary folder for all tests.
class SkinArt : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string pattern = (fs::temp_directory_path() / "ludex-skinart-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = new fs::path(pattern);
    const std::string command =
        std::string(LUDEX_BINARY_DIR "/ludex-skinart '") + root_->string() + "' 2> /dev/null";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    bytes_ = new std::vector<std::uint8_t>(ReadBytes(*root_ / "mix.bmp"));
    sheet_ = new platform::TBitmap(platform::DecodeBmp(*bytes_));
  }
  static void TearDownTestSuite() {
    std::error_code error;
    fs::remove_all(*root_, error);
    delete sheet_;
    delete bytes_;
    delete root_;
  }
  static TColor At(int x, int y) { return sheet_->Pixel(x, y); }

  static fs::path* root_;
  static std::vector<std::uint8_t>* bytes_;
  static platform::TBitmap* sheet_;
};

fs::path* SkinArt::root_ = nullptr;
std::vector<std::uint8_t>* SkinArt::bytes_ = nullptr;
platform::TBitmap* SkinArt::sheet_ = nullptr;

}  // namespace

TEST_F(SkinArt, WritesTheCommittedSheetAs24BitBmp) {
  ASSERT_EQ(sheet_->Width(), 369);
  ASSERT_EQ(sheet_->Height(), 516);
  EXPECT_EQ((*bytes_)[28], 24) << "bits per pixel";
  EXPECT_TRUE(*bytes_ == ReadBytes(LUDEX_SOURCE_DIR "/resources/DefSkin/mix.bmp"))
      << "resources/DefSkin/mix.bmp is not what ludex-skinart draws: regenerate it";
}

TEST_F(SkinArt, KeyColoursSurroundShapesAndFillTheRest) {
  for (const TArea& cell : KeyedCells()) {
    const int right = cell.Left + cell.Width - 1;
    const int bottom = cell.Top + cell.Height - 1;
    for (const auto& [x, y] : {std::pair{cell.Left, cell.Top}, std::pair{right, cell.Top},
                               std::pair{cell.Left, bottom}, std::pair{right, bottom}})
      EXPECT_EQ(At(x, y) == cell.Key, y == cell.Top || !cell.OpenBottom)
          << "corner " << x << "," << y;
    EXPECT_NE(At(cell.Left + cell.Width / 2, cell.Top + cell.Height / 2), cell.Key)
        << "middle of the cell at " << cell.Left << "," << cell.Top;
  }
  // Checkers cells past the kings hold nothing.
  for (int cell = 8; cell < 24; ++cell)
    for (int y = 0; y < 27; ++y)
      for (int x = 0; x < 27; ++x)
        ASSERT_EQ(At(258 + cell % 4 * 28 + x, cell / 4 * 28 + y), kBlue) << "cell " << cell;
  // Unused parts of the sheet.
  for (const auto& [x, y] : {std::pair{355, 280}, std::pair{368, 515}, std::pair{250, 510},
                             std::pair{364, 200}, std::pair{330, 300}})
    EXPECT_EQ(At(x, y), kFuchsia) << x << "," << y;
}

TEST_F(SkinArt, OpaquePicturesHoldNoKeyColour) {
  const TArea opaque[] = {
      {0, 300, 216, 216, 0}, {216, 467, 55, 27, 0}, {258, 167, 74, 91, 0}, {346, 230, 21, 30, 0}};
  for (const TArea& area : opaque)
    for (int y = area.Top; y < area.Top + area.Height; ++y)
      for (int x = area.Left; x < area.Left + area.Width; ++x) {
        if (area.Left == 216 && x == 243) continue;  // the gap between the two highlights
        if (area.Left == 258 && (y - 167) % 23 == 22) continue;  // gaps between logo cells
        ASSERT_NE(At(x, y), kFuchsia) << x << "," << y;
        ASSERT_NE(At(x, y), kBlue) << x << "," << y;
      }
}

TEST_F(SkinArt, EdgesNeverBlendWithTheKey) {
  for (int y = 0; y < sheet_->Height(); ++y)
    for (int x = 0; x < sheet_->Width(); ++x) {
      const TColor color = At(x, y);
      if (color == kFuchsia || color == kBlue) continue;
      for (const TColor key : {kFuchsia, kBlue}) {
        int distance = 0;
        for (int shift = 0; shift < 24; shift += 8)
          distance = std::max(distance,
                              std::abs(int((color >> shift) & 0xFF) - int((key >> shift) & 0xFF)));
        ASSERT_GE(distance, 16) << "near-key colour at " << x << "," << y;
      }
    }
  for (const TArea& cell : KeyedCells())
    for (int y = cell.Top; y < cell.Top + cell.Height; ++y)
      for (int x = cell.Left; x < cell.Left + cell.Width; ++x) {
        if (At(x, y) == cell.Key) continue;
        const bool edge = At(x - 1, y) == cell.Key || At(x + 1, y) == cell.Key ||
                          At(x, y - 1) == cell.Key || At(x, y + 1) == cell.Key;
        if (edge) {
          ASSERT_LT(KeyTint(At(x, y), cell.Key), 40) << "fringe at " << x << "," << y;
        }
      }
}

TEST_F(SkinArt, BoardStartsDarkAtA1AndAlternates) {
  // Square centres: file f, rank r (rank 1 at the bottom).
  auto square = [](int file, int rank) { return At(file * 27 + 13, 300 + (7 - rank) * 27 + 13); };
  const int dark = Luminance(square(0, 0));
  const int light = Luminance(square(1, 0));
  EXPECT_LT(dark + 40, light);
  for (int rank = 0; rank < 8; ++rank)
    for (int file = 0; file < 8; ++file)
      EXPECT_EQ(Luminance(square(file, rank)) < (dark + light) / 2, (file + rank) % 2 == 0)
          << "file " << file << " rank " << rank;
}

TEST_F(SkinArt, StretchedPicturesMatchTheWindowBehindThem) {
  // The tab strip background's centre column is stretched across the strip
  // at (20,30): every window column there must equal it.
  for (int y = 0; y < 30; ++y)
    for (int x = 30; x < 230; ++x)
      ASSERT_LE(std::abs(Luminance(At(x, 30 + y)) - Luminance(At(346 + 10, 230 + y))), 2)
          << "window at " << x << "," << 30 + y;
  // The opaque logo button at (170,7) shows the window at its edges.
  for (int x = 0; x < 74; ++x)
    for (const int y : {0, 21})
      EXPECT_LE(std::abs(Luminance(At(258 + x, 167 + y)) - Luminance(At(170 + x, 7 + y))), 3)
          << "logo edge at " << x << "," << y;
}
