#pragma once

#include <string>
#include <unordered_map>

#include "skin/XML.h"

namespace skintool {

// Short, stable names for the elements of a skin description, for the
// check's findings: "SKIN/WINDOW[Main]/PANEL[2]/BUTTON[1]". An element goes
// by its id when no sibling of the same tag shares it, else by its place
// among the siblings of its tag (from 1); the root by its tag alone.
class TDocPaths {
 public:
  explicit TDocPaths(const skin::TXMLNode* root);

  std::string PathOf(const skin::TXMLNode* node) const;
  // Null for the root and for nodes outside the document.
  const skin::TXMLNode* Parent(const skin::TXMLNode* node) const;

 private:
  struct TPlace {
    const skin::TXMLNode* Parent;
    std::string Step;
  };
  void NameChildren(const skin::TXMLNode& parent);

  std::unordered_map<const skin::TXMLNode*, TPlace> places_;
};

}  // namespace skintool
