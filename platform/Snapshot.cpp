#include "platform/Snapshot.h"

#include <QImage>
#include <QRegion>
#include <QWidget>
#include <algorithm>

#include "platform/Window.h"
#include "platform/detail/QtBridge.h"
#include "platform/detail/WindowImpl.h"

namespace platform {

TBitmap GrabWindow(TWindowBase& window) {
  QWidget* widget = window.Impl().Widget;
  // No more than a screen could show: a child window may be larger than
  // any top-level one.
  const QSize largest = detail::LargestWindow();
  TBitmap bitmap(std::min(widget->width(), largest.width()),
                 std::min(widget->height(), largest.height()));
  if (bitmap.IsEmpty()) return bitmap;
  // Painted straight into the bitmap: the only copy of the picture.
  QImage view = detail::ImageView(bitmap);
  widget->render(&view, QPoint(), QRegion(0, 0, bitmap.Width(), bitmap.Height()),
                 QWidget::DrawWindowBackground | QWidget::DrawChildren | QWidget::IgnoreMask);
  for (int y = 0; y < bitmap.Height(); ++y) {
    std::uint32_t* row = bitmap.Row(y);
    for (int x = 0; x < bitmap.Width(); ++x) row[x] &= 0xFFFFFF;
  }
  return bitmap;
}

bool SaveWindowPng(TWindowBase& window, const TBitmap& picture, const std::string& path) {
  QImage image(picture.Width(), picture.Height(), QImage::Format_ARGB32);
  const detail::TWindowImpl& impl = window.Impl();
  const std::uint32_t outside = impl.Region ? 0u : 0xFF000000u;
  for (int y = 0; y < picture.Height(); ++y) {
    auto* target = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
    const std::uint32_t* source = picture.Row(y);
    for (int x = 0; x < picture.Width(); ++x) target[x] = (source[x] & 0xFFFFFF) | outside;
  }
  // The region's rectangles made opaque: linear in the pixels and the
  // rectangles, where asking the region pixel by pixel is not.
  if (impl.Region) {
    const TRect whole{0, 0, picture.Width(), picture.Height()};
    for (const TRect& rect : impl.Region->Rects()) {
      const TRect part{std::max(rect.Left, whole.Left), std::max(rect.Top, whole.Top),
                       std::min(rect.Right, whole.Right), std::min(rect.Bottom, whole.Bottom)};
      for (int y = part.Top; y < part.Bottom; ++y) {
        auto* target = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
        for (int x = part.Left; x < part.Right; ++x) target[x] |= 0xFF000000u;
      }
    }
  }
  return image.save(QString::fromStdString(path), "PNG");
}

}  // namespace platform
