#include "controls/KestSlider.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "ControlInput.h"
#include "SkinFixture.h"
#include "controls/KestTimeSlider.h"

namespace controls_test {
namespace {

using controls::TKestSlider;
using controls::TKestTimeSlider;
using platform::RGB;
using platform::TColor;
using platform::TPoint;

constexpr TColor kWhite = RGB(255, 255, 255);
constexpr TColor kBlack = RGB(0, 0, 0);
constexpr TColor kKnob = RGB(0, 0, 200);
constexpr TColor kHoverKnob = RGB(0, 200, 0);
constexpr TColor kFill = RGB(0, 0, 255);
constexpr std::int64_t kLowest = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kHighest = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kSecond = 10'000'000;

class KestSlider : public SkinFixture {
 protected:
  // Records the values the slider hands to the entity's owner.
  struct TOwner {
    std::vector<std::int64_t> Values;
    app::TBasicEntity* Entity = nullptr;
    void Run(app::TEntityHolder&) { Values.push_back(Entity->Value); }
  };

  void SetUp() override {
    owner.Entity = &value;
    value.OnExecute = app::MakeCallback<&TOwner::Run>(&owner);
    entities.RegisterEntity("Value", &value);
  }
  void TearDown() override {
    window.reset();
    entities.UnregisterEntity("Value");
  }

  // A slider (or time slider) in a white window; the knob pack "Knob.K"
  // holds two 10 x 10 knobs, normal and hovered, "Knob.One" only one.
  template <class TSlider = TKestSlider>
  TSlider& BuildSlider(const std::string& attributes, const std::string& tag = "SLIDER") {
    window.reset();
    pack.AddBitmap("knob.bmp", Strip({kKnob, kHoverKnob}, 10, 10, kKnob));
    Load(R"(<SKIN><IMAGE id="Knob" file="knob.bmp"><AREA id="K" size="10,10" repeat="2,1"/>
              <AREA id="One" size="10,10"/></IMAGE>
              <WINDOW id="Main" size="1000,200" bgcolor="White"><)" +
         tag + R"( pos="0,0" link="Value" )" + attributes + "/></WINDOW></SKIN>");
    window = Build("Main");
    return dynamic_cast<TSlider&>(ChildAt(*window, {0}));
  }
  TKestSlider& Horizontal(const std::string& more = "") {
    return BuildSlider(R"(size="100,20" bar="Knob.K" )" + more);
  }
  // The first column of the knob's colour on the middle row, -1 for none.
  static int KnobLeft(const platform::TBitmap& picture, TColor colour = kKnob) {
    for (int x = 0; x < picture.Width(); ++x) {
      if (picture.Pixel(x, picture.Height() / 2) == colour) return x;
    }
    return -1;
  }
  void SetEntity(std::int64_t min, std::int64_t position, std::int64_t max) {
    value.Min = min;
    value.Value = position;
    value.Max = max;
    entities.Notify("Value");
  }

  TOwner owner;
  app::TBasicEntity value{0, 500, 1000};
  std::unique_ptr<controls::TSkinWindow> window;
};

TEST_F(KestSlider, TheTrackLiesBetweenTheKnobsCentresAtBothEnds) {
  TKestSlider& slider = Horizontal();
  EXPECT_EQ(slider.KnobCenter, (TPoint{5, 5}));
  EXPECT_EQ(slider.TrackStart, 5);
  EXPECT_EQ(slider.TrackEnd, -4);
  EXPECT_EQ(slider.TrackEndPos(), 95);

  TKestSlider& margins = Horizontal(R"(margin="3,7" bcenter="2,3")");
  EXPECT_EQ(margins.TrackStart, 2 + 3);
  EXPECT_EQ(margins.TrackEndPos(), 100 + (2 - 10 + 1 - 7) - 1);
  // A positive end is an offset from the near edge.
  EXPECT_EQ(Horizontal(R"(margin="0,-50")").TrackEndPos(), 46);

  // Fields are read in order; the first that is no number ends the reading.
  EXPECT_EQ(Horizontal(R"(bsize="10,20")").KnobSize, (TPoint{10, 20}));
  EXPECT_EQ(Horizontal(R"(bsize="12")").KnobSize, (TPoint{12, 10}));
  EXPECT_EQ(Horizontal(R"(bsize="x,20")").KnobSize, (TPoint{10, 10}));

  // Without a knob pack there is no knob; the margins still count.
  TKestSlider& bare = BuildSlider(R"(size="100,20" bsize="30,30" margin="4,6")");
  EXPECT_EQ(bare.KnobSize, (TPoint{0, 0}));
  EXPECT_EQ(bare.TrackStart, 4);
  EXPECT_EQ(bare.TrackEndPos(), 100 - 6 - 1);
  EXPECT_EQ(BuildSlider(R"(size="100,20")").TrackEndPos(), 99);

  // Unlinked, it keeps the range 0 to 1000.
  window.reset();
  entities.UnregisterEntity("Value");
  TKestSlider& loose = Horizontal();
  EXPECT_EQ(loose.Position, 500);
  Press(loose, 95, 10);
  EXPECT_EQ(loose.Position, 1000);
  Press(loose, 0, 10);
  EXPECT_EQ(loose.Position, 0);
  window.reset();
  entities.RegisterEntity("Value", &value);
}

TEST_F(KestSlider, PressesAndDragsSetTheValueAlongTheTrack) {
  TKestSlider& slider = Horizontal();
  TCommandRecorder others;
  entities.AddClient("Value", others.Callback());
  for (const int x : {5, 95, 500, -40, 50}) Press(slider, x, 10);
  Press(slider, 20, 10, platform::TMouseButton::Right);
  EXPECT_EQ(slider.Position, 500);
  // The owner hears every value; other clients are not notified.
  EXPECT_EQ(owner.Values, (std::vector<std::int64_t>{0, 1000, 1000, 0, 500}));
  EXPECT_TRUE(others.Ran.empty());
  entities.RemoveClient("Value", others.Callback());

  // While it holds the capture, moves follow the mouse; after, they only hover.
  slider.SetCapture();
  Move(slider, 23, 10);
  EXPECT_EQ(slider.Position, 200);
  slider.ReleaseCapture();
  Move(slider, 77, 10);
  EXPECT_EQ(value.Value, 200);
  EXPECT_TRUE(slider.Hover());

  // Rounding is toward zero, also below zero: -11.1 gives -11.
  SetEntity(0, 0, -1000);
  Press(slider, 6, 10);
  EXPECT_EQ(slider.Position, -11);
}

TEST_F(KestSlider, TheKnobShowsTheValueAndTheHover) {
  TKestSlider& slider = Horizontal();
  for (const auto& [position, left] : {std::pair{500, 45}, {0, 0}, {1000, 90}, {333, 29}}) {
    Picture(slider);
    SetEntity(0, position, 1000);
    EXPECT_TRUE(AskedForRepaint(slider)) << position;
    EXPECT_EQ(KnobLeft(Picture(slider)), left) << position;
  }
  // Centred across the track: rows 5 to 14 of 20.
  const platform::TBitmap centred = Picture(slider);
  EXPECT_EQ(centred.Pixel(35, 4), kWhite);
  EXPECT_EQ(centred.Pixel(35, 5), kKnob);
  EXPECT_EQ(centred.Pixel(35, 14), kKnob);
  EXPECT_EQ(centred.Pixel(35, 15), kWhite);
  // The hovered knob is framed in the normal knob's colour; a press, the
  // hover and its end ask for a repaint.
  Move(slider, 30, 10);
  EXPECT_TRUE(AskedForRepaint(slider));
  EXPECT_EQ(KnobLeft(Picture(slider), kHoverKnob), 30);
  Press(slider, 40, 10);
  EXPECT_TRUE(AskedForRepaint(slider));
  Leave(slider);
  EXPECT_TRUE(AskedForRepaint(slider));
  EXPECT_EQ(KnobLeft(Picture(slider), kHoverKnob), -1);
  value.Enabled = false;
  entities.Notify("Value");
  EXPECT_EQ(KnobLeft(Picture(slider)), -1);
}

TEST_F(KestSlider, AVerticalSliderHasItsMinimumAtTheBottom) {
  TKestSlider& slider = BuildSlider(R"(size="20,100" bar="Knob.K" axis="y")");
  EXPECT_EQ(slider.TrackEndPos(), 95);
  for (const auto& [y, position] : {std::pair{95, 0}, {5, 1000}, {50, 500}}) {
    Press(slider, 10, y);
    EXPECT_EQ(slider.Position, position) << y;
  }
  const auto knobTop = [&] {
    const platform::TBitmap picture = Picture(slider);
    for (int y = 0; y < picture.Height(); ++y) {
      if (picture.Pixel(5, y) == kKnob) return y;
    }
    return -1;
  };
  SetEntity(0, 0, 1000);
  EXPECT_EQ(knobTop(), 90);
  SetEntity(0, 1000, 1000);
  EXPECT_EQ(knobTop(), 0);
}

TEST_F(KestSlider, EmptyRangesAndTracksKeepTheKnobAtTheStart) {
  TKestSlider& slider = Horizontal();
  SetEntity(7, 7, 7);
  Press(slider, 80, 10);
  EXPECT_EQ(slider.Position, 7);
  EXPECT_EQ(KnobLeft(Picture(slider)), 0);

  // A track of no length, and one ending before it starts.
  for (const char* size : {"10,20", "6,20"}) {
    TKestSlider& tiny = BuildSlider(std::string("size=\"") + size + R"(" bar="Knob.K")");
    ASSERT_LE(tiny.TrackEndPos(), tiny.TrackStart);
    SetEntity(-5, 3, 5);
    EXPECT_EQ(tiny.ValueToPixel(), 0) << size;
    Press(tiny, 8, 10);
    EXPECT_EQ(tiny.Position, -5) << size;
  }
}

TEST_F(KestSlider, FullRangeValuesDoNotOverflow) {
  TKestSlider& slider = Horizontal();
  for (const auto& [position, pixel] : {std::pair{kHighest, 90}, {0, 45}, {kLowest, 0}}) {
    SetEntity(kLowest, position, kHighest);
    EXPECT_EQ(slider.ValueToPixel(), pixel) << position;
  }
  for (const auto& [x, position] :
       {std::pair{95, kHighest}, {5, kLowest}, {50, std::int64_t{-1}}}) {
    Press(slider, x, 10);
    EXPECT_EQ(slider.Position, position) << x;
  }
  // A value far outside its range puts the knob far off, not anywhere.
  SetEntity(0, kHighest, 1);
  EXPECT_EQ(slider.ValueToPixel(), controls::kMaxPixelOffset);
  SetEntity(kHighest, kLowest, kHighest - 1);
  EXPECT_EQ(slider.ValueToPixel(), controls::kMaxPixelOffset);
  EXPECT_EQ(KnobLeft(Picture(slider)), -1);

  // Hostile sizes and offsets stay within a control's side.
  TKestSlider& huge =
      Horizontal(R"(bsize="2147483647,2147483647" margin="2147483647,-2147483648")");
  EXPECT_EQ(huge.KnobSize.X, controls::kMaxControlSide);
  Press(huge, 50, 10);
  Picture(huge);
}

// ---- time slider -----------------------------------------------------------

TEST_F(KestSlider, TimesAreWrittenForTheRangeOfTheSlider) {
  auto& slider = BuildSlider<TKestTimeSlider>(R"(size="300,40")", "TIMESLIDER");
  const std::int64_t time = (3600 + 2 * 60 + 3) * kSecond + kSecond / 2;
  const struct {
    std::int64_t Max;
    std::string Zero, Time;
  } cases[] = {{2 * 3600 * kSecond, "0:00:00", "1:02:03"},
               {600 * kSecond, "00:00", "02:03"},
               {600 * kSecond - 1, "0:00", "2:03"}};
  for (const auto& [max, zero, text] : cases) {
    SetEntity(0, 0, max);
    EXPECT_EQ(slider.FormatTime(0), zero);
    EXPECT_EQ(slider.FormatTime(time), text);
  }
  EXPECT_FALSE(slider.FormatTime(kLowest).empty());
}

TEST_F(KestSlider, AThreeMinuteScaleHasTicksEveryHalfMinute) {
  // The track is measured from the label "0:00": make it 400 pixels long.
  auto& probe = BuildSlider<TKestTimeSlider>(R"(size="300,40")", "TIMESLIDER");
  const int label = TextWidthIn(probe, "0:00");
  // Labels 16 to 34 pixels wide give the same step as the 30 below.
  ASSERT_GE(label, 16);
  ASSERT_LE(label, 34);
  const int half = label / 2 + 3;
  const int width = 400 + 2 * half + 1;
  auto& slider = BuildSlider<TKestTimeSlider>(
      "size=\"" + std::to_string(width) + R"(,40" fillcolor="#0000FF" margin="50,50")",
      "TIMESLIDER");
  EXPECT_EQ(slider.TrackStart, 20);
  EXPECT_EQ(slider.TrackEnd, -20);
  SetEntity(0, 90 * kSecond, 180 * kSecond);
  const platform::TBitmap picture = Picture(slider);
  ASSERT_EQ(slider.TrackStart, half);
  ASSERT_EQ(slider.TrackEndPos() - slider.TrackStart, 400);

  // A 30-pixel label gives n = 8 and a step of 180 s / 7, raised to 30 s;
  // the font's own label a step of 30 s as well.
  for (const int labelWidth : {30, label}) {
    SCOPED_TRACE(labelWidth);
    std::vector<std::string> labels;
    std::vector<int> majors;
    int minors = 0;
    for (const auto& tick : slider.TimeScale(labelWidth)) {
      if (!tick.Major) {
        ++minors;
        continue;
      }
      majors.push_back(tick.X - half);
      labels.push_back(tick.Label);
    }
    EXPECT_EQ(labels, (std::vector<std::string>{"0:00", "0:30", "1:00", "1:30", "2:00", "2:30",
                                                "3:00", ""}));
    EXPECT_EQ(majors, (std::vector<int>{0, 66, 133, 200, 266, 333, 400, 400}));
    EXPECT_EQ(minors, 6 * 4);
  }
  // Minor ticks every fifth of a step: 6 s is 13.3 pixels.
  std::vector<int> firstMinors;
  for (const auto& tick : slider.TimeScale(label)) {
    if (!tick.Major && firstMinors.size() < 4) firstMinors.push_back(tick.X - half);
  }
  EXPECT_EQ(firstMinors, (std::vector<int>{13, 26, 40, 53}));
  // The step is the range over one tick fewer than fit, raised to a nice
  // one: labels 85 pixels apart leave room for 4 ticks on 400 pixels, so
  // a third of the range is raised; the second label shows the step.
  const struct {
    std::int64_t Max;
    const char* Second;
  } steps[] = {{120 * kSecond, "1:00"},         {36 * kSecond, "0:15"},
               {24 * 60 * kSecond, "10:00"},    {60 * 60 * kSecond, "0:30:00"},
               {270 * 60 * kSecond, "2:00:00"}, {30 * 3600 * kSecond, "10:00:00"}};
  for (const auto& [max, second] : steps) {
    SetEntity(0, 0, max);
    std::vector<std::string> labels;
    for (const auto& tick : slider.TimeScale(85)) {
      if (tick.Major) labels.push_back(tick.Label);
    }
    ASSERT_GE(labels.size(), 2u);
    EXPECT_EQ(labels[1], second) << max;
  }
  SetEntity(0, 90 * kSecond, 180 * kSecond);

  // Drawn: major ticks reach four rows up from the bottom rule, minor ones
  // three; the labels sit above the ticks; the played half is filled.
  // Rules run along rows 1 and 38 over the track; a major tick widens to
  // five pixels on them, three next to them, one more inward; a minor tick
  // is two pixels long.
  const int bottom = 40 - 2;
  const auto expectedInk = [&](bool major, int dx, int y) {
    const int inward = y <= 2 ? y - 1 : bottom - y;
    if (inward < 0) return false;
    if (major)
      return (inward == 0 && std::abs(dx) <= 2) || (inward == 1 && std::abs(dx) <= 1) ||
             (inward == 2 && dx == 0);
    return inward <= 1 && dx == 0;
  };
  for (const auto& tick : slider.TimeScale(label)) {
    SCOPED_TRACE(tick.X);
    for (int dx = -3; dx <= 3; ++dx) {
      for (const int y : {0, 1, 2, 36, 37, 38, 39}) {
        const int x = tick.X + dx;
        const bool onRule =
            (y == 1 || y == bottom) && x >= slider.TrackStart && x < slider.TrackEndPos();
        EXPECT_EQ(picture.Pixel(x, y) == kBlack, onRule || expectedInk(tick.Major, dx, y))
            << dx << "," << y;
      }
    }
    if (tick.Label.empty()) continue;
    bool ink = false;
    for (int x = tick.X - label / 2; x <= tick.X + label / 2; ++x) {
      for (int y = 5; y < 20; ++y) {
        const TColor pixel = picture.Pixel(x, y);
        ink = ink || (pixel != kWhite && pixel != kFill);
      }
    }
    EXPECT_TRUE(ink);
  }
  EXPECT_EQ(picture.Pixel(half + 150, 25), kFill);
  EXPECT_EQ(picture.Pixel(0, 0), kFill);
  EXPECT_EQ(picture.Pixel(half + 250, 25), kWhite);
}

TEST_F(KestSlider, TimeScalesStayBoundedForAnyRange) {
  auto& slider = BuildSlider<TKestTimeSlider>(R"(size="300,40")", "TIMESLIDER");
  Picture(slider);
  const int label = TextWidthIn(slider, "0:00:00");
  // No range: no ticks, and painting divides by nothing.
  SetEntity(0, 0, 0);
  EXPECT_TRUE(slider.TimeScale(label).empty());
  Picture(slider);
  SetEntity(-5, 0, -1);
  EXPECT_TRUE(slider.TimeScale(label).empty());
  Picture(slider);

  // The largest range: a handful of ticks, hours on the labels.
  SetEntity(0, kHighest, kHighest);
  const auto ticks = slider.TimeScale(label);
  EXPECT_LE(ticks.size(), 5u * 300 / 15 + 2);
  const auto first =
      std::find_if(ticks.begin(), ticks.end(), [](const auto& tick) { return tick.Major; });
  ASSERT_NE(first, ticks.end());
  EXPECT_EQ(first->Label, "0:00:00");
  EXPECT_EQ(ticks.back().X, slider.TrackEndPos());
  Picture(slider);

  // A range of a few units: the step is still a second.
  SetEntity(0, 1, 3);
  const auto few = slider.TimeScale(label);
  ASSERT_EQ(few.size(), 2u);
  EXPECT_EQ(few[0].X, slider.TrackStart);
  EXPECT_EQ(few[0].Label, "0:00");

  // A disabled time slider draws neither fill nor scale.
  value.Enabled = false;
  entities.Notify("Value");
  const platform::TBitmap picture = Picture(slider);
  for (int x = 0; x < picture.Width(); ++x) ASSERT_EQ(picture.Pixel(x, 38), kWhite) << x;
}

}  // namespace
}  // namespace controls_test
