#include "controls/KestTabs2.h"

#include "skin/AlphaImage.h"

namespace controls {

TKestTabs2::TKestTabs2(TKestControl& owner) : TKestTabStrip(owner) {}

void TKestTabs2::LoadFromXML(const skin::TXMLNode& element) {
  TKestTabStrip::LoadFromXML(element);
  NormalImages = FindPack(element, "TabN");
  SelImages = FindPack(element, "TabS");
  LoadStripAttributes(element);
}

const skin::TAlphaImage* TKestTabs2::SelectedImage() const {
  return SelImages ? &SelImages->Item(0) : nullptr;
}

}  // namespace controls
