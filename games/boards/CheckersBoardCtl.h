#pragma once

#include <cstdint>
#include <string>

#include "controls/KestCtl.h"
#include "games/boards/BoardGeometry.h"

namespace checkers {
class TCheckersBoardEntity;
}

namespace boards {

// The checkers board: shows the position of the linked board entity and
// lets the human play White by clicking the start square and then each
// landing square; a click on a square of a finished move plays it, and the
// game answers.
class TCheckersBoardControl : public controls::TKestControl {
 public:
  // How long the human's move stays on the screen before the computer's
  // answer is searched.
  static constexpr int kAnswerPauseMs = 300;

  explicit TCheckersBoardControl(controls::TKestControl& owner) : TKestControl(owner) {}

  // Reads "figures" and "squares" after the generic attributes; the board
  // shows no tooltip.
  void LoadFromXML(const skin::TXMLNode& element) override;

  platform::TPoint SquareUnderCursor() const { return boards::SquareUnderCursor(*this); }
  // Whether the square's name stands at a square position of Path.
  bool InPath(int file, int rank) const;
  // One click of the human's move: extends, restarts or drops the selection,
  // or plays the move when a square of a complete legal move is clicked.
  void ClickSquare(int file, int rank);

  skin::TImagePack* SquaresPack = nullptr;
  skin::TImagePack* FiguresPack = nullptr;
  // The square under the mouse at the last paint or press.
  platform::TPoint HoverSquare = kNoSquare;
  // Not owned: the game's entity, taken from the linked holder.
  checkers::TCheckersBoardEntity* BoardEntity = nullptr;
  // The move text built so far ("c3-d4"); empty when nothing is selected.
  std::string Path;

 protected:
  void Paint(platform::TCanvas& canvas) override;
  void EntityChanged(app::TEntityHolder& sender) override;
  void MouseDown(const platform::TMouseEvent& event) override;
  void MouseMove(const platform::TMouseEvent& event) override;

 private:
  // Plays Path, shows it, pauses and lets the game answer. The control may
  // be gone when it returns.
  void CommitMove();
  void PaintSquare(platform::TCanvas& canvas, int file, int rank);
};

// The FiguresPack cell of a square code, or -1 for an empty square: White
// man 1, Black man 0, White king 5, Black king 4.
int CheckersFigureCell(std::int8_t code);

}  // namespace boards
