#include "tools/match/CheckersReferee.h"

#include "games/checkers/Pdn.h"

#include <algorithm>
#include <stdexcept>

#include "games/checkers/CheckersThinker.h"
#include "tools/match/EarlierTurns.h"
#include "tools/match/ReplyTimer.h"

namespace match {
namespace {

using checkers::TCheckersPosition;

class TCheckersLevelPlayer : public TCheckersPlayer {
 public:
  explicit TCheckersLevelPlayer(int level) : level_(level) {}

  std::string Reply(const TCheckersPosition& position,
                    std::span<const TCheckersPosition> earlier) override {
    return engine_.ChooseMove(position, earlier, level_);
  }

 private:
  checkers::TCheckersEngine engine_;
  int level_;
};

bool IsGeneratedMove(const TCheckersPosition& position, const std::string& text) {
  checkers::TCheckersThinker thinker;
  thinker.Position = position;
  thinker.GenerateMoves();
  return std::find(thinker.Moves.begin(), thinker.Moves.end(), text) != thinker.Moves.end();
}

std::string SideName(bool whiteToMove) { return whiteToMove ? "White" : "Black"; }

// The game as it goes: the position from the side to move's view, every
// position met so far and how often each occurred.
struct TCheckersGame {
  TCheckersPosition Position;
  std::vector<TCheckersPosition> Seen;
  // The moves in White's square names, as game records write them.
  std::vector<std::string> Moves;
  TCheckersRepetitions Repetitions;
  int LastCount = 1;

  TCheckersGame() { LastCount = Repetitions.Record(Position, 0); }

  int Plies() const { return static_cast<int>(Seen.size()); }
  bool WhiteToMove() const { return Plies() % 2 == 0; }

  void Play(const std::string& text) {
    Moves.push_back(WhiteToMove() ? text : TCheckersPosition::TurnedMoveText(text));
    Seen.push_back(Position);
    Position.ApplyMove(text);
    Position.Flip();
    LastCount = Repetitions.Record(Position, Plies());
  }
};

}  // namespace

std::unique_ptr<TCheckersPlayer> MakeCheckersLevelPlayer(int level) {
  return std::make_unique<TCheckersLevelPlayer>(level);
}

int TCheckersRepetitions::Record(const TCheckersPosition& position, int ply) {
  return ++counts_[{position.Squares, ply % 2}];
}

std::optional<TVerdict> AdjudicateCheckers(const TCheckersPosition& position, bool whiteToMove,
                                           int repetitions, int plies, int maxPlies) {
  checkers::TCheckersThinker thinker;
  thinker.Position = position;
  if (thinker.HasNoMoves())
    return TVerdict{whiteToMove ? TWinner::Black : TWinner::White, "no move left"};
  if (repetitions >= 3) return TVerdict{TWinner::None, "threefold repetition"};
  if (plies >= maxPlies) return TVerdict{TWinner::None, std::to_string(maxPlies) + " plies"};
  return std::nullopt;
}

TGameOutcome PlayCheckersGame(const TCheckersGameSetup& setup, TCheckersPlayer& white,
                              TCheckersPlayer& black) {
  TCheckersGame game;
  for (const std::string& text : setup.Opening) {
    if (!IsGeneratedMove(game.Position, text))
      throw std::invalid_argument("the opening move '" + text + "' is not legal");
    game.Play(text);
  }
  TGameOutcome outcome;
  for (;;) {
    const bool whiteToMove = game.WhiteToMove();
    if (const std::optional<TVerdict> verdict = AdjudicateCheckers(
            game.Position, whiteToMove, game.LastCount, game.Plies(), setup.MaxPlies)) {
      outcome.Verdict = *verdict;
      break;
    }
    TCheckersPlayer& player = whiteToMove ? white : black;
    std::vector<double>& times = whiteToMove ? outcome.WhiteTimes : outcome.BlackTimes;
    const std::vector<TCheckersPosition> earlier = EarlierTurns(game.Seen);
    const TReplyTimer timer;
    const std::string move = player.Reply(game.Position, earlier);
    times.push_back(timer.Milliseconds());
    if (!IsGeneratedMove(game.Position, move)) {
      const std::string failure = move.empty() ? "no move found" : "illegal move " + move;
      outcome.Verdict = {whiteToMove ? TWinner::Black : TWinner::White,
                         SideName(whiteToMove) + ": " + failure, true};
      break;
    }
    game.Play(move);
  }
  outcome.Plies = game.Plies();
  checkers::TCheckersRecord record;
  record.Moves = game.Moves;
  const app::TRecordRead<checkers::TCheckersRecord> read =
      checkers::ReadPdn(checkers::WritePdn(record));
  outcome.Record =
      read && read.Record->Moves == game.Moves ? TRecordCheck::ReadBack : TRecordCheck::Differs;
  return outcome;
}

}  // namespace match
