#include "skin/KestUtil.h"

#include <cstdint>
#include <limits>

namespace skin {

namespace {

int DigitValue(char c, int base) {
  int value = -1;
  if (c >= '0' && c <= '9') value = c - '0';
  if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
  if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
  return value < base ? value : -1;
}

// Reads the digits in `base`; false when there are none, a character is
// not a digit, or the value exceeds `limit`.
bool ParseDigits(std::string_view digits, int base, std::uint64_t limit, std::uint64_t& value) {
  if (digits.empty()) return false;
  value = 0;
  for (char c : digits) {
    const int digit = DigitValue(c, base);
    if (digit < 0) return false;
    value = value * base + static_cast<unsigned>(digit);
    if (value > limit) return false;
  }
  return true;
}

}  // namespace

int StrToIntDefault(std::string_view text, int fallback) {
  std::size_t at = 0;
  while (at < text.size() && text[at] == ' ') ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  int base = 10;
  if (at < text.size() && text[at] == '$') {
    base = 16;
    ++at;
  }
  const std::uint64_t limit = negative ? std::uint64_t{1} << 31 : (std::uint64_t{1} << 31) - 1;
  // Hexadecimal values may use all 32 bits, as "$FFFFFFFF" for -1.
  const std::uint64_t hexLimit = std::numeric_limits<std::uint32_t>::max();
  std::uint64_t value = 0;
  if (!ParseDigits(text.substr(at), base, base == 16 ? hexLimit : limit, value)) return fallback;
  const auto bits = static_cast<std::uint32_t>(value);
  const auto result = static_cast<std::int32_t>(negative ? 0u - bits : bits);
  return result;
}

std::string PairField(std::string_view text, int index) {
  const std::size_t comma = text.find(',');
  if (index == 0) return std::string(text.substr(0, comma));
  if (comma == std::string_view::npos) return {};
  return std::string(text.substr(comma + 1));
}

platform::TPoint ParsePair(std::string_view text, int defaultX, int defaultY) {
  return platform::TPoint{StrToIntDefault(PairField(text, 0), defaultX),
                          StrToIntDefault(PairField(text, 1), defaultY)};
}

platform::TColor HexToColor(std::string_view text) {
  constexpr platform::TColor kRed = 255;
  if (text.empty()) return kRed;
  std::uint64_t rgb = 0;
  if (!ParseDigits(text.substr(1, 6), 16, 0xFFFFFF, rgb)) return kRed;
  return platform::RGB(static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                       static_cast<std::uint8_t>(rgb));
}

}  // namespace skin
