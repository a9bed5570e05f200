#pragma once

#include <string>

#include "controls/KestActCtl.h"

namespace controls {

// A hyperlink: its address drawn centred, underlined in blue under the
// mouse and red while pressed; a click opens it through "System.Execute".
class TKestLink : public TKestActiveControl {
 public:
  explicit TKestLink(TKestControl& owner);

  void LoadFromXML(const skin::TXMLNode& element) override;

  // The address; when empty it is taken once from the linked string entity.
  std::string URL;

 protected:
  void MouseDown(const platform::TMouseEvent& event) override;
  void MouseUp(const platform::TMouseEvent& event) override;
  void HoverChanged() override;
  void Paint(platform::TCanvas& canvas) override;

 private:
  void TakeURLFromEntity();
};

}  // namespace controls
