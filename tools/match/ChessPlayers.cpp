#include "tools/match/ChessPlayers.h"

namespace match {
namespace {

class TProgramLevelPlayer : public TChessPlayer {
 public:
  explicit TProgramLevelPlayer(int level) : level_(level) {}

  TChessReply Reply(const TChessTurn& turn) override {
    chess::TChessMove move;
    if (!chess::ChooseLevelMove(engine_, turn.Board.ToPosition(), turn.Earlier, level_, move))
      return {std::nullopt, "no move found"};
    const std::optional<chess::TEngineMove> played = FindPositionMove(turn.Board, move);
    if (!played) return {std::nullopt, "illegal move " + chess::TChessPosition::MoveToText(move)};
    return {played, ""};
  }

 private:
  chess::TChessEngine engine_;
  int level_;
};

class TStandardLevelPlayer : public TChessPlayer {
 public:
  explicit TStandardLevelPlayer(int level) : limits_(chess::LevelLimits(level)) {}

  TChessReply Reply(const TChessTurn& turn) override {
    const chess::TSearchResult result = engine_.Search(turn.Board, limits_);
    if (!result.Best) return {std::nullopt, "no move found"};
    return {result.Best, ""};
  }

 private:
  chess::TChessEngine engine_;
  chess::TSearchLimits limits_;
};

}  // namespace

std::unique_ptr<TChessPlayer> MakeProgramLevelPlayer(int level) {
  return std::make_unique<TProgramLevelPlayer>(level);
}

std::unique_ptr<TChessPlayer> MakeStandardLevelPlayer(int level) {
  return std::make_unique<TStandardLevelPlayer>(level);
}

std::optional<chess::TEngineMove> FindPositionMove(const chess::TEngineBoard& board,
                                                   const chess::TChessMove& move) {
  for (const chess::TEngineMove& legal : board.LegalMoves()) {
    const chess::TChessMove shown = board.ToPositionMove(legal);
    if (shown.FromX == move.FromX && shown.FromY == move.FromY && shown.ToX == move.ToX &&
        shown.ToY == move.ToY)
      return legal;
  }
  return std::nullopt;
}

}  // namespace match
