#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

#include "games/chess/ChessEngine.h"

// Where the UCI front end's searches run: on a worker thread, so that the
// front end keeps reading its input (stop, isready) while the engine thinks,
// or on the caller's thread, for tests and the fuzz target.
namespace engine {

class TUciSearcher {
 public:
  using TDone = std::function<void(const chess::TSearchResult&)>;

  virtual ~TUciSearcher() = default;
  // Searches board within limits; done gets the result when the search
  // ends, on the thread that searched. limits.Stop is the searcher's own.
  virtual void Start(const chess::TEngineBoard& board, chess::TSearchLimits limits, TDone done) = 0;
  // Makes a running search end at once and waits for it: its done has run
  // when this returns.
  virtual void Stop() = 0;
  // Forgets what the engine learnt; no search may be running.
  virtual void NewGame() = 0;
};

// Searches on one worker thread at a time.
class TThreadSearcher final : public TUciSearcher {
 public:
  TThreadSearcher() = default;
  ~TThreadSearcher() override;
  TThreadSearcher(const TThreadSearcher&) = delete;
  TThreadSearcher& operator=(const TThreadSearcher&) = delete;

  void Start(const chess::TEngineBoard& board, chess::TSearchLimits limits, TDone done) override;
  void Stop() override;
  void NewGame() override;

 private:
  chess::TChessEngine engine_;
  std::atomic<bool> stop_{false};
  std::thread worker_;
};

// Searches before Start returns, never deeper than maxDepth plies nor
// longer than maxNodes nodes (0: no bound), whatever the limits ask: an
// infinite search must be bounded here, as nothing can stop it.
class TInlineSearcher final : public TUciSearcher {
 public:
  TInlineSearcher(int maxDepth, std::uint64_t maxNodes);

  void Start(const chess::TEngineBoard& board, chess::TSearchLimits limits, TDone done) override;
  void Stop() override {}
  void NewGame() override { engine_.NewGame(); }

  int Searches() const { return searches_; }

 private:
  chess::TChessEngine engine_;
  int maxDepth_;
  std::uint64_t maxNodes_;
  int searches_ = 0;
};

}  // namespace engine
