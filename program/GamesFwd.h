#pragma once

// The two games, for the program's parts that hold them by reference.
namespace chess {
class TChessGame;
}
namespace checkers {
class TCheckersGame;
}
