#include "controls/KestDiag.h"

#include <algorithm>

#include "app/Entities.h"
#include "platform/Canvas.h"
#include "skin/XML.h"

namespace controls {

namespace {

constexpr const char* kTime = "System.Time";
constexpr platform::TColor kBarColor = 0x00FFFF;  // yellow

}  // namespace

TKestDiagram::TKestDiagram(TKestControl& owner) : TKestControl(owner) {}

void TKestDiagram::LoadFromXML(const skin::TXMLNode& element) {
  TKestControl::LoadFromXML(element);
  Source = element.GetAttr("Link");
  // A GROUP element loads the control twice: it stays one client.
  if (app::TEntityManager* entities = Entities())
    time_.Subscribe(entities->GetHolder(kTime), app::MakeCallback<&TKestDiagram::OnTime>(this));
}

void TKestDiagram::OnTime(app::TEntityHolder&) {
  app::TEntityManager* entities = Entities();
  // Without a source there is nothing to look up (and no empty-named holder
  // to leave behind).
  const std::int64_t value = entities && !Source.empty() ? entities->GetValue(Source) : 0;
  std::copy_backward(History.begin(), History.end() - 1, History.end());
  History.front() = value;
  Invalidate();
}

void TKestDiagram::Paint(platform::TCanvas& canvas) {
  TKestControl::Paint(canvas);
  canvas.Pen.Color = kBarColor;
  const int width = Width();
  const std::int64_t height = Height();
  // Only the columns that have a sample: at most kSamples of them.
  for (int i = std::max(0, width - kSamples); i < width; ++i) {
    const auto sample = static_cast<std::int32_t>(History[static_cast<std::size_t>(width - i - 1)]);
    // In 64 bits and clamped just past the edges: a huge sample draws the
    // whole column, a negative one the bottom row, as the unclamped line
    // would (its end point is never drawn).
    const std::int64_t top = height - (height - 1) * sample / 100 - 1;
    canvas.MoveTo(i, static_cast<int>(height - 1));
    canvas.LineTo(i, static_cast<int>(std::clamp<std::int64_t>(top, -1, height)));
  }
}

}  // namespace controls
