#include "platform/SysColors.h"

#include <QApplication>
#include <QPalette>

#include "platform/detail/QtBridge.h"

namespace platform {

namespace {

TColor ClassicColor(TSystemColor color) {
  switch (color) {
    case TSystemColor::ButtonFace:
      return RGB(240, 240, 240);
    case TSystemColor::ButtonText:
      return RGB(0, 0, 0);
    case TSystemColor::Highlight:
      return RGB(0, 120, 215);
    case TSystemColor::HighlightText:
      return RGB(255, 255, 255);
    case TSystemColor::AppWorkspace:
      return RGB(171, 171, 171);
    case TSystemColor::Window:
      return RGB(255, 255, 255);
    case TSystemColor::WindowText:
      return RGB(0, 0, 0);
  }
  return 0;
}

QPalette::ColorRole RoleOf(TSystemColor color) {
  switch (color) {
    case TSystemColor::ButtonFace:
      return QPalette::Button;
    case TSystemColor::ButtonText:
      return QPalette::ButtonText;
    case TSystemColor::Highlight:
      return QPalette::Highlight;
    case TSystemColor::HighlightText:
      return QPalette::HighlightedText;
    case TSystemColor::AppWorkspace:
      return QPalette::Mid;
    case TSystemColor::Window:
      return QPalette::Base;
    case TSystemColor::WindowText:
      return QPalette::Text;
  }
  return QPalette::Button;
}

}  // namespace

TColor SystemColor(TSystemColor color) {
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
    return ClassicColor(color);
  }
  return detail::FromQColor(QApplication::palette().color(QPalette::Active, RoleOf(color)));
}

}  // namespace platform
