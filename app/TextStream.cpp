#include "app/TextStream.h"

namespace app {

std::string TTextStream::ReadLine() {
  std::string line;
  char byte = 0;
  while (Read(&byte, 1) == 1) {
    line.push_back(byte);
    if (byte == '\n') break;
  }
  return line;
}

}  // namespace app
