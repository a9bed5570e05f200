#include "controls/Skins.h"

#include <gtest/gtest.h>

#include <string>

#include "SkinFixture.h"

namespace controls_test {
namespace {

using controls::TKestControl;

// A class the application registers for a tag.
class TMarkedControl : public TKestControl {
 public:
  explicit TMarkedControl(TKestControl& owner) : TKestControl(owner) {}
};
class TOtherControl : public TKestControl {
 public:
  explicit TOtherControl(TKestControl& owner) : TKestControl(owner) {}
};

bool IsPlain(const TKestControl& control) { return typeid(control) == typeid(TKestControl); }

using Skins = SkinFixture;

TEST_F(Skins, RegistrationsChooseTheClassAndTheLastOneWins) {
  Load(R"(<SKIN><WINDOW id="Main"><CHESSBOARD/></WINDOW></SKIN>)");
  auto before = Build("Main");
  EXPECT_TRUE(IsPlain(ChildAt(*before, {0})));
  skin.RegisterControlClass<TMarkedControl>("ChessBoard");
  auto after = Build("Main");
  EXPECT_NE(dynamic_cast<TMarkedControl*>(&ChildAt(*after, {0})), nullptr);
  skin.RegisterControlClass<TOtherControl>("CHESSBOARD");
  auto last = Build("main");
  EXPECT_NE(dynamic_cast<TOtherControl*>(&ChildAt(*last, {0})), nullptr);
}

TEST_F(Skins, WindowsAreFoundAnywhereAndMissingOnesGiveNull) {
  Load(R"(<SKIN><X><WINDOW id="Deep" size="10,10"/></X><WINDOW id="Deep" size="20,20"/></SKIN>)");
  auto deep = Build("Deep");
  EXPECT_EQ(deep->Form().Width(), 10);  // the first in document order
  EXPECT_EQ(skin.BuildWindow("Alert"), nullptr);
}

TEST_F(Skins, GroupsLoadTheTemplateFirstThenTheGroup) {
  Load(R"(<SKIN>
    <TGROUP id="T" pos="1,2" size="30,40"><PANEL id="FromTemplate"/></TGROUP>
    <WINDOW id="Main">
      <GROUP group="T" pos="7,8"><PANEL id="Own"/></GROUP>
      <GROUP group="Missing" id="Lonely"><PANEL id="Inside"/></GROUP>
    </WINDOW></SKIN>)");
  auto window = Build("Main");
  ASSERT_EQ(window->Controls().size(), 2u);
  TKestControl& group = ChildAt(*window, {0});
  // The GROUP's attributes are applied after the template's, each with its
  // default when absent: "size" falls back to 25.
  EXPECT_EQ(group.BoundsRect(), (platform::TRect{7, 8, 32, 33}));
  ASSERT_EQ(group.Controls().size(), 2u);
  EXPECT_EQ(ChildAt(group, {0}).Id, "FromTemplate");
  EXPECT_EQ(ChildAt(group, {1}).Id, "Own");
  TKestControl& lonely = ChildAt(*window, {1});
  EXPECT_TRUE(IsPlain(lonely));
  EXPECT_EQ(lonely.Id, "Lonely");
  ASSERT_EQ(lonely.Controls().size(), 1u);
  EXPECT_EQ(ChildAt(lonely, {0}).Id, "Inside");
}

TEST_F(Skins, TemplatesThatUseThemselvesStopAndControlsAreCapped) {
  Load(R"(<SKIN>
    <TGROUP id="A"><GROUP group="B"/><PANEL/></TGROUP>
    <TGROUP id="B"><GROUP group="A"/></TGROUP>
    <TGROUP id="Ten"><GROUP group="Ten2"/><GROUP group="Ten2"/><GROUP group="Ten2"/><GROUP group="Ten2"/><GROUP group="Ten2"/><GROUP group="Ten2"/><GROUP group="Ten2"/><GROUP group="Ten2"/><GROUP group="Ten2"/><GROUP group="Ten2"/></TGROUP>
    <TGROUP id="Ten2"><GROUP group="Ten3"/><GROUP group="Ten3"/><GROUP group="Ten3"/><GROUP group="Ten3"/><GROUP group="Ten3"/><GROUP group="Ten3"/><GROUP group="Ten3"/><GROUP group="Ten3"/><GROUP group="Ten3"/><GROUP group="Ten3"/></TGROUP>
    <TGROUP id="Ten3"><PANEL/><PANEL/><PANEL/><PANEL/><PANEL/><PANEL/><PANEL/><PANEL/><PANEL/><PANEL/><PANEL/><PANEL/><PANEL/><PANEL/><PANEL/><PANEL/><PANEL/><PANEL/><PANEL/><PANEL/><PANEL/><PANEL/><PANEL/><PANEL/><PANEL/><PANEL/><PANEL/><PANEL/><PANEL/><PANEL/></TGROUP>
    <WINDOW id="Loop"><GROUP group="A"/></WINDOW>
    <WINDOW id="Many"><GROUP group="Ten"/></WINDOW></SKIN>)");
  auto loop = Build("Loop");
  ASSERT_NE(loop, nullptr);
  // A -> B -> A: the inner A is a plain control instead of a loop.
  EXPECT_EQ(ChildAt(*loop, {0}).Controls().size(), 2u);
  auto many = Build("Many");
  ASSERT_NE(many, nullptr);
  std::size_t count = 0;
  std::vector<const TKestControl*> pending{many.get()};
  while (!pending.empty()) {
    const TKestControl* control = pending.back();
    pending.pop_back();
    ++count;
    for (const auto& child : control->Controls()) pending.push_back(child.get());
  }
  EXPECT_EQ(count, static_cast<std::size_t>(controls::TSkin::kMaxControls));
}

std::size_t CountControls(const TKestControl& root) {
  std::size_t count = 1;
  for (const auto& child : root.Controls()) count += CountControls(*child);
  return count;
}

// Templates are found as FindNode finds them (the first in document order,
// at any depth, ignoring case), and a skin of tens of thousands of them
// costs each GROUP a lookup, not a walk through the document.
// Templates are looked up through an index (tools/measure/hostile-render.py
// times thousands of them); the index keeps the first template of an id in
// document order, nested ones included, and chains stop at the control cap.
TEST_F(Skins, TemplatesAreTheFirstOfTheirId) {
  std::string xml = R"(<SKIN><WINDOW id="Dup"><GROUP group="dup"/></WINDOW>
    <X><TGROUP id="DUP"><PANEL id="First"/></TGROUP></X><TGROUP id="Dup"><PANEL id="Second"/></TGROUP>
    <WINDOW id="Chain"><GROUP group="t0"/></WINDOW>
    <WINDOW id="Missing">)";
  for (int i = 0; i < 1999; ++i) xml += "<GROUP group=\"none\"/>";
  xml += "</WINDOW>";
  // Each template uses the next; the first used stands last.
  for (int i = 3000; i-- > 0;)
    xml += "<TGROUP id=\"t" + std::to_string(i) + "\"><GROUP group=\"t" + std::to_string(i + 1) +
           "\"/></TGROUP>";
  Load(xml + "</SKIN>");
  EXPECT_EQ(ChildAt(*Build("Dup"), {0, 0}).Id, "First");
  auto chain = Build("Chain");
  auto missing = Build("Missing");
  ASSERT_NE(chain, nullptr);
  EXPECT_EQ(CountControls(*chain), static_cast<std::size_t>(controls::TSkin::kMaxControls));
  ASSERT_NE(missing, nullptr);
  EXPECT_EQ(CountControls(*missing), 2000u);
}

TEST_F(Skins, APackWithoutInterfaceIsAnEmptySkin) {
  skin.LoadFromPack(pack);
  EXPECT_EQ(skin.Tree().Root(), nullptr);
  EXPECT_EQ(skin.BuildWindow("Main"), nullptr);
  EXPECT_TRUE(skin.ResManager().Resources().empty());
}

TEST_F(Skins, AZipThatIsNoArchiveLoadsNothing) {
  platform::TMemoryStream junk(std::string(100, 'x').data(), 100);
  skin.LoadFromZIP(junk);
  EXPECT_EQ(skin.BuildWindow("Main"), nullptr);
}

}  // namespace
}  // namespace controls_test
