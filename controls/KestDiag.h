#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "app/Entities.h"
#include "controls/KestCtl.h"

namespace controls {

// A bar graph of a value sampled once a second (at every notice of
// "System.Time"): the newest sample at the right edge, each a percentage
// of the height drawn as a yellow bar up from the bottom row.
class TKestDiagram : public TKestControl {
 public:
  static constexpr int kSamples = 400;

  explicit TKestDiagram(TKestControl& owner);

  void LoadFromXML(const skin::TXMLNode& element) override;

  // The entity name whose value is sampled (the "Link" attribute).
  std::string Source;
  // Samples, newest first.
  std::array<std::int64_t, kSamples> History{};

 protected:
  void Paint(platform::TCanvas& canvas) override;

 private:
  void OnTime(app::TEntityHolder& sender);

  // On "System.Time" from loading to destruction.
  app::TSubscription time_;
};

}  // namespace controls
