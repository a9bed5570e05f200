#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/RecordText.h"
#include "games/checkers/CheckersBoard.h"

// Checkers games saved and opened as Portable Draughts Notation, game type
// 25: men capture backwards too, kings fly, White moves first from ranks
// 1 to 3.
//
// Squares are named as White sees the board ("a1" .. "h8"), for both sides'
// moves. Writing puts out the tags Event, Site, Date, Round, White, Black,
// Result and GameType, a FEN tag for a set-up position
// ([FEN "W:Wa1,c1,Kd4:Bb8,h6"]: the side to move, then each side's pieces,
// K before a king), the record's other tags, a blank line and the moves
// ("1. c3-d4 f6-e5 2. d4:f6:d8"), captures with ":" between the landing
// squares, in lines of at most 79 characters, ending with the result.
//
// Reading takes the first game of a text (see app::ScanRecord for comments,
// variations, move numbers and the like): moves with "-", ":" or "x"
// between the squares, a capture by its start and end squares alone when
// exactly one legal capture joins them, and squares by name or by number.
// Numbers follow the usual 1-32 numbering with White at the bottom: 1 is b8,
// 4 is h8, 5 is a7, 29 is a1 and 32 is g1; White's men start on 21-32. A
// move must be one of the legal moves of the side to move, or it is refused
// with its number and text. The limits of app/RecordText.h apply: 1 MiB of
// text looked at, 2,000 moves, 256 tags; reading is linear in the text.
namespace checkers {

// A position a game starts from, as White sees the board whoever is to
// move: White's pieces are kOwnMan and kOwnKing, Black's kOtherMan and
// kOtherKing, White's men move towards rank 8.
struct TCheckersSetUp {
  TCheckersPosition Board;
  bool WhiteToMove = true;

  friend bool operator==(const TCheckersSetUp&, const TCheckersSetUp&) = default;
};

struct TCheckersRecord {
  app::TRecordTags Tags;
  // None for the start position with White to move.
  std::optional<TCheckersSetUp> SetUp;
  // The moves as the move generator writes them ("c3-d4", "c3-e5-g7"),
  // in White's square names: a Black move reads "f6-e5".
  std::vector<std::string> Moves;
  // "1-0", "0-1" or "*"; a game read may also end "1/2-1/2".
  std::string Result = "*";
};

// The record as PDN. The moves are expected to be legal from the start; from
// the first one that is not, the rest are left out.
std::string WritePdn(const TCheckersRecord& record);
app::TRecordRead<TCheckersRecord> ReadPdn(std::string_view text);

// The FEN tag's value for a position ("W:Wa1,c1,Kd4:Bb8,h6"), and back;
// the reader accepts square numbers and ranges of them ("B:W21-32:B1-12")
// and refuses a position the game cannot hold, saying why.
std::string ToPdnFen(const TCheckersSetUp& setUp);
std::optional<TCheckersSetUp> FromPdnFen(std::string_view fen, std::string& error);

}  // namespace checkers
