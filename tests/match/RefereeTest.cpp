#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "games/checkers/CheckersThinker.h"
#include "tools/match/CheckersReferee.h"
#include "tools/match/ChessReferee.h"

namespace match {
namespace {

using chess::TEngineBoard;
using chess::TRules;

TEngineBoard Fen(const std::string& fen, TRules rules = TRules::Standard) {
  std::string error;
  const std::optional<TEngineBoard> board = TEngineBoard::FromFen(fen, rules, &error);
  EXPECT_TRUE(board) << fen << ": " << error;
  return board ? *board : TEngineBoard(rules);
}

void Play(TEngineBoard& board, const std::vector<std::string>& moves) {
  for (const std::string& text : moves) {
    const std::optional<chess::TEngineMove> move = board.ParseUci(text);
    ASSERT_TRUE(move) << text;
    board.Play(*move);
  }
}

// Plays the moves of its list in turn, over and over.
class TScriptedChessPlayer : public TChessPlayer {
 public:
  explicit TScriptedChessPlayer(std::vector<std::string> moves) : moves_(std::move(moves)) {}

  TChessReply Reply(const TChessTurn& turn) override {
    earlierCounts.push_back(turn.Earlier.size());
    const std::string& text = moves_[next_++ % moves_.size()];
    if (text == "fail") return {std::nullopt, "engine ended"};
    if (const std::optional<chess::TEngineMove> move = turn.Board.ParseUci(text)) return {move, ""};
    // An unparsable text stands for a move the board does not allow.
    return {chess::TEngineMove{12, 36, chess::kEmpty}, ""};
  }

  std::vector<std::size_t> earlierCounts;

 private:
  std::vector<std::string> moves_;
  std::size_t next_ = 0;
};

TEST(MatchChessReferee, MateStalemateAndMaterial) {
  TEngineBoard fools(TRules::Program);
  Play(fools, {"f2f3", "e7e5", "g2g4", "d8h4"});
  const std::optional<TVerdict> mate = AdjudicateChess(fools, 4, 200);
  ASSERT_TRUE(mate);
  EXPECT_EQ(mate->Winner, TWinner::Black);
  EXPECT_EQ(mate->Reason, "checkmate");

  const std::optional<TVerdict> stalemate =
      AdjudicateChess(Fen("k7/8/1Q6/8/8/8/8/7K b - - 0 1"), 0, 200);
  ASSERT_TRUE(stalemate);
  EXPECT_EQ(stalemate->Winner, TWinner::None);
  EXPECT_EQ(stalemate->Reason, "stalemate");

  EXPECT_TRUE(InsufficientMaterial(Fen("8/8/4k3/8/8/3K4/8/8 w - - 0 1")));
  EXPECT_TRUE(InsufficientMaterial(Fen("8/8/4k3/8/8/3K4/5N2/8 w - - 0 1")));
  EXPECT_TRUE(InsufficientMaterial(Fen("8/6b1/4k3/8/8/3K4/8/8 b - - 0 1")));
  EXPECT_FALSE(InsufficientMaterial(Fen("8/6b1/4k3/8/8/3K4/5N2/8 w - - 0 1")));
  EXPECT_FALSE(InsufficientMaterial(Fen("8/8/4k3/8/8/3K4/5P2/8 w - - 0 1")));
  EXPECT_FALSE(InsufficientMaterial(Fen("8/8/4k3/8/8/3K4/5R2/8 w - - 0 1")));
  const std::optional<TVerdict> bare =
      AdjudicateChess(Fen("8/8/4k3/8/8/3K4/5B2/8 w - - 0 1"), 0, 200);
  ASSERT_TRUE(bare);
  EXPECT_EQ(bare->Reason, "insufficient material");
}

TEST(MatchChessReferee, RepetitionFiftyMovesAndPlyLimit) {
  for (TRules rules : {TRules::Program, TRules::Standard}) {
    TEngineBoard board(rules);
    const std::vector<std::string> dance{"g1f3", "g8f6", "f3g1", "f6g8"};
    Play(board, dance);
    EXPECT_FALSE(AdjudicateChess(board, 4, 200));  // the start position a second time
    Play(board, dance);
    const std::optional<TVerdict> third = AdjudicateChess(board, 8, 200);
    ASSERT_TRUE(third);
    EXPECT_EQ(third->Reason, "threefold repetition");
  }
  // The fifty-move rule is standard chess only.
  const std::string quiet = "8/8/4k3/8/8/3K4/5R2/8 w - - 100 80";
  const std::optional<TVerdict> fifty = AdjudicateChess(Fen(quiet), 0, 200);
  ASSERT_TRUE(fifty);
  EXPECT_EQ(fifty->Reason, "fifty-move rule");
  EXPECT_FALSE(AdjudicateChess(Fen(quiet, TRules::Program), 0, 200));
  EXPECT_FALSE(AdjudicateChess(Fen("8/8/4k3/8/8/3K4/5R2/8 w - - 99 80"), 0, 200));

  const std::optional<TVerdict> limit = AdjudicateChess(TEngineBoard(), 200, 200);
  ASSERT_TRUE(limit);
  EXPECT_EQ(limit->Winner, TWinner::None);
  EXPECT_EQ(limit->Reason, "200 plies");
  EXPECT_FALSE(AdjudicateChess(TEngineBoard(), 199, 200));
}

TEST(MatchChessReferee, GamesEndByTheRulesOrByAFailure) {
  TScriptedChessPlayer white({"g1f3", "f3g1"});
  TScriptedChessPlayer black({"g8f6", "f6g8"});
  const TGameOutcome repeated = PlayChessGame({TRules::Program, {}, 200}, white, black);
  EXPECT_EQ(repeated.Verdict.Reason, "threefold repetition");
  EXPECT_EQ(repeated.Plies, 8);
  EXPECT_EQ(repeated.WhiteTimes.size(), 4u);
  EXPECT_EQ(repeated.BlackTimes.size(), 4u);
  // Each side sees the positions of its own earlier turns.
  EXPECT_EQ(white.earlierCounts, (std::vector<std::size_t>{0, 1, 2, 3}));

  TScriptedChessPlayer mater({"d8h4"});
  TScriptedChessPlayer victim({"g2g4"});
  const TGameOutcome mated =
      PlayChessGame({TRules::Standard, {"f2f3", "e7e5"}, 200}, victim, mater);
  EXPECT_EQ(mated.Verdict.Winner, TWinner::Black);
  EXPECT_EQ(mated.Verdict.Reason, "checkmate");
  EXPECT_FALSE(mated.Verdict.PlayerFailed);
  EXPECT_EQ(mated.Plies, 4);
  EXPECT_EQ(mated.WhiteTimes.size(), 1u);
  EXPECT_EQ(victim.earlierCounts, (std::vector<std::size_t>{1}));  // the opening's start

  TScriptedChessPlayer cheat({"e2e4", "e4e6"});
  TScriptedChessPlayer quitter({"e7e5", "fail"});
  const TGameOutcome illegal = PlayChessGame({TRules::Standard, {}, 200}, cheat, quitter);
  EXPECT_EQ(illegal.Verdict.Winner, TWinner::Black);
  EXPECT_EQ(illegal.Verdict.Reason, "White: illegal move e2e5");
  EXPECT_TRUE(illegal.Verdict.PlayerFailed);
  TScriptedChessPlayer steady({"e2e4", "d2d4"});
  TScriptedChessPlayer crashed({"e7e5", "fail"});
  const TGameOutcome failed = PlayChessGame({TRules::Standard, {}, 200}, steady, crashed);
  EXPECT_EQ(failed.Verdict.Winner, TWinner::White);
  EXPECT_EQ(failed.Verdict.Reason, "Black: engine ended");

  TScriptedChessPlayer idle({"b1c3", "c3b1", "g1f3", "f3g1"});
  TScriptedChessPlayer idleToo({"b8c6", "c6b8", "g8f6", "f6g8"});
  EXPECT_EQ(PlayChessGame({TRules::Program, {"e2e4", "e7e5"}, 5}, idle, idleToo).Verdict.Reason,
            "5 plies");
  EXPECT_THROW(PlayChessGame({TRules::Program, {"e2e5"}, 200}, idle, idleToo),
               std::invalid_argument);
}

// Plays the first generated move, or a fixed text.
class TScriptedCheckersPlayer : public TCheckersPlayer {
 public:
  explicit TScriptedCheckersPlayer(std::string fixed = "") : fixed_(std::move(fixed)) {}

  std::string Reply(const checkers::TCheckersPosition& position,
                    std::span<const checkers::TCheckersPosition>) override {
    if (!fixed_.empty()) return fixed_;
    checkers::TCheckersThinker thinker;
    thinker.Position = position;
    thinker.GenerateMoves();
    return thinker.Moves.empty() ? "" : thinker.Moves.front();
  }

 private:
  std::string fixed_;
};

TEST(MatchCheckersReferee, AdjudicationAndRepetitions) {
  checkers::TCheckersPosition lone;
  lone.Squares.fill(checkers::kEmpty);
  lone.Squares[checkers::SquareIndex(0, 0)] = checkers::kOtherMan;
  const std::optional<TVerdict> lost = AdjudicateCheckers(lone, true, 1, 10, 200);
  ASSERT_TRUE(lost);
  EXPECT_EQ(lost->Winner, TWinner::Black);
  EXPECT_EQ(lost->Reason, "no move left");
  EXPECT_EQ(AdjudicateCheckers(lone, false, 1, 10, 200)->Winner, TWinner::White);

  const checkers::TCheckersPosition start;
  EXPECT_FALSE(AdjudicateCheckers(start, true, 2, 10, 200));
  EXPECT_EQ(AdjudicateCheckers(start, true, 3, 10, 200)->Reason, "threefold repetition");
  EXPECT_EQ(AdjudicateCheckers(start, true, 1, 200, 200)->Reason, "200 plies");

  TCheckersRepetitions repetitions;
  EXPECT_EQ(repetitions.Record(start, 0), 1);
  EXPECT_EQ(repetitions.Record(start, 1), 1);  // the other side to move
  EXPECT_EQ(repetitions.Record(start, 2), 2);
  EXPECT_EQ(repetitions.Record(start, 4), 3);
}

TEST(MatchCheckersReferee, GamesEndByTheRulesOrByAnIllegalMove) {
  TScriptedCheckersPlayer first;
  TScriptedCheckersPlayer second;
  const TGameOutcome played = PlayCheckersGame({{"c3-d4"}, 200}, first, second);
  EXPECT_FALSE(played.Verdict.PlayerFailed);
  EXPECT_FALSE(played.Verdict.Reason.empty());
  EXPECT_LE(played.Plies, 200);
  EXPECT_EQ(played.WhiteTimes.size() + played.BlackTimes.size() + 1,
            static_cast<std::size_t>(played.Plies));

  TScriptedCheckersPlayer cheat("c3-e5");
  const TGameOutcome illegal = PlayCheckersGame({{}, 200}, first, cheat);
  EXPECT_EQ(illegal.Verdict.Winner, TWinner::White);
  EXPECT_EQ(illegal.Verdict.Reason, "Black: illegal move c3-e5");
  EXPECT_TRUE(illegal.Verdict.PlayerFailed);
  EXPECT_EQ(illegal.Plies, 1);
  EXPECT_THROW(PlayCheckersGame({{"c3-e5"}, 200}, first, second), std::invalid_argument);
}

}  // namespace
}  // namespace match
