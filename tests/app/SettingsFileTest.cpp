#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "LogCapture.h"
#include "app/AdvINIFile.h"
#include "app/TextStream.h"

using namespace app;
using ::testing::ElementsAre;

namespace {

platform::TMemoryStream TextOf(const std::string& text) {
  return platform::TMemoryStream(text.data(), text.size());
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream content;
  content << file.rdbuf();
  return content.str();
}

std::string TempPath(const std::string& name) {
  return "/tmp/ludex-apptest-" + std::to_string(::getpid()) + "-" + name;
}

}  // namespace

TEST(TextStream, ReadsLinesWithTheirEnds) {
  platform::TMemoryStream data = TextOf("one\r\ntwo\n\nlast");
  TTextStream reader(data);
  std::vector<std::string> lines;
  while (!reader.EndOfStream()) lines.push_back(reader.ReadLine());
  EXPECT_THAT(lines, ElementsAre("one\r\n", "two\n", "\n", "last"));
  EXPECT_EQ(reader.ReadLine(), "");
  EXPECT_EQ(data.GetPosition(), data.GetSize()) << "the decorator moves the inner stream";
}

TEST(SettingsFile, ReadWriteAndSplit) {
  TAdvancedINIFile ini;
  EXPECT_EQ(ini.ReadString("Application.Skin"), "");
  EXPECT_THAT(ini.Lines(), ElementsAre("Application.Skin=")) << "a missing key read is added empty";
  ini.WriteString("Application.Skin", "Wood");
  ini.WriteString("application.skin", "Other");  // keys compare exactly
  EXPECT_EQ(ini.ReadString("Application.Skin"), "Wood");
  EXPECT_EQ(ini.ReadString("application.skin"), "Other");
  ini.SetLine("Key=a=b");
  EXPECT_EQ(ini.ReadString("Key"), "a=b");
  ini.SetLine("no equals sign");
  EXPECT_EQ(ini.Lines().size(), 3u);

  const auto parts = TAdvancedINIFile::SplitLine("Application.Window.Left=10=x");
  EXPECT_EQ(parts.Section, "Application");
  EXPECT_EQ(parts.Name, "Window.Left");
  EXPECT_EQ(parts.Value, "10=x");
  const auto bare = TAdvancedINIFile::SplitLine("Plain=1");
  EXPECT_EQ(bare.Section, "");
  EXPECT_EQ(bare.Name, "Plain");
  const auto none = TAdvancedINIFile::SplitLine("nothing");
  EXPECT_EQ(none.Section + none.Name + none.Value, "");
}

TEST(SettingsFile, OverloadKeepsDefaultsAndReplacesWhatTheFileSets) {
  TLogCapture log;
  TAdvancedINIFile ini;
  platform::TMemoryStream defaults =
      TextOf("[Application]\r\nSkin=Default\r\nLanguage=English\r\n");
  ini.OverloadFromStream(&defaults);
  platform::TMemoryStream user = TextOf(
      "  [Application]  \n"
      "Skin=Wood\n"
      "garbage line\n"
      "[Broken\n"
      "Entry=1\n"
      "[Application]\n"
      "Spaced = value\n"
      "[EOF]\n");
  ini.OverloadFromStream(&user);
  ini.OverloadFromStream(nullptr);
  EXPECT_EQ(ini.ReadString("Application.Skin"), "Wood");
  EXPECT_EQ(ini.ReadString("Application.Language"), "English");
  EXPECT_EQ(ini.ReadString("Broke.Entry"), "1")
      << "a header without its bracket loses its last letter";
  EXPECT_EQ(ini.ReadString("Application.Spaced "), " value");
  EXPECT_EQ(ini.ReadString("Application.Spaced"), "");
  EXPECT_THAT(
      log.Messages(),
      ElementsAre("+TAdvancedINIFile.OverloadFromStream", "-TAdvancedINIFile.OverloadFromStream",
                  "+TAdvancedINIFile.OverloadFromStream", "-TAdvancedINIFile.OverloadFromStream",
                  "+TAdvancedINIFile.OverloadFromStream",
                  "-TAdvancedINIFile.OverloadFromStream(FAIL)"));
}

TEST(SettingsFile, SaveWritesSortedSectionsAndReadsBack) {
  const std::string path = TempPath("settings.ini");
  TAdvancedINIFile ini;
  ini.WriteString("Application.Skin", "");
  ini.WriteString("Bare", "1");
  ini.WriteString("Application.FirstRun", "No");
  ini.WriteString("GUI.StayOnTop", "1");
  ini.SaveToFile(path);
  EXPECT_EQ(ReadFile(path),
            "[Application]\r\nFirstRun=No\r\nSkin=\r\n\r\n[]\r\nBare=1\r\n\r\n[GUI]\r\nStayOnTop="
            "1\r\n\r\n[EOF]\r\n");

  platform::TFileStream file(path, platform::TFileStream::Mode::Read);
  TAdvancedINIFile back;
  back.OverloadFromStream(&file);
  std::vector<std::string> original = ini.Lines();
  std::vector<std::string> restored = back.Lines();
  std::sort(original.begin(), original.end());
  std::sort(restored.begin(), restored.end());
  EXPECT_EQ(restored, original) << "[EOF] adds nothing";
  std::remove(path.c_str());

  // A file that cannot be created is skipped silently.
  ini.SaveToFile("/nonexistent-folder/x.ini");
}
