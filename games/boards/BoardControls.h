#pragma once

namespace skin {
class TSkin;
}

namespace boards {

// Registers the board classes in the skin under their tag names
// "ChessBoard" and "CheckersBoard".
void RegisterBoardControls(skin::TSkin& skin);

}  // namespace boards
