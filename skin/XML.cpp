#include "skin/XML.h"

#include <array>
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

}  // namespace

TXMLNode::~TXMLNode() {
  std::vector<std::unique_ptr<TXMLNode>> pending = std::move(children_);
  while (!pending.empty()) {
    std::unique_ptr<TXMLNode> node = std::move(pending.back());
    pending.pop_back();
    for (auto& child : node->children_) pending.push_back(std::move(child));
    node->children_.clear();
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
  {
    TSourceScope scope(source_, stream);
    position_ = 0;
    size_ = stream.GetSize();
    // Skip the prolog: declarations, processing instructions and stray end
    // tags have a second character below "A".
    std::string tag;
    do {
      tag = ReadTag();
    } while (!tag.empty() && !(tag.size() >= 2 && static_cast<unsigned char>(tag[1]) >= 0x41));
    if (!tag.empty()) root_ = ParseDocumentElement(tag);
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
  ParseTag(tag, *root);
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
    if (open.size() >= static_cast<std::size_t>(kMaxDepth)) break;
    auto child = std::make_unique<TXMLNode>();
    ParseTag(next, *child);
    TXMLNode* added = node->AddChild(std::move(child));
    const bool selfClosing = IsSelfClosing(next);
    next = ReadTag();
    if (selfClosing) continue;
    added->Text = pendingText_;
    open.push_back(added);
  }
  return root;
}

void ParseTag(std::string_view tag, TXMLNode& node) {
  std::size_t end = tag.size();
  if (IsSelfClosing(tag))
    end -= 2;
  else if (EndsWith(tag, ">"))
    end -= 1;

  enum { kElementName, kBetween, kAttrName, kBeforeValue, kValue } state = kElementName;
  std::string name;
  std::string value;
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
          node.SetAttr(name, DecodeEntities(value));
          state = kBetween;
        } else {
          value += c;
        }
        break;
    }
  }
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
