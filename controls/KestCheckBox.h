#pragma once

#include <string>
#include <string_view>

#include "controls/KestBtn.h"

namespace controls {

// A button with a caption beside its box. The caption wraps to a second
// line at a word boundary when it is too wide, and the second line ends in
// "..." when it is still too wide.
class TKestCheckBox : public TKestButton {
 public:
  explicit TKestCheckBox(TKestControl& owner);

  void LoadFromXML(const skin::TXMLNode& element) override;

  // The caption; when empty, the caption of the link is shown.
  std::string Text;
  // The left edge of the caption in pixels.
  int Indent = 4;

 protected:
  void Paint(platform::TCanvas& canvas) override;

 private:
  void PaintCaption(platform::TCanvas& canvas);
};

// The lines a caption is drawn as in `width` pixels: Second is empty and
// Wrapped false when the whole caption fits on one line.
struct TCaptionLines {
  std::string First;
  std::string Second;
  bool Wrapped = false;
  friend bool operator==(const TCaptionLines&, const TCaptionLines&) = default;
};
TCaptionLines WrapCaption(const platform::TCanvas& canvas, std::string_view caption, int width);

}  // namespace controls
