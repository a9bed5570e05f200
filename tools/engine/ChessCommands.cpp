// The chess half of ludex-engine:
//   chess moves POS      the legal moves in generation order
//   chess scores POS     MOVE=SCORE for each legal move, SCORE being the
//                        value SearchFlipped(2) gives after it
//   chess best POS R     the move the computer plays at its level when the
//                        draw is R
//   chess eval POS       the static evaluation
//   chess perft POS N    the number of legal move sequences of length N
// POS is "start" or a board, castling rights and en-passant square as
// PositionFromText reads them, colour 1 (upper case) to move.
#include <stdexcept>
#include <string>
#include <vector>

#include "app/Random.h"
#include "games/chess/ChessBoard.h"
#include "games/chess/ChessEngine.h"
#include "games/chess/ChessThinker.h"
#include "tools/engine/EngineCommands.h"

namespace engine {

namespace {

constexpr int kMaxPerftDepth = 7;

// Reads the position at words[index], which takes one word ("start") or
// three; index moves past it.
chess::TChessPosition ReadPosition(const std::vector<std::string>& words, std::size_t& index) {
  if (index >= words.size()) throw EngineError("missing position");
  if (words[index] == "start") {
    ++index;
    return chess::TChessPosition();
  }
  if (index + 3 > words.size())
    throw EngineError("a position is 'start' or a board, castling rights and an en-passant square");
  const std::string text = words[index] + " " + words[index + 1] + " " + words[index + 2];
  index += 3;
  try {
    return chess::PositionFromText(text);
  } catch (const std::invalid_argument& error) {
    throw EngineError(error.what());
  }
}

const std::string& ReadWord(const std::vector<std::string>& words, std::size_t& index,
                            const char* what) {
  if (index >= words.size()) throw EngineError(std::string("missing ") + what);
  return words[index++];
}

void ExpectEnd(const std::vector<std::string>& words, std::size_t index) {
  if (index < words.size()) throw EngineError("unexpected '" + words[index] + "'");
}

std::string JoinMoves(const chess::TChessMoveArray& moves, const std::vector<int>* scores) {
  std::string line;
  for (std::size_t i = 0; i < moves.size(); ++i) {
    if (i) line += ' ';
    line += chess::TChessPosition::MoveToText(moves[i]);
    if (scores) line += '=' + std::to_string((*scores)[i]);
  }
  return line;
}

// The move the deeper search of a level plays, or the empty text.
std::string LevelMove(const chess::TChessPosition& position, int level) {
  chess::TChessEngine engine;
  chess::TChessMove move;
  if (!chess::ChooseLevelMove(engine, position, {}, level, move)) return std::string();
  return chess::TChessPosition::MoveToText(move);
}

}  // namespace

std::string RunChessCommand(const std::vector<std::string>& words, int level) {
  std::size_t index = 0;
  const std::string command = ReadWord(words, index, "command (moves, scores, best, eval, perft)");
  if (command != "moves" && command != "scores" && command != "best" && command != "eval" &&
      command != "perft")
    throw EngineError("unknown chess command '" + command + "' (moves, scores, best, eval, perft)");
  chess::TChessThinker thinker;
  thinker.SetPosition(ReadPosition(words, index));

  if (command == "best") {
    const int r = static_cast<int>(ParseNumber(ReadWord(words, index, "draw"), 0, 99, "draw"));
    ExpectEnd(words, index);
    app::TFixedRandom draw(r);
    if (level > chess::kLowestLevel) return LevelMove(thinker.Position, level);
    chess::TChessMove move{-1, -1, -1, -1, false};
    thinker.GetBestWhiteMove(move);
    return move.FromX < 0 ? std::string() : chess::TChessPosition::MoveToText(move);
  }
  if (command == "perft") {
    const int depth =
        static_cast<int>(ParseNumber(ReadWord(words, index, "depth"), 0, kMaxPerftDepth, "depth"));
    ExpectEnd(words, index);
    return std::to_string(thinker.Perft(depth));
  }
  ExpectEnd(words, index);
  if (command == "eval") return std::to_string(thinker.Position.Evaluate());
  thinker.GenerateLegalMoves();
  const chess::TChessMoveArray moves = thinker.Moves;
  if (command == "moves") return JoinMoves(moves, nullptr);
  const std::vector<int> scores = thinker.ScoreMoves(moves);
  return JoinMoves(moves, &scores);
}

}  // namespace engine
