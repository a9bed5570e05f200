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

using app::Quoted;

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

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The start of a tag for a note: tags may be of any length.
std::string Excerpt(std::string_view tag) {
  constexpr std::size_t kLength = 40;
  if (tag.size() <= kLength) return std::string(tag);
  return std::string(tag.substr(0, kLength)) + "...";
}

using TReference = std::pair<std::string_view, char>;

constexpr std::array<TReference, 5> kReferences = {{
    {"&amp;", '&'},
    {"&lt;", '<'},
    {"&gt;", '>'},
    {"&quot;", '"'},
    {"&apos;", '\''},
}};

// The predefined entity reference `text` starts with (any letter case), or
// null.
const TReference* FindReference(std::string_view text) {
  for (const TReference& reference : kReferences)
    if (app::StartsWithText(text, reference.first)) return &reference;
  return nullptr;
}

// Keeps a repair unless the list is full: a hostile document may repair
// millions of times.
void AddRepair(std::vector<std::string>& repairs, std::string text) {
  if (repairs.size() < TXMLTree::kMaxNotes) repairs.push_back(std::move(text));
}

// Notes a "&" in the raw value of attribute `name` that starts no
// reference: it is kept as it is.
void NoteBareAmpersand(const std::string& name, std::string_view value,
                       std::vector<std::string>& repairs) {
  for (std::size_t at = value.find('&'); at != std::string_view::npos;
       at = value.find('&', at + 1)) {
    if (FindReference(value.substr(at))) continue;
    AddRepair(repairs, "attribute " + Quoted(name) +
                           ": \"&\" starts no entity reference and is kept as it is");
    return;
  }
}

TAttrObserver* attrObserver = nullptr;

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

void SetAttrObserver(TAttrObserver* observer) { attrObserver = observer; }

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
  if (attrObserver) attrObserver->AttributeRead(*this, name);
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
        if (notes_) NoteStrayTag(tag);
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
    if (c == '<' && !inTag) {
      inTag = true;
      tagStart_ = position_ - 1;
    }
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
  // An unfinished tag is dropped.
  if (inTag && notes_) {
    Note(nullptr, tagStart_,
         (tag.starts_with("<!--") ? std::string("a comment") : "the tag " + Excerpt(tag)) +
             " is not finished at the end of the document");
  }
  return {};
}

// Declarations and processing instructions belong before the root; end
// tags and other tags without a name do not.
void TXMLTree::NoteStrayTag(const std::string& tag) {
  if (tag.size() < 2 || tag[1] == '?' || tag[1] == '!') return;
  if (static_cast<unsigned char>(tag[1]) >= 0x41) return;
  Note(nullptr, tagStart_, "the tag " + Excerpt(tag) + " before the root element is skipped");
}

// The reader stops at the end of the root element: anything but comments
// and blanks after it is lost.
void TXMLTree::NoteContentAfterRoot() {
  const std::string tag = ReadTag();
  if (!tag.empty()) {
    Note(nullptr, tagStart_, "the tag " + Excerpt(tag) + " after the root element is ignored");
  }
}

void TXMLTree::Note(const TXMLNode* element, std::int64_t offset, std::string message) {
  if (notes_ && notes_->size() < kMaxNotes)
    notes_->push_back(TXMLNote{offset, element, std::move(message)});
}

// Reads the element that starts with `tag` and everything inside it. The
// open elements are kept on an explicit stack, so nesting depth costs no
// machine stack.
std::unique_ptr<TXMLNode> TXMLTree::ParseDocumentElement(const std::string& tag) {
  if (tag.size() < 3) return nullptr;
  auto root = std::make_unique<TXMLNode>();
  elementCount_ = 1;
  std::vector<std::string> repairs;
  if (!ParseTag(tag, *root, notes_ ? &repairs : nullptr)) limitReached_ = true;
  for (std::string& repair : repairs) Note(root.get(), tagStart_, std::move(repair));
  if (IsSelfClosing(tag)) {
    if (notes_) NoteContentAfterRoot();
    return root;
  }

  std::vector<TXMLNode*> open{root.get()};
  std::string next = ReadTag();
  root->Text = pendingText_;
  while (!open.empty()) {
    TXMLNode* node = open.back();
    // A short tag (the empty tag at the end of the input included) ends the
    // element as its exact end tag does; the parent then reads on.
    if (next.size() <= 2 || IsEndTagOf(next, node->Name)) {
      if (notes_ && next.empty()) {
        // An element without a name stands for a stray end tag, noted already.
        if (!node->Name.empty())
          Note(node, -1, "<" + node->Name + "> is not closed before the end of the document");
      } else if (notes_ && next.size() <= 2) {
        Note(node, tagStart_, "the empty tag " + next + " closes <" + node->Name + ">");
      }
      open.pop_back();
      if (!open.empty()) next = ReadTag();
      continue;
    }
    if (open.size() >= static_cast<std::size_t>(kMaxDepth) ||
        elementCount_ >= limits::kMaxXmlElements) {
      limitReached_ = true;
      break;
    }
    TXMLNode* added = AddElement(*node, next);
    const bool selfClosing = IsSelfClosing(next);
    next = ReadTag();
    if (selfClosing) continue;
    added->Text = pendingText_;
    open.push_back(added);
  }
  if (notes_ && open.empty()) NoteContentAfterRoot();
  return root;
}

// Reads the element of `tag` into a new child of `parent`. An end tag that
// closes no open element starts an element without a name.
TXMLNode* TXMLTree::AddElement(TXMLNode& parent, const std::string& tag) {
  auto child = std::make_unique<TXMLNode>();
  ++elementCount_;
  const bool endTag = tag.starts_with("</");
  std::vector<std::string> repairs;
  if (!ParseTag(tag, *child, notes_ && !endTag ? &repairs : nullptr)) limitReached_ = true;
  TXMLNode* added = parent.AddChild(std::move(child));
  if (!notes_) return added;
  if (endTag) {
    const std::string closes = parent.Name.empty() ? std::string(" closes nothing")
                                                   : " does not close <" + parent.Name + ">";
    Note(&parent, tagStart_,
         "the end tag " + Excerpt(tag) + closes +
             ": it is read as the start of an element without a name");
  } else if (added->Name.empty()) {
    Note(added, tagStart_, "the tag " + Excerpt(tag) + " has no name");
  }
  for (std::string& repair : repairs) Note(added, tagStart_, std::move(repair));
  return added;
}

bool ParseTag(std::string_view tag, TXMLNode& node, std::vector<std::string>* repairs) {
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
  // Of the attribute being read: whether its "=" came, and whether a
  // character skipped before its value was noted.
  bool equals = false;
  bool skipNoted = false;
  bool strayNoted = false;
  const auto noteStray = [&](char c) {
    if (strayNoted) return;
    strayNoted = true;
    AddRepair(*repairs, "the character " + Quoted(std::string(1, c)) + " is skipped");
  };
  const auto setAttr = [&](std::string decoded) {
    const std::size_t found = index.Find(name);
    if (found != std::string::npos) {
      if (repairs)
        AddRepair(*repairs, "attribute " + Quoted(name) + " is repeated: the last value counts");
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
        if (nameChar) {
          node.Name += c;
        } else {
          state = kBetween;
          if (repairs && !IsSpace(c) && !node.Name.empty()) noteStray(c);
        }
        break;
      case kBetween:
        if (nameChar) {
          name.assign(1, c);
          state = kAttrName;
        } else if (repairs && !IsSpace(c)) {
          noteStray(c);
        }
        break;
      case kAttrName:
        if (nameChar) {
          name += c;
          break;
        }
        value.clear();
        state = kBeforeValue;
        equals = c == '=';
        skipNoted = false;
        if (repairs && !equals && !IsSpace(c)) {
          skipNoted = true;
          AddRepair(*repairs, "attribute " + Quoted(name) + ": " + Quoted(std::string(1, c)) +
                                  " before its value is skipped");
        }
        break;
      case kBeforeValue:
        if (c == '"') {
          state = kValue;
          if (repairs && !equals)
            AddRepair(*repairs, "attribute " + Quoted(name) + " has no \"=\"");
        } else if (c == '=' && !equals) {
          equals = true;
        } else if (repairs && !IsSpace(c) && !skipNoted) {
          skipNoted = true;
          AddRepair(*repairs, "attribute " + Quoted(name) + ": " + Quoted(std::string(1, c)) +
                                  " before its value is skipped");
        }
        break;
      case kValue:
        if (c == '"') {
          if (repairs) NoteBareAmpersand(name, value, *repairs);
          setAttr(DecodeEntities(value));
          state = kBetween;
        } else {
          value += c;
        }
        break;
    }
  }
  if (repairs && (state == kAttrName || state == kBeforeValue))
    AddRepair(*repairs, "attribute " + Quoted(name) + " has no value and is dropped");
  if (repairs && state == kValue)
    AddRepair(*repairs, "the value of attribute " + Quoted(name) + " is not closed and is dropped");
  return complete;
}

std::string DecodeEntities(std::string_view value) {
  std::string result;
  result.reserve(value.size());
  for (std::size_t i = 0; i < value.size();) {
    const TReference* reference = value[i] == '&' ? FindReference(value.substr(i)) : nullptr;
    if (reference) {
      result += reference->second;
      i += reference->first.size();
    } else {
      result += value[i++];
    }
  }
  return result;
}

}  // namespace skin
