#pragma once

#include <string>
#include <string_view>

// Small string helpers shared by the application frame: ASCII case rules
// (names, keys and ids ignore the case of ASCII letters only) and trimming.
namespace app {

constexpr char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// The text with its ASCII letters in lower case: the key under which names
// that ignore case are indexed.
std::string AsciiLowerCase(std::string_view text);

// True when both texts are equal ignoring the case of ASCII letters.
bool SameText(std::string_view a, std::string_view b);
// Orders two texts ignoring the case of ASCII letters (<0, 0, >0).
int CompareText(std::string_view a, std::string_view b);
// True when text begins with prefix, ignoring the case of ASCII letters.
bool StartsWithText(std::string_view text, std::string_view prefix);

// Removes spaces and control characters (every byte up to 0x20) at both ends.
std::string Trim(std::string_view text);

// A name fit to show on one line: valid UTF-8 stays as it is; control
// characters, bytes that are not valid UTF-8 and the backslash itself are
// written as \xHH and \\, so two different names never look the same.
std::string EscapeForDisplay(std::string_view text);

// The text between double quotes, as messages quote names.
std::string Quoted(std::string_view text);

// Replaces every occurrence of `from` (not empty) by `to`.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

}  // namespace app
