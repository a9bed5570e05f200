#include "tools/skin/Cycles.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace skintool {

using skin::TXMLNode;

namespace {

// A depth-first walk without recursion: a chain of references may be as
// long as the document.
class TCycleFinder {
 public:
  explicit TCycleFinder(const std::vector<TReference>& references) {
    for (const TReference& reference : references) outgoing_[reference.From].push_back(&reference);
  }

  std::vector<TCycle> Run(const std::vector<TReference>& references) {
    for (const TReference& reference : references) {
      if (!visited_.contains(reference.From)) Walk(reference.From);
    }
    return std::move(cycles_);
  }

 private:
  struct TFrame {
    const TXMLNode* Node;
    std::size_t Next;
  };

  void Walk(const TXMLNode* start) {
    Enter(start);
    while (!path_.empty()) {
      TFrame& frame = path_.back();
      const std::vector<const TReference*>& out = outgoing_[frame.Node];
      if (frame.Next == out.size()) {
        onPath_.erase(frame.Node);
        path_.pop_back();
        continue;
      }
      const TReference* reference = out[frame.Next++];
      if (const auto open = onPath_.find(reference->To); open != onPath_.end()) {
        TCycle cycle{reference, path_.size() - open->second, {}};
        const std::size_t shown = std::min(cycle.Length, TCycle::kShown);
        for (std::size_t i = 0; i < shown; ++i)
          cycle.Elements.push_back(path_[open->second + i].Node);
        cycles_.push_back(std::move(cycle));
      } else if (!visited_.contains(reference->To)) {
        Enter(reference->To);
      }
    }
  }

  void Enter(const TXMLNode* node) {
    visited_.insert(node);
    onPath_.emplace(node, path_.size());
    path_.push_back({node, 0});
  }

  std::unordered_map<const TXMLNode*, std::vector<const TReference*>> outgoing_;
  std::unordered_set<const TXMLNode*> visited_;
  // The nodes of the current path and their places in it.
  std::unordered_map<const TXMLNode*, std::size_t> onPath_;
  std::vector<TFrame> path_;
  std::vector<TCycle> cycles_;
};

}  // namespace

std::vector<TCycle> FindCycles(const std::vector<TReference>& references) {
  return TCycleFinder(references).Run(references);
}

}  // namespace skintool
