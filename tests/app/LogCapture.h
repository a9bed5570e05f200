#pragma once

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/MultiLog.h"

// Switches the diagnostic log on into a fresh file for one test and reads
// back its lines with the stamps removed.
class TLogCapture {
 public:
  TLogCapture() {
    static int counter = 0;
    path_ = "/tmp/ludex-apptest-" + std::to_string(::getpid()) + "-" + std::to_string(++counter) +
            ".log";
    std::ofstream(path_) << "old contents\r\n";
    app::InitializeLog(path_);
    skip_ = RawLines().size();
  }
  ~TLogCapture() {
    app::FinalizeLog();
    std::remove(path_.c_str());
  }
  TLogCapture(const TLogCapture&) = delete;
  TLogCapture& operator=(const TLogCapture&) = delete;

  const std::string& Path() const { return path_; }

  // Every physical line written so far, CR LF removed.
  std::vector<std::string> RawLines() const {
    std::ifstream file(path_, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
    }
    return lines;
  }

  // The messages written since the capture started, without their stamps.
  std::vector<std::string> Messages() const {
    std::vector<std::string> messages;
    const std::vector<std::string> lines = RawLines();
    for (std::size_t i = skip_; i < lines.size(); ++i) messages.push_back(StripStamp(lines[i]));
    return messages;
  }

  static std::string StripStamp(const std::string& line) {
    std::size_t colon = 0;
    for (int i = 0; i < 3 && colon != std::string::npos; ++i)
      colon = line.find(':', i == 0 ? 0 : colon + 1);
    return colon == std::string::npos ? line : line.substr(colon + 1);
  }

 private:
  std::string path_;
  std::size_t skip_ = 0;
};
