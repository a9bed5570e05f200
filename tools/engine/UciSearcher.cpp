#include "tools/engine/UciSearcher.h"

#include <algorithm>
#include <utility>

namespace engine {

TThreadSearcher::~TThreadSearcher() { Stop(); }

void TThreadSearcher::Start(const chess::TEngineBoard& board, chess::TSearchLimits limits,
                            TDone done) {
  Stop();
  stop_ = false;
  limits.Stop = &stop_;
  worker_ = std::thread([this, board, limits = std::move(limits), done = std::move(done)] {
    done(engine_.Search(board, limits));
  });
}

void TThreadSearcher::Stop() {
  stop_ = true;
  if (worker_.joinable()) worker_.join();
}

void TThreadSearcher::NewGame() {
  Stop();
  engine_.NewGame();
}

TInlineSearcher::TInlineSearcher(int maxDepth, std::uint64_t maxNodes)
    : maxDepth_(maxDepth), maxNodes_(maxNodes) {}

void TInlineSearcher::Start(const chess::TEngineBoard& board, chess::TSearchLimits limits,
                            TDone done) {
  ++searches_;
  limits.MaxDepth = std::min(limits.MaxDepth, maxDepth_);
  if (maxNodes_ > 0)
    limits.MaxNodes = limits.MaxNodes == 0 ? maxNodes_ : std::min(limits.MaxNodes, maxNodes_);
  limits.Stop = nullptr;
  done(engine_.Search(board, limits));
}

}  // namespace engine
