#include "skin/XML.h"

#include <algorithm>
#include <array>
#include <new>
#include <unordered_map>
#include <utility>

#include "app/MultiLog.h"
#include "app/TextUtil.h"
#include "platform/Stream.h"

namespace skin {

namespace {

// Digits and every byte from "A" (0x41) up, so letters, "_" and all bytes
// of 0x80 and above; "-", ".", ":" and the like end a name.
bool IsNameChar(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return (byte >= '0' && byte <= '9') || byte >= 0x41;
}

bool EndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

bool IsEndTagOf(std::string_view tag, const std::string& name) {
  return tag.size() == name.size() + 3 && tag.substr(0, 2) == "</" && tag.back() == '>' &&
         tag.substr(2, name.size()) == name;
}

bool IsSelfClosing(std::string_view tag) { return EndsWith(tag, "/>"); }

// Restores a tree's source reference when a load ends, by error or not.
class TSourceScope {
 public:
  TSourceScope(platform::TStream*& source, platform::TStream& stream) : source_(source) {
    source_ = &stream;
  }
  ~TSourceScope() { source_ = nullptr; }
  TSourceScope(const TSourceScope&) = delete;
  TSourceScope& operator=(const TSourceScope&) = delete;

 private:
  platform::TStream*& source_;
};

// Finds an element's attributes by name ignoring ASCII case in constant
// time, so that splitting a tag with many attributes stays linear.
class TAttrIndex {
 public:
  explicit TAttrIndex(const std::vector<TXMLAttr>& attributes) {
    for (std::size_t i = 0; i < attributes.size(); ++i) Add(attributes[i].Name, i);
  }
  // The index of the first attribute named `name`, or npos.
  std::size_t Find(std::string_view name) const {
    const auto found = indices_.find(Key(name));
    return found == indices_.end() ? std::string::npos : found->second;
  }
  void Add(std::string_view name, std::size_t index) { indices_.emplace(Key(name), index); }

 private:
  static std::string Key(std::string_view name) {
    std::string key(name);
    std::transform(key.begin(), key.end(), key.begin(), app::AsciiLower);
    return key;
  }

  std::unordered_map<std::string, std::size_t> indices_;
};

}  // namespace

TXMLNode::~TXMLNode() {
  // The nodes still to free are chained through their own nextToFree_, so
  // freeing a tree of any size and depth needs no memory of its own.
  TXMLNode* toFree = nullptr;
  const auto takeChildren = [&toFree](TXMLNode& node) noexcept {
    while (!node.children_.empty()) {
      TXMLNode* child = node.children_.back().release();
      node.children_.pop_back();
      child->nextToFree_ = toFree;
      toFree = child;
    }
  };
  takeChildren(*this);
  while (toFree) {
    TXMLNode* node = toFree;
    toFree = node->nextToFree_;
    takeChildren(*node);
    delete node;  // childless now: its own destructor has nothing to do
  }
}

std::string TXMLNode::GetAttr(std::string_view name) const {
  for (const TXMLAttr& attr : attributes_)
    if (app::SameText(attr.Name, name)) return attr.Value;
  return {};
}

void TXMLNode::SetAttr(std::string_view name, std::string_view value) {
  bool found = false;
  for (TXMLAttr& attr : attributes_) {
    if (!app::SameText(attr.Name, name)) continue;
    attr.Value = value;
    found = true;
  }
  if (!found) AddAttr(name, value);
}

void TXMLNode::AddAttr(std::string_view name, std::string_view value) {
  attributes_.push_back({std::string(name), std::string(value)});
}

TXMLNode* TXMLNode::AddChild(std::unique_ptr<TXMLNode> node) {
  children_.push_back(std::move(node));
  return children_.back().get();
}

void TXMLTree::LoadFromStream(platform::TStream& stream) {
  app::Log("+TXMLTree.LoadFromStream");
  Clear();
  const std::int64_t size = stream.RequireSize();
  {
    TSourceScope scope(source_, stream);
    position_ = 0;
    size_ = std::min(size, limits::kMaxMemberSize);
    limitReached_ = size > limits::kMaxMemberSize;
    elementCount_ = 0;
    try {
      // Skip the prolog: declarations, processing instructions and stray end
      // tags have a second character below "A".
      std::string tag;
      do {
        tag = ReadTag();
      } while (!tag.empty() && !(tag.size() >= 2 && static_cast<unsigned char>(tag[1]) >= 0x41));
      if (!tag.empty()) root_ = ParseDocumentElement(tag);
    } catch (const std::bad_alloc&) {
      // The partial tree is gone already: it was freed while the error
      // unwound, and freeing allocates nothing.
      pendingText_ = {};
      throw EOutOfMemory("Out of memory reading an XML document after " +
                         std::to_string(elementCount_) + " elements");
    }
    pendingText_ = {};
  }
  app::Log("-TXMLTree.LoadFromStream");
}

std::string TXMLTree::ReadTag() {
  std::string tag;
  pendingText_.clear();
  bool inTag = false;
  while (position_ < size_) {
    char c;
    if (source_->Read(&c, 1) != 1) break;  // the stream is shorter than it said
    ++position_;
    if (c == '<') inTag = true;
    if (!inTag) {
      pendingText_ += c;
      continue;
    }
    tag += c;
    if (c != '>') continue;
    if (!tag.starts_with("<!--")) return tag;
    if (EndsWith(tag, "-->")) {  // a comment; a ">" inside one does not end it
      tag.clear();
      inTag = false;
    }
  }
  return {};  // an unfinished tag is dropped
}

// Reads the element that starts with `tag` and everything inside it. The
// open elements are kept on an explicit stack, so nesting depth costs no
// machine stack.
std::unique_ptr<TXMLNode> TXMLTree::ParseDocumentElement(const std::string& tag) {
  if (tag.size() < 3) return nullptr;
  auto root = std::make_unique<TXMLNode>();
  elementCount_ = 1;
  if (!ParseTag(tag, *root)) limitReached_ = true;
  if (IsSelfClosing(tag)) return root;

  std::vector<TXMLNode*> open{root.get()};
  std::string next = ReadTag();
  root->Text = pendingText_;
  while (!open.empty()) {
    TXMLNode* node = open.back();
    // A short tag (the empty tag at the end of the input included) ends the
    // element as its exact end tag does; the parent then reads on.
    if (next.size() <= 2 || IsEndTagOf(next, node->Name)) {
      open.pop_back();
      if (!open.empty()) next = ReadTag();
      continue;
    }
    if (open.size() >= static_cast<std::size_t>(kMaxDepth) ||
        elementCount_ >= limits::kMaxXmlElements) {
      limitReached_ = true;
      break;
    }
    auto child = std::make_unique<TXMLNode>();
    ++elementCount_;
    if (!ParseTag(next, *child)) limitReached_ = true;
    TXMLNode* added = node->AddChild(std::move(child));
    const bool selfClosing = IsSelfClosing(next);
    next = ReadTag();
    if (selfClosing) continue;
    added->Text = pendingText_;
    open.push_back(added);
  }
  return root;
}

bool ParseTag(std::string_view tag, TXMLNode& node) {
  std::size_t end = tag.size();
  if (IsSelfClosing(tag))
    end -= 2;
  else if (EndsWith(tag, ">"))
    end -= 1;

  enum { kElementName, kBetween, kAttrName, kBeforeValue, kValue } state = kElementName;
  std::string name;
  std::string value;
  TAttrIndex index(node.attributes_);
  bool complete = true;
  const auto setAttr = [&](std::string decoded) {
    const std::size_t found = index.Find(name);
    if (found != std::string::npos) {
      node.attributes_[found].Value = std::move(decoded);
    } else if (node.attributes_.size() < limits::kMaxXmlAttributes) {
      index.Add(name, node.attributes_.size());
      node.attributes_.push_back({name, std::move(decoded)});
    } else {
      complete = false;
    }
  };
  for (std::size_t i = 1; i < end; ++i) {
    const char c = tag[i];
    const bool nameChar = IsNameChar(c);
    switch (state) {
      case kElementName:
        if (nameChar)
          node.Name += c;
        else
          state = kBetween;
        break;
      case kBetween:
        if (nameChar) {
          name.assign(1, c);
          state = kAttrName;
        }
        break;
      case kAttrName:
        if (nameChar) {
          name += c;
        } else {
          value.clear();
          state = kBeforeValue;
        }
        break;
      case kBeforeValue:
        if (c == '"') state = kValue;
        break;
      case kValue:
        if (c == '"') {
          setAttr(DecodeEntities(value));
          state = kBetween;
        } else {
          value += c;
        }
        break;
    }
  }
  return complete;
}

std::string DecodeEntities(std::string_view value) {
  static constexpr std::array<std::pair<std::string_view, char>, 5> kReferences = {{
      {"&amp;", '&'},
      {"&lt;", '<'},
      {"&gt;", '>'},
      {"&quot;", '"'},
      {"&apos;", '\''},
  }};
  std::string result;
  result.reserve(value.size());
  for (std::size_t i = 0; i < value.size();) {
    bool replaced = false;
    if (value[i] == '&') {
      for (const auto& [reference, character] : kReferences) {
        if (!app::StartsWithText(value.substr(i), reference)) continue;
        result += character;
        i += reference.size();
        replaced = true;
        break;
      }
    }
    if (!replaced) result += value[i++];
  }
  return result;
}

}  // namespace skin
