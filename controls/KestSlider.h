#pragma once

#include <cstdint>

#include "controls/KestActCtl.h"

namespace controls {

// A knob on a horizontal or vertical track showing the 64-bit value of a
// linked basic entity between its Min and Max; a press or a drag on the
// track sets the value. The background image is the track; the "Bar" pack
// holds the knob (image 0) and, optionally, the knob under the mouse
// (image 1).
//
// Every division by a range or a track length that may be zero has a
// defined outcome: with Max equal to Min, or a track of no positive length,
// the knob sits at the track's start and a press sets Min. The products are
// taken in 128 bits, so no entity value overflows them.
class TKestSlider : public TKestActiveControl {
 public:
  explicit TKestSlider(TKestControl& owner);

  void LoadFromXML(const skin::TXMLNode& element) override;

  // The track's far end in pixels from the near edge (left, or bottom when
  // vertical).
  int TrackEndPos() const;
  // The knob's distance from TrackStart along the track for Position.
  int ValueToPixel() const;
  // Sets Position from a point of the control (client pixels) and passes it
  // to the linked basic entity's owner.
  void SetFromMouse(int x, int y);

  platform::TPoint KnobCenter;
  platform::TPoint KnobSize;
  skin::TImagePack* KnobImages = nullptr;
  bool HasHoverKnob = false;
  bool Vertical = false;
  std::int64_t Min = 0;
  std::int64_t Max = 1000;
  std::int64_t Position = 500;
  // Offset of the track's start from the near edge.
  int TrackStart = 0;
  // The track's end: positive, an offset from the near edge; zero or
  // negative, counted back from the far edge.
  int TrackEnd = 0;

 protected:
  void EntityChanged(app::TEntityHolder& sender) override;
  void MouseDown(const platform::TMouseEvent& event) override;
  void MouseMove(const platform::TMouseEvent& event) override;
  void HoverChanged() override;
  void Paint(platform::TCanvas& canvas) override;

 private:
  void ReadKnob(const skin::TXMLNode& element);
  void PaintKnob(platform::TCanvas& canvas);
};

// Pixel offsets computed from entity values are kept within this distance
// of the control: enough to place anything that can be seen, and far from
// the limits of 32-bit coordinates.
constexpr int kMaxPixelOffset = 4 * kMaxControlSide;

// Clamps a 128-bit pixel offset to +-kMaxPixelOffset.
int ClampPixel(__int128 value);

}  // namespace controls
