#include "tools/match/ChessReferee.h"

#include "games/chess/Pgn.h"

#include <stdexcept>

#include "tools/match/EarlierTurns.h"
#include "tools/match/ReplyTimer.h"

namespace match {
namespace {

using chess::TEngineBoard;
using chess::TEngineMove;
using chess::TRules;

bool IsMinorPiece(std::uint8_t type) { return type == chess::kKnight || type == chess::kBishop; }

TWinner OtherSide(const TEngineBoard& board) {
  return board.WhiteToMove() ? TWinner::Black : TWinner::White;
}

std::string SideName(const TEngineBoard& board) { return board.WhiteToMove() ? "White" : "Black"; }

// The game as it goes: the referee's board, the moves played and every
// position met so far as its side to move saw it.
struct TChessGame {
  explicit TChessGame(TRules rules) : Board(rules) {}

  TEngineBoard Board;
  std::vector<TEngineMove> Moves;
  std::vector<chess::TChessPosition> Seen;

  int Plies() const { return static_cast<int>(Moves.size()); }

  void Play(TEngineMove move) {
    Seen.push_back(Board.ToPosition());
    Board.Play(move);
    Moves.push_back(move);
  }
};

}  // namespace

bool InsufficientMaterial(const TEngineBoard& board) {
  int others = 0;
  bool minor = false;
  for (std::uint16_t square : board.ToPosition().Squares) {
    const std::uint8_t type = chess::PieceType(square);
    if (type == chess::kEmpty || type == chess::kKing) continue;
    ++others;
    minor = IsMinorPiece(type);
  }
  return others == 0 || (others == 1 && minor);
}

std::optional<TVerdict> AdjudicateChess(const TEngineBoard& board, int plies, int maxPlies) {
  if (board.LegalMoves().empty()) {
    if (board.InCheck()) return TVerdict{OtherSide(board), "checkmate"};
    return TVerdict{TWinner::None, "stalemate"};
  }
  if (board.Repetitions() >= 3) return TVerdict{TWinner::None, "threefold repetition"};
  if (board.Rules() == chess::TRules::Standard && board.HalfMoveClock() >= 100)
    return TVerdict{TWinner::None, "fifty-move rule"};
  if (InsufficientMaterial(board)) return TVerdict{TWinner::None, "insufficient material"};
  if (plies >= maxPlies) return TVerdict{TWinner::None, std::to_string(maxPlies) + " plies"};
  return std::nullopt;
}

TGameOutcome PlayChessGame(const TChessGameSetup& setup, TChessPlayer& white, TChessPlayer& black) {
  TChessGame game(setup.Rules);
  const TEngineBoard& board = game.Board;
  for (const std::string& text : setup.Opening) {
    const std::optional<TEngineMove> move = board.ParseUci(text);
    if (!move) throw std::invalid_argument("the opening move '" + text + "' is not legal");
    game.Play(*move);
  }
  TGameOutcome outcome;
  for (;;) {
    if (const std::optional<TVerdict> verdict =
            AdjudicateChess(board, game.Plies(), setup.MaxPlies)) {
      outcome.Verdict = *verdict;
      break;
    }
    TChessPlayer& player = board.WhiteToMove() ? white : black;
    std::vector<double>& times = board.WhiteToMove() ? outcome.WhiteTimes : outcome.BlackTimes;
    const std::vector<chess::TChessPosition> earlier = EarlierTurns(game.Seen);
    const TReplyTimer timer;
    const TChessReply reply = player.Reply({board, game.Moves, earlier});
    times.push_back(timer.Milliseconds());
    if (!reply.Move || !board.IsLegal(*reply.Move)) {
      const std::string failure =
          reply.Move ? "illegal move " + TEngineBoard::ToUci(*reply.Move) : reply.Failure;
      outcome.Verdict = {OtherSide(board), SideName(board) + ": " + failure, true};
      break;
    }
    game.Play(*reply.Move);
  }
  outcome.Plies = game.Plies();
  if (setup.Rules == TRules::Program) {
    chess::TChessRecord record;
    record.Moves = game.Moves;
    const app::TRecordRead<chess::TChessRecord> read = chess::ReadPgn(chess::WritePgn(record));
    outcome.Record =
        read && read.Record->Moves == game.Moves ? TRecordCheck::ReadBack : TRecordCheck::Differs;
  }
  return outcome;
}

}  // namespace match
