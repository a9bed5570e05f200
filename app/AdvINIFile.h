#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/Stream.h"

namespace app {

// Settings as flat "Section.Name=value" lines, overloaded from sectioned
// text streams and saved as a sectioned file ending in "[EOF]". Keys
// compare exactly.
class TAdvancedINIFile {
 public:
  struct TLineParts {
    std::string Section;
    std::string Name;
    std::string Value;
  };

  // The value of the last line with this key; a missing key is added with an
  // empty value.
  std::string ReadString(std::string_view key);
  // Replaces the last line of this key, or appends one.
  void WriteString(std::string_view key, std::string_view value);
  // Writes "key=value" when the line has an "="; otherwise does nothing.
  void SetLine(std::string_view line);
  static TLineParts SplitLine(std::string_view line);

  // Reads a sectioned text; its entries override earlier ones. A missing
  // stream leaves the settings unchanged.
  void OverloadFromStream(platform::TStream* stream);
  // Sorts the lines and writes them as a sectioned file, replacing the old
  // file only once the new one is whole on the disk. False with the reason
  // in error when it cannot be written; the old file is then left as it was.
  bool SaveToFile(const std::string& path, std::string* error = nullptr);
  // The sorted lines as the sectioned text SaveToFile writes.
  std::string SaveToText();
  // Why a settings text cannot be trusted, or empty when it looks whole:
  // every saved text ends with its "[EOF]" line, so one without it was cut
  // short or is not a settings file; NUL bytes mean binary junk.
  static std::string FindDamage(std::string_view text);

  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  // Index of the last line whose key equals key, or -1.
  std::ptrdiff_t FindKey(std::string_view key) const;

  std::vector<std::string> lines_;
};

}  // namespace app
