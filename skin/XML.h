#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "skin/Limits.h"

namespace platform {
class TStream;
}

namespace skin {

struct TXMLAttr {
  std::string Name;   // as written
  std::string Value;  // entity references decoded
};

class TXMLNode;

// Told of every attribute TXMLNode::GetAttr looks up while it is set, for
// tools that find the attributes of a skin no reader uses.
class TAttrObserver {
 public:
  virtual ~TAttrObserver() = default;
  virtual void AttributeRead(const TXMLNode& node, std::string_view name) = 0;
};

// Sets the one observer of attribute look-ups (null: none, the default,
// which costs a look-up one test).
void SetAttrObserver(TAttrObserver* observer);

// Something the forgiving reader repaired or skipped, for tools that check
// skins: what, where in the document, and the element concerned.
struct TXMLNote {
  // Bytes into the document where the tag concerned starts; -1 for the end
  // of the document.
  std::int64_t Offset = -1;
  // Null before and after the root element.
  const TXMLNode* Element = nullptr;
  std::string Message;
};

// One element of a skin description: its tag name, its attributes in order
// of first appearance and its child elements, which it owns.
class TXMLNode {
 public:
  TXMLNode() = default;
  explicit TXMLNode(std::string name) : Name(std::move(name)) {}
  // Frees the whole subtree without recursion, however deep it is, and
  // without allocating: it runs while an out-of-memory error unwinds.
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
  friend bool ParseTag(std::string_view tag, TXMLNode& node, std::vector<std::string>* repairs);

  std::vector<TXMLAttr> attributes_;
  std::vector<std::unique_ptr<TXMLNode>> children_;
  // Links the nodes the destructor has yet to free.
  TXMLNode* nextToFree_ = nullptr;
};

// A forgiving reader of skin descriptions: elements, double-quoted
// attributes, the five predefined entity references in attribute values,
// comments and a prolog. It never reports an error: malformed input gives
// the tree as far as the reader got. A document beyond the limits (elements,
// attributes, depth, size: skin/Limits.h) is read up to the limit in the same
// way, and LimitReached() tells.
class TXMLTree {
 public:
  // Elements nested deeper than this end the document: what was read before
  // stays. Code that walks the tree recursively can rely on the bound.
  static constexpr int kMaxDepth = limits::kMaxXmlDepth;

  TXMLTree() = default;
  ~TXMLTree() { Clear(); }
  TXMLTree(const TXMLTree&) = delete;
  TXMLTree& operator=(const TXMLTree&) = delete;

  // Replaces the tree by the document read from the stream's current
  // contents, one byte per read (hand it a buffered stream). Errors of the
  // stream propagate; a stream with no size (a pipe) is refused with
  // platform::EStreamError, and running out of memory throws EOutOfMemory
  // and leaves the tree empty.
  void LoadFromStream(platform::TStream& stream);
  void Clear() {
    root_.reset();
    limitReached_ = false;
  }
  // The root element; null before a load, after Clear and when the input
  // held no element.
  TXMLNode* Root() const { return root_.get(); }
  // True when the last load stopped at a limit, or dropped attributes beyond
  // the limit of one element.
  bool LimitReached() const { return limitReached_; }
  // Later loads append what they repair or skip (stray, unfinished,
  // unclosed and mismatched tags, malformed attributes, content after the
  // root) to `notes`; null, the default, stops that. The tree read is the
  // same either way.
  void SetNotes(std::vector<TXMLNote>* notes) { notes_ = notes; }
  // The most notes kept: a hostile document may repair millions of times.
  static constexpr std::size_t kMaxNotes = 10000;

 private:
  std::string ReadTag();
  std::unique_ptr<TXMLNode> ParseDocumentElement(const std::string& tag);
  TXMLNode* AddElement(TXMLNode& parent, const std::string& tag);
  void NoteStrayTag(const std::string& tag);
  void NoteContentAfterRoot();
  void Note(const TXMLNode* element, std::int64_t offset, std::string message);

  std::unique_ptr<TXMLNode> root_;
  platform::TStream* source_ = nullptr;
  std::int64_t size_ = 0;
  std::int64_t position_ = 0;
  std::string pendingText_;
  // Where the tag ReadTag returned last starts.
  std::int64_t tagStart_ = 0;
  std::size_t elementCount_ = 0;
  bool limitReached_ = false;
  std::vector<TXMLNote>* notes_ = nullptr;
};

// Splits a start tag ("<NAME a="1" ...>" or ".../>") into the node's name
// and attributes, in time linear in the tag's length. A repeated attribute
// keeps its first position and its last value. Returns false when attributes
// beyond limits::kMaxXmlAttributes were dropped. With `repairs`, describes
// there what it forgave: stray characters, attributes without "=" or
// without a closed value, repeated attributes, "&" starting no reference.
bool ParseTag(std::string_view tag, TXMLNode& node, std::vector<std::string>* repairs = nullptr);
// Replaces each of the five predefined entity references (any letter case)
// by its character, in one pass: replacement text is not examined again.
std::string DecodeEntities(std::string_view value);

}  // namespace skin
