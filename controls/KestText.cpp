#include "controls/KestText.h"

#include <algorithm>

#include "app/Entities.h"
#include "app/TextUtil.h"
#include "controls/TextFit.h"
#include "platform/Canvas.h"
#include "skin/KestRes.h"
#include "skin/XML.h"

namespace controls {

namespace {

constexpr std::string_view kEllipsis = "...";

// A text may be of any length (a string entity, a skin attribute); a paint
// measures at most this many bytes of it. A control is at most
// kMaxControlSide pixels wide, so only a text of characters narrower than a
// pixel could show more.
constexpr std::size_t kMaxTextBytes = 64 * 1024;

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The text cut to at most `bytes`, at a character boundary.
std::string_view CharacterStart(std::string_view text, std::size_t bytes) {
  if (text.size() <= bytes) return text;
  while (bytes > 0 && IsContinuation(text[bytes])) --bytes;
  return text.substr(0, bytes);
}

// The start of the text that decides what `width` pixels show. It grows
// from kMaxCaptionBytes until it alone is wider than the control: widths
// grow with the text, so the whole text is then shortened to the same
// result, and a short text is measured whole.
std::string_view MeasuredStart(const platform::TCanvas& canvas, std::string_view text, int width) {
  for (std::size_t limit = kMaxCaptionBytes;; limit *= 2) {
    const std::string_view start = CharacterStart(text, limit);
    if (start.size() == text.size() || limit >= kMaxTextBytes) return start;
    if (canvas.TextWidth(start) > width) return start;
  }
}

// The longest start of `text` (in bytes: a pattern font draws a glyph per
// byte) that fits into `width` with "..." appended, by bisection.
std::string PatternFitBefore(const skin::TSkinResFont& font, platform::TCanvas& canvas,
                             std::string_view text, int width) {
  const auto fits = [&](std::size_t bytes) {
    std::string candidate(text.substr(0, bytes));
    candidate += kEllipsis;
    return font.TextWidth(canvas, candidate) <= width;
  };
  std::size_t low = 0;
  std::size_t high = text.size();
  while (low < high) {
    const std::size_t middle = low + (high - low + 1) / 2;
    if (fits(middle)) {
      low = middle;
    } else {
      high = middle - 1;
    }
  }
  return std::string(text.substr(0, low));
}

TKestText::TJustify ReadJustify(std::string_view value) {
  if (app::SameText(value, "Center")) return TKestText::TJustify::Center;
  if (app::SameText(value, "Right")) return TKestText::TJustify::Right;
  return TKestText::TJustify::Left;
}

}  // namespace

TKestText::TKestText(TKestControl& owner) : TKestControl(owner) {}

void TKestText::LoadFromXML(const skin::TXMLNode& element) {
  // Before the generic load: a linked string entity replaces it at once.
  Text = element.GetAttr("Text");
  TKestControl::LoadFromXML(element);
  FontRes = ResManager ? ResManager->Find<skin::TSkinResFont>(element.GetAttr("Font")) : nullptr;
  if (FontRes && FontRes->IsSystem) {
    Font.Family = FontRes->Font.Family;
    Font.Size = FontRes->Font.Size;
    Font.Bold = FontRes->Font.Bold;
    Font.Italic = FontRes->Font.Italic;
    Font.Underline = FontRes->Font.Underline;
  }
  const std::string color = element.GetAttr("FGColor");
  if (!color.empty() && ResManager) Font.Color = ResManager->GetColor(color);
  Justify = ReadJustify(element.GetAttr("Justify"));
  SetHint("");
  SubscribeLanguages();
}

void TKestText::EntityChanged(app::TEntityHolder& sender) {
  TKestControl::EntityChanged(sender);
  if (const auto* text = dynamic_cast<const app::TStringEntity*>(sender.Entity)) {
    Text = text->Value;
    Invalidate();
  }
}

bool TKestText::UsesPatternFont() const { return FontRes && !FontRes->IsSystem; }

int TKestText::JustifiedX(int textWidth) const {
  switch (Justify) {
    case TJustify::Center:
      return (Width() - textWidth) / 2;
    case TJustify::Right:
      return Width() - textWidth;
    case TJustify::Left:
      break;
  }
  return 0;
}

TKestText::TLayout TKestText::Layout(platform::TCanvas& canvas) const {
  return UsesPatternFont() ? PatternLayout(canvas) : SystemLayout(canvas);
}

TKestText::TLayout TKestText::SystemLayout(const platform::TCanvas& canvas) const {
  std::string text(MeasuredStart(canvas, Text, Width()));
  if (canvas.TextWidth(text) > Width()) {
    text = FitBefore(canvas, text, kEllipsis, Width());
    if (!text.empty()) text += kEllipsis;
  }
  const int x = JustifiedX(canvas.TextWidth(text));
  return {std::move(text), x};
}

TKestText::TLayout TKestText::PatternLayout(platform::TCanvas& canvas) const {
  std::string text(Text.substr(0, std::min(Text.size(), kMaxTextBytes)));
  if (FontRes->TextWidth(canvas, text) > Width()) {
    text = PatternFitBefore(*FontRes, canvas, text, Width());
    if (!text.empty()) text += kEllipsis;
  }
  const int x = JustifiedX(FontRes->TextWidth(canvas, text));
  return {std::move(text), x};
}

void TKestText::Paint(platform::TCanvas& canvas) {
  TKestControl::Paint(canvas);
  TLayout layout = Layout(canvas);
  if (layout.Text.empty()) return;
  if (!UsesPatternFont()) {
    canvas.TextOut(layout.X, 0, layout.Text);
    return;
  }
  // Every glyph moves the pen at least one pixel right: glyphs past the
  // control's width in number start beyond its right edge.
  const int visible = std::max(0, Width() - layout.X);
  if (layout.Text.size() > static_cast<std::size_t>(visible)) layout.Text.resize(visible);
  FontRes->DrawText(canvas, platform::TRect{layout.X, 0, Width() - layout.X, Height()},
                    layout.Text);
}

}  // namespace controls
