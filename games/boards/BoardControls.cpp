#include "games/boards/BoardControls.h"

#include "controls/Skins.h"
#include "games/boards/CheckersBoardCtl.h"
#include "games/boards/ChessBoardCtl.h"

namespace boards {

void RegisterBoardControls(controls::TSkin& skin) {
  skin.RegisterControlClass<TChessBoardControl>("ChessBoard");
  skin.RegisterControlClass<TCheckersBoardControl>("CheckersBoard");
}

}  // namespace boards
