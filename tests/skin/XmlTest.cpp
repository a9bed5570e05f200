#include "skin/XML.h"

#include <gtest/gtest.h>

#include "platform/Stream.h"
#include "skin/Limits.h"

using skin::TXMLNode;
using skin::TXMLTree;

namespace {

// Parses a document and keeps the tree.
struct Doc {
  explicit Doc(const std::string& text) {
    platform::TMemoryStream stream(text.data(), text.size());
    tree.LoadFromStream(stream);
  }
  TXMLNode* Root() const { return tree.Root(); }
  TXMLTree tree;
};

// The element as one line: name, then name="value" for each attribute, then
// the children in brackets.
std::string Describe(const TXMLNode* node) {
  if (!node) return "null";
  std::string text = node->Name;
  for (const auto& attr : node->Attributes()) text += " " + attr.Name + "=\"" + attr.Value + "\"";
  if (node->ChildCount() > 0) {
    text += " [";
    for (std::size_t i = 0; i < node->ChildCount(); ++i)
      text += (i ? ", " : "") + Describe(node->Child(i));
    text += "]";
  }
  return text;
}

std::string Parse(const std::string& text) { return Describe(Doc(text).Root()); }

}  // namespace

TEST(XmlTree, PrologCommentsAndStructure) {
  EXPECT_EQ(Parse("<?xml version=\"1.0\"?><!-- a comment --><SKIN></SKIN>"), "SKIN");
  EXPECT_EQ(
      Parse("<!DOCTYPE skin>\r\n<SKIN id=\"x\">\r\n  <ITEM/>\r\n  <ITEM link=\"App.Exit\"/>\r\n"
            "  <WINDOW id=\"Main\"><BUTTON pos=\"9,6\"></BUTTON></WINDOW>\r\n</SKIN>"
            "<AFTER/>"),
      "SKIN id=\"x\" [ITEM, ITEM link=\"App.Exit\", WINDOW id=\"Main\" [BUTTON pos=\"9,6\"]]");
  // A ">" inside a comment does not end it; text around a comment joins.
  Doc doc("<A>one<!-- x > y -->two<B/></A>");
  EXPECT_EQ(Describe(doc.Root()), "A [B]");
  EXPECT_EQ(doc.Root()->Text, "onetwo");
  EXPECT_EQ(doc.Root()->Child(0)->Text, "");
  // Name characters: "-" ends a name, bytes of 0x80 and above belong to it.
  EXPECT_EQ(Parse("<a-b c.d=\"1\"/>"), "a b=\"1\"");
  EXPECT_EQ(Parse("<N\xC3\xA9 v\xFF=\"\xE2\x82\xAC\"/>"), "N\xC3\xA9 v\xFF=\"\xE2\x82\xAC\"");
  // A self-closing tag without a blank before the slash.
  EXPECT_EQ(Parse("<ROOT><ITEM/><X a=\"1\"/></ROOT>"), "ROOT [ITEM, X a=\"1\"]");
}

TEST(XmlTree, NoElement) {
  EXPECT_EQ(Doc("").Root(), nullptr);
  EXPECT_EQ(Doc("<?xml version=\"1.0\"?><!-- only -->text").Root(), nullptr);
  EXPECT_EQ(Doc("<SKIN").Root(), nullptr);  // an unfinished tag is dropped
  EXPECT_EQ(Doc("<!-- never closed <SKIN/>").Root(), nullptr);
  // Reading stops at the size the stream had when the load began, though a
  // growing file may hold more by then; a size past the member limit is
  // reported as a limit reached, one at the limit is not.
  struct TSizedStream : platform::TStream {
    platform::TMemoryStream file{"<A/>", 4};
    std::int64_t size = 0;
    std::int64_t Read(void* buffer, std::int64_t count) override {
      return file.Read(buffer, count);
    }
    std::int64_t Write(const void*, std::int64_t) override { return 0; }
    std::int64_t Seek(std::int64_t offset, platform::SeekOrigin origin) override {
      return file.Seek(offset, origin);
    }
    std::int64_t GetSize() override { return size; }
  } stream;
  TXMLTree tree;
  for (const std::int64_t size :
       {std::int64_t{3}, skin::limits::kMaxMemberSize, skin::limits::kMaxMemberSize + 1}) {
    stream.size = size;
    stream.file.Seek(0, platform::SeekOrigin::Begin);
    tree.LoadFromStream(stream);
    EXPECT_EQ(Describe(tree.Root()), size == 3 ? "null" : "A") << size;
    EXPECT_EQ(tree.LimitReached(), size > skin::limits::kMaxMemberSize) << size;
  }
}

TEST(XmlTree, AttributeValues) {
  Doc doc(
      "<E link=\"a\" Empty=\"\" sq='single' then = \"later\" bare other=\"o\" "
      "amp=\"&AMP;&lt;&Gt;&quot;&apos;\" num=\"&#65;\" twice=\"&amp;lt;\" "
      "LINK=\"last\" open=\"never closed/>");
  const TXMLNode* e = doc.Root();
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->GetAttr("Link"), "last");  // repeated: first position, last value
  EXPECT_EQ(e->Attributes()[0].Name, "link");
  EXPECT_EQ(e->GetAttr("empty"), "");
  EXPECT_EQ(e->GetAttr("absent"), "");
  // A single-quoted value is no value: the name takes the next quoted one.
  EXPECT_EQ(e->GetAttr("sq"), "later");
  EXPECT_EQ(e->GetAttr("then"), "");
  EXPECT_EQ(e->GetAttr("bare"), "o");
  EXPECT_EQ(e->GetAttr("amp"), "&<>\"'");
  EXPECT_EQ(e->GetAttr("num"), "&#65;");
  EXPECT_EQ(e->GetAttr("twice"), "&lt;");
  EXPECT_EQ(e->GetAttr("open"), "");  // its closing quote is missing
  EXPECT_EQ(Describe(e),
            "E link=\"last\" Empty=\"\" sq=\"later\" bare=\"o\" amp=\"&<>\"'\" num=\"&#65;\" "
            "twice=\"&lt;\"");

  // A tag is read up to its own end, never into the bytes that follow it.
  const std::string_view bytes = "<a y=\"2/>\" <b z=\"3\">";
  TXMLNode a, b;
  skin::ParseTag(bytes.substr(0, 9), a);   // <a y="2/>
  skin::ParseTag(bytes.substr(11, 7), b);  // <b z="3
  EXPECT_EQ(Describe(&a), "a");
  EXPECT_EQ(Describe(&b), "b");
}

TEST(XmlTree, MalformedNesting) {
  // End tags must repeat the start tag exactly: "</SKIN>" opens an
  // empty-named child that takes what follows, until an empty end tag.
  EXPECT_EQ(Parse("<Skin><A/></SKIN><B/></><C/></Skin>"), "Skin [A,  [B], C]");
  EXPECT_EQ(Parse("<A><B></B ></A>"), "A [B [ []]]");
  // Input ending inside elements keeps what was read.
  EXPECT_EQ(Parse("<A><B x=\"1\"><C/>"), "A [B x=\"1\" [C]]");
  // A processing instruction inside the root absorbs what follows.
  EXPECT_EQ(Parse("<A><?pi v=\"1\"?><B/></A>"), "A [ pi=\"1\" [B, ]]");
  EXPECT_EQ(Parse("<A><?pi v=\"1\"/><B/></A>"), "A [ pi=\"1\", B]");
}

// Nesting far deeper than any skin neither exhausts the stack nor builds
// more than the depth limit allows.
TEST(XmlTree, DeepNesting) {
  std::string text;
  for (int i = 0; i < 200000; ++i) text += "<a>";
  Doc doc(text);
  int depth = 0;
  for (const TXMLNode* node = doc.Root(); node;
       node = node->ChildCount() ? node->Child(0) : nullptr)
    ++depth;
  EXPECT_EQ(depth, TXMLTree::kMaxDepth);

  // Mismatched end tags nest too.
  std::string sloppy = "<SKIN>";
  for (int i = 0; i < 100000; ++i) sloppy += "</x>";
  EXPECT_NE(Doc(sloppy).Root(), nullptr);
}

TEST(XmlTree, NodeEditingAndReload) {
  TXMLNode node("N");
  node.AddAttr("a", "1");
  node.AddAttr("A", "2");
  node.SetAttr("a", "3");
  EXPECT_EQ(Describe(&node), "N a=\"3\" A=\"3\"");
  node.SetAttr("b", "4");
  EXPECT_EQ(node.GetAttr("B"), "4");
  node.AddChild(std::make_unique<TXMLNode>("C"));
  EXPECT_EQ(Describe(&node), "N a=\"3\" A=\"3\" b=\"4\" [C]");

  Doc doc("<FIRST/>");
  platform::TMemoryStream second("<SECOND/>", 9);
  doc.tree.LoadFromStream(second);
  EXPECT_EQ(Describe(doc.Root()), "SECOND");
  platform::TMemoryStream empty;
  doc.tree.LoadFromStream(empty);
  EXPECT_EQ(doc.Root(), nullptr);
  doc.tree.Clear();
  EXPECT_EQ(doc.Root(), nullptr);
}
