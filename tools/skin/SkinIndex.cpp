#include "tools/skin/SkinIndex.h"

#include "app/TextUtil.h"

namespace skintool {

using skin::TXMLNode;

namespace {

std::string Key(std::string_view tag, std::string_view id) {
  return app::AsciiLowerCase(tag) + '\n' + app::AsciiLowerCase(id);
}

}  // namespace

TSkinIndex::TSkinIndex(const TXMLNode* root) {
  if (!root) return;
  IndexResources(*root);
  IndexDescendants(*root);
}

void TSkinIndex::IndexResources(const TXMLNode& root) {
  for (std::size_t i = 0; i < root.ChildCount(); ++i) {
    const TXMLNode& child = *root.Child(i);
    places_.emplace(&child, i);
    resources_.emplace(Key(child.Name, child.GetAttr("id")), &child);
    if (!app::SameText(child.Name, "IMAGE")) continue;
    for (std::size_t j = 0; j < child.ChildCount(); ++j) {
      const TXMLNode& area = *child.Child(j);
      if (app::SameText(area.Name, "AREA"))
        areas_.emplace(std::pair{&child, app::AsciiLowerCase(area.GetAttr("id"))}, &area);
    }
  }
}

void TSkinIndex::IndexDescendants(const TXMLNode& root) {
  std::vector<const TXMLNode*> pending;
  for (std::size_t i = root.ChildCount(); i-- > 0;) pending.push_back(root.Child(i));
  while (!pending.empty()) {
    const TXMLNode* node = pending.back();
    pending.pop_back();
    const bool window = app::SameText(node->Name, "WINDOW");
    if (window || app::SameText(node->Name, "TGROUP")) {
      const bool first = descendants_.emplace(Key(node->Name, node->GetAttr("id")), node).second;
      if (window && first) windows_.push_back(node);
    }
    for (std::size_t i = node->ChildCount(); i-- > 0;) pending.push_back(node->Child(i));
  }
}

const TXMLNode* TSkinIndex::Find(const TIndex& index, std::string_view tag, std::string_view id) {
  const auto found = index.find(Key(tag, id));
  return found == index.end() ? nullptr : found->second;
}

const TXMLNode* TSkinIndex::Resource(std::string_view tag, std::string_view id) const {
  return Find(resources_, tag, id);
}

std::size_t TSkinIndex::Place(const TXMLNode& resource) const {
  const auto found = places_.find(&resource);
  return found == places_.end() ? 0 : found->second;
}

const TXMLNode* TSkinIndex::Area(const TXMLNode& image, std::string_view id) const {
  const auto found = areas_.find(std::pair{&image, app::AsciiLowerCase(id)});
  return found == areas_.end() ? nullptr : found->second;
}

const TXMLNode* TSkinIndex::Template(std::string_view id) const {
  return Find(descendants_, "TGROUP", id);
}

const TXMLNode* TSkinIndex::Window(std::string_view id) const {
  return Find(descendants_, "WINDOW", id);
}

TImageRef ResolveImage(const TSkinIndex& index, std::string_view value) {
  TImageRef ref;
  const std::size_t dot = value.find('.');
  ref.ImageId = std::string(value.substr(0, dot));
  if (dot != std::string_view::npos) ref.AreaId = std::string(value.substr(dot + 1));
  ref.Image = index.Resource("IMAGE", ref.ImageId);
  if (ref.Image && !ref.AreaId.empty()) ref.Area = index.Area(*ref.Image, ref.AreaId);
  return ref;
}

}  // namespace skintool
