#include "app/AdvINIFile.h"

#include <algorithm>
#include <optional>

#include "app/MultiLog.h"
#include "app/TextStream.h"
#include "app/TextUtil.h"
#include "platform/Files.h"

namespace app {

namespace {

// The text before the first "=", or nothing when the line has none.
std::optional<std::string_view> KeyOf(std::string_view line) {
  const std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return line.substr(0, eq);
}

}  // namespace

std::ptrdiff_t TAdvancedINIFile::FindKey(std::string_view key) const {
  for (std::size_t i = lines_.size(); i-- > 0;) {
    if (KeyOf(lines_[i]) == key) return static_cast<std::ptrdiff_t>(i);
  }
  return -1;
}

std::string TAdvancedINIFile::ReadString(std::string_view key) {
  std::string result;
  const std::ptrdiff_t found = FindKey(key);
  if (found >= 0) {
    const std::string& line = lines_[static_cast<std::size_t>(found)];
    result = line.substr(line.find('=') + 1);
  }
  if (result.empty()) WriteString(key, "");
  return result;
}

void TAdvancedINIFile::WriteString(std::string_view key, std::string_view value) {
  std::string line = std::string(key) + "=" + std::string(value);
  const std::ptrdiff_t found = FindKey(key);
  if (found >= 0) {
    lines_[static_cast<std::size_t>(found)] = std::move(line);
  } else {
    lines_.push_back(std::move(line));
  }
}

void TAdvancedINIFile::SetLine(std::string_view line) {
  const auto key = KeyOf(line);
  if (key) WriteString(*key, line.substr(key->size() + 1));
}

TAdvancedINIFile::TLineParts TAdvancedINIFile::SplitLine(std::string_view line) {
  const auto key = KeyOf(line);
  if (!key) return {};
  TLineParts parts;
  parts.Value = std::string(line.substr(key->size() + 1));
  const std::size_t dot = key->find('.');
  if (dot == std::string_view::npos) {
    parts.Name = std::string(*key);
  } else {
    parts.Section = std::string(key->substr(0, dot));
    parts.Name = std::string(key->substr(dot + 1));
  }
  return parts;
}

void TAdvancedINIFile::OverloadFromStream(platform::TStream* stream) {
  Log("+TAdvancedINIFile.OverloadFromStream");
  if (!stream) {
    Log("-TAdvancedINIFile.OverloadFromStream(FAIL)");
    return;
  }
  std::string section;
  TTextStream reader(*stream);
  while (!reader.EndOfStream()) {
    const std::string raw = reader.ReadLine();
    if (raw.empty()) break;  // the stream stopped giving bytes before its end
    std::string line = Trim(raw);
    if (!line.empty() && line.front() == '[') {
      // Everything between the first and the last character.
      section = line.size() >= 2 ? line.substr(1, line.size() - 2) : std::string();
    } else if (line.find('=') != std::string::npos) {
      if (!section.empty()) line = section + "." + line;
      SetLine(line);
    }
  }
  Log("-TAdvancedINIFile.OverloadFromStream");
}

std::string TAdvancedINIFile::SaveToText() {
  std::stable_sort(lines_.begin(), lines_.end(), [](const std::string& a, const std::string& b) {
    return CompareText(a, b) < 0;
  });
  const char* const kLineEnd = "\r\n";
  const std::string kNoSection = "^";  // equals no section name
  std::string text;
  std::string previous = kNoSection;
  for (const std::string& line : lines_) {
    const TLineParts parts = SplitLine(line);
    if (parts.Section != previous) {
      if (previous != kNoSection) text += kLineEnd;
      text += "[" + parts.Section + "]" + kLineEnd;
      previous = parts.Section;
    }
    text += parts.Name + "=" + parts.Value + kLineEnd;
  }
  text += kLineEnd;
  text += std::string("[EOF]") + kLineEnd;
  return text;
}

bool TAdvancedINIFile::SaveToFile(const std::string& path, std::string* error) {
  return platform::WriteFileAtomically(path, SaveToText(), error);
}

std::string TAdvancedINIFile::FindDamage(std::string_view text) {
  if (text.find('\0') != std::string_view::npos) return "it holds binary data";
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
    text.remove_suffix(1);
  const std::size_t lineStart = text.find_last_of("\r\n");
  const std::string_view last =
      lineStart == std::string_view::npos ? text : text.substr(lineStart + 1);
  if (Trim(last) != "[EOF]") return "it does not end with its [EOF] line";
  return {};
}

}  // namespace app
