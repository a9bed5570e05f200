#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/Files.h"
#include "platform/Resources.h"

namespace platform {
namespace {

// A fresh folder under the temporary folder, removed with its contents.
class TScratchFolder {
 public:
  TScratchFolder() {
    std::string pattern = JoinPath(TempDirectory(), "ludex-files-XXXXXX");
    path_ = mkdtemp(pattern.data()) ? pattern : std::string();
  }
  ~TScratchFolder() {
    for (const TDirEntry& entry : ListDirectory(path_)) {
      const std::string inner = JoinPath(path_, entry.Name);
      if (entry.IsDirectory)
        rmdir(inner.c_str());
      else
        DeleteFile(inner);
    }
    rmdir(path_.c_str());
  }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

TEST(FilesTest, CreatesFindsListsAndDeletesFiles) {
  TScratchFolder folder;
  ASSERT_TRUE(DirectoryExists(folder.Path()));
  const std::string file = JoinPath(folder.Path(), "b.txt");
  EXPECT_FALSE(FileExists(file));
  EXPECT_TRUE(CreateEmptyFile(file));
  EXPECT_TRUE(FileExists(file));
  EXPECT_FALSE(DirectoryExists(file));
  EXPECT_FALSE(FileExists(folder.Path())) << "a folder is not a file";
  EXPECT_FALSE(CreateEmptyFile(folder.Path()));
  ASSERT_EQ(mkdir(JoinPath(folder.Path(), "a").c_str(), 0700), 0);
  EXPECT_TRUE(CreateEmptyFile(JoinPath(folder.Path(), "C.ZIP")));

  const std::vector<TDirEntry> entries = ListDirectory(folder.Path());
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].Name, "C.ZIP");
  EXPECT_FALSE(entries[0].IsDirectory);
  EXPECT_EQ(entries[1].Name, "a");
  EXPECT_TRUE(entries[1].IsDirectory);
  EXPECT_EQ(entries[2].Name, "b.txt");

  EXPECT_TRUE(DeleteFile(file));
  EXPECT_FALSE(FileExists(file));
  EXPECT_FALSE(DeleteFile(file));
  EXPECT_FALSE(DeleteFile(JoinPath(folder.Path(), "a"))) << "folders are not deleted as files";
  EXPECT_TRUE(ListDirectory(JoinPath(folder.Path(), "missing")).empty());
  EXPECT_FALSE(FileExists(""));
}

TEST(FilesTest, KnowsTheExecutableAndBuildsPaths) {
  EXPECT_EQ(ExtractFileName(ExecutablePath()), "ludex_platform_tests");
  EXPECT_TRUE(FileExists(ExecutablePath()));
  EXPECT_EQ(JoinPath(ExecutableDirectory(), "ludex_platform_tests"), ExecutablePath());
  EXPECT_TRUE(DirectoryExists(TempDirectory()));
  EXPECT_TRUE(DirectoryExists(SystemDirectory()));

  EXPECT_EQ(JoinPath("/a/", "/b"), "/a/b");
  EXPECT_EQ(JoinPath("/", "b"), "/b");
  EXPECT_EQ(JoinPath("", "b"), "b");
  EXPECT_EQ(JoinPath("a", ""), "a");
  EXPECT_EQ(ExtractFileDir("/x/y.txt"), "/x");
  EXPECT_EQ(ExtractFileDir("/y"), "/");
  EXPECT_EQ(ExtractFileDir("y"), "");
  EXPECT_EQ(ChangeFileExt("/x/ludex", ".log"), "/x/ludex.log");
  EXPECT_EQ(ChangeFileExt("/x.d/ludex.bin", ".log"), "/x.d/ludex.log");
  EXPECT_EQ(ChangeFileExt("/x/.profile", ".log"), "/x/.profile.log");
}

TEST(ResourcesTest, FindsBuiltInDataByNameIgnoringCase) {
  EXPECT_FALSE(FindResource("NoSuchResource").has_value());
  EXPECT_FALSE(HasResource(""));
  EXPECT_EQ(OpenResource("NoSuchResource"), nullptr);

  ASSERT_TRUE(HasResource("MAINICON"));
  ASSERT_TRUE(HasResource("tray"));
  const auto icon = FindResource("MainIcon");
  ASSERT_TRUE(icon.has_value());
  ASSERT_GT(icon->size(), 8u);
  EXPECT_EQ((*icon)[1], 'P') << "icons are PNG files";

  std::unique_ptr<TResourceStream> stream = OpenResource("mainicon");
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(stream->GetSize(), static_cast<std::int64_t>(icon->size()));
  stream->Seek(1, SeekOrigin::Begin);
  char name[3] = {};
  EXPECT_EQ(stream->Read(name, 3), 3);
  EXPECT_EQ(std::string(name, 3), "PNG");
  EXPECT_EQ(stream->Write("x", 1), 0) << "resources are read-only";
  stream->Seek(-2, SeekOrigin::End);
  EXPECT_EQ(stream->ReadAll().size(), 2u);
  EXPECT_EQ(stream->Read(name, 1), 0);
}

}  // namespace
}  // namespace platform
