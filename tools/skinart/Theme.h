#pragma once

#include "tools/skinart/Art.h"

// The colours a skin gives the boards and pieces every skin draws the same
// way: the built-in skin's set, and one per shipped skin.
namespace skinart {

struct TBoardTheme {
  TRgb LightSquare;
  TRgb DarkSquare;
  // The tint and the border of a highlighted square.
  TRgb Accent;
  TRgb AccentDeep;
  // How strongly a wood grain shows on the squares; 0 draws plain squares.
  double Grain = 0;
  // A highlight only outlines its square (the rest is the key colour).
  bool OutlineOnly = false;
};

struct TPieceTheme {
  // Chess pieces: the body from its light to its shaded side, and the
  // outline with the inner lines.
  TRgb WhiteBody;
  TRgb WhiteShade;
  TRgb WhiteLine;
  TRgb BlackBody;
  TRgb BlackShade;
  TRgb BlackLine;
  // The halo of a highlighted piece and how much brighter its body gets.
  TRgb Glow;
  double WhiteLift;
  double BlackLift;
  // Checkers men: the rim, the dark side of a White man and the light
  // side of a Black one (the others are the chess colours), and the
  // brightening of a highlighted man.
  TRgb WhiteRim;
  TRgb BlackRim;
  TRgb WhiteManShade;
  TRgb BlackManBody;
  double WhiteManLift;
  double BlackManLift;
  // The king's crown: outline, light and shaded gold.
  TRgb CrownLine;
  TRgb CrownLight;
  TRgb CrownShade;
};

inline constexpr TBoardTheme kBuiltinBoard{.LightSquare = Rgb(236, 232, 204),
                                           .DarkSquare = Rgb(112, 146, 88),
                                           .Accent = Rgb(255, 214, 64),
                                           .AccentDeep = Rgb(232, 164, 24)};

inline constexpr TPieceTheme kBuiltinPieces{.WhiteBody = Rgb(255, 253, 246),
                                            .WhiteShade = Rgb(222, 214, 198),
                                            .WhiteLine = Rgb(28, 24, 20),
                                            .BlackBody = Rgb(46, 44, 42),
                                            .BlackShade = Rgb(14, 13, 12),
                                            .BlackLine = Rgb(196, 190, 178),
                                            .Glow = Rgb(255, 200, 40),
                                            .WhiteLift = 1.1,
                                            .BlackLift = 1.8,
                                            .WhiteRim = Rgb(62, 50, 40),
                                            .BlackRim = Rgb(150, 144, 136),
                                            .WhiteManShade = Rgb(200, 188, 164),
                                            .BlackManBody = Rgb(84, 80, 76),
                                            .WhiteManLift = 1.08,
                                            .BlackManLift = 1.7,
                                            .CrownLine = Rgb(60, 36, 10),
                                            .CrownLight = Rgb(255, 226, 120),
                                            .CrownShade = Rgb(190, 120, 20)};

}  // namespace skinart
