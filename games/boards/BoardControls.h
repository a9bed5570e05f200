#pragma once

namespace controls {
class TSkin;
}

namespace boards {

// Registers the board classes in the skin under their tag names
// "ChessBoard" and "CheckersBoard".
void RegisterBoardControls(controls::TSkin& skin);

}  // namespace boards
