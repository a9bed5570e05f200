#pragma once

#include <string>
#include <string_view>

#include "controls/KestCtl.h"

namespace skin {
class TSkinResFont;
}

namespace controls {

// One line of text: a caption from the skin or the value of a linked string
// entity, justified left, centred or right and cut with "..." when it does
// not fit. It is drawn in the control's font, or with the glyph images of a
// pattern font of the skin. It never wraps and shows no tooltip.
class TKestText : public TKestControl {
 public:
  enum class TJustify { Left, Center, Right };

  explicit TKestText(TKestControl& owner);

  void LoadFromXML(const skin::TXMLNode& element) override;

  // The text as it is drawn now: shortened to the control's width (empty
  // when not even "..." fits) and its left edge.
  struct TLayout {
    std::string Text;
    int X = 0;
  };
  TLayout Layout(platform::TCanvas& canvas) const;

  // The FONT resource named by "Font"; not owned. Null, or a system font:
  // the text is drawn in the control's font.
  skin::TSkinResFont* FontRes = nullptr;
  // The "Text" attribute, replaced by the linked string whenever it changes.
  std::string Text;
  TJustify Justify = TJustify::Left;

 protected:
  void EntityChanged(app::TEntityHolder& sender) override;
  void Paint(platform::TCanvas& canvas) override;

 private:
  bool UsesPatternFont() const;
  TLayout SystemLayout(const platform::TCanvas& canvas) const;
  TLayout PatternLayout(platform::TCanvas& canvas) const;
  int JustifiedX(int textWidth) const;
};

}  // namespace controls
