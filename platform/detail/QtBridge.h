#pragma once

// Conversions between the platform's own types and Qt's. Internal to the
// platform layer: only platform .cpp files (and their tests) include it.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRegion>
#include <QString>
#include <string>
#include <string_view>

#include "platform/Bitmap.h"
#include "platform/Font.h"
#include "platform/Region.h"
#include "platform/Types.h"

namespace platform::detail {

struct TRegionData {
  QRegion Region;
};

// The bitmap's pixels seen as a QImage (Format_RGB32, no copy). The image is
// valid while the bitmap is neither resized nor destroyed. Painting through
// it sets the fourth byte of painted pixels to 0xFF.
QImage ImageView(TBitmap& bitmap);
// A read-only view; the QImage must not be painted on.
QImage ConstImageView(const TBitmap& bitmap);
// A copy of any QImage as a bitmap (alpha dropped, composed over black).
TBitmap BitmapFromImage(const QImage& image);

inline const QRegion& ToQRegion(const TRegion& region) { return region.Data().Region; }
TRegion FromQRegion(const QRegion& region);

QFont ToQFont(const TFont& font);

inline QColor ToQColor(TColor color) {
  return QColor(GetRValue(color), GetGValue(color), GetBValue(color));
}
inline TColor FromQColor(const QColor& color) {
  return RGB(static_cast<std::uint8_t>(color.red()), static_cast<std::uint8_t>(color.green()),
             static_cast<std::uint8_t>(color.blue()));
}

// Program text (UTF-8, or Latin-1 when it is not valid UTF-8) to Qt and
// back (UTF-8).
QString ToQString(std::string_view text);
std::string FromQString(const QString& text);

}  // namespace platform::detail
