#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/ByteWriter.h"

namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteText(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

// One stored member of a hand-built archive.
struct Member {
  std::string name;
  std::string data;
  std::uint32_t crc = 0;
  std::uint16_t method = 0;
};

// Local headers and data only, as the program reads archives.
std::string BuildZip(const std::vector<Member>& members) {
  std::vector<std::uint8_t> out;
  for (const Member& member : members) {
    test_support::Put32(out, 0x04034B50);
    test_support::Put16(out, 10);
    test_support::Put16(out, 0);
    test_support::Put16(out, member.method);
    test_support::Put32(out, 0);
    test_support::Put32(out, member.crc);
    test_support::Put32(out, static_cast<std::uint32_t>(member.data.size()));
    test_support::Put32(out, static_cast<std::uint32_t>(member.data.size()));
    test_support::Put16(out, static_cast<std::uint32_t>(member.name.size()));
    test_support::Put16(out, 0);
    out.insert(out.end(), member.name.begin(), member.name.end());
    out.insert(out.end(), member.data.begin(), member.data.end());
  }
  return std::string(out.begin(), out.end());
}

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

// A skin folder with a description and a picture, and the same files in a
// ZIP archive written by the zip tool.
class SkinTool : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "ludex-skintool-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    skin_ = root_ / "skin";
    WriteText(skin_ / "interface.xml", kXml);
    std::string picture = "BM";
    for (int i = 0; i < 70000; ++i) picture += static_cast<char>((i * 131) >> 3);
    picture_ = picture;
    WriteText(skin_ / "mix.bmp", picture_);
    WriteText(skin_ / "sub/empty.txt", "");
    const std::string command = "cd '" + skin_.string() +
                                "' && zip -q -n .bmp ../skin.zip interface.xml mix.bmp "
                                "sub/empty.txt";
    ASSERT_EQ(std::system(command.c_str()), 0);
    zip_ = root_ / "skin.zip";
  }
  void TearDown() override {
    std::error_code error;
    fs::remove_all(root_, error);
  }

  // Runs ludex-skin with args; `input` is a shell command piped into it.
  Outcome Tool(const std::string& args, const std::string& input = "") const {
    const fs::path out = root_ / "out.txt";
    const fs::path err = root_ / "err.txt";
    const std::string command = (input.empty() ? "" : input + " | ") +
                                std::string(LUDEX_BINARY_DIR "/ludex-skin ") + args + " > '" +
                                out.string() + "' 2> '" + err.string() + "'";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadText(out), ReadText(err)};
  }

  static constexpr const char* kXml =
      "<?xml version=\"1.0\"?>\r\n<!-- a skin -->\r\n"
      "<SKIN id=\"Test\" author=\"A &amp; B &lt;x&gt; &quot;q&quot;\">\r\n"
      "  <IMAGE id=\"Main\" file=\"mix.bmp\"><AREA id=\"RB\" pos=\"332,167\"/></IMAGE>\r\n"
      "  <WINDOW id=\"Main\"><BUTTON link=\"Application.Exit\"/><TEXT/></WINDOW>\r\n"
      "</SKIN>\r\n";
  static constexpr const char* kXmlLines =
      "SKIN id=\"Test\" author=\"A &amp; B &lt;x&gt; &quot;q&quot;\"\n"
      "  IMAGE id=\"Main\" file=\"mix.bmp\"\n"
      "    AREA id=\"RB\" pos=\"332,167\"\n"
      "  WINDOW id=\"Main\"\n"
      "    BUTTON link=\"Application.Exit\"\n"
      "    TEXT\n";

  fs::path root_;
  fs::path skin_;
  fs::path zip_;
  std::string picture_;
};

}  // namespace

TEST_F(SkinTool, ListsArchiveInOrder) {
  const Outcome result = Tool("ls '" + zip_.string() + "'");
  EXPECT_EQ(result.status, 0) << result.err;
  std::istringstream lines(result.out);
  std::vector<std::vector<std::string>> rows;
  for (std::string line; std::getline(lines, line);) {
    std::vector<std::string> fields;
    std::istringstream cells(line);
    for (std::string cell; std::getline(cells, cell, '\t');) fields.push_back(cell);
    rows.push_back(fields);
  }
  ASSERT_EQ(rows.size(), 3u) << result.out;
  const std::string xmlSize = std::to_string(std::string(kXml).size());
  EXPECT_EQ(rows[0][0], "interface.xml");
  EXPECT_EQ(rows[0][1], "8");
  EXPECT_LT(std::stoul(rows[0][2]), std::stoul(xmlSize));
  EXPECT_EQ(rows[0][3], xmlSize);
  EXPECT_EQ(rows[1], (std::vector<std::string>{"mix.bmp", "0", "70002", "70002"}));
  EXPECT_EQ(rows[2], (std::vector<std::string>{"sub/empty.txt", "0", "0", "0"}));
}

TEST_F(SkinTool, CatReadsFolderAndArchive) {
  for (const fs::path& pack : {skin_, zip_}) {
    Outcome result = Tool("cat '" + pack.string() + "' mix.bmp");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, picture_) << pack;
    result = Tool("cat '" + pack.string() + "' interface.xml");
    EXPECT_EQ(result.out, kXml) << pack;
    result = Tool("cat '" + pack.string() + "' sub/empty.txt");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "");

    result = Tool("cat '" + pack.string() + "' missing.bmp");
    EXPECT_EQ(result.status, 1) << pack;
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("missing.bmp"), std::string::npos);
  }
  // Member names in an archive ignore case.
  EXPECT_EQ(Tool("cat '" + zip_.string() + "' Interface.XML").out, kXml);
}

TEST_F(SkinTool, XmlPrintsOneElementPerLine) {
  for (const fs::path& pack : {skin_, zip_}) {
    Outcome result = Tool("xml '" + pack.string() + "'");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, kXmlLines) << pack;
    EXPECT_EQ(Tool("xml '" + pack.string() + "' interface.xml").out, kXmlLines);
    // An empty document prints nothing.
    result = Tool("xml '" + pack.string() + "' sub/empty.txt");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(Tool("xml '" + pack.string() + "' none.xml").status, 1);
  }
}

TEST_F(SkinTool, UsageErrorsAndUnreadableFiles) {
  const std::string missing = (root_ / "no-such.zip").string();
  for (const std::string& args :
       {std::string(), std::string("ls"), std::string("cat ") + zip_.string(),
        std::string("frobnicate x"), std::string("xml a b c"), "ls " + missing,
        "cat " + missing + " x", "xml " + missing}) {
    const Outcome result = Tool(args);
    EXPECT_EQ(result.status, 2) << args;
    EXPECT_EQ(result.out, "") << args;
    ASSERT_FALSE(result.err.empty()) << args;
    EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << args << ": " << result.err;
  }
}

// A name with a tab, a newline or an escape sequence cannot break the
// listing's lines or fields, nor reach the terminal.
TEST_F(SkinTool, ListEscapesControlCharactersInNames) {
  const fs::path archive = root_ / "names.zip";
  WriteText(archive, BuildZip({{"tab\there", "1"},
                               {"two\nlines", "22"},
                               {"back\\slash", ""},
                               {"red\x1B[31m\x7F", ""}}));
  const Outcome result = Tool("ls '" + archive.string() + "'");
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out,
            "tab\\x09here\t0\t1\t1\n"
            "two\\x0Alines\t0\t2\t2\n"
            "back\\\\slash\t0\t0\t0\n"
            "red\\x1B[31m\\x7F\t0\t0\t0\n");
}

// Damage is printed through as the program would read it, then reported,
// and the exit status says so.
TEST_F(SkinTool, CatAndXmlReportDamageAfterPrinting) {
  const fs::path badCrc = root_ / "crc.zip";
  WriteText(badCrc, BuildZip({{"interface.xml", "<SKIN/>", 1}}));
  for (const std::string command : {"cat", "xml"}) {
    const Outcome result = Tool(command + " '" + badCrc.string() + "' interface.xml");
    EXPECT_EQ(result.status, 1) << command;
    EXPECT_EQ(result.out, command == "cat" ? "<SKIN/>" : "SKIN\n");
    EXPECT_NE(result.err.find("\"interface.xml\": CRC mismatch"), std::string::npos) << result.err;
  }

  // The zip tool's archive cut inside the stored picture.
  const std::string whole = ReadText(zip_);
  const std::size_t pictureAt = whole.find("mix.bmp") + 7 + 28;  // name, then its extra field
  const fs::path cut = root_ / "cut.zip";
  WriteText(cut, whole.substr(0, pictureAt + 1000));
  Outcome result = Tool("cat '" + cut.string() + "' mix.bmp");
  EXPECT_EQ(result.status, 1);
  ASSERT_EQ(result.out.size(), picture_.size());
  EXPECT_EQ(result.out.back(), '?');
  EXPECT_NE(result.err.find("cut short"), std::string::npos) << result.err;

  const fs::path shrunk = root_ / "shrunk.zip";
  WriteText(shrunk, BuildZip({{"a.bmp", "BM", 0, 12}}));
  result = Tool("cat '" + shrunk.string() + "' a.bmp");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "??");
  EXPECT_NE(result.err.find("unknown compression method"), std::string::npos) << result.err;
}

TEST_F(SkinTool, XmlReportsALimitReached) {
  std::string tag = "<SKIN";
  for (int i = 0; i < 1100; ++i) tag += " a" + std::to_string(i) + "=\"\"";
  WriteText(skin_ / "wide.xml", tag + "/>");
  const Outcome result = Tool("xml '" + skin_.string() + "' wide.xml");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out.find("SKIN a0=\"\" a1=\"\""), 0u);
  EXPECT_EQ(result.out.find("a1024="), std::string::npos);
  EXPECT_NE(result.err.find("limit reached"), std::string::npos) << result.err;
}

// Nothing outside a skin folder is a member of it.
TEST_F(SkinTool, FolderPackReadsNothingOutside) {
  fs::create_symlink(zip_, skin_ / "link.zip");
  for (const std::string& name :
       {std::string("../skin.zip"), zip_.string(), std::string("link.zip")}) {
    const Outcome result = Tool("cat '" + skin_.string() + "' '" + name + "'");
    EXPECT_EQ(result.status, 1) << name;
    EXPECT_EQ(result.out, "") << name;
    EXPECT_NE(result.err.find("no member"), std::string::npos) << result.err;
  }
}

TEST_F(SkinTool, PipesAreRefused) {
  const Outcome result = Tool("ls /dev/stdin", "cat '" + zip_.string() + "'");
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.out, "");
  EXPECT_NE(result.err.find("cannot seek"), std::string::npos) << result.err;
}

// A skin past its budget of cells is still painted as the program shows it,
// and the status says that a limit was reached; a plain skin renders with 0.
TEST_F(SkinTool, RenderReportsASkinPastItsBudget) {
  std::string xml = "<SKIN><IMAGE id=\"I\" file=\"none.bmp\">";
  for (int i = 0; i < 17; ++i) xml += "<AREA id=\"A" + std::to_string(i) + "\" repeat=\"64,64\"/>";
  WriteText(skin_ / "interface.xml", xml + "</IMAGE><WINDOW id=\"Main\" size=\"40,30\"/></SKIN>");
  const fs::path png = root_ / "out.png";
  const std::string render = "render '" + skin_.string() + "' Main '" + png.string() + "'";
  Outcome result = Tool(render);
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.err.find("limit was reached"), std::string::npos) << result.err;
  EXPECT_TRUE(fs::exists(png));

  WriteText(skin_ / "interface.xml", "<SKIN><WINDOW id=\"Main\" size=\"40,30\"/></SKIN>");
  result = Tool(render);
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err.find("limit"), std::string::npos) << result.err;
}
