#include "platform/Font.h"

namespace platform {

int TFont::PixelSize() const {
  const int points = Size > 0 ? Size : 8;
  return (points * 96 + 36) / 72;
}

}  // namespace platform
