#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "games/chess/ChessBoard.h"

// The stronger chess opponents (levels 1 and 2) and the engine behind the
// UCI front end: a full game state with fixed colours and a time-bounded
// iterative-deepening alpha-beta search.
namespace chess {

// Which rule book a board follows. The program's own game lets a king castle
// past a square only a pawn's diagonal covers (a square counts as attacked
// when some reply lands on it, b1 included for the long castling) and
// promotes to a queen only. Standard chess, spoken over UCI and in matches
// against other engines, does neither.
enum class TRules { Program, Standard };

// Squares are 0..63 as in TChessPosition (rank * 8 + file, a1 = 0) seen from
// White. Promotion is kQueen, kRook, kBishop or kKnight for a promotion and
// kEmpty otherwise.
struct TEngineMove {
  std::uint8_t From = 0;
  std::uint8_t To = 0;
  std::uint8_t Promotion = kEmpty;

  friend bool operator==(const TEngineMove&, const TEngineMove&) = default;
};

// The engine's own access to a board's state.
struct TEngineBoardAccess;

// A chess game's state: the placement, the side to move, castling rights,
// the en-passant square, the half-move clock and the positions played so far
// (for repetitions). Colours are fixed: White moves towards rank 8.
class TEngineBoard {
 public:
  // The start position, White to move.
  explicit TEngineBoard(TRules rules = TRules::Standard);
  ~TEngineBoard();
  TEngineBoard(const TEngineBoard&);
  TEngineBoard& operator=(const TEngineBoard&);

  // Reads Forsyth-Edwards Notation; the half-move clock and move number may
  // be left out. Returns none and writes a one-line reason for anything else.
  static std::optional<TEngineBoard> FromFen(std::string_view fen, TRules rules,
                                             std::string* error = nullptr);
  // The game's own position (colour 1 to move, towards rank 8), its side to
  // move playing White. Square values outside the piece encoding read as empty.
  static TEngineBoard FromPosition(const TChessPosition& position, TRules rules);

  std::string ToFen() const;
  // The position seen from the side to move, as the game stores it: colour 1
  // to move, ranks mirrored when Black is to move.
  TChessPosition ToPosition() const;

  TRules Rules() const;
  bool WhiteToMove() const;
  bool InCheck() const;
  // Every legal move, in no promised order.
  std::vector<TEngineMove> LegalMoves() const;
  bool IsLegal(TEngineMove move) const;
  // Plays a legal move and returns true; leaves the board unchanged and
  // returns false for any other.
  bool Play(TEngineMove move);
  // Long algebraic notation as UCI writes it: "e2e4", "e7e8q", castling as
  // the king's move "e1g1". Returns the legal move it names, or none.
  std::optional<TEngineMove> ParseUci(std::string_view text) const;
  static std::string ToUci(TEngineMove move);
  // The same move in the coordinates ToPosition shows (ranks mirrored when
  // Black is to move), as the game's own move record.
  TChessMove ToPositionMove(TEngineMove move) const;

  // Zobrist key of placement, side to move, castling and en passant.
  std::uint64_t Hash() const;
  int HalfMoveClock() const;
  // How often the current position has occurred, this time included.
  int Repetitions() const;

 private:
  friend struct TEngineBoardAccess;
  struct TState;
  std::unique_ptr<TState> state_;
};

// What a search reports after each completed depth (and at its end).
struct TSearchInfo {
  int Depth = 0;
  // Centipawns from the side to move's view; meaningless when Mate is set.
  int Score = 0;
  // Moves to mate: positive when the side to move mates, negative when it
  // is mated; 0 when the score is not a mate score.
  int MateIn = 0;
  std::uint64_t Nodes = 0;
  std::chrono::milliseconds Time{0};
  std::vector<TEngineMove> Pv;
};

struct TSearchLimits {
  int MaxDepth = 64;
  // The search stops at the first completed depth past SoftTime and
  // abandons a depth at HardTime; zero means no limit.
  std::chrono::milliseconds SoftTime{0};
  std::chrono::milliseconds HardTime{0};
  std::uint64_t MaxNodes = 0;
  // Set by another thread to stop at once (the best move found so far stands).
  const std::atomic<bool>* Stop = nullptr;
  // Root moves whose scores lie within this many centipawns of the best are
  // candidates for a random pick (app::RandomBelow); 0 plays the best.
  int VarietyMargin = 0;
  std::function<void(const TSearchInfo&)> OnInfo;
};

struct TSearchResult {
  // Unset when the side to move has no legal move.
  std::optional<TEngineMove> Best;
  TSearchInfo Info;
};

// The search and its transposition table; one per player.
class TChessEngine {
 public:
  TChessEngine();
  ~TChessEngine();
  TChessEngine(const TChessEngine&) = delete;
  TChessEngine& operator=(const TChessEngine&) = delete;

  // Forgets everything learnt in the last game.
  void NewGame();
  TSearchResult Search(const TEngineBoard& board, const TSearchLimits& limits);

 private:
  struct TImpl;
  std::unique_ptr<TImpl> impl_;
};

// The computer's levels: 0 is the original three-ply search with its random
// pick among the best five (TChessThinker::GetBestWhiteMove); 1 and 2
// search deeper, within 50 and 250 milliseconds at most.
constexpr int kLowestLevel = 0;
constexpr int kHighestLevel = 2;
// The limits a level searches with (level 1 or 2).
TSearchLimits LevelLimits(int level);

// The move the computer plays at a level for the side to move (colour 1) of
// a game position, under the program's rules, in that position's
// coordinates. Level 0 is TChessThinker::GetBestWhiteMove exactly, its log
// lines and its one random draw included; levels 1 and 2 search with
// LevelLimits. earlier holds the positions at the same side's earlier turns,
// oldest first, in the same coordinates as position; the deeper search
// scores a return to one of them as a draw, so that a winning side does not
// go round in circles, and writes one log line naming the level, depth and
// score. False when there is no legal move.
bool ChooseLevelMove(TChessEngine& engine, const TChessPosition& position,
                     std::span<const TChessPosition> earlier, int level, TChessMove& move);

}  // namespace chess
