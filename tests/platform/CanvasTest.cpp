#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/Region.h"

namespace platform {
namespace {

constexpr TColor kGrey = RGB(128, 128, 128);
constexpr TColor kWhite = RGB(255, 255, 255);
constexpr TColor kBlack = 0;
constexpr TColor kRed = RGB(255, 0, 0);
constexpr TColor kBlue = RGB(0, 0, 255);
constexpr TColor kFuchsia = RGB(255, 0, 255);

// The bitmap as one string per row, one character per pixel.
std::vector<std::string> Art(const TBitmap& bitmap) {
  const std::map<TColor, char> names = {{kGrey, '.'}, {kWhite, 'w'}, {kBlack, '#'},
                                        {kRed, 'r'},  {kBlue, 'b'},  {kFuchsia, 'f'}};
  std::vector<std::string> rows;
  for (int y = 0; y < bitmap.Height(); ++y) {
    std::string row;
    for (int x = 0; x < bitmap.Width(); ++x) {
      const auto name = names.find(bitmap.Pixel(x, y));
      row += name == names.end() ? '?' : name->second;
    }
    rows.push_back(row);
  }
  return rows;
}

// A bitmap drawn from art rows with the same characters as Art.
TBitmap FromArt(const std::vector<std::string>& rows) {
  const std::map<char, TColor> colors = {{'.', kGrey}, {'w', kWhite}, {'#', kBlack},
                                         {'r', kRed},  {'b', kBlue},  {'f', kFuchsia}};
  TBitmap bitmap(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) bitmap.SetPixel(x, y, colors.at(rows[y][x]));
  return bitmap;
}

TBitmap Grey(int width, int height) {
  TBitmap bitmap(width, height);
  bitmap.Fill(kGrey);
  return bitmap;
}

TEST(BitmapTest, StoresBlueGreenRedBytesAndResizesKeepingTheOverlap) {
  TBitmap bitmap(3, 2);
  EXPECT_EQ(bitmap.Pixel(2, 1), kBlack);
  bitmap.SetPixel(1, 0, RGB(10, 20, 30));
  const std::uint8_t* row = bitmap.ScanLine(0);
  EXPECT_EQ(row[4], 30);  // blue first
  EXPECT_EQ(row[5], 20);
  EXPECT_EQ(row[6], 10);
  EXPECT_EQ(bitmap.Pixel(1, 0), RGB(10, 20, 30));
  EXPECT_EQ(bitmap.Pixel(-1, 0), kBlack);
  EXPECT_EQ(bitmap.Pixel(3, 0), kBlack);
  bitmap.SetPixel(5, 5, kRed);  // outside: ignored

  TBitmap copy = bitmap;
  copy.SetPixel(1, 0, kRed);
  EXPECT_EQ(bitmap.Pixel(1, 0), RGB(10, 20, 30)) << "a copy shares no pixels";

  bitmap.Fill(kWhite);
  bitmap.SetSize(4, 1);
  EXPECT_EQ(Art(bitmap), (std::vector<std::string>{"www#"}));
  bitmap.SetSize(-3, 7);
  EXPECT_TRUE(bitmap.IsEmpty());
  EXPECT_EQ(bitmap.Width(), 0);
}

TEST(CanvasTest, RectangleOutlinesRightAndBottomExclusiveAndFillsInside) {
  TBitmap bitmap = Grey(6, 5);
  TCanvas canvas(bitmap);
  canvas.Pen.Color = kBlack;
  canvas.Brush.Color = kWhite;
  canvas.Rectangle(0, 0, 4, 3);
  EXPECT_EQ(Art(bitmap),
            (std::vector<std::string>{"####..", "#ww#..", "####..", "......", "......"}));

  bitmap.Fill(kGrey);
  canvas.Brush.Style = TBrushStyle::Clear;
  canvas.Rectangle(1, 1, 5, 5);
  EXPECT_EQ(Art(bitmap),
            (std::vector<std::string>{"......", ".####.", ".#..#.", ".#..#.", ".####."}));

  bitmap.Fill(kGrey);
  canvas.Brush.Style = TBrushStyle::Solid;
  canvas.Pen.Style = TPenStyle::Clear;
  canvas.Rectangle(0, 0, 4, 3);  // without a pen GDI fills one pixel less
  EXPECT_EQ(Art(bitmap),
            (std::vector<std::string>{"www...", "www...", "......", "......", "......"}));

  bitmap.Fill(kGrey);
  canvas.FillRect(Rect(4, 3, 9, 9));  // clipped to the bitmap
  canvas.FillRect(Rect(3, 0, 1, 2));  // inverted: nothing
  canvas.FillRect(Rect(0, 4, 2, 5), kRed);
  EXPECT_EQ(Art(bitmap),
            (std::vector<std::string>{"......", "......", "......", "....ww", "rr..ww"}));
}

TEST(CanvasTest, LinesLeaveOutTheirEndPointAndMoveThePen) {
  TBitmap bitmap = Grey(6, 6);
  TCanvas canvas(bitmap);
  canvas.Pen.Color = kBlack;
  canvas.MoveTo(0, 0);
  canvas.LineTo(4, 0);
  EXPECT_EQ(canvas.PenPos(), (TPoint{4, 0}));
  canvas.LineTo(4, 3);  // continues from the pen: (4,0) is drawn now
  canvas.MoveTo(0, 2);
  canvas.LineTo(3, 5);  // diagonal
  canvas.MoveTo(5, 5);
  canvas.LineTo(5, 2);  // upwards
  EXPECT_EQ(Art(bitmap),
            (std::vector<std::string>{"#####.", "....#.", "#...#.", ".#...#", "..#..#", ".....#"}));

  bitmap.Fill(kGrey);
  canvas.MoveTo(2, 2);
  canvas.LineTo(2, 2);  // zero length draws nothing
  canvas.Pen.Style = TPenStyle::Clear;
  canvas.LineTo(5, 2);
  EXPECT_EQ(canvas.PenPos(), (TPoint{5, 2}));
  EXPECT_EQ(Art(bitmap), Art(Grey(6, 6)));

  // End points far outside the bitmap: the visible part is drawn at once.
  canvas.Pen.Style = TPenStyle::Solid;
  canvas.MoveTo(-2000000000, 1);
  canvas.LineTo(2000000000, 1);
  canvas.MoveTo(2, 2000000000);
  canvas.LineTo(2, -2000000000);
  canvas.MoveTo(-2000000000, -5);
  canvas.LineTo(2000000000, -7);  // wholly above
  EXPECT_EQ(Art(bitmap),
            (std::vector<std::string>{"..#...", "######", "..#...", "..#...", "..#...", "..#..."}));
}

TEST(CanvasTest, WidePenIsCentredOnTheOutlineAndTheLine) {
  TBitmap bitmap = Grey(8, 8);
  TCanvas canvas(bitmap);
  canvas.Pen.Color = kBlack;
  canvas.Pen.Width = 3;
  canvas.Brush.Color = kWhite;
  canvas.Rectangle(1, 1, 7, 7);  // the outline pixels are columns and rows 1 and 6
  EXPECT_EQ(Art(bitmap),
            (std::vector<std::string>{"########", "########", "########", "###ww###", "###ww###",
                                      "########", "########", "########"}));
  bitmap.Fill(kGrey);
  canvas.MoveTo(2, 1);
  canvas.LineTo(5, 1);
  EXPECT_EQ(Art(bitmap)[0], ".#####..");
  EXPECT_EQ(Art(bitmap)[2], ".#####..");
  EXPECT_EQ(Art(bitmap)[3], "........");
}

TEST(CanvasTest, StretchedCopyIsNearestNeighbourAndMirrorsNegativeSizes) {
  const TBitmap source = FromArt({"rb", "w#"});
  TBitmap bitmap = Grey(5, 4);
  TCanvas canvas(bitmap);
  canvas.CopyRect(Rect(0, 0, 4, 4), source, Rect(0, 0, 2, 2));
  EXPECT_EQ(Art(bitmap), (std::vector<std::string>{"rrbb.", "rrbb.", "ww##.", "ww##."}));

  bitmap.Fill(kGrey);
  canvas.CopyRect(Rect(1, 1, 4, 3), source, Rect(1, 0, 2, 1));  // one pixel, stretched
  canvas.CopyRect(Rect(2, 0, 0, 1), source, Rect(0, 0, 2, 1));  // mirrored
  EXPECT_EQ(Art(bitmap), (std::vector<std::string>{"br...", ".bbb.", ".bbb.", "....."}));

  const TBitmap wide = FromArt({"rbw#"});
  bitmap.Fill(kGrey);
  canvas.CopyRect(Rect(0, 0, 2, 1), wide, Rect(0, 0, 4, 1));  // halved
  canvas.CopyRect(Rect(0, 2, 3, 3), wide, Rect(2, 0, 5, 1));  // reaches past the source
  EXPECT_EQ(Art(bitmap), (std::vector<std::string>{"b#...", ".....", "w#...", "....."}));

  bitmap.Fill(kGrey);
  canvas.Draw(4, 3, source);  // partly outside the bitmap
  canvas.StretchDraw(Rect(0, 0, 1, 1), source);
  EXPECT_EQ(Art(bitmap), (std::vector<std::string>{"#....", ".....", ".....", "....r"}));
}

TEST(CanvasTest, TransparentCopyLeavesTheKeyColourUnpainted) {
  TBitmap source = FromArt({"fr", "bf"});
  TBitmap bitmap = Grey(4, 4);
  TCanvas canvas(bitmap);
  canvas.DrawTransparent(0, 0, source, kFuchsia);
  canvas.DrawTransparent(Rect(2, 0, 4, 4), source, Rect(0, 0, 2, 2), kRed);
  EXPECT_EQ(Art(bitmap), (std::vector<std::string>{".rf.", "b.f.", "..bf", "..bf"}));

  // A bitmap marked transparent keeps its key out of Draw; CopyRect ignores it.
  source.SetTransparentColor(kFuchsia);
  bitmap.Fill(kWhite);
  canvas.Draw(0, 0, source);
  canvas.CopyRect(Rect(2, 2, 4, 4), source, Rect(0, 0, 2, 2));
  EXPECT_EQ(Art(bitmap), (std::vector<std::string>{"wrww", "bwww", "wwfr", "wwbf"}));

  // The fourth byte of a pixel plays no part in the comparison.
  source.Row(0)[0] |= 0xFF000000u;
  bitmap.Fill(kWhite);
  canvas.Draw(0, 0, source);
  EXPECT_EQ(bitmap.Pixel(0, 0), kWhite);
}

TEST(CanvasTest, ClipRegionLimitsEveryOperation) {
  TBitmap bitmap = Grey(6, 3);
  TCanvas canvas(bitmap);
  TRegion clip(Rect(0, 0, 2, 3));
  clip.CombineWith(TRegion(Rect(4, 1, 6, 2)), TCombineMode::Or);
  canvas.SetClipRegion(clip);
  canvas.FillRect(Rect(0, 0, 6, 3), kWhite);
  canvas.Pen.Color = kBlack;
  canvas.MoveTo(0, 1);
  canvas.LineTo(6, 1);
  canvas.CopyRect(Rect(0, 2, 6, 3), FromArt({"rrrrrr"}), Rect(0, 0, 6, 1));
  canvas.SetPixel(3, 0, kBlue);
  EXPECT_EQ(Art(bitmap), (std::vector<std::string>{"ww....", "##..##", "rr...."}))
      << "nothing outside the region";
  canvas.ClearClipRegion();
  EXPECT_EQ(canvas.ClipRegion(), nullptr);
  canvas.SetPixel(3, 0, kBlue);
  EXPECT_EQ(bitmap.Pixel(3, 0), kBlue);
}

TEST(CanvasTest, CopyWithinOneBitmapReadsTheOldPixels) {
  TBitmap bitmap = FromArt({"rbw#.."});
  TCanvas canvas(bitmap);
  canvas.CopyRect(Rect(1, 0, 5, 1), bitmap, Rect(0, 0, 4, 1));
  EXPECT_EQ(Art(bitmap), (std::vector<std::string>{"rrbw#."}));
}

// The same drawing on a whole canvas and on a canvas of a part of it whose
// origin is moved there: every pixel of the part agrees.
void DrawScene(TCanvas& canvas) {
  TBitmap picture = FromArt({"rb", "bf"});
  canvas.FillRect(Rect(-5, -5, 100, 100), kGrey);
  canvas.SetClipRegion(TRegion::FromRects({Rect(0, 0, 60, 22), Rect(0, 22, 40, 40)}));
  canvas.Pen = TPen{kBlue, 3, TPenStyle::Solid};
  canvas.Brush = TBrush{kWhite, TBrushStyle::Solid};
  canvas.Rectangle(10, 8, 50, 33);
  canvas.MoveTo(-20, 0);
  canvas.LineTo(70, 39);
  canvas.MoveTo(30, -100);
  canvas.LineTo(30, 100);
  canvas.StretchDraw(Rect(33, 12, 47, 30), picture);
  canvas.DrawTransparent(Rect(20, 25, 44, 37), picture, Rect(0, 0, 2, 2), kFuchsia);
  canvas.ClearClipRegion();
  canvas.SetPixel(53, 33, kRed);
  canvas.CopyRect(Rect(52, 35, 40, 20), picture, Rect(0, 0, 2, 2));
  canvas.Font.Color = kBlack;
  canvas.TextRect(Rect(24, 14, 40, 30), 22, 14, "Ww");
}

TEST(CanvasTest, AMovedOriginDrawsThePartAsTheWholeCanvasDoes) {
  TBitmap whole(60, 40);
  TCanvas wholeCanvas(whole);
  DrawScene(wholeCanvas);
  TBitmap part(30, 20);
  TCanvas partCanvas(part);
  partCanvas.SetOrigin(TPoint{25, 15});
  EXPECT_EQ(partCanvas.ClipBox(), Rect(25, 15, 55, 35));
  DrawScene(partCanvas);
  for (int y = 0; y < part.Height(); ++y)
    for (int x = 0; x < part.Width(); ++x)
      ASSERT_EQ(part.Pixel(x, y), whole.Pixel(x + 25, y + 15)) << x << "," << y;
  EXPECT_EQ(partCanvas.Pixel(53, 33), kRed) << "pixels are read in canvas coordinates";

  // Coordinates at the ends of int stay off the bitmap instead of wrapping.
  partCanvas.FillRect(Rect(INT32_MIN, INT32_MIN, 26, 16), kFuchsia);
  EXPECT_EQ(part.Pixel(0, 0), kFuchsia);
  EXPECT_NE(part.Pixel(1, 1), kFuchsia);
  partCanvas.SetPixel(INT32_MAX, INT32_MAX, kFuchsia);
  partCanvas.StretchDraw(Rect(INT32_MIN, 0, INT32_MAX, 1), FromArt({"rb"}));
}

TEST(CanvasTest, ErrorPictureOfBoxOutlineAndDiagonals) {
  // What the skin draws in place of a missing image: black box, red
  // outline, red diagonals that stop one pixel short of their end points.
  TBitmap bitmap = Grey(6, 5);
  TCanvas canvas(bitmap);
  const TRect r = Rect(0, 0, 5, 5);
  canvas.FillRect(r, kBlack);
  canvas.Pen.Color = kRed;
  canvas.Brush.Style = TBrushStyle::Clear;
  canvas.Rectangle(r);
  canvas.MoveTo(r.Left, r.Top);
  canvas.LineTo(r.Right - 1, r.Bottom - 1);
  canvas.MoveTo(r.Left, r.Bottom - 1);
  canvas.LineTo(r.Right - 1, r.Top);
  EXPECT_EQ(Art(bitmap),
            (std::vector<std::string>{"rrrrr.", "rr#rr.", "r#r#r.", "rr#rr.", "rrrrr."}));
}

}  // namespace
}  // namespace platform
