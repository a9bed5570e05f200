#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/RecordText.h"
#include "games/chess/ChessEngine.h"

// Chess games saved and opened as Portable Game Notation, under the
// program's rules (TRules::Program: a pawn promotes to a queen only).
//
// Writing follows the export format: the seven tags Event, Site, Date,
// Round, White, Black and Result first, then the record's other tags (SetUp
// and FEN when the game starts elsewhere than the start position), a blank
// line, and the moves in standard algebraic notation ("Nbd7", "exd6",
// "O-O-O", "e8=Q+", "Rd8#") in lines of at most 79 characters, ending with
// the result.
//
// Reading takes the first game of a text as people write it: besides what
// app::ScanRecord accepts, castling as "0-0" and "0-0-0", moves with or
// without "x", "+" and "#", the pawn written "P" or left out, and long
// algebraic notation ("e2e4", "e2-e4", "Ng1-f3", "e7e8q", castling as the
// king's move "e1g1"). A set-up position comes from the FEN tag. A move that
// is not legal under the program's rules ("e8=N" among them) is refused,
// with its number and text. The limits of app/RecordText.h apply: 1 MiB of
// text looked at, 2,000 moves, 256 tags; reading is linear in the text.
namespace chess {

struct TChessRecord {
  app::TRecordTags Tags;
  // Forsyth-Edwards Notation of the start; empty for the standard start.
  std::string StartFen;
  // The moves played from the start, in order.
  std::vector<TEngineMove> Moves;
  // "1-0", "0-1", "1/2-1/2" or "*".
  std::string Result = "*";
};

// The record as PGN. The moves are expected to be legal from the start
// under the program's rules; from the first one that is not (or after a
// start position FEN cannot describe), the rest are left out.
std::string WritePgn(const TChessRecord& record);
app::TRecordRead<TChessRecord> ReadPgn(std::string_view text);

// A legal move of the board in standard algebraic notation, with its "+"
// or "#".
std::string ToSan(const TEngineBoard& board, TEngineMove move);
// The one legal move a text in any of the notations ReadPgn accepts names;
// none when it names no legal move, or more than one.
std::optional<TEngineMove> ParseSan(const TEngineBoard& board, std::string_view text);

}  // namespace chess
