// ludex-engine pgn FILE, ludex-engine pdn FILE: checks the first game of a
// file as the program would open it and prints its moves in the program's
// own notation, one turn a line ("1. E2-E4 E7-E5", "1. c3-d4 f6-e5"); a
// file that cannot be read or played is reported on standard error with
// exit status 1.
#include <ostream>
#include <string>
#include <vector>

#include "games/checkers/Pdn.h"
#include "games/chess/Pgn.h"
#include "platform/Files.h"
#include "tools/engine/EngineCommands.h"

namespace engine {

namespace {

// Records longer than this are not games (the program reads no more).
constexpr std::size_t kMaxRecordBytes = 1 << 20;

// The move as the program writes it: the squares in White's names, ":"
// when the target held a piece.
std::string ChessMoveText(const chess::TEngineBoard& board, chess::TEngineMove move) {
  const chess::TChessPosition seen = board.ToPosition();
  chess::TChessMove shown = board.ToPositionMove(move);
  shown.Capture = chess::PieceType(seen.GetSquare({shown.ToX, shown.ToY})) != chess::kEmpty;
  if (!board.WhiteToMove()) shown = chess::TChessPosition::MirrorMove(shown);
  return chess::TChessPosition::MoveToText(shown);
}

// Turns of two moves, numbered; a game that starts with Black to move
// begins with "1. ...".
void PrintTurns(const std::vector<std::string>& moves, bool whiteFirst, std::ostream& out) {
  std::size_t ply = whiteFirst ? 0 : 1;
  for (std::size_t i = 0; i < moves.size(); ++i, ++ply) {
    if (ply % 2 == 0) {
      out << (ply / 2 + 1) << ". " << moves[i];
    } else {
      if (i == 0) out << "1. ...";
      out << ' ' << moves[i] << '\n';
    }
  }
  if (ply % 2 == 1) out << '\n';
}

int CheckPgn(const std::string& text, std::ostream& out, std::ostream& err) {
  const app::TRecordRead<chess::TChessRecord> read = chess::ReadPgn(text);
  if (!read) {
    err << "ludex-engine: " << read.Error.Message << '\n';
    return 1;
  }
  std::string error;
  std::optional<chess::TEngineBoard> board =
      read.Record->StartFen.empty()
          ? chess::TEngineBoard(chess::TRules::Program)
          : chess::TEngineBoard::FromFen(read.Record->StartFen, chess::TRules::Program, &error);
  const bool whiteFirst = board->WhiteToMove();
  std::vector<std::string> moves;
  for (const chess::TEngineMove& move : read.Record->Moves) {
    moves.push_back(ChessMoveText(*board, move));
    board->Play(move);
  }
  PrintTurns(moves, whiteFirst, out);
  out << read.Record->Result << '\n';
  return 0;
}

int CheckPdn(const std::string& text, std::ostream& out, std::ostream& err) {
  const app::TRecordRead<checkers::TCheckersRecord> read = checkers::ReadPdn(text);
  if (!read) {
    err << "ludex-engine: " << read.Error.Message << '\n';
    return 1;
  }
  const bool whiteFirst = !read.Record->SetUp || read.Record->SetUp->WhiteToMove;
  PrintTurns(read.Record->Moves, whiteFirst, out);
  out << read.Record->Result << '\n';
  return 0;
}

}  // namespace

int RunRecordCheck(const std::string& format, const std::string& path, std::ostream& out,
                   std::ostream& err) {
  std::string text;
  std::string error;
  if (!platform::ReadWholeFile(path, kMaxRecordBytes, text, &error)) {
    err << "ludex-engine: " << error << '\n';
    return 1;
  }
  return format == "pgn" ? CheckPgn(text, out, err) : CheckPdn(text, out, err);
}

}  // namespace engine
