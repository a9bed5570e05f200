#include "controls/KestCheckBox.h"

#include <gtest/gtest.h>

#include <string>

#include "ControlInput.h"
#include "SkinFixture.h"

namespace controls {
void PrintTo(const TCaptionLines& lines, std::ostream* out) {
  *out << "{\"" << lines.First << "\", \"" << lines.Second << "\", " << lines.Wrapped << "}";
}
}  // namespace controls

namespace controls_test {
namespace {

using controls::TCaptionLines;
using controls::TKestCheckBox;
using controls::WrapCaption;

constexpr platform::TColor kWhite = platform::RGB(255, 255, 255);

// The rows of a picture that hold anything but white, as [first, last].
std::pair<int, int> InkRows(const platform::TBitmap& picture, int fromX = 0) {
  int first = picture.Height(), last = -1;
  for (int y = 0; y < picture.Height(); ++y) {
    for (int x = fromX; x < picture.Width(); ++x) {
      if (picture.Pixel(x, y) == kWhite) continue;
      first = std::min(first, y);
      last = y;
    }
  }
  return {first, last};
}

class KestCheckBox : public SkinFixture {
 protected:
  KestCheckBox() {
    bitmap_ = std::make_unique<platform::TBitmap>(1, 1);
    canvas = std::make_unique<platform::TCanvas>(*bitmap_);
  }
  int Width(const std::string& text) const { return canvas->TextWidth(text); }

  std::unique_ptr<platform::TBitmap> bitmap_;
  std::unique_ptr<platform::TCanvas> canvas;
};

TEST_F(KestCheckBox, CaptionsWrapAtTheLastFittingWordAndEndInDots) {
  const int narrow = Width("Stay On Top") - 1;
  ASSERT_LE(Width("Stay On"), narrow);
  EXPECT_EQ(WrapCaption(*canvas, "Stay On Top", narrow), (TCaptionLines{"Stay On", "Top ", true}));
  EXPECT_EQ(WrapCaption(*canvas, "Stay On Top", narrow + 1),
            (TCaptionLines{"Stay On Top", "", false}));
  // Blanks between words collapse; every cut word is followed by one blank.
  EXPECT_EQ(WrapCaption(*canvas, "Keep  it on   top", Width("Keep  it")),
            (TCaptionLines{"Keep  it", "on top ", true}));
  // One word too wide: an empty first line and the word cut short.
  EXPECT_EQ(WrapCaption(*canvas, "Unbreakable", Width("Unbr...")),
            (TCaptionLines{"", "Unbr...", true}));
  EXPECT_EQ(WrapCaption(*canvas, "Unbreakable", 0), (TCaptionLines{"", "...", true}));
  // A second line still too wide is cut to fit, dots included.
  const TCaptionLines cut = WrapCaption(*canvas, "Show the whole board now", Width("Show the"));
  EXPECT_EQ(cut.First, "Show the");
  EXPECT_LE(Width(cut.Second), Width("Show the"));
  EXPECT_EQ(cut.Second.substr(cut.Second.size() - 3), "...");
}

TEST_F(KestCheckBox, TheBoxReadsItsAttributesAndShowsTheLinkCaption) {
  languages.AddEntry("Application.StayOnTop=Stay On Top");
  Load(R"(<SKIN><WINDOW id="Main" size="200,100" bgcolor="White">
            <CHECKBOX pos="0,0" size="200,40" link="Application.StayOnTop" hint="ignored"/>
            <CHECKBOX pos="0,50" size="200,40" indent="30,2" text="Own"/>
          </WINDOW></SKIN>)");
  auto window = Build("Main");
  auto& linked = dynamic_cast<TKestCheckBox&>(ChildAt(*window, {0}));
  auto& own = dynamic_cast<TKestCheckBox&>(ChildAt(*window, {1}));
  EXPECT_EQ(linked.Indent, 4);
  EXPECT_EQ(linked.Text, "");
  EXPECT_EQ(linked.Hint(), "");
  EXPECT_EQ(own.Indent, 30);
  EXPECT_EQ(own.Text, "Own");
  int subscribed = 0;
  for (const app::TCallback& client : entities.GetHolder("Application.Languages").Clients) {
    subscribed += client.Object() == static_cast<controls::TKestControl*>(&linked) ? 1 : 0;
  }
  EXPECT_EQ(subscribed, 1);

  // One line, centred: the ink lies within the text cell in the middle.
  const int cell = canvas->TextHeight("Stay On Top");
  const auto [top, bottom] = InkRows(Picture(linked));
  EXPECT_GE(top, (40 - cell) / 2);
  EXPECT_LT(bottom, (40 - cell) / 2 + cell);
  EXPECT_EQ(InkRows(Picture(own), 0).first, InkRows(Picture(own), 30).first);
}

TEST_F(KestCheckBox, ANarrowBoxDrawsTwoLinesAroundTheMiddle) {
  const int narrow = Width("Stay On Top") - 1 + 4 + 3;
  Load(R"(<SKIN><WINDOW id="Main" size="200,100" bgcolor="White"><CHECKBOX pos="0,0" size=")" +
       std::to_string(narrow) + R"(,60" text="Stay On Top"/></WINDOW></SKIN>)");
  auto window = Build("Main");
  const int cell = canvas->TextHeight("Stay On");
  const int top = (60 - 2 * cell - 1) / 2;
  const auto [first, last] = InkRows(Picture(ChildAt(*window, {0})));
  EXPECT_GE(first, top);
  EXPECT_GE(last, top + cell + 1);
  EXPECT_LT(last, top + 2 * cell + 1);
}

// Megabyte captions are laid out from their start only (how long that takes
// is measured by tools/measure/hostile-render.py): both boxes still show a
// caption.
TEST_F(KestCheckBox, HugeCaptionsShowTheirStart) {
  const std::string words = [] {
    std::string text;
    while (text.size() < (1u << 20)) text += "word ";
    return text;
  }();
  Load(
      R"(<SKIN><WINDOW id="Main" size="200,100" bgcolor="White"><CHECKBOX pos="0,0" size="150,40" text=")" +
      words + R"("/><CHECKBOX pos="0,50" size="150,40" text=")" + std::string(1 << 20, 'W') +
      R"("/></WINDOW></SKIN>)");
  auto window = Build("Main");
  for (int index : {0, 1}) {
    const platform::TBitmap picture = Picture(ChildAt(*window, {index}));
    bool ink = false;
    for (int y = 0; y < picture.Height() && !ink; ++y) {
      for (int x = 20; x < picture.Width() && !ink; ++x) ink = picture.Pixel(x, y) != 0x00FFFFFFu;
    }
    EXPECT_TRUE(ink) << "box " << index;
  }
}

}  // namespace
}  // namespace controls_test
