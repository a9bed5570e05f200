#pragma once

#include <string>
#include <string_view>
#include <vector>

// Text helpers of the match tool.
namespace match {

// printf into a string.
__attribute__((format(printf, 1, 2))) std::string Printf(const char* format, ...);

// The blank-separated words of a text, and words joined by single blanks.
std::vector<std::string> SplitWords(std::string_view text);
std::string JoinWords(const std::vector<std::string>& words);

}  // namespace match
