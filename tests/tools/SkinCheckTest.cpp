#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/Bmp.h"
#include "tests/tools/ToolRun.h"

namespace {

namespace fs = std::filesystem;
using Outcome = tool_test::TToolRun;

// `ludex-skin check` on small skins written into a temporary folder, each
// with exactly the fault a test is about.
class SkinCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "ludex-skincheck-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
  }
  void TearDown() override {
    std::error_code error;
    fs::remove_all(root_, error);
  }

  // A skin folder with the description and "art.bmp", a 20x10 picture.
  fs::path Skin(const std::string& xml) {
    const fs::path folder = root_ / ("skin" + std::to_string(++skins_));
    fs::create_directories(folder);
    std::ofstream(folder / "interface.xml", std::ios::binary) << xml;
    const std::vector<std::uint8_t> picture = platform::EncodeBmp(platform::TBitmap(20, 10));
    std::ofstream(folder / "art.bmp", std::ios::binary)
        .write(reinterpret_cast<const char*>(picture.data()),
               static_cast<std::streamsize>(picture.size()));
    return folder;
  }

  static Outcome Check(const std::string& pack) {
    return tool_test::RunCommand(std::string(LUDEX_BINARY_DIR "/ludex-skin check '") + pack +
                                 "' 2> /dev/null");
  }

  // Checks the skin of description `xml`: its findings must be exactly
  // `expected` (one a line), the status 1 when there are any, else 0.
  void ExpectCheck(const std::string& xml, const std::string& expected) {
    const Outcome outcome = Check(Skin(xml).string());
    EXPECT_EQ(outcome.Out, expected) << xml;
    EXPECT_EQ(outcome.Status, expected.empty() ? 0 : 1) << xml;
  }
  // The same for the skin `body` with a "Main" window after it.
  void ExpectFindings(const std::string& body, const std::string& expected) {
    ExpectCheck("<SKIN>\n" + body + "\n<WINDOW id=\"Main\"/>\n</SKIN>\n", expected);
  }

  fs::path root_;
  int skins_ = 0;
};

// Everything the loader reads in a way the check must not mistake for a
// fault: templates, pages whose list another window's tabs show, a submenu
// whose link only names its caption, the alert's text, board classes,
// attribute names in any letter case, a macro running another, a pattern
// font after its picture and areas inside it.
TEST_F(SkinCheck, ACleanSkinChecksClean) {
  constexpr const char* kClean = R"xml(<?xml version="1.0"?>
<!-- a clean skin -->
<SKIN id="Clean" author="Ludex">
  <COLOR id="Ink" RGB="#102030"/>
  <IMAGE id="Art" file="art.bmp">
    <AREA id="Cells" pos="0,0" size="9,9" repeat="2,1" mask="Color,Fuchsia"/>
    <AREA id="Glyphs" split="Underline"/>
  </IMAGE>
  <FONT id="Digits" symbols="01" pattern="Art.Glyphs"/>
  <FONT id="Sans" type="System" family="Sans" size="9" style="Bold"/>
  <MENU id="Pop" bgcolor="Ink">
    <ITEM link="Application.NewGame"/>
    <ITEM/>
    <ITEM link="Options"><ITEM link="GUI.StayOnTop"/></ITEM>
  </MENU>
  <MACROS id="Both" do1="Application.RunMacros(One)" do2="GUI.ShowHints"/>
  <MACROS id="One" do1="Application.NewGame"/>
  <TGROUP id="Pair"><BUTTON bg="Art.Cells" link="Application.RunMacros(Both)"/></TGROUP>
  <WINDOW ID="Main" SIZE="80,60" Popup="Pop" BGColor="Ink">
    <GROUP group="Pair" pos="1,1"/>
    <TEXT font="Digits" text="10"/>
    <PAGES link="Clean.Pages">
      <PAGE id="First"><CHESSBOARD link="Application.ChessBoard" figures="Art" squares="Art.Cells"/></PAGE>
      <PAGE id="Second"><CHECKERSBOARD link="Application.CheckersBoard"/></PAGE>
    </PAGES>
  </WINDOW>
  <WINDOW id="Alert"><TEXT font="Sans" link="Alert.Text"/><TABS link="Clean.Pages"/></WINDOW>
</SKIN>
)xml";
  ExpectCheck(kClean, "");
}

// Each repair of the forgiving reader is a finding, with the element it
// concerns and the line of the tag.
TEST_F(SkinCheck, ReportsXmlTheReaderRepaired) {
  ExpectFindings("<WINDOW id=\"W\"><PANEL size \"1,1\"/></WINDOW>",
                 "interface.xml:SKIN/WINDOW[W]/PANEL[1]: attribute \"size\" has no \"=\" (line "
                 "2)\n");
  ExpectFindings("<COLOR id=\"A\" RGB=\"#000000\" RGB=\"#FFFFFF\"/>",
                 "interface.xml:SKIN/COLOR[A]: attribute \"RGB\" is repeated: the last value "
                 "counts (line 2)\n");
  ExpectFindings("<COLOR id=\"A\" RGB=\"#000000\" -/>",
                 "interface.xml:SKIN/COLOR[A]: the character \"-\" is skipped (line 2)\n");
  ExpectFindings("<WINDOW id=\"W\"><TEXT text=\"R&D\"/></WINDOW>",
                 "interface.xml:SKIN/WINDOW[W]/TEXT[1]: attribute \"text\": \"&\" starts no "
                 "entity reference and is kept as it is (line 2)\n");
  ExpectFindings("<MENU id=\"A\"><ITEM><></MENU>",
                 "interface.xml:SKIN/MENU[A]/ITEM[1]: the empty tag <> closes <ITEM> (line 2)\n");

  ExpectCheck("</OLD>\n<SKIN><WINDOW id=\"Main\"/></SKIN>",
              "interface.xml: the tag </OLD> before the root element is skipped (line 1)\n");
  ExpectCheck("<SKIN><WINDOW id=\"Main\"/></SKIN>\n<SKIN/>",
              "interface.xml: the tag <SKIN/> after the root element is ignored (line 2)\n");
  // An end tag that closes nothing opens an element, which holds the rest.
  ExpectCheck("<SKIN><WINDOW id=\"Main\">\n</WINDOWS></SKIN>",
              "interface.xml:SKIN/WINDOW[Main]: the end tag </WINDOWS> does not close <WINDOW>: "
              "it is read as the start of an element without a name (line 2)\n"
              "interface.xml:SKIN/WINDOW[Main]/?[1]: the end tag </SKIN> closes nothing: it is "
              "read as the start of an element without a name (line 2)\n"
              "interface.xml:SKIN/WINDOW[Main]: <WINDOW> is not closed before the end of the "
              "document\n"
              "interface.xml:SKIN: <SKIN> is not closed before the end of the document\n");
  ExpectCheck("<SKIN>\n<WINDOW id=\"Main\">\n",
              "interface.xml:SKIN/WINDOW[Main]: <WINDOW> is not closed before the end of the "
              "document\n"
              "interface.xml:SKIN: <SKIN> is not closed before the end of the document\n");
  ExpectCheck("<SKIN><WINDOW id=\"Main\"/></SKIN>\n<!-- unfinished",
              "interface.xml: a comment is not finished at the end of the document (line 2)\n");
}

// Tags the loader neither builds resources from nor has a class for; pages
// and the program's boards are known.
TEST_F(SkinCheck, ReportsUnknownTags) {
  ExpectFindings(
      "<WIDGET/>\n<IMAGE id=\"A\" file=\"art.bmp\"><CELL/></IMAGE>\n"
      "<WINDOW id=\"W\"><GADGET/><PAGE/><CHESSBOARD/><CheckersBoard/></WINDOW>",
      "interface.xml:SKIN/WIDGET[1]: unknown tag <WIDGET>: the loader skips it\n"
      "interface.xml:SKIN/IMAGE[A]/CELL[1]: unknown tag <CELL>: the loader reads only AREA "
      "inside <IMAGE>\n"
      "interface.xml:SKIN/WINDOW[W]/GADGET[1]: unknown tag <GADGET>: built as a plain "
      "control\n");
}

// What the program's classes look up is read, in any letter case, also
// through templates; anything else is a finding.
TEST_F(SkinCheck, ReportsAttributesNothingReads) {
  ExpectFindings(
      "<TGROUP id=\"T\"><BUTTON HINT=\"h\" flash=\"1\"/></TGROUP>\n"
      "<WINDOW id=\"W\"><GROUP group=\"T\" pos=\"1,1\" colour=\"red\"/>"
      "<SLIDER axis=\"Y\" Margin=\"1,1\"/><TEXT justify=\"Center\" align=\"Top\"/></WINDOW>\n"
      "<COLOR id=\"C\" rgb=\"#000000\" alpha=\"1\"/>",
      "interface.xml:SKIN/TGROUP[T]/BUTTON[1]@flash: unknown attribute: <BUTTON> does not read "
      "it\n"
      "interface.xml:SKIN/WINDOW[W]/GROUP[1]@colour: unknown attribute: <GROUP> does not read "
      "it\n"
      "interface.xml:SKIN/COLOR[C]@alpha: unknown attribute: <COLOR> does not read it\n");
}

// Images, areas and picture files that name nothing, pattern fonts naming
// a later image, and areas reaching past their picture.
TEST_F(SkinCheck, ReportsImagesAndAreasThatNameNothing) {
  ExpectFindings(
      "<IMAGE id=\"Art\" file=\"art.bmp\"><AREA id=\"In\" size=\"9,10\" repeat=\"2,1\"/>"
      "<AREA id=\"Out\" pos=\"5,0\" size=\"10,10\" repeat=\"2,1\"/></IMAGE>\n"
      "<IMAGE id=\"Gone\" file=\"gone.bmp\"/>\n"
      "<FONT id=\"F\" pattern=\"Later\"/><IMAGE id=\"Later\" file=\"art.bmp\"/>\n"
      "<WINDOW id=\"W\"><PANEL bg=\"Art.Nope\"/><TABS tabs=\"Nope.In\"/><PANEL bg=\"Art.In\"/>"
      "</WINDOW>",
      "interface.xml:SKIN/IMAGE[Art]/AREA[Out]: its cells cover 5,0 to 26,10, outside the "
      "20x10 picture\n"
      "interface.xml:SKIN/IMAGE[Gone]@file: no file \"gone.bmp\" in the skin, or it is empty\n"
      "interface.xml:SKIN/FONT[F]@pattern: no IMAGE \"Later\" before it\n"
      "interface.xml:SKIN/WINDOW[W]/PANEL[1]@bg: IMAGE \"Art\" has no AREA \"Nope\"\n"
      "interface.xml:SKIN/WINDOW[W]/TABS[1]@tabs: no IMAGE \"Nope\"\n");
}

TEST_F(SkinCheck, ReportsFontsMenusAndMacrosThatNameNothing) {
  ExpectFindings(
      "<MACROS id=\"M\" do1=\"Application.RunMacros(Gone)\"/>\n"
      "<WINDOW id=\"W\" popup=\"Gone\"><TEXT font=\"Gone\"/>"
      "<BUTTON link=\"Application.RunMacros(None)\"/></WINDOW>",
      "interface.xml:SKIN/MACROS[M]@do1: no MACROS \"Gone\"\n"
      "interface.xml:SKIN/WINDOW[W]@popup: no MENU \"Gone\"\n"
      "interface.xml:SKIN/WINDOW[W]/TEXT[1]@font: no FONT \"Gone\"\n"
      "interface.xml:SKIN/WINDOW[W]/BUTTON[1]@link: no MACROS \"None\"\n");
}

TEST_F(SkinCheck, ReportsMacrosThatRunThemselves) {
  ExpectFindings(
      "<MACROS id=\"A\" do1=\"Application.RunMacros(B)\"/>\n"
      "<MACROS id=\"B\" do1=\"GUI.ShowHints\" do2=\"Application.RunMacros(a)\"/>\n"
      "<MACROS id=\"Self\" do1=\"Application.RunMacros(Self)\"/>",
      "interface.xml:SKIN/MACROS[B]@do2: macro \"A\" runs itself: A -> B -> A\n"
      "interface.xml:SKIN/MACROS[Self]@do1: macro \"Self\" runs itself: Self -> Self\n");
}

TEST_F(SkinCheck, ReportsMissingAndCyclicTemplates) {
  ExpectFindings(
      "<TGROUP id=\"A\"><PANEL><GROUP group=\"B\"/></PANEL></TGROUP>\n"
      "<TGROUP id=\"B\"><GROUP group=\"A\"/></TGROUP>\n"
      "<WINDOW id=\"W\"><GROUP group=\"A\"/><GROUP group=\"Gone\"/></WINDOW>",
      "interface.xml:SKIN/WINDOW[W]/GROUP[2]@group: no TGROUP \"Gone\"\n"
      "interface.xml:SKIN/TGROUP[B]/GROUP[1]@group: template \"A\" uses itself: A -> B -> A\n");
}

// Commands and values are looked up on the program's bus by their name
// before "(", ignoring case; an item opening a submenu runs nothing.
TEST_F(SkinCheck, ReportsLinksToNamesTheProgramNeverRegisters) {
  ExpectFindings(
      "<MENU id=\"P\"><ITEM link=\"Application.Quit\"/>"
      "<ITEM link=\"More\"><ITEM link=\"application.exit\"/></ITEM></MENU>\n"
      "<MACROS id=\"M\" do1=\"System.Execute(x)\" do2=\"Chess.Undo\"/>\n"
      "<WINDOW id=\"W\"><BUTTON link=\"GUI.Minimise\"/><TEXT link=\"System.Time\"/></WINDOW>",
      "interface.xml:SKIN/MENU[P]/ITEM[1]@link: \"Application.Quit\" is not a name the program "
      "registers\n"
      "interface.xml:SKIN/MACROS[M]@do2: \"Chess.Undo\" is not a name the program registers\n"
      "interface.xml:SKIN/WINDOW[W]/BUTTON[1]@link: \"GUI.Minimise\" is not a name the "
      "program registers\n");
}

TEST_F(SkinCheck, ReportsAMissingMainWindow) {
  ExpectCheck("<SKIN><WINDOW id=\"Other\"/></SKIN>", "interface.xml:SKIN: no WINDOW \"Main\"\n");
}

// The limits that keep hostile skins cheap: an area's grid, the skin's
// budget of cells, a window's controls and the document's depth.
TEST_F(SkinCheck, ReportsLimitsReached) {
  ExpectFindings("<IMAGE id=\"A\" file=\"art.bmp\"><AREA repeat=\"65,64\" size=\"0,0\"/></IMAGE>",
                 "interface.xml:SKIN/IMAGE[A]/AREA[1]@repeat: 4160 cells, more than the 4096 an "
                 "AREA may have: it gets none\n");

  std::string areas;
  for (int i = 0; i < 17; ++i) areas += "<AREA repeat=\"64,64\" size=\"0,0\"/>";
  ExpectFindings("<IMAGE id=\"A\" file=\"gone.bmp\">" + areas + "</IMAGE>",
                 "interface.xml: the skin's pictures go past its budget of 34603008 decoded "
                 "pixels or 65536 cells: later images are empty\n");

  std::string panels;
  for (int i = 0; i < 2000; ++i) panels += "<PANEL/>";
  ExpectFindings("<WINDOW id=\"Big\">" + panels + "</WINDOW>",
                 "interface.xml:SKIN/WINDOW[Big]: the window reaches the limit of 2000 controls: "
                 "elements past it are not built\n");

  std::string nested;
  for (int i = 0; i < 1100; ++i) nested += "<PANEL>";
  ExpectCheck("<SKIN><WINDOW id=\"Main\"/><WINDOW id=\"Deep\">" + nested,
              "interface.xml: the document goes past the reader's limits (100000 elements, 1024 "
              "attributes to an element, 1024 levels, 67174400 bytes): the rest is not read\n");
}

// Archives are read as folders are; a damaged member is a finding.
TEST_F(SkinCheck, ReadsArchivesAsFolders) {
  const fs::path folder =
      Skin("<SKIN><IMAGE id=\"A\" file=\"art.bmp\"/><WINDOW id=\"Main\" colour=\"red\"/></SKIN>");
  const fs::path zip = root_ / "skin.zip";
  // Stored, without extra fields: the picture's bytes follow its name.
  const std::string command =
      "cd '" + folder.string() + "' && zip -q -0 -X ../skin.zip interface.xml art.bmp";
  ASSERT_EQ(std::system(command.c_str()), 0);
  const std::string unknown =
      "interface.xml:SKIN/WINDOW[Main]@colour: unknown attribute: <WINDOW> does not read it\n";
  Outcome outcome = Check(zip.string());
  EXPECT_EQ(outcome.Out, unknown);
  EXPECT_EQ(outcome.Status, 1);

  std::fstream archive(zip, std::ios::in | std::ios::out | std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(archive)),
                          std::istreambuf_iterator<char>());
  // The local header's name and extra field lengths, then the name.
  const std::string header("\x07\0\0\0art.bmp", 11);
  const std::size_t picture = bytes.find(header);
  ASSERT_NE(picture, std::string::npos);
  archive.seekp(static_cast<std::streamoff>(picture + header.size() + 100));
  archive.put('\x7F');
  archive.close();
  outcome = Check(zip.string());
  EXPECT_EQ(outcome.Out, "art.bmp: damaged: CRC mismatch\n" + unknown);
  EXPECT_EQ(outcome.Status, 1);
}

TEST_F(SkinCheck, UsageErrorsExitWithTwo) {
  EXPECT_EQ(Check((root_ / "nothing-here").string()).Status, 2);
  fs::create_directories(root_ / "empty");
  EXPECT_EQ(Check((root_ / "empty").string()).Status, 2);
  const int status = std::system(LUDEX_BINARY_DIR "/ludex-skin check 2> /dev/null");
  EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 2);
}

// The skin built into the program and every skin shipped with it (the
// folders under data/Skins, also staged as archives) check clean.
TEST_F(SkinCheck, BuiltinAndShippedSkinsCheckClean) {
  const Outcome builtin = Check("builtin");
  EXPECT_EQ(builtin.Out, "");
  EXPECT_EQ(builtin.Status, 0);
  const fs::path shipped = fs::path(LUDEX_SOURCE_DIR) / "data" / "Skins";
  if (!fs::is_directory(shipped)) return;
  for (const fs::directory_entry& entry : fs::directory_iterator(shipped)) {
    if (!entry.is_directory()) continue;
    const Outcome outcome = Check(entry.path().string());
    EXPECT_EQ(outcome.Out, "") << entry.path();
    EXPECT_EQ(outcome.Status, 0) << entry.path();
  }
}

}  // namespace
