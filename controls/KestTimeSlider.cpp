#include "controls/KestTimeSlider.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "platform/Canvas.h"
#include "skin/KestRes.h"
#include "skin/XML.h"

namespace controls {

namespace {

constexpr std::int64_t kSecond = 10'000'000;
constexpr std::int64_t kMinute = 60 * kSecond;
constexpr std::int64_t kHour = 60 * kMinute;

// The steps a scale prefers; a step between two of them is raised to the
// larger one.
constexpr std::array<std::int64_t, 13> kNiceSteps = {
    kSecond,      5 * kSecond,  10 * kSecond, 15 * kSecond, 30 * kSecond, kMinute,  5 * kMinute,
    10 * kMinute, 15 * kMinute, 30 * kMinute, kHour,        2 * kHour,    5 * kHour};

// A scale never has more major ticks than a control has pixels.
constexpr std::int64_t kMaxMajorTicks = kMaxControlSide;

constexpr int kTrackMargin = 20;

void Line(platform::TCanvas& canvas, int x1, int y1, int x2, int y2) {
  canvas.MoveTo(x1, y1);
  canvas.LineTo(x2, y2);
}

}  // namespace

TKestTimeSlider::TKestTimeSlider(TKestControl& owner) : TKestSlider(owner) {}

void TKestTimeSlider::LoadFromXML(const skin::TXMLNode& element) {
  FillColor = platform::RGB(255, 0, 0);
  TKestSlider::LoadFromXML(element);
  const std::string color = element.GetAttr("FillColor");
  if (!color.empty() && ResManager) FillColor = ResManager->GetColor(color);
  TrackStart = kTrackMargin;
  TrackEnd = -kTrackMargin;
}

std::string TKestTimeSlider::FormatTime(std::int64_t value) const {
  const long long seconds = value / kSecond;
  const long long s = seconds % 60;
  const long long minutes = seconds / 60;
  const long long m = minutes % 60;
  const long long h = minutes / 60;
  char text[64];
  if (Max >= kHour) {
    std::snprintf(text, sizeof text, "%lld:%.2lld:%.2lld", h, m, s);
  } else if (Max >= 10 * kMinute) {
    std::snprintf(text, sizeof text, "%.2lld:%.2lld", m, s);
  } else {
    std::snprintf(text, sizeof text, "%lld:%.2lld", m, s);
  }
  return text;
}

std::int64_t TKestTimeSlider::ScaleStep(int labelWidth) const {
  const std::int64_t length = std::int64_t{TrackEndPos()} - TrackStart;
  const std::int64_t n = length / (std::int64_t{labelWidth} + 15);
  if (n < 2) return Max;
  const std::int64_t step = std::max(Max / (n - 1), kSecond);
  const auto nice = std::lower_bound(kNiceSteps.begin(), kNiceSteps.end(), step);
  return nice == kNiceSteps.end() ? step : *nice;
}

std::vector<TKestTimeSlider::TTick> TKestTimeSlider::TimeScale(int labelWidth) const {
  std::vector<TTick> ticks;
  if (Max <= 0) return ticks;
  const std::int64_t step = ScaleStep(labelWidth);
  const __int128 length = std::int64_t{TrackEndPos()} - TrackStart;
  const std::int64_t majors = std::min(Max / step, kMaxMajorTicks);
  for (std::int64_t e = 0; e <= majors; ++e) {
    const __int128 start = __int128{e} * step;
    for (int i = 1; i <= 4; ++i) {
      const __int128 t = start + __int128{step} * i / 5;
      if (t < Max) ticks.push_back({ClampPixel(TrackStart + length * t / Max), false, {}});
    }
    ticks.push_back({ClampPixel(TrackStart + length * start / Max), true,
                     FormatTime(static_cast<std::int64_t>(start))});
  }
  ticks.push_back({TrackEndPos(), true, {}});
  return ticks;
}

void TKestTimeSlider::Paint(platform::TCanvas& canvas) {
  TKestSlider::Paint(canvas);
  if (!Enabled()) return;
  // The track leaves room for half a label at either end; the knob has
  // already been drawn on the previous track.
  const int labelWidth = std::clamp(canvas.TextWidth(FormatTime(0)), 0, kMaxControlSide);
  const int half = labelWidth / 2 + 3;
  TrackStart = half;
  TrackEnd = -half;
  canvas.FillRect(platform::TRect{0, 0, ValueToPixel() + TrackStart, Height()}, FillColor);
  PaintScale(canvas, labelWidth);
}

void TKestTimeSlider::PaintScale(platform::TCanvas& canvas, int labelWidth) {
  canvas.Pen = platform::TPen{};
  canvas.Brush.Style = platform::TBrushStyle::Clear;
  Line(canvas, TrackStart, 1, TrackEndPos(), 1);
  Line(canvas, TrackStart, Height() - 2, TrackEndPos(), Height() - 2);
  for (const TTick& tick : TimeScale(labelWidth)) {
    if (tick.Major) {
      PaintMajorTick(canvas, tick);
    } else {
      PaintMinorTick(canvas, tick.X);
    }
  }
}

void TKestTimeSlider::PaintMinorTick(platform::TCanvas& canvas, int x) {
  const int bottom = Height() - 2;
  Line(canvas, x, 1, x, 3);
  Line(canvas, x, bottom, x, bottom - 2);
}

void TKestTimeSlider::PaintMajorTick(platform::TCanvas& canvas, const TTick& tick) {
  const int x = tick.X;
  const int bottom = Height() - 2;
  Line(canvas, x, 1, x, 4);
  Line(canvas, x - 1, 2, x + 2, 2);
  Line(canvas, x - 2, 1, x + 3, 1);
  Line(canvas, x, bottom, x, bottom - 3);
  Line(canvas, x - 1, bottom - 1, x + 2, bottom - 1);
  Line(canvas, x - 2, bottom, x + 3, bottom);
  if (!tick.Label.empty()) canvas.TextOut(x - canvas.TextWidth(tick.Label) / 2, 3, tick.Label);
}

}  // namespace controls
