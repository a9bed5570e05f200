#include "controls/KestAni.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <memory>

#include "ControlInput.h"
#include "SkinFixture.h"
#include "controls/KestDiag.h"
#include "skin/XML.h"

// The controls driven by the application's ticks: the animation and the
// diagram.
namespace controls_test {
namespace {

using controls::TKestAnimation;
using controls::TKestDiagram;
using platform::RGB;
using platform::TColor;

const TColor kFrames[] = {RGB(10, 0, 0), RGB(20, 0, 0), RGB(30, 0, 0), RGB(40, 0, 0)};
constexpr TColor kYellow = 0x00FFFF;

class KestAni : public SkinFixture {
 protected:
  void SetUp() override {
    pack.AddBitmap("frames.bmp",
                   Strip({kFrames[0], kFrames[1], kFrames[2], kFrames[3]}, 10, 10, RGB(1, 1, 1)));
    entities.RegisterEntity("System.Timer", &timer);
    entities.RegisterEntity("System.Time", &clock);
    entities.RegisterEntity("Load", &load);
  }
  void TearDown() override {
    window.reset();
    entities.UnregisterEntity("Load");
    entities.UnregisterEntity("System.Time");
    entities.UnregisterEntity("System.Timer");
  }

  template <class TControl>
  TControl& Open(const std::string& body) {
    window.reset();
    Load(
        R"(<SKIN><IMAGE id="Pic" file="frames.bmp"><AREA id="F" pos="0,0" size="10,10" repeat="4,1"/>)"
        R"(<AREA id="One" pos="0,0" size="10,10"/>)"
        R"(</IMAGE><WINDOW id="Main" size="500,200">)" +
        body + "</WINDOW></SKIN>");
    window = Build("Main");
    return dynamic_cast<TControl&>(ChildAt(*window, {0}));
  }
  int Clients(const std::string& name) {
    int count = 0;
    for (const app::TCallback& client : entities.GetHolder(name).Clients)
      count += client.IsAssigned() ? 1 : 0;
    return count;
  }
  // One second of the clock with the diagram's source at `value`.
  void Second(std::int64_t value) {
    load.Value = value;
    entities.Notify("System.Time");
  }
  // The rows of column x painted yellow, as [first, last + 1); {h, 0} for none.
  static std::pair<int, int> Bar(const platform::TBitmap& picture, int x) {
    std::pair<int, int> rows{picture.Height(), 0};
    for (int y = 0; y < picture.Height(); ++y) {
      if (picture.Pixel(x, y) != kYellow) continue;
      rows = {std::min(rows.first, y), y + 1};
    }
    return rows;
  }

  app::TBasicEntity timer{0, 0, 0};
  app::TStringEntity clock{"00:00"};
  app::TBasicEntity load{0, 0, 100};
  std::unique_ptr<controls::TSkinWindow> window;
};

TEST_F(KestAni, EachTickShowsTheNextFrameAndWrapsAround) {
  auto& animation = Open<TKestAnimation>(R"(<ANIMATION size="10,10" sequence="Pic.F"/>)");
  for (int tick = 0; tick <= 4; ++tick) {
    Picture(animation);
    entities.SetValue("System.Timer", tick);
    EXPECT_TRUE(AskedForRepaint(animation)) << "tick " << tick;
    EXPECT_EQ(Picture(animation).Pixel(5, 5), kFrames[tick % 4]) << "tick " << tick;
  }
  // Only the low 32 bits count; a negative count shows the error image.
  entities.SetValue("System.Timer", (std::int64_t{1} << 32) + 6);
  EXPECT_EQ(Picture(animation).Pixel(5, 5), kFrames[2]);
  entities.SetValue("System.Timer", -1);
  for (const TColor frame : kFrames) EXPECT_NE(Picture(animation).Pixel(5, 5), frame);

  // Frames fill the control from its corner (a frame's border is there); a
  // sequence of one frame always shows it.
  entities.SetValue("System.Timer", 3);
  auto& single = Open<TKestAnimation>(R"(<ANIMATION size="10,10" sequence="Pic.One"/>)");
  EXPECT_EQ(Picture(single).Pixel(0, 0), RGB(1, 1, 1));
  EXPECT_EQ(Picture(single).Pixel(5, 5), kFrames[0]);
  // Without a timer entity the first frame shows.
  entities.UnregisterEntity("System.Timer");
  EXPECT_EQ(
      Picture(Open<TKestAnimation>(R"(<ANIMATION size="10,10" sequence="Pic.F"/>)")).Pixel(5, 5),
      kFrames[0]);
  entities.RegisterEntity("System.Timer", &timer);
}

TEST_F(KestAni, TickControlsAreClientsOnceFromLoadUntilDestroyed) {
  entities.SetValue("System.Timer", 3);
  auto& animation = Open<TKestAnimation>(
      R"(<ANIMATION size="10,10" bg="Pic.F"/><DIAGRAM size="10,101" bg="Pic.F"/><DIAGRAM link="Load"/>)");
  // Without frames only the background shows.
  EXPECT_EQ(animation.FrameIndex(), -1);
  EXPECT_EQ(Picture(animation).Pixel(5, 5), kFrames[0]);
  // Loading again (as a template's control is) adds no second client.
  skin::TXMLNode again("ANIMATION");
  animation.LoadFromXML(again);
  again.Name = "DIAGRAM";
  ChildAt(*window, {1}).LoadFromXML(again);
  EXPECT_EQ(Clients("System.Timer"), 1);
  EXPECT_EQ(Clients("System.Time"), 2);
  // A diagram without a source records nothing, looks nothing up, and
  // shows its background.
  const std::size_t holders = entities.HolderCount();
  Second(50);
  EXPECT_EQ(entities.HolderCount(), holders);
  const platform::TBitmap unlinked = Picture(ChildAt(*window, {1}));
  EXPECT_EQ(unlinked.Pixel(5, 5), kFrames[0]);
  EXPECT_EQ(Bar(unlinked, 9).second, 0);
  window.reset();
  EXPECT_EQ(Clients("System.Timer"), 0);
  EXPECT_EQ(Clients("System.Time"), 0);
  entities.SetValue("System.Timer", 4);
  Second(50);
}

TEST_F(KestAni, DiagramBarsGrowFromTheBottomNewestAtTheRight) {
  auto& diagram = Open<TKestDiagram>(R"(<DIAGRAM size="50,101" link="Load"/>)");
  Picture(diagram);
  Second(50);
  EXPECT_TRUE(AskedForRepaint(diagram));
  // From the bottom row up to row 50, which is the end point and not drawn.
  EXPECT_EQ(Bar(Picture(diagram), 49), std::make_pair(51, 101));
  for (int x = 0; x < 49; ++x) EXPECT_EQ(Bar(Picture(diagram), x).second, 0) << "column " << x;
  Second(100);
  Second(0);
  const platform::TBitmap picture = Picture(diagram);
  EXPECT_EQ(Bar(picture, 47), std::make_pair(51, 101));
  EXPECT_EQ(Bar(picture, 48), std::make_pair(1, 101));
  EXPECT_EQ(Bar(picture, 49).second, 0);
}

TEST_F(KestAni, DiagramDrawsNothingBeyondItsHistoryNorOutsideItself) {
  auto& wide = Open<TKestDiagram>(R"(<DIAGRAM size="450,11" link="Load"/>)");
  for (int i = 0; i < TKestDiagram::kSamples + 10; ++i) Second(100);
  platform::TBitmap picture = Picture(wide);
  EXPECT_EQ(Bar(picture, 50), std::make_pair(1, 11));
  for (int x = 0; x < 50; ++x) EXPECT_EQ(Bar(picture, x).second, 0) << "column " << x;

  auto& narrow = Open<TKestDiagram>(R"(<DIAGRAM size="4,20" link="Load"/>)");
  Second(std::numeric_limits<std::int32_t>::max());
  Second(-1000);
  Second(std::numeric_limits<std::int64_t>::max());  // low 32 bits: -1, a bar of 0
  Second((std::int64_t{1} << 32) + 100);             // low 32 bits: 100
  picture = Picture(narrow);
  EXPECT_EQ(Bar(picture, 0), std::make_pair(0, 20));
  EXPECT_EQ(Bar(picture, 1), std::make_pair(19, 20));
  EXPECT_EQ(Bar(picture, 2).second, 0);
  EXPECT_EQ(Bar(picture, 3), std::make_pair(1, 20));
}

}  // namespace
}  // namespace controls_test
