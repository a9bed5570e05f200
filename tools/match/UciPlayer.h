#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tools/match/ChessPlayers.h"

// A chess engine spoken to over UCI, always under standard rules.
namespace match {

struct TUciSettings {
  // The program and its arguments.
  std::vector<std::string> Command;
  // Sent as "setoption name NAME value VALUE" before the game.
  std::vector<std::pair<std::string, std::string>> Options;
  // Each reply is asked for with "go movetime MoveTime".
  int MoveTime = 250;
  // How long the engine may take beyond the move time before it counts as
  // hanging.
  int Grace = 5000;
};

// The engine is started for one game. A player whose engine cannot be
// started, or does not answer the handshake, fails its first reply.
std::unique_ptr<TChessPlayer> MakeUciPlayer(const TUciSettings& settings);

}  // namespace match
