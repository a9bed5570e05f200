#include "platform/detail/QtBridge.h"

#include <QStringDecoder>

namespace platform::detail {

QImage ImageView(TBitmap& bitmap) {
  if (bitmap.IsEmpty()) return QImage();
  return QImage(bitmap.ScanLine(0), bitmap.Width(), bitmap.Height(), bitmap.Width() * 4,
                QImage::Format_RGB32);
}

QImage ConstImageView(const TBitmap& bitmap) {
  if (bitmap.IsEmpty()) return QImage();
  return QImage(bitmap.ScanLine(0), bitmap.Width(), bitmap.Height(), bitmap.Width() * 4,
                QImage::Format_RGB32);
}

TBitmap BitmapFromImage(const QImage& image) {
  TBitmap bitmap(image.width(), image.height());
  if (bitmap.IsEmpty()) return bitmap;
  const QImage source = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  for (int y = 0; y < bitmap.Height(); ++y) {
    const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
    std::uint32_t* out = bitmap.Row(y);
    // Premultiplied colour over black is the colour channels themselves.
    for (int x = 0; x < bitmap.Width(); ++x) out[x] = in[x] & 0xFFFFFF;
  }
  return bitmap;
}

QFont ToQFont(const TFont& font) {
  QFont result(QString::fromStdString(font.Family));
  result.setStyleHint(QFont::SansSerif);
  result.setPixelSize(font.PixelSize());
  result.setBold(font.Bold);
  result.setItalic(font.Italic);
  result.setUnderline(font.Underline);
  return result;
}

QString ToQString(std::string_view text) {
  const QByteArrayView bytes(text.data(), static_cast<qsizetype>(text.size()));
  QStringDecoder decoder(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
  QString result = decoder(bytes);
  if (decoder.hasError()) return QString::fromLatin1(bytes);
  return result;
}

std::string FromQString(const QString& text) { return text.toStdString(); }

}  // namespace platform::detail
