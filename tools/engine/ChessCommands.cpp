#include "tools/engine/EngineCommands.h"

namespace engine {

std::string RunChessCommand(const std::vector<std::string>&) {
  throw EngineError("chess commands are being written");
}

}  // namespace engine
