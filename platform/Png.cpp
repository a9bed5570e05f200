#include "platform/Png.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>

namespace platform {

std::vector<std::uint8_t> EncodePng(int width, int height, const std::vector<std::uint8_t>& rgba) {
  if (width <= 0 || height <= 0 ||
      rgba.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4) {
    return {};
  }
  const QImage image(rgba.data(), width, height, width * 4, QImage::Format_RGBA8888);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) return {};
  return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

}  // namespace platform
