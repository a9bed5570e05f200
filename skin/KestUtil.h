#pragma once

#include <string>
#include <string_view>

#include "platform/Types.h"

// Attribute helpers shared by skin resources and every skinned control.
namespace skin {

// The text as a signed 32-bit decimal integer (leading blanks and a sign
// allowed; a "$" prefix reads hexadecimal). Anything else, the empty text
// and values out of range included, gives `fallback`.
int StrToIntDefault(std::string_view text, int fallback);

// Field 0: the text before the first ","; the whole text when there is none.
// Any other field: the text after the first ","; empty when there is none.
std::string PairField(std::string_view text, int index);

// Two comma-separated integers, each with its own default.
platform::TPoint ParsePair(std::string_view text, int defaultX, int defaultY);

// "#RRGGBB" as a colour in the platform's 0x00BBGGRR layout: the characters
// after the first (whatever it is) read as one hexadecimal number RRGGBB;
// pure red (255) when they are not hexadecimal.
platform::TColor HexToColor(std::string_view text);

// Whether the platform reports the mouse leaving a window. The desktop
// always does here, so hover tracking is always on.
constexpr bool kMouseLeaveTracking = true;

}  // namespace skin
