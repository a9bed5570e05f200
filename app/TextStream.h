#pragma once

#include <string>

#include "app/StreamDecorator.h"

namespace app {

// Reads lines of 8-bit text from an inner stream.
class TTextStream : public TStreamDecorator {
 public:
  using TStreamDecorator::TStreamDecorator;

  bool EndOfStream() { return GetPosition() >= GetSize(); }
  // Reads bytes up to and including the next line feed, or up to the end of
  // the stream. Line ends stay in the result; callers trim.
  std::string ReadLine();
};

}  // namespace app
