#pragma once

#include "app/Entities.h"
#include "controls/KestCtl.h"

namespace controls {

// An animation: the images of the "Sequence" pack shown in turn, one per
// tick of the application's timer ("System.Timer").
class TKestAnimation : public TKestControl {
 public:
  explicit TKestAnimation(TKestControl& owner);

  void LoadFromXML(const skin::TXMLNode& element) override;

  // The index of the frame shown now: the low 32 bits of the tick count mod
  // the number of frames. A negative count gives a negative index, which
  // shows the pack's error image; -1 as well when there are no frames.
  int FrameIndex() const;

  // The pack named by "Sequence"; not owned.
  skin::TImagePack* Frames = nullptr;

 protected:
  void Paint(platform::TCanvas& canvas) override;

 private:
  void OnTick(app::TEntityHolder& sender);

  // On "System.Timer" from loading to destruction.
  app::TSubscription timer_;
};

}  // namespace controls
