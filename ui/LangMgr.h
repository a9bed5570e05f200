#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/Stream.h"

namespace ui {

// Turns entity names (link texts such as "Window.Show(About)") into the
// captions shown to the user, read from a language text of "name=caption"
// lines.
class TLanguageManager {
 public:
  void Clear() { entries_.clear(); }
  // Adds the entries of a language text; earlier entries stay unless
  // replaced. A missing stream adds nothing.
  void LoadFromStream(platform::TStream* stream);
  // Replaces the entry starting with the same "name=" (exact case) and
  // inserts the line in order; a line without "=" is ignored.
  void AddEntry(std::string_view line);
  // The caption of the name (case-insensitive; the last match wins), or
  // "<" + name + ">" when there is none.
  std::string Translate(std::string_view name) const;

  const std::vector<std::string>& Entries() const { return entries_; }

 private:
  // Sorted ignoring case.
  std::vector<std::string> entries_;
};

}  // namespace ui
