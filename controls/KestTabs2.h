#pragma once

#include "controls/KestTabs.h"

namespace controls {

// The simpler tab strip of tag "TABS2": separate packs for the unselected
// and the selected tabs, the list items shown as they are, the strip
// starting at the left edge.
class TKestTabs2 : public TKestTabStrip {
 public:
  explicit TKestTabs2(TKestControl& owner);

  void LoadFromXML(const skin::TXMLNode& element) override;

  // Image 0 normal, 1 under the mouse (with two images or more).
  skin::TImagePack* NormalImages = nullptr;
  // Image 0 selected.
  skin::TImagePack* SelImages = nullptr;

 protected:
  const skin::TImagePack* TabPack() const override { return NormalImages; }
  const skin::TAlphaImage* SelectedImage() const override;
  const skin::TAlphaImage* SelectedCaptionImage() const override { return SelectedImage(); }
  std::string TabCaption(const std::string& item) const override { return item; }
  int LayoutStart() const override { return 0; }
  std::int64_t LayoutShift(std::int64_t) const override { return 0; }
  platform::TPoint SelectedTextMove() const override { return {}; }
};

}  // namespace controls
