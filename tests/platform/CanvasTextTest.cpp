#include <gtest/gtest.h>

#include <QGuiApplication>
#include <memory>

#include "platform/Bitmap.h"
#include "platform/Canvas.h"

namespace platform {
namespace {

// Text needs the GUI application object. The test program's main may have
// made one already; otherwise this environment makes one for these tests.
class TGuiEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "ludex_platform_tests";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<QGuiApplication>(argc, argv);
  }
  void TearDown() override { app_.reset(); }

 private:
  std::unique_ptr<QGuiApplication> app_;
};

[[maybe_unused]] testing::Environment* const kGuiEnvironment =
    testing::AddGlobalTestEnvironment(new TGuiEnvironment);

constexpr TColor kWhite = RGB(255, 255, 255);

// The smallest rectangle holding every pixel that is not white.
TRect InkBounds(const TBitmap& bitmap) {
  TRect ink{bitmap.Width(), bitmap.Height(), 0, 0};
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      if (bitmap.Pixel(x, y) != kWhite) {
        ink.Left = std::min(ink.Left, x);
        ink.Top = std::min(ink.Top, y);
        ink.Right = std::max(ink.Right, x + 1);
        ink.Bottom = std::max(ink.Bottom, y + 1);
      }
  return ink;
}

TEST(CanvasTextTest, MeasuresTextInTheFont) {
  TBitmap bitmap(1, 1);
  TCanvas canvas(bitmap);
  canvas.Font.Family = "DejaVu Sans";
  canvas.Font.Size = 10;
  EXPECT_EQ(canvas.TextWidth(""), 0);
  const int one = canvas.TextWidth("W");
  EXPECT_GT(one, 0);
  EXPECT_GT(canvas.TextWidth("WW"), one);
  EXPECT_NEAR(canvas.TextWidth("WWWW"), 4 * one, 4) << "advance widths add up";
  const int height = canvas.TextHeight("x");
  EXPECT_GE(height, canvas.Font.PixelSize()) << "a cell holds the whole em";
  EXPECT_EQ(canvas.TextHeight("Wg"), height);

  canvas.Font.Size = 20;
  EXPECT_GT(canvas.TextHeight("x"), height);
  EXPECT_GT(canvas.TextWidth("W"), one);
  canvas.Font.Size = 10;
  const int regular = canvas.TextWidth("WWWW");
  canvas.Font.Bold = true;
  EXPECT_GT(canvas.TextWidth("WWWW"), regular) << "the bold face is used";
  // Bytes that are not UTF-8 are read as Latin-1 instead of being dropped.
  EXPECT_EQ(canvas.TextWidth("\xE9"), canvas.TextWidth("\xC3\xA9"));
}

TEST(CanvasTextTest, TextOutDrawsInTheFontColourOnATransparentBackground) {
  TBitmap bitmap(80, 30);
  bitmap.Fill(kWhite);
  TCanvas canvas(bitmap);
  canvas.Brush.Color = RGB(0, 0, 255);  // must not show: the background is transparent
  canvas.Font.Color = RGB(255, 0, 0);
  canvas.Font.Size = 12;
  canvas.TextOut(5, 4, "Hello");
  const TRect ink = InkBounds(bitmap);
  ASSERT_FALSE(ink.IsEmpty()) << "something was drawn";
  EXPECT_GE(ink.Left, 5);
  EXPECT_GE(ink.Top, 4);
  EXPECT_LE(ink.Right, 5 + canvas.TextWidth("Hello") + 1);
  EXPECT_LE(ink.Bottom, 4 + canvas.TextHeight("Hello"));
  bool sawRed = false;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) {
      const TColor pixel = bitmap.Pixel(x, y);
      EXPECT_GE(GetRValue(pixel), GetBValue(pixel)) << "only red ink blended into white";
      sawRed = sawRed || pixel == RGB(255, 0, 0);
    }
  EXPECT_TRUE(sawRed) << "solid strokes carry the font colour";
  EXPECT_EQ(bitmap.Pixel(5, 4 + canvas.TextHeight("H") - 1), kWhite)
      << "the cell around the glyphs stays as it was";
}

TEST(CanvasTextTest, TextRectLeavesNothingOutsideItsRectangle) {
  TBitmap bitmap(60, 30);
  bitmap.Fill(kWhite);
  TCanvas canvas(bitmap);
  canvas.Font.Size = 14;
  canvas.Font.Bold = true;
  const TRect clip = Rect(6, 5, 20, 12);
  canvas.TextRect(clip, 0, 0, "WWWWWWWW");
  const TRect ink = InkBounds(bitmap);
  ASSERT_FALSE(ink.IsEmpty());
  EXPECT_GE(ink.Left, clip.Left);
  EXPECT_GE(ink.Top, clip.Top);
  EXPECT_LE(ink.Right, clip.Right);
  EXPECT_LE(ink.Bottom, clip.Bottom);

  // The canvas's clip region narrows TextRect further.
  bitmap.Fill(kWhite);
  canvas.SetClipRegion(TRegion(Rect(0, 0, 10, 30)));
  canvas.TextRect(clip, 0, 0, "WWWWWWWW");
  const TRect narrowed = InkBounds(bitmap);
  ASSERT_FALSE(narrowed.IsEmpty());
  EXPECT_LE(narrowed.Right, 10);
  EXPECT_GE(narrowed.Left, clip.Left);

  bitmap.Fill(kWhite);
  canvas.ClearClipRegion();
  canvas.TextRect(Rect(20, 5, 20, 12), 0, 0, "WWWWWWWW");  // empty rectangle
  EXPECT_TRUE(InkBounds(bitmap).IsEmpty());
}

}  // namespace
}  // namespace platform
