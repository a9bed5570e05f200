#include "controls/KestLink.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ControlInput.h"
#include "SkinFixture.h"
#include "controls/TextFit.h"

namespace controls_test {
namespace {

using controls::TKestLink;

class KestLink : public SkinFixture {
 protected:
  // Records the addresses "System.Execute" is asked to open.
  struct TOpener {
    std::vector<std::string> Opened;
    void Run(app::TEntityHolder& holder) {
      Opened.push_back(static_cast<app::TStringEntity*>(holder.Entity)->Value);
    }
  };

  void SetUp() override {
    execute.OnExecute = app::MakeCallback<&TOpener::Run>(&opener);
    entities.RegisterEntity("System.Execute", &execute);
    entities.RegisterEntity("Site", &site);
  }
  void TearDown() override {
    window.reset();
    entities.UnregisterEntity("Site");
    entities.UnregisterEntity("System.Execute");
  }
  TKestLink& BuildLink(const std::string& attributes) {
    Load(R"(<SKIN><WINDOW id="Main" size="300,100"><LINK pos="0,0" size="200,20" )" + attributes +
         "/></WINDOW></SKIN>");
    window = Build("Main");
    return dynamic_cast<TKestLink&>(ChildAt(*window, {0}));
  }

  TOpener opener;
  app::TStringEntity execute;
  app::TStringEntity site{"https://one.example/"};
  std::unique_ptr<controls::TSkinWindow> window;
};

TEST_F(KestLink, AnEmptyURLIsTakenOnceFromTheLinkedString) {
  TKestLink& link = BuildLink(R"(link="Site")");
  EXPECT_EQ(link.URL, "");
  Picture(link);
  EXPECT_EQ(link.URL, "https://one.example/");
  entities.SetString("Site", "https://two.example/");
  Picture(link);
  EXPECT_EQ(link.URL, "https://one.example/");
  Press(link);
  Release(link);
  EXPECT_EQ(opener.Opened, (std::vector<std::string>{"https://one.example/"}));
}

TEST_F(KestLink, PressAndHoverColourTheText) {
  TKestLink& link = BuildLink(R"(url="https://x.example/" fgcolor="Lime")");
  EXPECT_EQ(link.Cursor(), platform::TCursor::Hand);
  EXPECT_EQ(link.Font.Color, platform::RGB(0, 255, 0));
  link.Font.Bold = true;
  Move(link);
  EXPECT_TRUE(link.Font.Underline);
  EXPECT_FALSE(link.Font.Bold);
  EXPECT_EQ(link.Font.Color, platform::RGB(0, 0, 255));
  Press(link, 1, 1, platform::TMouseButton::Right);
  EXPECT_EQ(link.Font.Color, platform::RGB(255, 0, 0));
  Release(link, 1, 1, platform::TMouseButton::Right);
  EXPECT_EQ(link.Font.Color, 0u);
  EXPECT_EQ(opener.Opened, (std::vector<std::string>{"https://x.example/"}));
  Leave(link);
  EXPECT_FALSE(link.Font.Underline);
  EXPECT_EQ(link.Font.Color, 0u);

  EXPECT_EQ(BuildLink(R"(cursor="Help")").Cursor(), platform::TCursor::Help);
}

TEST_F(KestLink, ALongAddressIsShownShortButOpenedWhole) {
  const std::string url = "https://example.org/a/rather/long/path/to/somewhere";
  TKestLink& link = BuildLink("url=\"" + url + "\"");
  link.SetSize(60, 20);
  platform::TBitmap bitmap(1, 1);
  platform::TCanvas canvas(bitmap);
  canvas.Font = link.Font;
  const std::string shown = controls::FitBefore(canvas, url, "...", 60);
  ASSERT_FALSE(shown.empty());
  EXPECT_LE(canvas.TextWidth(shown + "..."), 60);
  EXPECT_GT(canvas.TextWidth(url.substr(0, shown.size() + 1) + "..."), 60);
  // The text is centred: as much room on the left as on the right.
  const platform::TBitmap picture = Picture(link);
  int left = picture.Width(), right = -1;
  for (int y = 0; y < picture.Height(); ++y) {
    for (int x = 0; x < picture.Width(); ++x) {
      if (picture.Pixel(x, y) == picture.Pixel(0, picture.Height() - 1)) continue;
      left = std::min(left, x);
      right = std::max(right, x);
    }
  }
  ASSERT_GE(right, left);
  EXPECT_LE(std::abs(left - (59 - right)), 3);
  Press(link);
  Release(link);
  EXPECT_EQ(opener.Opened, (std::vector<std::string>{url}));
}

TEST(TextFit, CutsFallOnCharacterBoundaries) {
  platform::TBitmap bitmap(1, 1);
  platform::TCanvas canvas(bitmap);
  const std::string accented = "\xC3\xA9\xC3\xA9\xC3\xA9";  // three e-acute
  EXPECT_EQ(controls::FitBefore(canvas, accented, "", canvas.TextWidth("\xC3\xA9")), "\xC3\xA9");
  EXPECT_EQ(controls::FitBefore(canvas, "abc", "...", -1), "");
  EXPECT_EQ(controls::FitBefore(canvas, "abc", "", 1000), "abc");
  const std::string limited = controls::LimitCaption(std::string(2000, 'a') + accented);
  EXPECT_EQ(limited, std::string(controls::kMaxCaptionBytes, 'a'));
  const std::string odd = std::string(controls::kMaxCaptionBytes - 1, 'a') + accented;
  EXPECT_EQ(controls::LimitCaption(odd), std::string(controls::kMaxCaptionBytes - 1, 'a'));
}

}  // namespace
}  // namespace controls_test
