#include "controls/TextFit.h"

#include <vector>

#include "platform/Canvas.h"

namespace controls {

namespace {

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Byte offsets at which a character ends, in increasing order.
std::vector<std::size_t> CharacterEnds(std::string_view text) {
  std::vector<std::size_t> ends;
  for (std::size_t i = 1; i <= text.size(); ++i) {
    if (i == text.size() || !IsContinuation(text[i])) ends.push_back(i);
  }
  return ends;
}

}  // namespace

std::string LimitCaption(std::string_view text) {
  if (text.size() <= kMaxCaptionBytes) return std::string(text);
  std::size_t end = kMaxCaptionBytes;
  while (end > 0 && IsContinuation(text[end])) --end;
  return std::string(text.substr(0, end));
}

std::string FitBefore(const platform::TCanvas& canvas, std::string_view text,
                      std::string_view suffix, int width) {
  const auto fits = [&](std::size_t bytes) {
    std::string candidate(text.substr(0, bytes));
    candidate += suffix;
    return canvas.TextWidth(candidate) <= width;
  };
  const std::vector<std::size_t> ends = CharacterEnds(text);
  // Invariant: the first `low` characters fit; more than `high` do not.
  std::size_t low = 0;
  std::size_t high = ends.size();
  while (low < high) {
    const std::size_t middle = (low + high + 1) / 2;
    if (fits(ends[middle - 1])) {
      low = middle;
    } else {
      high = middle - 1;
    }
  }
  return std::string(text.substr(0, low == 0 ? 0 : ends[low - 1]));
}

}  // namespace controls
