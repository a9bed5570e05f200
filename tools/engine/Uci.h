#pragma once

#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "games/chess/ChessEngine.h"
#include "tools/engine/UciLimits.h"
#include "tools/engine/UciSearcher.h"

// The Universal Chess Interface: a chess host (a graphical board, a match
// runner) sends lines of text and reads the engine's answers. The session
// takes the input bytes as they come and writes each answer line through a
// callback, from the searcher's thread too while a search runs; it neither
// reads nor writes anything itself.
namespace engine {

class TUciSession {
 public:
  // Each answer line, without its line end. Calls never overlap.
  using TWrite = std::function<void(const std::string& line)>;

  // Input lines longer than this many bytes are dropped whole (with a note):
  // a move list of over ten thousand plies still fits.
  static constexpr std::size_t kMaxLineLength = 65536;

  TUciSession(TUciSearcher& searcher, TWrite write);
  ~TUciSession();
  TUciSession(const TUciSession&) = delete;
  TUciSession& operator=(const TUciSession&) = delete;

  // Reads input bytes: every line completed is handled in turn. Returns
  // false once "quit" was read; what follows it is not looked at.
  bool Feed(std::string_view bytes);
  // The end of the input: a last line without its line end is handled,
  // then the session ends as on "quit".
  void Finish();
  // Handles one line without its line end; false once the session ended.
  bool HandleLine(std::string_view line);

  bool Ended() const { return ended_; }
  // The position the next "go" searches.
  const chess::TEngineBoard& Board() const { return board_; }
  int Level() const { return level_; }

 private:
  using TWords = std::vector<std::string_view>;

  void EndLine();
  void Identify();
  void NewGame();
  void SetOption(const TWords& words);
  void SetPosition(const TWords& words);
  // The parameters of a "go"; ponder is set by "go ponder".
  TGoRequest ReadGo(const TWords& words, bool& ponder);
  void Go(const TWords& words);
  void PonderHit();
  void Stop();
  void Quit();

  // Starts a search of board; a held one keeps its bestmove until "stop".
  void StartSearch(const chess::TEngineBoard& board, const TGoRequest& go, bool held);
  // Ends the running search; its bestmove is written when report is set.
  void StopSearch(bool report);
  // The searcher's thread: the search ended with this bestmove line.
  void SearchDone(const std::string& bestMove);
  void Send(const std::string& line);
  void Note(const std::string& text);

  TUciSearcher& searcher_;
  TWrite write_;
  chess::TEngineBoard board_{chess::TRules::Standard};
  int level_ = kUciDefaultLevel;
  std::string input_;
  bool overlong_ = false;
  bool ended_ = false;
  // A "go ponder" search, restarted as an ordinary one at "ponderhit".
  std::optional<TGoRequest> ponder_;
  chess::TEngineBoard ponderBoard_{chess::TRules::Standard};

  // Guards what follows and every call of write_.
  std::mutex mutex_;
  // A bestmove is owed for the last "go".
  bool searching_ = false;
  // The search's bestmove waits for "stop" (infinite or pondering).
  bool held_ = false;
  std::optional<std::string> heldBestMove_;
};

}  // namespace engine
