#pragma once

#include "platform/Types.h"

// The desktop's colours for standard elements (Win32 GetSysColor).
namespace platform {

enum class TSystemColor {
  ButtonFace,     // COLOR_BTNFACE
  ButtonText,     // COLOR_BTNTEXT
  Highlight,      // COLOR_HIGHLIGHT
  HighlightText,  // COLOR_HIGHLIGHTTEXT
  AppWorkspace,   // COLOR_APPWORKSPACE
  Window,         // COLOR_WINDOW
  WindowText,     // COLOR_WINDOWTEXT
};

// The colour from the application's palette; before the application object
// exists, the classic Win32 defaults.
TColor SystemColor(TSystemColor color);

}  // namespace platform
