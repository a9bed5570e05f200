#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "skin/XML.h"

namespace skintool {

// The elements of a skin description the loader finds by id, as it finds
// them (ids ignoring case): the first child of the root of each tag and id
// (resources), the first AREA of each id inside an IMAGE, and the first
// TGROUP and WINDOW of each id anywhere below the root, depth first in
// document order.
class TSkinIndex {
 public:
  explicit TSkinIndex(const skin::TXMLNode* root);

  const skin::TXMLNode* Resource(std::string_view tag, std::string_view id) const;
  // The place of a child of the root among the root's children.
  std::size_t Place(const skin::TXMLNode& resource) const;
  const skin::TXMLNode* Area(const skin::TXMLNode& image, std::string_view id) const;
  const skin::TXMLNode* Template(std::string_view id) const;
  const skin::TXMLNode* Window(std::string_view id) const;
  // The first WINDOW of each id, in document order: the windows that can
  // be built.
  const std::vector<const skin::TXMLNode*>& Windows() const { return windows_; }

 private:
  using TIndex = std::unordered_map<std::string, const skin::TXMLNode*>;
  static const skin::TXMLNode* Find(const TIndex& index, std::string_view tag, std::string_view id);
  void IndexResources(const skin::TXMLNode& root);
  void IndexDescendants(const skin::TXMLNode& root);

  TIndex resources_;
  std::unordered_map<const skin::TXMLNode*, std::size_t> places_;
  std::map<std::pair<const skin::TXMLNode*, std::string>, const skin::TXMLNode*> areas_;
  TIndex descendants_;
  std::vector<const skin::TXMLNode*> windows_;
};

// What "Image.Area" (or "Image") names: the IMAGE and, when an area is
// named, its AREA (null when the image has none of that name).
struct TImageRef {
  const skin::TXMLNode* Image = nullptr;
  std::string ImageId;
  std::string AreaId;
  const skin::TXMLNode* Area = nullptr;
};
TImageRef ResolveImage(const TSkinIndex& index, std::string_view value);

}  // namespace skintool
