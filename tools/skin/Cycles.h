#pragma once

#include <string>
#include <vector>

#include "skin/XML.h"

namespace skintool {

// One element referring to another (a macro running a macro, a template
// using a template) and where the reference is written.
struct TReference {
  const skin::TXMLNode* From = nullptr;
  const skin::TXMLNode* To = nullptr;
  const skin::TXMLNode* Element = nullptr;
  std::string Attribute;
};

// A loop of references: the reference that closes it, how many elements
// it passes and the first of them (at most kShown), from the one it returns
// to.
struct TCycle {
  static constexpr std::size_t kShown = 8;
  const TReference* Closing = nullptr;
  std::size_t Length = 0;
  std::vector<const skin::TXMLNode*> Elements;
};

// Each loop among the references once, by the reference met last walking
// them depth first in their order. The result points into `references`.
std::vector<TCycle> FindCycles(const std::vector<TReference>& references);

}  // namespace skintool
