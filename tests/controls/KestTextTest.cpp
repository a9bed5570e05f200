#include "controls/KestText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "ControlInput.h"
#include "SkinFixture.h"

namespace controls_test {
namespace {

using controls::TKestText;
using platform::RGB;
using platform::TColor;

constexpr TColor kWhite = RGB(255, 255, 255);
constexpr TColor kGlyphA = RGB(200, 0, 0);
constexpr TColor kGlyphB = RGB(0, 200, 0);

// The columns of a picture that hold anything but white, as [first, last];
// last is -1 when there is none.
std::pair<int, int> InkColumns(const platform::TBitmap& picture) {
  int first = picture.Width(), last = -1;
  for (int y = 0; y < picture.Height(); ++y) {
    for (int x = 0; x < picture.Width(); ++x) {
      if (picture.Pixel(x, y) == kWhite) continue;
      first = std::min(first, x);
      last = std::max(last, x);
    }
  }
  return {first, last};
}

// Two glyphs, "a" three red columns and "b" three green ones, five rows
// high, cut apart by the mark in the underline row.
platform::TBitmap GlyphStrip() {
  platform::TBitmap bitmap(7, 7);
  bitmap.Fill(kWhite);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 3; ++x) {
      bitmap.SetPixel(x, y, kGlyphA);
      bitmap.SetPixel(x + 4, y, kGlyphB);
    }
  }
  bitmap.SetPixel(3, 6, RGB(0, 0, 0));
  return bitmap;
}

class KestText : public SkinFixture {
 protected:
  void TearDown() override {
    window.reset();
    entities.UnregisterEntity("Title");
  }

  // Frees the window built before: reloading the skin frees what it used.
  TKestText& BuildText(const std::string& attributes) {
    window.reset();
    pack.AddBitmap("glyphs.bmp", GlyphStrip());
    // With a colour of no name, which a text without FGColor does not take.
    Load(R"(<SKIN><IMAGE id="Glyphs" file="glyphs.bmp"/><COLOR rgb="#0000C8"/>
              <FONT id="Pat" symbols="ab" pattern="Glyphs"/>
              <FONT id="Big" type="System" family="Sans" size="14" style="Bold"/>
              <WINDOW id="Main" size="16384,100" bgcolor="White"><TEXT pos="0,0" )" +
         attributes + "/></WINDOW></SKIN>");
    window = Build("Main");
    return dynamic_cast<TKestText&>(ChildAt(*window, {0}));
  }
  TKestText::TLayout LayoutOf(TKestText& text) {
    platform::TBitmap bitmap(1, 1);
    platform::TCanvas canvas(bitmap);
    canvas.Font = text.Font;
    return text.Layout(canvas);
  }
  std::string Sized(int width, const std::string& attributes) {
    return "size=\"" + std::to_string(width) + ",20\" " + attributes;
  }

  const std::string sentence = "The quick brown fox jumps over the lazy dog";
  std::unique_ptr<controls::TSkinWindow> window;
};

TEST_F(KestText, ALongTextIsShortenedAndJustifiedInsideTheControl) {
  for (const char* justify : {"left", "Center", "rIGHT"}) {
    SCOPED_TRACE(justify);
    TKestText& text = BuildText(Sized(90, "text=\"" + sentence + "\" justify=\"" + justify + "\""));
    const TKestText::TLayout layout = LayoutOf(text);
    const int width = TextWidthIn(text, layout.Text);
    ASSERT_GT(layout.Text.size(), 3u);
    EXPECT_EQ(layout.Text, sentence.substr(0, layout.Text.size() - 3) + "...");
    EXPECT_LE(width, 90);
    EXPECT_GT(TextWidthIn(text, sentence.substr(0, layout.Text.size() - 2) + "..."), 90);
    const int expectedX = std::string(justify) == "left"     ? 0
                          : std::string(justify) == "Center" ? (90 - width) / 2
                                                             : 90 - width;
    EXPECT_EQ(layout.X, expectedX);
    // Drawn there; glyphs may reach a pixel beyond their advance.
    const auto [first, last] = InkColumns(Picture(text));
    EXPECT_GE(first, layout.X - 1);
    EXPECT_LT(last, layout.X + width);
    EXPECT_GE(last, layout.X + width - 4);
  }
}

TEST_F(KestText, ATextFittingExactlyIsWholeAndTooNarrowAControlShowsNothing) {
  TKestText& probe = BuildText("");
  const int exact = TextWidthIn(probe, sentence);
  const int dots = TextWidthIn(probe, "...");
  const int oneAndDots = TextWidthIn(probe, "T...");
  const auto shown = [&](int width, const std::string& more = "") {
    return LayoutOf(BuildText(Sized(width, "text=\"" + sentence + "\" " + more))).Text;
  };
  EXPECT_EQ(shown(exact, R"(justify="right")"), sentence);
  EXPECT_TRUE(shown(exact - 1).ends_with("..."));
  // The dots come only after at least one character.
  EXPECT_EQ(shown(oneAndDots), "T...");
  EXPECT_EQ(shown(dots), "");
  EXPECT_EQ(InkColumns(Picture(BuildText(Sized(dots - 1, "text=\"" + sentence + "\"")))).second,
            -1);
}

TEST_F(KestText, TheLinkedStringReplacesTheText) {
  app::TStringEntity title{"Linked"};
  entities.RegisterEntity("Title", &title);
  TKestText& text = BuildText(R"(size="200,20" text="From the skin" link="Title" hint="No")");
  EXPECT_EQ(text.Text, "Linked");
  EXPECT_EQ(text.Hint(), "");
  const platform::TBitmap before = Picture(text);
  EXPECT_EQ(text.Font.Color, RGB(0, 0, 0));
  entities.SetString("Title", "Something much longer");
  EXPECT_EQ(text.Text, "Something much longer");
  EXPECT_TRUE(text.InvalidationPending());
  EXPECT_GT(InkColumns(Picture(text)).second, InkColumns(before).second);
  entities.SetString("Title", "");
  EXPECT_TRUE(AskedForRepaint(text));
  EXPECT_EQ(InkColumns(Picture(text)).second, -1);
  // Captions may change with the language.
  EXPECT_FALSE(AskedForRepaint(text));
  entities.Notify("Application.Languages");
  EXPECT_TRUE(AskedForRepaint(text));

  // A link to anything but a string leaves the skin's text.
  app::TBasicEntity number{0, 1, 2};
  entities.RegisterEntity("Title", &number);
  EXPECT_EQ(BuildText(R"(text="From the skin" link="Title")").Text, "From the skin");
  EXPECT_EQ(BuildText(R"(fgcolor="#00C800")").Font.Color, RGB(0, 200, 0));
}

TEST_F(KestText, APatternFontDrawsItsGlyphsOnePixelApart) {
  platform::TBitmap picture = Picture(BuildText(R"(size="40,20" font="Pat" text="ab")"));
  const std::vector<std::pair<int, TColor>> left = {{0, kGlyphA}, {2, kGlyphA}, {3, kWhite},
                                                    {4, kGlyphB}, {6, kGlyphB}, {7, kWhite}};
  for (const auto& [x, colour] : left) EXPECT_EQ(picture.Pixel(x, 4), colour) << x;
  EXPECT_EQ(picture.Pixel(0, 5), kWhite);

  // Measured as drawn (two 3-pixel glyphs and the pixel between them),
  // right justified text ends on the last column.
  picture = Picture(BuildText(R"(size="40,20" font="Pat" text="ab" justify="right")"));
  EXPECT_EQ(picture.Pixel(32, 0), kWhite);
  EXPECT_EQ(picture.Pixel(33, 0), kGlyphA);
  EXPECT_EQ(picture.Pixel(39, 0), kGlyphB);
  picture = Picture(BuildText(R"(size="40,20" font="Pat" text="ab" justify="center")"));
  EXPECT_EQ(picture.Pixel(16, 0), kGlyphA);
  EXPECT_EQ(picture.Pixel(15, 0), kWhite);

  // Exactly as wide as the control it is whole; narrower than "a..." empty.
  EXPECT_EQ(LayoutOf(BuildText(R"(size="7,20" font="Pat" text="ab")")).Text, "ab");
  EXPECT_EQ(LayoutOf(BuildText(R"(size="5,20" font="Pat" text="ab")")).Text, "");
  EXPECT_EQ(InkColumns(Picture(BuildText(R"(size="5,20" font="Pat" text="ab")"))).second, -1);
  // A system FONT replaces the drawing font.
  TKestText& system = BuildText(R"(font="Big")");
  EXPECT_EQ(system.FontRes->IsSystem, true);
  EXPECT_EQ(system.Font.Size, 14);
  EXPECT_TRUE(system.Font.Bold);
}

TEST_F(KestText, LongTextsAreMeasuredOnlyAsFarAsTheyCanShow) {
  // Longer than a caption's usual limit, yet narrower than the control:
  // drawn whole.
  const std::string many(1500, 'a');
  TKestText& wide = BuildText(Sized(16000, "text=\"" + many + "\""));
  ASSERT_LT(TextWidthIn(wide, many), 16000);
  EXPECT_EQ(LayoutOf(wide).Text, many);
  // A control exactly as wide as the measured start still cuts the rest.
  TKestText& start =
      BuildText(Sized(TextWidthIn(wide, many.substr(0, 1024)), "text=\"" + many + "\""));
  EXPECT_TRUE(LayoutOf(start).Text.ends_with("...")) << LayoutOf(start).Text.size();
  // Characters of no width are measured only to 64 KiB, and only whole
  // characters are kept: a lead byte followed by nothing but continuation
  // bytes is no character.
  app::TStringEntity title{std::string(1, '\xC3') + std::string(70'000, '\x80')};
  entities.RegisterEntity("Title", &title);
  EXPECT_EQ(LayoutOf(BuildText(R"(size="100,20" link="Title")")).Text, "");
  std::string spaces;
  for (int i = 0; i < 30'000; ++i) spaces += "\u200B";
  title.Value = spaces;
  TKestText& invisible = BuildText(R"(size="100,20" link="Title")");
  ASSERT_EQ(TextWidthIn(invisible, spaces), 0);
  EXPECT_EQ(LayoutOf(invisible).Text.size(), 64u * 1024 - 1);

  // A megabyte in a small control is cut as its start would be.
  title.Value = std::string(1 << 20, 'w');
  TKestText& small = BuildText(R"(size="100,20" link="Title")");
  const std::string shown = LayoutOf(small).Text;
  EXPECT_EQ(shown, std::string(shown.size() - 3, 'w') + "...");
  EXPECT_LE(TextWidthIn(small, shown), 100);
  EXPECT_GT(TextWidthIn(small, std::string(shown.size() - 2, 'w') + "..."), 100);
  Picture(small);

  // The same for a pattern font: 3-pixel glyphs a pixel apart, the dots
  // drawn with glyph 0 ("a"), as a font without them has it.
  title.Value = std::string(1 << 20, 'b');
  TKestText& pattern = BuildText(R"(size="100,20" font="Pat" link="Title")");
  EXPECT_EQ(LayoutOf(pattern).Text, std::string(22, 'b') + "...");
  const platform::TBitmap picture = Picture(pattern);
  EXPECT_EQ(picture.Pixel(84, 0), kGlyphB);
  EXPECT_EQ(picture.Pixel(98, 0), kGlyphA);
  EXPECT_EQ(picture.Pixel(99, 0), kWhite);
}

}  // namespace
}  // namespace controls_test
