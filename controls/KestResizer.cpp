#include "controls/KestResizer.h"

#include <algorithm>
#include <cstdint>

#include "skin/XML.h"

namespace controls {

TKestResizer::TKestResizer(TKestControl& owner) : TKestControl(owner) { Draggable = false; }

void TKestResizer::LoadFromXML(const skin::TXMLNode& element) {
  TKestControl::LoadFromXML(element);
  ResizeHeight = Align() == platform::TAlign::Top || Align() == platform::TAlign::Bottom;
  if (element.GetAttr("Cursor").empty())
    SetCursor(ResizeHeight ? platform::TCursor::VSplit : platform::TCursor::HSplit);
}

void TKestResizer::MouseDown(const platform::TMouseEvent& event) {
  TKestControl::MouseDown(event);
  StartCursor = event.Screen;
  if (platform::TWindowBase* parent = Parent())
    StartSize = ResizeHeight ? parent->Height() : parent->Width();
}

void TKestResizer::MouseMove(const platform::TMouseEvent& event) {
  TKestControl::MouseMove(event);
  if (HasCapture()) ResizeParent(event.Screen);
}

void TKestResizer::ResizeParent(platform::TPoint cursor) {
  platform::TWindowBase* parent = Parent();
  if (!parent) return;
  // In 64 bits: screen points and sizes may lie anywhere in the int range.
  const std::int64_t start = ResizeHeight ? StartCursor.Y : StartCursor.X;
  const std::int64_t now = ResizeHeight ? cursor.Y : cursor.X;
  const platform::TAlign nearSide = ResizeHeight ? platform::TAlign::Top : platform::TAlign::Left;
  // A grip docked to the top (left) grows the parent as it moves up (left),
  // any other as it moves down (right).
  const std::int64_t wanted =
      Align() == nearSide ? start + StartSize - now : now + StartSize - start;
  const int own = ResizeHeight ? Height() : Width();
  const auto size =
      static_cast<int>(std::clamp<std::int64_t>(wanted, own, std::max(own, kMaxControlSide)));
  if (ResizeHeight) {
    parent->SetSize(parent->Width(), size);
  } else {
    parent->SetSize(size, parent->Height());
  }
}

}  // namespace controls
