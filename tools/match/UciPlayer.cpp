#include "tools/match/UciPlayer.h"

#include <exception>
#include <optional>

#include "tools/match/ChildProcess.h"

namespace match {
namespace {

using TClock = TChildProcess::TClock;

// How long starting the engine and each handshake step may take.
constexpr auto kHandshakeTime = std::chrono::seconds(10);

bool StartsWith(const std::string& line, std::string_view word) {
  return line.compare(0, word.size(), word) == 0 &&
         (line.size() == word.size() || line[word.size()] == ' ');
}

std::string SecondWord(const std::string& line) {
  const std::size_t start = line.find_first_not_of(' ', line.find(' '));
  if (start == std::string::npos) return "";
  return line.substr(start, line.find(' ', start) - start);
}

class TUciPlayer : public TChessPlayer {
 public:
  explicit TUciPlayer(const TUciSettings& settings)
      : moveTime_(settings.MoveTime), grace_(settings.Grace) {
    try {
      engine_ = std::make_unique<TChildProcess>(settings.Command);
    } catch (const std::exception& error) {
      failure_ = error.what();
      return;
    }
    Handshake(settings);
  }

  ~TUciPlayer() override {
    if (engine_) engine_->WriteLine("quit");
  }

  TChessReply Reply(const TChessTurn& turn) override {
    if (!failure_.empty()) return {std::nullopt, failure_};
    std::string position = "position startpos";
    if (!turn.Moves.empty()) position += " moves";
    for (const chess::TEngineMove& move : turn.Moves) {
      position += ' ';
      position += chess::TEngineBoard::ToUci(move);
    }
    Send(position);
    Send("go movetime " + std::to_string(moveTime_));
    const auto deadline = TClock::now() + std::chrono::milliseconds(moveTime_ + grace_);
    const std::optional<std::string> line = Await("bestmove", deadline);
    if (!line) return {std::nullopt, failure_};
    const std::string text = SecondWord(*line);
    const std::optional<chess::TEngineMove> move = turn.Board.ParseUci(text);
    if (!move) return {std::nullopt, "illegal move '" + text + "'"};
    return {move, ""};
  }

 private:
  void Handshake(const TUciSettings& settings) {
    Send("uci");
    if (!Await("uciok", TClock::now() + kHandshakeTime)) return;
    for (const auto& [name, value] : settings.Options)
      Send("setoption name " + name + " value " + value);
    Send("ucinewgame");
    Send("isready");
    Await("readyok", TClock::now() + kHandshakeTime);
  }

  void Send(const std::string& line) {
    if (failure_.empty() && !engine_->WriteLine(line)) failure_ = "engine stopped reading";
  }

  // The first line starting with the word, or none (failure_ says why).
  std::optional<std::string> Await(std::string_view word, TClock::time_point deadline) {
    if (!failure_.empty()) return std::nullopt;
    std::string line;
    for (;;) {
      switch (engine_->ReadLine(line, deadline)) {
        case TChildProcess::TRead::Line:
          if (StartsWith(line, word)) return line;
          break;
        case TChildProcess::TRead::Ended:
          failure_ = "engine ended while waiting for " + std::string(word);
          return std::nullopt;
        case TChildProcess::TRead::TimedOut:
          failure_ = "engine timed out waiting for " + std::string(word);
          return std::nullopt;
      }
    }
  }

  std::unique_ptr<TChildProcess> engine_;
  int moveTime_;
  int grace_;
  // Set once the engine failed; every later reply fails with it.
  std::string failure_;
};

}  // namespace

std::unique_ptr<TChessPlayer> MakeUciPlayer(const TUciSettings& settings) {
  return std::make_unique<TUciPlayer>(settings);
}

}  // namespace match
