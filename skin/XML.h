#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class TStream;
}

namespace skin {

struct TXMLAttr {
  std::string Name;   // as written
  std::string Value;  // entity references decoded
};

// One element of a skin description: its tag name, its attributes in order
// of first appearance and its child elements, which it owns.
class TXMLNode {
 public:
  TXMLNode() = default;
  explicit TXMLNode(std::string name) : Name(std::move(name)) {}
  // Frees the whole subtree without recursion, however deep it is.
  ~TXMLNode();
  TXMLNode(const TXMLNode&) = delete;
  TXMLNode& operator=(const TXMLNode&) = delete;

  // The value of the first attribute named `name` ignoring ASCII case; empty
  // when there is none.
  std::string GetAttr(std::string_view name) const;
  // Sets every attribute named `name` (ignoring case), or appends one.
  void SetAttr(std::string_view name, std::string_view value);
  // Appends an attribute without looking for an existing one.
  void AddAttr(std::string_view name, std::string_view value);
  // Appends a child; the node takes ownership. Returns the child.
  TXMLNode* AddChild(std::unique_ptr<TXMLNode> node);

  std::size_t ChildCount() const { return children_.size(); }
  TXMLNode* Child(std::size_t index) const { return children_[index].get(); }
  const std::vector<TXMLAttr>& Attributes() const { return attributes_; }

  std::string Name;  // the tag name exactly as written
  // The character data between the start tag and the next tag (comments
  // removed, not decoded); empty for a self-closing element.
  std::string Text;

 private:
  std::vector<TXMLAttr> attributes_;
  std::vector<std::unique_ptr<TXMLNode>> children_;
};

// A forgiving reader of skin descriptions: elements, double-quoted
// attributes, the five predefined entity references in attribute values,
// comments and a prolog. It never reports an error: malformed input gives
// the tree as far as the reader got.
class TXMLTree {
 public:
  // Elements nested deeper than this end the document: what was read before
  // stays. Code that walks the tree recursively can rely on the bound.
  static constexpr int kMaxDepth = 1024;

  TXMLTree() = default;
  ~TXMLTree() { Clear(); }
  TXMLTree(const TXMLTree&) = delete;
  TXMLTree& operator=(const TXMLTree&) = delete;

  // Replaces the tree by the document read from the stream's current
  // contents, one byte per read (hand it a buffered stream). Errors of the
  // stream propagate.
  void LoadFromStream(platform::TStream& stream);
  void Clear() { root_.reset(); }
  // The root element; null before a load, after Clear and when the input
  // held no element.
  TXMLNode* Root() const { return root_.get(); }

 private:
  std::string ReadTag();
  std::unique_ptr<TXMLNode> ParseDocumentElement(const std::string& tag);

  std::unique_ptr<TXMLNode> root_;
  platform::TStream* source_ = nullptr;
  std::int64_t size_ = 0;
  std::int64_t position_ = 0;
  std::string pendingText_;
};

// Splits a start tag ("<NAME a="1" ...>" or ".../>") into the node's name
// and attributes.
void ParseTag(std::string_view tag, TXMLNode& node);
// Replaces each of the five predefined entity references (any letter case)
// by its character, in one pass: replacement text is not examined again.
std::string DecodeEntities(std::string_view value);

}  // namespace skin
