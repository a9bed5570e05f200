#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/Bmp.h"
#include "platform/Stream.h"
#include "skin/StreamPack.h"

namespace testing_support {

// The files of a skin held in memory; counts the members it opens.
class TMemoryPack : public skin::TStreamPack {
 public:
  std::map<std::string, std::vector<std::uint8_t>> Files;
  int Opened = 0;

  std::unique_ptr<platform::TStream> OpenStream(const std::string& name) override {
    auto found = Files.find(name);
    if (found == Files.end()) return nullptr;
    ++Opened;
    return std::make_unique<platform::TMemoryStream>(found->second);
  }
  void Add(const std::string& name, const std::string& text) {
    Files[name] = std::vector<std::uint8_t>(text.begin(), text.end());
  }
  void AddBitmap(const std::string& name, const platform::TBitmap& bitmap) {
    Files[name] = platform::EncodeBmp(bitmap, 24);
  }
};

}  // namespace testing_support
