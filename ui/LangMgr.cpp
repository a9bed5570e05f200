#include "ui/LangMgr.h"

#include <algorithm>

#include "app/TextStream.h"
#include "app/TextUtil.h"

namespace ui {

void TLanguageManager::LoadFromStream(platform::TStream* stream) {
  if (!stream) return;
  app::TTextStream reader(*stream);
  while (!reader.EndOfStream()) {
    const std::string raw = reader.ReadLine();
    if (raw.empty()) break;  // the stream stopped giving bytes before its end
    const std::string line = app::ReplaceAll(app::Trim(raw), "\\n", "\r\n");
    if (line.empty() || line.front() == '#' || line.front() == ';') continue;
    AddEntry(line);
  }
}

void TLanguageManager::AddEntry(std::string_view line) {
  const std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) return;
  const std::string_view prefix = line.substr(0, eq + 1);
  const auto same = std::find_if(entries_.begin(), entries_.end(), [&](const std::string& entry) {
    return std::string_view(entry).starts_with(prefix);
  });
  if (same != entries_.end()) entries_.erase(same);
  entries_.insert(std::upper_bound(entries_.begin(), entries_.end(), line,
                                   [&](std::string_view value, const std::string& entry) {
                                     return app::CompareText(value, entry) < 0;
                                   }),
                  std::string(line));
}

std::string TLanguageManager::Translate(std::string_view name) const {
  std::string result = std::string("<").append(name).append(">");
  for (const std::string& entry : entries_) {
    const std::size_t eq = entry.find('=');
    if (app::SameText(std::string_view(entry).substr(0, eq), name)) result = entry.substr(eq + 1);
  }
  return result;
}

}  // namespace ui
