#pragma once

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "skin/XML.h"

namespace skin {
class TSkinResManager;
}

namespace skintool {

// One fault the check found: in which file, at which element (null: the
// file as a whole) and attribute (empty: the element itself), and what.
struct TFinding {
  const skin::TXMLNode* Element = nullptr;
  std::string Attribute;
  std::string Message;
  std::string File = "interface.xml";
};

// The findings of a check in the order found: the first kMaxKept are kept,
// the rest only counted, so that a hostile skin's millions of faults (one
// for each of its attributes, say) take no memory.
class TFindings {
 public:
  static constexpr std::size_t kMaxKept = 5000;

  void Add(TFinding finding) {
    ++count_;
    if (kept_.size() < kMaxKept) kept_.push_back(std::move(finding));
  }
  const std::vector<TFinding>& Kept() const { return kept_; }
  std::size_t Count() const { return count_; }

 private:
  std::vector<TFinding> kept_;
  std::size_t count_ = 0;
};

// What loading a skin with the program's own loader and building its
// windows with the program's classes showed.
struct TLoadFacts {
  const skin::TXMLNode* Root = nullptr;
  // The attributes the loader and the controls looked up on each element,
  // in lower case.
  std::unordered_map<const skin::TXMLNode*, std::vector<std::string>> Read;
  // The entity names the program registered, in lower case.
  std::unordered_set<std::string> Registered;
  // The tags of the registered control classes.
  std::vector<std::string> ClassTags;
  // The skin as loaded: its images' pictures.
  const skin::TSkinResManager* Resources = nullptr;
  bool BudgetReached = false;
  // The built-in skin's description: the program runs its macros for any
  // skin that names them.
  const skin::TXMLNode* BuiltinRoot = nullptr;
};

// Adds the faults of the skin's description and of what it names, in
// document order, then those of the skin as a whole.
void CheckSkin(const TLoadFacts& facts, TFindings& findings);

}  // namespace skintool
