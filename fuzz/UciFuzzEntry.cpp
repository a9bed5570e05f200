#include "fuzz/UciFuzzEntry.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "tools/engine/Uci.h"
#include "tools/engine/UciSearcher.h"

namespace fuzz {

namespace {

constexpr int kMaxDepth = 3;
constexpr std::uint64_t kMaxNodes = 3000;
// An info line with a principal variation of every ply the engine reaches.
constexpr std::size_t kMaxAnswerLength = 1024;

void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "fuzz invariant broken: %s\n", what);
  std::abort();
}

// One engine for every run: a new one would map its transposition table
// afresh each time, and clearing it costs as much, many times the search
// itself. So what a run's searches learn stays for the next (a stale table
// is one more thing the search must survive); a run that fails alone
// may need the runs before it to fail again.
engine::TInlineSearcher& SharedSearcher() {
  static engine::TInlineSearcher searcher(kMaxDepth, kMaxNodes);
  return searcher;
}

// Searches at once, small, and remembers what it was asked to search so that
// the answers can be checked against it.
class TCheckedSearcher final : public engine::TUciSearcher {
 public:
  void Start(const chess::TEngineBoard& board, chess::TSearchLimits limits, TDone done) override {
    board_ = board;
    answered_ = false;
    inline_.Start(board, std::move(limits), std::move(done));
  }
  void Stop() override { inline_.Stop(); }
  void NewGame() override { inline_.NewGame(); }

  void CheckBestMove(std::string_view move) {
    Check(board_.has_value(), "bestmove without a search");
    Check(!answered_, "a search answered twice");
    answered_ = true;
    if (move == "0000") {
      Check(board_->LegalMoves().empty(), "null move where a legal move exists");
      return;
    }
    const std::optional<chess::TEngineMove> parsed = board_->ParseUci(move);
    Check(parsed.has_value() && chess::TEngineBoard::ToUci(*parsed) == move,
          "bestmove not a legal move of the position searched");
  }
  bool Unanswered() const { return board_.has_value() && !answered_; }

 private:
  engine::TInlineSearcher& inline_ = SharedSearcher();
  std::optional<chess::TEngineBoard> board_;
  bool answered_ = false;
};

void CheckAnswer(const std::string& line, TCheckedSearcher& searcher) {
  Check(!line.empty() && line.size() <= kMaxAnswerLength, "answer empty or too long");
  for (const char c : line)
    Check(static_cast<unsigned char>(c) >= ' ' && c != '\x7f', "control character in an answer");
  if (line.rfind("bestmove ", 0) == 0) searcher.CheckBestMove(std::string_view(line).substr(9));
}

}  // namespace

void FuzzUci(const std::uint8_t* data, std::size_t size) {
  TCheckedSearcher searcher;
  {
    engine::TUciSession session(
        searcher, [&searcher](const std::string& line) { CheckAnswer(line, searcher); });
    session.Feed(std::string_view(reinterpret_cast<const char*>(data), size));
    session.Finish();
    Check(session.Ended(), "the session goes on after the end of its input");
  }
  Check(!searcher.Unanswered(), "a search never answered");
}

}  // namespace fuzz
