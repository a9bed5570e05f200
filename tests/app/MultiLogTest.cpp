#include "app/MultiLog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cctype>
#include <thread>

#include "LogCapture.h"
#include "platform/Files.h"
#include "platform/SysInfo.h"

using namespace app;
using ::testing::ElementsAre;
using ::testing::StartsWith;

namespace {

// "%.8x:%.8x:%x:" at the start of the line.
bool HasStamp(const std::string& line) {
  auto hexRun = [&](std::size_t from, std::size_t& end) {
    end = from;
    while (end < line.size() && std::isxdigit(static_cast<unsigned char>(line[end])) &&
           !std::isupper(static_cast<unsigned char>(line[end])))
      ++end;
    return end - from;
  };
  std::size_t end = 0;
  if (hexRun(0, end) != 8 || end >= line.size() || line[end] != ':') return false;
  if (hexRun(9, end) != 8 || end >= line.size() || line[end] != ':') return false;
  return hexRun(18, end) > 0 && end < line.size() && line[end] == ':';
}

}  // namespace

TEST(MultiLog, RecordFormat) {
  EXPECT_EQ(FormatLogPrefix(0x1a2b, 7, 0x4377edd7f14ULL), "00001a2b:00000007:4377edd7f14:");
  EXPECT_EQ(FormatLogPrefix(0xffffffffu, 0, 0), "ffffffff:00000000:0:");
  EXPECT_EQ(FormatLogRecord("P:", "one"), "P:one\r\n");
  EXPECT_EQ(FormatLogRecord("P:", "one\r\ntwo\r\n"), "P:one\r\nP:two\r\nP:\r\n");
  EXPECT_EQ(FormatLogRecord("P:", "lone\nfeed"), "P:lone\nfeed\r\n")
      << "only CR LF repeats the stamp";
  // 2026-12-07 12:00 is day 46363.5 since 1899-12-30.
  EXPECT_EQ(LogStamp(46363.5), 4636350000000ULL);
  EXPECT_EQ(LogStamp(1.000000004), 100000000ULL);
  EXPECT_EQ(LogStamp(1.000000006), 100000001ULL);
}

TEST(MultiLog, StartsEmptiedWithHeaderAndStampsEveryPhysicalLine) {
  TLogCapture log;
  Log("two\r\nlines");
  const std::vector<std::string> lines = log.RawLines();
  ASSERT_GE(lines.size(), 9u);
  EXPECT_EQ(TLogCapture::StripStamp(lines[0]),
            "================| " + log.Path() + " |================");
  EXPECT_EQ(TLogCapture::StripStamp(lines[1]), "+SysInfo");
  EXPECT_THAT(TLogCapture::StripStamp(lines[2]), StartsWith(" CPU x"));
  EXPECT_THAT(TLogCapture::StripStamp(lines[3]), StartsWith(" RAM "));
  EXPECT_EQ(TLogCapture::StripStamp(lines[lines.size() - 3]), "-SysInfo");
  for (const std::string& line : lines) EXPECT_TRUE(HasStamp(line)) << line;
  for (const std::string& line : lines) EXPECT_EQ(line.find("old contents"), std::string::npos);
  const std::string first = lines[lines.size() - 2];
  const std::string second = lines[lines.size() - 1];
  EXPECT_EQ(TLogCapture::StripStamp(first), "two");
  EXPECT_EQ(TLogCapture::StripStamp(second), "lines");
  EXPECT_EQ(first.substr(0, first.size() - 3), second.substr(0, second.size() - 5)) << "same stamp";
  char pid[9];
  std::snprintf(pid, sizeof pid, "%.8x", platform::ProcessId());
  EXPECT_EQ(first.substr(0, 8), pid);
}

TEST(MultiLog, MemoryGuardReportsDifferencesOnce) {
  TLogCapture log;
  MemoryGuard(true);
  {
    std::vector<int> scratch(1000, 1);
    std::string text(500, 'x');
  }
  MemoryGuard(false);
  MemoryGuard(false);
  MemoryGuard(true);
  auto* kept = new std::string(100, 'k');
  MemoryGuard(false);
  delete kept;
  const std::vector<std::string> messages = log.Messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0], "Memory Leak Guard - Count:0 Size:0");
  EXPECT_THAT(messages[1], StartsWith("Memory Leak Guard - Count:2 Size:"))
      << "the string and its buffer";
}

TEST(MultiLog, StaysOffWithoutItsFileAndNeverCreatesIt) {
  const std::string path =
      "/tmp/ludex-apptest-missing-" + std::to_string(platform::ProcessId()) + ".log";
  EXPECT_FALSE(InitializeLog(path));
  EXPECT_FALSE(LogEnabled());
  Log("nothing");
  MemoryGuard(true);
  MemoryGuard(false);
  FinalizeLog();
  EXPECT_FALSE(platform::FileExists(path));

  // A file deleted while the log runs stays deleted.
  TLogCapture log;
  platform::DeleteFile(log.Path());
  Log("vanishes");
  EXPECT_FALSE(platform::FileExists(log.Path()));
}

TEST(MultiLog, RecordsOfSeveralThreadsNeverInterleave) {
  TLogCapture log;
  auto writer = [](char letter) {
    for (int i = 0; i < 50; ++i) Log(std::string(200, letter));
  };
  std::thread a(writer, 'a');
  std::thread b(writer, 'b');
  a.join();
  b.join();
  const std::vector<std::string> messages = log.Messages();
  ASSERT_EQ(messages.size(), 100u);
  for (const std::string& message : messages) {
    EXPECT_TRUE(message == std::string(200, 'a') || message == std::string(200, 'b')) << message;
  }
}

TEST(MultiLog, DefaultPathIsTheExecutableNameInTheTemporaryFolder) {
  EXPECT_EQ(DefaultLogPath(), platform::JoinPath(platform::TempDirectory(), "ludex_app_tests.log"));
}
