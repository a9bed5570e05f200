#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <ctime>
#include <memory>
#include <new>
#include <thread>

#include "platform/SysInfo.h"

namespace platform {
namespace {

struct alignas(64) TWideBlock {
  char Bytes[100];
};

// Keeps the compiler from leaving out an allocation whose block is unused.
void Escape(void* block) { asm volatile("" : : "r"(block) : "memory"); }

TEST(SysInfoTest, HeapCounterCountsEveryFormOfNewAndDelete) {
  const THeapStatus before = GetHeapStatus();
  auto* single = new int(7);
  Escape(single);
  const THeapStatus one = GetHeapStatus();
  EXPECT_EQ(one.Count, before.Count + 1);
  EXPECT_GE(one.Bytes, before.Bytes + static_cast<std::int64_t>(sizeof(int)));
  delete single;
  EXPECT_EQ(GetHeapStatus().Count, before.Count);
  EXPECT_EQ(GetHeapStatus().Bytes, before.Bytes);

  auto* array = new char[1000];
  auto* wide = new TWideBlock;
  auto* wideArray = new TWideBlock[3];
  auto* quiet = new (std::nothrow) double[4];
  for (void* block : {static_cast<void*>(array), static_cast<void*>(wide),
                      static_cast<void*>(wideArray), static_cast<void*>(quiet)})
    Escape(block);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(wide) % 64, 0u);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(wideArray) % 64, 0u);
  const THeapStatus four = GetHeapStatus();
  EXPECT_EQ(four.Count, before.Count + 4);
  EXPECT_GE(four.Bytes, before.Bytes + 1000 + 100 + 300 + 32);
  delete[] array;
  delete wide;
  delete[] wideArray;
  delete[] quiet;
  EXPECT_EQ(GetHeapStatus().Count, before.Count);
  EXPECT_EQ(GetHeapStatus().Bytes, before.Bytes);

  delete static_cast<int*>(nullptr);  // releasing nothing counts nothing
  EXPECT_EQ(GetHeapStatus().Count, before.Count);
}

TEST(SysInfoTest, DescribesTheMachine) {
  EXPECT_GE(ProcessorCount(), 1);
  const std::uint64_t total = TotalPhysicalMemory();
  EXPECT_GT(total, 16u << 20);
  EXPECT_LE(AvailablePhysicalMemory(), total);
  EXPECT_GT(AvailablePhysicalMemory(), 0u);

  TSystemVersion version;
  ASSERT_TRUE(GetSystemVersion(version));
  EXPECT_EQ(version.Name, "Linux");
  EXPECT_GT(version.Major, 0);
  EXPECT_NE(SystemVersionText().find(version.Release), std::string::npos);

  EXPECT_EQ(ProcessId(), static_cast<std::uint32_t>(getpid()));
  EXPECT_EQ(ThreadId(), ProcessId()) << "the main thread's id is the process id";
  std::uint32_t other = 0;
  std::thread([&] { other = ThreadId(); }).join();
  EXPECT_NE(other, ThreadId());
}

TEST(SysInfoTest, ClocksAdvance) {
  const std::uint64_t first = ReadTimeStampCounter();
  std::this_thread::sleep_for(std::chrono::milliseconds(2));
  EXPECT_GT(ReadTimeStampCounter(), first);

  // Days since 30 December 1899: the Unix epoch is day 25569.
  const double days = LocalDateTime();
  const double utcDays = 25569.0 + static_cast<double>(std::time(nullptr)) / 86400.0;
  EXPECT_LT(std::fabs(days - utcDays), 15.0 / 24.0) << "within the largest zone offset";
}

TEST(SysInfoTest, PriorityBoostRestoresThePriority) {
  errno = 0;
  const int nice = getpriority(PRIO_PROCESS, 0);
  {
    TPriorityBoost boost;  // refused without privileges: simply no raise
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_EQ(getpriority(PRIO_PROCESS, 0), nice);
}

}  // namespace
}  // namespace platform
