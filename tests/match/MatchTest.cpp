#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/tools/ToolRun.h"
#include "tools/match/ChessReferee.h"
#include "tools/match/Match.h"
#include "tools/match/Options.h"
#include "tools/match/UciPlayer.h"
#include "tools/match/WorkerPool.h"

namespace match {
namespace {

std::vector<TOpening> TwoOpenings(TGameKind game) {
  const std::string name =
      game == TGameKind::Chess ? "openings-chess.txt" : "openings-checkers.txt";
  std::vector<TOpening> book = LoadOpenings(std::string(LUDEX_SOURCE_DIR) + "/tools/match/" + name);
  book.resize(2);
  return book;
}

std::vector<TGameRecord> InGameOrder(std::vector<TGameRecord> records) {
  std::sort(records.begin(), records.end(),
            [](const TGameRecord& a, const TGameRecord& b) { return a.Game < b.Game; });
  return records;
}

// Two openings, each with both colours, between level 0 players: the games
// run to their end, and the same seed plays the same games whether they run
// one after the other or side by side.
void ExpectTinyMatch(TGameKind game) {
  TMatchOptions options = ParseMatchOptions(
      {game == TGameKind::Chess ? "chess" : "checkers", "level:0", "level:0", "--seed", "7"});
  const std::vector<TOpening> book = TwoOpenings(game);
  int seen = 0;
  const TMatchResult serial = RunMatch(options, book, [&](const TGameRecord&) { ++seen; });
  EXPECT_EQ(seen, 4);
  EXPECT_TRUE(serial.Lost.empty());
  const std::vector<TGameRecord> records = InGameOrder(serial.Records);
  ASSERT_EQ(records.size(), 4u);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(records[i].Game, i);
    EXPECT_EQ(records[i].Opening, i / 2);
    EXPECT_EQ(records[i].AIsWhite, i % 2 == 0);
    EXPECT_FALSE(records[i].Outcome.Verdict.PlayerFailed) << records[i].Outcome.Verdict.Reason;
    EXPECT_LE(records[i].Outcome.Plies, 200);
    EXPECT_FALSE(records[i].TimesA().empty());
    EXPECT_EQ(records[i].Outcome.Record, TRecordCheck::ReadBack)
        << "the game's PGN or PDN reads back with its moves";
  }
  options.Jobs = 2;
  const std::vector<TGameRecord> parallel =
      InGameOrder(RunMatch(options, book, [](const TGameRecord&) {}).Records);
  ASSERT_EQ(parallel.size(), 4u);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(parallel[i].Outcome.Plies, records[i].Outcome.Plies) << "game " << i;
    EXPECT_EQ(parallel[i].Outcome.Verdict.Reason, records[i].Outcome.Verdict.Reason);
  }
}

TEST(MatchRun, TinyChessMatchRunsToTheEndAndRepeatsWithItsSeed) {
  ExpectTinyMatch(TGameKind::Chess);
}

TEST(MatchRun, TinyCheckersMatchRunsToTheEndAndRepeatsWithItsSeed) {
  ExpectTinyMatch(TGameKind::Checkers);
}

TEST(MatchRun, JobsAnswerFromTheirOwnProcesses) {
  // Each job runs in a child: what it changes stays there, and a job whose
  // process dies gets no answer while the others go on.
  int changed = 0;
  std::vector<std::optional<std::string>> answers(5);
  RunJobs(
      5, 3,
      [&](int index) {
        if (index == 3) ::_exit(3);
        if (index == 1) throw std::runtime_error("test job fails");
        changed = index + 1;
        return std::string(index * 5000, 'x') + std::to_string(changed);
      },
      [&](int index, const std::optional<std::string>& answer) { answers.at(index) = answer; });
  EXPECT_EQ(changed, 0);
  EXPECT_EQ(answers[0], "1");
  EXPECT_FALSE(answers[1]);
  EXPECT_EQ(answers[2]->size(), 10001u);
  EXPECT_FALSE(answers[3]);
  EXPECT_EQ(answers[4]->substr(20000), "5");
}

TEST(MatchOptions, PlayersAndRules) {
  const TMatchOptions uci = ParseMatchOptions(
      {"chess", "level:2", "uci:/usr/games/stockfish -x", "--uci-option", "B:UCI_Elo=1350",
       "--uci-option", "B:Skill Level=3", "-j", "2", "--movetime", "100", "-v"});
  EXPECT_EQ(MatchRules(uci), chess::TRules::Standard);
  EXPECT_EQ(uci.B.Command, (std::vector<std::string>{"/usr/games/stockfish", "-x"}));
  EXPECT_EQ(uci.B.UciOptions.size(), 2u);
  EXPECT_EQ(uci.B.UciOptions[1].first, "Skill Level");
  EXPECT_EQ(uci.B.UciOptions[1].second, "3");
  EXPECT_EQ(uci.Jobs, 2);
  EXPECT_TRUE(uci.Verbose);
  EXPECT_EQ(MatchRules(ParseMatchOptions({"chess", "level:1", "level:0"})), chess::TRules::Program);
  EXPECT_EQ(ScheduledGames(uci, 50), 100);
  EXPECT_EQ(ScheduledOpening(5, 50), 2);
  EXPECT_EQ(ScheduledOpening(101, 50), 0);

  const auto refused = [](std::vector<std::string> args) {
    EXPECT_THROW(ParseMatchOptions(args), TUsageError);
  };
  refused({"chess", "level:0", "uci:stockfish"});  // level 0 knows the program's rules only
  refused({"checkers", "level:1", "uci:stockfish"});
  refused({"chess", "level:3", "level:0"});
  refused({"chess", "level:1", "level:0", "--uci-option", "A:Hash=16"});
  refused({"chess", "level:1", "level:0", "-j", "0"});
  refused({"chess", "level:1"});
  refused({"go", "level:1", "level:0"});
  refused({"chess", "level:1", "level:0", "--fast"});
}

// A stand-in engine that answers the handshake and then does what `go`
// says: print a move, end, or stay silent.
std::vector<std::string> FakeEngine(const std::string& onGo) {
  return {"sh", "-c",
          "while read -r line; do case \"$line\" in uci) echo uciok;; isready) echo readyok;; "
          "go*) " +
              onGo + ";; quit) exit 0;; esac; done"};
}

TUciSettings QuickSettings(std::vector<std::string> command) {
  TUciSettings settings;
  settings.Command = std::move(command);
  settings.MoveTime = 20;
  settings.Grace = 300;
  return settings;
}

TGameOutcome AgainstFake(const std::string& onGo) {
  const std::unique_ptr<TChessPlayer> engine = MakeUciPlayer(QuickSettings(FakeEngine(onGo)));
  // Pushes the a pawn, then the b pawn, ...
  class TPawnPusher : public TChessPlayer {
    TChessReply Reply(const TChessTurn& turn) override {
      const char file = static_cast<char>('a' + turn.Moves.size() / 2);
      return {turn.Board.ParseUci(std::string{file, '2', file, '3'}), ""};
    }
  } pusher;
  return PlayChessGame({chess::TRules::Standard, {}, 200}, pusher, *engine);
}

TEST(MatchUci, EngineFailuresLoseTheGame) {
  const TGameOutcome illegal = AgainstFake("echo info depth 1; echo bestmove e7e4");
  EXPECT_EQ(illegal.Verdict.Winner, TWinner::White);
  EXPECT_EQ(illegal.Verdict.Reason, "Black: illegal move 'e7e4'");
  EXPECT_TRUE(illegal.Verdict.PlayerFailed);

  EXPECT_EQ(AgainstFake("exit 0").Verdict.Reason, "Black: engine ended while waiting for bestmove");
  const TGameOutcome silent = AgainstFake(":");
  EXPECT_EQ(silent.Verdict.Reason, "Black: engine timed out waiting for bestmove");
  EXPECT_GE(silent.BlackTimes.at(0), 300);

  // A legal answer is played; the same answer a move later names a pawn
  // that has gone.
  const TGameOutcome legal = AgainstFake("echo bestmove h7h6");
  EXPECT_EQ(legal.Plies, 3);
  EXPECT_EQ(legal.Verdict.Reason, "Black: illegal move 'h7h6'");

  const std::unique_ptr<TChessPlayer> missing =
      MakeUciPlayer(QuickSettings({"/nonexistent/engine"}));
  class TIdle : public TChessPlayer {
    TChessReply Reply(const TChessTurn&) override { return {std::nullopt, "unused"}; }
  } idle;
  const TGameOutcome unstarted = PlayChessGame({chess::TRules::Standard, {}, 200}, *missing, idle);
  EXPECT_EQ(unstarted.Verdict.Winner, TWinner::Black);
  EXPECT_NE(unstarted.Verdict.Reason.find("White: cannot start /nonexistent/engine"),
            std::string::npos)
      << unstarted.Verdict.Reason;
}

TEST(MatchTool, CommandLine) {
  const std::string tool = std::string("'") + LUDEX_BINARY_DIR + "/ludex-match' ";
  const tool_test::TToolRun help = tool_test::RunCommand(tool + "--help");
  EXPECT_EQ(help.Status, 0);
  EXPECT_EQ(help.Out.rfind("usage: ludex-match", 0), 0u);
  EXPECT_EQ(tool_test::RunCommand(tool + "chess level:0 uci:stockfish 2>/dev/null").Status, 2);
  EXPECT_EQ(
      tool_test::RunCommand(tool + "chess level:0 level:0 --book /nonexistent 2>/dev/null").Status,
      1);

  const tool_test::TToolRun match =
      tool_test::RunCommand(tool + "-v checkers level:0 level:0 --openings 1 --max-plies 12");
  EXPECT_EQ(match.Status, 0);
  EXPECT_NE(match.Out.find("game 1/2: opening 1 ("), std::string::npos) << match.Out;
  EXPECT_NE(match.Out.find("game 2/2: opening 1 ("), std::string::npos) << match.Out;
  EXPECT_NE(match.Out.find("\ngames 2: A won "), std::string::npos) << match.Out;
  EXPECT_NE(match.Out.find("Elo difference A - B: "), std::string::npos) << match.Out;
  EXPECT_NE(match.Out.find("reply times of B (level:0): median "), std::string::npos) << match.Out;
}

}  // namespace
}  // namespace match
