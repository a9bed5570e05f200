#include "tools/skin/DocPaths.h"

#include <vector>

#include "app/TextUtil.h"

namespace skintool {

using skin::TXMLNode;

namespace {

// Ids that would make a path unclear or long are not used in it.
bool FitsInPath(const std::string& id) {
  constexpr std::size_t kLongest = 40;
  return !id.empty() && id.size() <= kLongest && id.find_first_of("/[]@") == std::string::npos;
}

std::string TagOf(const TXMLNode& node) { return node.Name.empty() ? "?" : node.Name; }

}  // namespace

TDocPaths::TDocPaths(const TXMLNode* root) {
  if (!root) return;
  places_.emplace(root, TPlace{nullptr, TagOf(*root)});
  std::vector<const TXMLNode*> pending{root};
  while (!pending.empty()) {
    const TXMLNode* node = pending.back();
    pending.pop_back();
    NameChildren(*node);
    for (std::size_t i = 0; i < node->ChildCount(); ++i) pending.push_back(node->Child(i));
  }
}

void TDocPaths::NameChildren(const TXMLNode& parent) {
  // Per tag in lower case: how many children bear it so far, and how many
  // of them bear each id.
  std::unordered_map<std::string, std::size_t> perTag;
  std::unordered_map<std::string, std::size_t> perTagAndId;
  const auto idKey = [](const TXMLNode& node) {
    return app::AsciiLowerCase(node.Name) + '\n' + app::AsciiLowerCase(node.GetAttr("id"));
  };
  for (std::size_t i = 0; i < parent.ChildCount(); ++i) ++perTagAndId[idKey(*parent.Child(i))];
  for (std::size_t i = 0; i < parent.ChildCount(); ++i) {
    const TXMLNode& child = *parent.Child(i);
    const std::size_t place = ++perTag[app::AsciiLowerCase(child.Name)];
    const std::string id = child.GetAttr("id");
    const bool byId = FitsInPath(id) && perTagAndId[idKey(child)] == 1;
    places_.emplace(
        &child, TPlace{&parent, TagOf(child) + "[" + (byId ? id : std::to_string(place)) + "]"});
  }
}

std::string TDocPaths::PathOf(const TXMLNode* node) const {
  std::vector<const std::string*> steps;
  for (auto found = places_.find(node); found != places_.end();
       found = places_.find(found->second.Parent)) {
    steps.push_back(&found->second.Step);
  }
  std::string path;
  for (auto step = steps.rbegin(); step != steps.rend(); ++step) {
    if (!path.empty()) path += '/';
    path += **step;
  }
  return path;
}

const TXMLNode* TDocPaths::Parent(const TXMLNode* node) const {
  const auto found = places_.find(node);
  return found == places_.end() ? nullptr : found->second.Parent;
}

}  // namespace skintool
