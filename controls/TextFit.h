#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {
class TCanvas;
}

// Fitting captions into the width of a control. Captions come from skins
// and language texts, which may hold texts of any length: what is measured
// is bounded so that a paint stays cheap.
namespace controls {

// Captions are laid out from at most this many bytes; a control is at most
// kMaxControlSide pixels wide, so nothing visible is lost in practice.
constexpr std::size_t kMaxCaptionBytes = 1024;

// The text cut to kMaxCaptionBytes, at a character boundary.
std::string LimitCaption(std::string_view text);

// The longest start of `text`, in whole characters, that still fits into
// `width` pixels with `suffix` appended; empty when none does. Widths grow
// with the text, so the cut is found by bisection.
std::string FitBefore(const platform::TCanvas& canvas, std::string_view text,
                      std::string_view suffix, int width);

}  // namespace controls
