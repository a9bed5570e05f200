#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

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

  Outcome Tool(const std::string& args) const {
    const fs::path out = root_ / "out.txt";
    const fs::path err = root_ / "err.txt";
    const std::string command = std::string(LUDEX_BINARY_DIR "/ludex-skin ") + args + " > '" +
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
