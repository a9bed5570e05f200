#include "controls/KestLink.h"

#include "app/Entities.h"
#include "controls/TextFit.h"
#include "platform/Canvas.h"
#include "skin/XML.h"

namespace controls {

namespace {

constexpr platform::TColor kBlack = 0;
constexpr platform::TColor kPressedColor = platform::RGB(255, 0, 0);
constexpr platform::TColor kHoverColor = platform::RGB(0, 0, 255);
constexpr std::string_view kEllipsis = "...";

}  // namespace

TKestLink::TKestLink(TKestControl& owner) : TKestActiveControl(owner) {}

void TKestLink::LoadFromXML(const skin::TXMLNode& element) {
  // Before the generic load, so that a "Cursor" attribute still wins.
  SetCursor(platform::TCursor::Hand);
  TKestActiveControl::LoadFromXML(element);
  URL = element.GetAttr("URL");
}

void TKestLink::TakeURLFromEntity() {
  if (!URL.empty() || !Holder) return;
  if (const auto* text = dynamic_cast<const app::TStringEntity*>(Holder->Entity)) URL = text->Value;
}

void TKestLink::MouseDown(const platform::TMouseEvent& event) {
  TKestActiveControl::MouseDown(event);
  Font.Color = kPressedColor;
  Invalidate();
  ReleaseCapture();
}

void TKestLink::MouseUp(const platform::TMouseEvent& event) {
  TKestActiveControl::MouseUp(event);
  Font.Color = kBlack;
  Invalidate();
  TakeURLFromEntity();
  // The command may free this control: nothing touches it afterwards.
  if (app::TEntityManager* entities = Entities()) entities->Execute("System.Execute(" + URL + ")");
}

void TKestLink::HoverChanged() {
  Font.Bold = false;
  Font.Italic = false;
  Font.Underline = Hover();
  Font.Color = Hover() ? kHoverColor : kBlack;
  Invalidate();
}

void TKestLink::Paint(platform::TCanvas& canvas) {
  TKestActiveControl::Paint(canvas);
  TakeURLFromEntity();
  std::string text = LimitCaption(URL);
  if (canvas.TextWidth(text) > Width()) {
    text = FitBefore(canvas, text, kEllipsis, Width());
    if (!text.empty()) text += kEllipsis;
  }
  canvas.TextOut((Width() - canvas.TextWidth(text)) / 2, 0, text);
}

}  // namespace controls
