#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "games/chess/ChessEngine.h"
#include "tools/match/GameRecord.h"
#include "tools/match/Openings.h"

// A match: two players, an opening book, every opening played twice with
// the colours swapped, and the games' records.
namespace match {

enum class TGameKind { Chess, Checkers };

struct TPlayerSpec {
  std::string Text;  // as written: "level:2", "uci:/usr/games/stockfish"
  bool IsUci = false;
  int Level = 0;
  // A UCI engine's program and arguments, and the options it is given.
  std::vector<std::string> Command;
  std::vector<std::pair<std::string, std::string>> UciOptions;
};

struct TMatchOptions {
  TGameKind Game = TGameKind::Chess;
  TPlayerSpec A;
  TPlayerSpec B;
  int Jobs = 1;
  std::uint64_t Seed = 1;
  bool Verbose = false;
  int MoveTime = 250;  // milliseconds per move of a UCI engine
  int MaxPlies = 200;
  int Games = 0;         // 0: each opening of the book twice
  int OpeningCount = 0;  // 0: the whole book, else its first openings
  std::string Book;      // empty: the game's own book
};

// Chess is played under the program's rules unless a UCI engine takes part.
chess::TRules MatchRules(const TMatchOptions& options);
// The number of games the options ask for with a book of that many openings.
int ScheduledGames(const TMatchOptions& options, int openings);
// Game index plays opening (index / 2) modulo the book's size, A taking
// White in the even games.
int ScheduledOpening(int index, int openings);

// Plays game index of the schedule in this process, with the random
// generator seeded from the match seed and the index, so that each game
// depends on nothing else.
TGameRecord PlayScheduledGame(const TMatchOptions& options, const std::vector<TOpening>& book,
                              int index);

struct TMatchResult {
  std::vector<TGameRecord> Records;  // in the order the games ended
  std::vector<int> Lost;             // games whose process died without a record
};

// Plays the whole schedule, options.Jobs games at a time, each in a process
// of its own; onGame sees each record as its game ends.
TMatchResult RunMatch(const TMatchOptions& options, const std::vector<TOpening>& book,
                      const std::function<void(const TGameRecord&)>& onGame);

}  // namespace match
