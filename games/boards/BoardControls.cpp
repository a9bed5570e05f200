#include "games/boards/BoardControls.h"

#include "games/boards/CheckersBoardCtl.h"
#include "games/boards/ChessBoardCtl.h"
#include "skin/Skins.h"

namespace boards {

void RegisterBoardControls(skin::TSkin& skin) {
  skin.RegisterControlClass<TChessBoardControl>("ChessBoard");
  skin.RegisterControlClass<TCheckersBoardControl>("CheckersBoard");
}

}  // namespace boards
