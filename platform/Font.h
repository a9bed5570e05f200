#pragma once

#include <string>

#include "platform/Types.h"

namespace platform {

// A font description as controls and skins use it: face name, size in
// points (at 96 pixels per inch, so 8 points are an em of 11 pixels), style
// and colour. A face that is not installed falls back to the system's
// matching sans-serif face.
struct TFont {
  std::string Family = "Tahoma";
  int Size = 8;  // points; 0 or less means the default of 8
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  TColor Color = 0;

  // The em height in pixels: Size * 96 / 72, rounded (Win32 MulDiv).
  int PixelSize() const;

  friend bool operator==(const TFont&, const TFont&) = default;
};

}  // namespace platform
