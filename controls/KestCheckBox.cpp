#include "controls/KestCheckBox.h"

#include <algorithm>

#include "app/TextUtil.h"
#include "controls/TextFit.h"
#include "platform/Canvas.h"
#include "skin/KestUtil.h"
#include "skin/XML.h"

namespace controls {

namespace {

constexpr std::string_view kEllipsis = "...";

struct TWordCut {
  std::string Line;
  std::string Word;
};

// Cuts the last word off a line. The blank looked for lies before the
// line's last character, so a trailing blank does not count; a line with no
// such blank is one word.
TWordCut CutLastWord(std::string_view line) {
  if (line.empty()) return {};
  std::size_t pos = line.size() >= 2 ? line.size() - 2 : 0;
  while (pos > 0 && line[pos] != ' ') --pos;
  if (line.size() >= 2 && line[pos] == ' ') {
    return {app::Trim(line.substr(0, pos)), app::Trim(line.substr(pos + 1))};
  }
  return {std::string(), app::Trim(line)};
}

}  // namespace

TCaptionLines WrapCaption(const platform::TCanvas& canvas, std::string_view caption, int width) {
  TCaptionLines lines{std::string(caption), std::string(), false};
  if (canvas.TextWidth(lines.First) <= width) return lines;
  lines.Wrapped = true;
  while (!lines.First.empty() && canvas.TextWidth(lines.First) > width) {
    TWordCut cut = CutLastWord(lines.First);
    lines.First = std::move(cut.Line);
    lines.Second = cut.Word + " " + lines.Second;
  }
  if (canvas.TextWidth(lines.Second) > width) {
    lines.Second = FitBefore(canvas, lines.Second, kEllipsis, width);
    lines.Second += kEllipsis;
  }
  return lines;
}

TKestCheckBox::TKestCheckBox(TKestControl& owner) : TKestButton(owner) {}

void TKestCheckBox::LoadFromXML(const skin::TXMLNode& element) {
  SubscribeLanguages();
  TKestButton::LoadFromXML(element);
  Indent = std::clamp(skin::StrToIntDefault(skin::PairField(element.GetAttr("Indent"), 0), 4),
                      -kMaxControlSide, kMaxControlSide);
  Text = element.GetAttr("Text");
  SetHint("");
}

void TKestCheckBox::Paint(platform::TCanvas& canvas) {
  TKestButton::Paint(canvas);
  PaintCaption(canvas);
}

void TKestCheckBox::PaintCaption(platform::TCanvas& canvas) {
  const std::string caption = LimitCaption(Text.empty() ? Caption(Link) : Text);
  const TCaptionLines lines = WrapCaption(canvas, caption, Width() - (Indent + 3));
  const int firstHeight = canvas.TextHeight(lines.First);
  if (!lines.Wrapped) {
    canvas.TextOut(Indent, (Height() - firstHeight) / 2, lines.First);
    return;
  }
  const int secondHeight = canvas.TextHeight(lines.Second);
  const int top = (Height() - firstHeight - secondHeight - 1) / 2;
  canvas.TextOut(Indent, top, lines.First);
  canvas.TextOut(Indent, top + firstHeight + 1, lines.Second);
}

}  // namespace controls
