#include "platform/Snapshot.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

#include "platform/Window.h"
#include "platform/detail/QtBridge.h"
#include "platform/detail/WindowImpl.h"

namespace platform {

TBitmap GrabWindow(TWindowBase& window) {
  QWidget* widget = window.Impl().Widget;
  const QImage image = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
  TBitmap bitmap(image.width(), image.height());
  for (int y = 0; y < image.height(); ++y) {
    const auto* source = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) bitmap.Row(y)[x] = source[x] & 0xFFFFFF;
  }
  return bitmap;
}

bool SaveWindowPng(TWindowBase& window, const TBitmap& picture, const std::string& path) {
  QImage image(picture.Width(), picture.Height(), QImage::Format_ARGB32);
  const detail::TWindowImpl& impl = window.Impl();
  for (int y = 0; y < picture.Height(); ++y) {
    auto* target = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
    for (int x = 0; x < picture.Width(); ++x) {
      const bool inside = !impl.Region || impl.Region->Contains(TPoint{x, y});
      target[x] = (picture.Row(y)[x] & 0xFFFFFF) | (inside ? 0xFF000000u : 0u);
    }
  }
  return image.save(QString::fromStdString(path), "PNG");
}

}  // namespace platform
