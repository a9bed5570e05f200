#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "controls/KestSlider.h"
#include "platform/Types.h"

namespace controls {

// A horizontal slider for times in units of 100 ns (10,000,000 a second),
// such as a playback position: the played part is filled with a colour and
// a time scale with labelled ticks runs along the track.
//
// A Max of zero or below has no scale: the two rules are drawn, no ticks.
class TKestTimeSlider : public TKestSlider {
 public:
  // One tick of the time scale; major ticks may carry a label.
  struct TTick {
    int X = 0;
    bool Major = false;
    std::string Label;
    friend bool operator==(const TTick&, const TTick&) = default;
  };

  explicit TKestTimeSlider(TKestControl& owner);

  void LoadFromXML(const skin::TXMLNode& element) override;

  // The time as text: hours, minutes and seconds when Max reaches an hour,
  // two-digit minutes and seconds from ten minutes, else minutes and
  // seconds.
  std::string FormatTime(std::int64_t value) const;
  // The ticks of the scale along the current track, in drawing order, for
  // labels `labelWidth` pixels wide.
  std::vector<TTick> TimeScale(int labelWidth) const;

  platform::TColor FillColor = platform::RGB(255, 0, 0);

 protected:
  void Paint(platform::TCanvas& canvas) override;

 private:
  std::int64_t ScaleStep(int labelWidth) const;
  void PaintScale(platform::TCanvas& canvas, int labelWidth);
  void PaintMajorTick(platform::TCanvas& canvas, const TTick& tick);
  void PaintMinorTick(platform::TCanvas& canvas, int x);
};

}  // namespace controls
