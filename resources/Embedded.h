#pragma once

#include <cstddef>

namespace resources {

// One file embedded in the executable at build time.
struct EmbeddedResource {
  const char* Name;
  const unsigned char* Data;  // followed by one extra zero byte
  std::size_t Size;
};

// Every embedded file; the table ends with an entry whose Name is null.
extern const EmbeddedResource kEmbedded[];

}  // namespace resources
