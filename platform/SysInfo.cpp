#include "platform/SysInfo.h"

#include <malloc.h>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <new>
#include <string>
#include <thread>

#if defined(__x86_64__) || defined(__i386__)
#include <x86intrin.h>
#endif

namespace platform {

int ProcessorCount() {
  const unsigned count = std::thread::hardware_concurrency();
  return count > 0 ? static_cast<int>(count) : 1;
}

std::uint64_t ReadTimeStampCounter() {
#if defined(__x86_64__) || defined(__i386__)
  return __rdtsc();
#else
  return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                        std::chrono::steady_clock::now().time_since_epoch())
                                        .count());
#endif
}

TPriorityBoost::TPriorityBoost() {
  errno = 0;
  const int nice = getpriority(PRIO_PROCESS, 0);
  if (errno == 0) {
    oldNice_ = nice;
    niceRaised_ = setpriority(PRIO_PROCESS, 0, -20) == 0;
  }
  sched_param param{};
  if (pthread_getschedparam(pthread_self(), &oldPolicy_, &param) == 0) {
    oldThreadPriority_ = param.sched_priority;
    sched_param raised{};
    raised.sched_priority = sched_get_priority_max(SCHED_FIFO);
    threadRaised_ = pthread_setschedparam(pthread_self(), SCHED_FIFO, &raised) == 0;
  }
}

TPriorityBoost::~TPriorityBoost() {
  if (threadRaised_) {
    sched_param param{};
    param.sched_priority = oldThreadPriority_;
    pthread_setschedparam(pthread_self(), oldPolicy_, &param);
  }
  if (niceRaised_) setpriority(PRIO_PROCESS, 0, oldNice_);
}

std::uint64_t TotalPhysicalMemory() {
  struct sysinfo info {};
  if (sysinfo(&info) != 0) return 0;
  return static_cast<std::uint64_t>(info.totalram) * info.mem_unit;
}

std::uint64_t AvailablePhysicalMemory() {
  std::ifstream meminfo("/proc/meminfo");
  std::string key;
  std::uint64_t kib = 0;
  std::string unit;
  while (meminfo >> key >> kib >> unit)
    if (key == "MemAvailable:") return kib * 1024;
  struct sysinfo info {};
  if (sysinfo(&info) != 0) return 0;
  return static_cast<std::uint64_t>(info.freeram) * info.mem_unit;
}

namespace {

// PRETTY_NAME of /etc/os-release, without its quotes; empty when absent.
std::string DistributionName() {
  std::ifstream file("/etc/os-release");
  const std::string prefix = "PRETTY_NAME=";
  for (std::string line; std::getline(file, line);) {
    if (line.compare(0, prefix.size(), prefix) != 0) continue;
    std::string value = line.substr(prefix.size());
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
      value = value.substr(1, value.size() - 2);
    return value;
  }
  return std::string();
}

}  // namespace

bool GetSystemVersion(TSystemVersion& version) {
  utsname names{};
  if (uname(&names) != 0) return false;
  version.Name = names.sysname;
  version.Release = names.release;
  version.Machine = names.machine;
  version.Major = version.Minor = version.Build = 0;
  std::sscanf(names.release, "%d.%d.%d", &version.Major, &version.Minor, &version.Build);
  version.Product = DistributionName();
  return true;
}

std::string SystemVersionText() {
  TSystemVersion version;
  if (!GetSystemVersion(version)) return std::string();
  std::string text = version.Product.empty() ? std::string() : version.Product + ", ";
  return text + version.Name + " " + version.Release + " " + version.Machine;
}

std::uint32_t ProcessId() { return static_cast<std::uint32_t>(getpid()); }

std::uint32_t ThreadId() { return static_cast<std::uint32_t>(gettid()); }

double LocalDateTime() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  std::tm local{};
  localtime_r(&now.tv_sec, &local);
  constexpr double kDaysFrom1899To1970 = 25569.0;
  const double seconds = static_cast<double>(now.tv_sec + local.tm_gmtoff) + now.tv_nsec / 1e9;
  return kDaysFrom1899To1970 + seconds / 86400.0;
}

// Heap accounting. The replacement global operators new and delete below
// count every block and its usable size; they live in this file so that any
// program reading the counters also links the operators (and the platform
// library forces this object into every program that links it).
namespace {

constinit std::atomic<std::int64_t> gHeapCount{0};
constinit std::atomic<std::int64_t> gHeapBytes{0};

void* Counted(void* block) {
  if (block) {
    gHeapCount.fetch_add(1, std::memory_order_relaxed);
    gHeapBytes.fetch_add(static_cast<std::int64_t>(malloc_usable_size(block)),
                         std::memory_order_relaxed);
  }
  return block;
}

void Release(void* block) noexcept {
  if (!block) return;
  gHeapCount.fetch_sub(1, std::memory_order_relaxed);
  gHeapBytes.fetch_sub(static_cast<std::int64_t>(malloc_usable_size(block)),
                       std::memory_order_relaxed);
  std::free(block);
}

void* TryAllocate(std::size_t size, std::size_t alignment) noexcept {
  if (size == 0) size = 1;
  if (alignment <= alignof(std::max_align_t)) return Counted(std::malloc(size));
  void* block = nullptr;
  alignment = std::max(alignment, sizeof(void*));
  if (posix_memalign(&block, alignment, size) != 0) return nullptr;
  return Counted(block);
}

// operator new: retries through the new-handler, then throws.
void* Allocate(std::size_t size, std::size_t alignment) {
  for (;;) {
    if (void* block = TryAllocate(size, alignment)) return block;
    std::new_handler handler = std::get_new_handler();
    if (!handler) throw std::bad_alloc();
    handler();
  }
}

void* AllocateNoThrow(std::size_t size, std::size_t alignment) noexcept {
  try {
    return Allocate(size, alignment);
  } catch (...) {
    return nullptr;
  }
}

constexpr std::size_t kPlain = alignof(std::max_align_t);

}  // namespace

THeapStatus GetHeapStatus() {
  return THeapStatus{gHeapCount.load(std::memory_order_relaxed),
                     gHeapBytes.load(std::memory_order_relaxed)};
}

}  // namespace platform

// Referenced by the platform library's link options so that this object,
// and with it the operators below, is part of every program.
extern "C" const int ludex_heap_counter_anchor = 0;

using platform::Allocate;
using platform::AllocateNoThrow;
using platform::kPlain;
using platform::Release;

void* operator new(std::size_t size) { return Allocate(size, kPlain); }
void* operator new[](std::size_t size) { return Allocate(size, kPlain); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return AllocateNoThrow(size, kPlain);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return AllocateNoThrow(size, kPlain);
}
void* operator new(std::size_t size, std::align_val_t align) {
  return Allocate(size, static_cast<std::size_t>(align));
}
void* operator new[](std::size_t size, std::align_val_t align) {
  return Allocate(size, static_cast<std::size_t>(align));
}
void* operator new(std::size_t size, std::align_val_t align, const std::nothrow_t&) noexcept {
  return AllocateNoThrow(size, static_cast<std::size_t>(align));
}
void* operator new[](std::size_t size, std::align_val_t align, const std::nothrow_t&) noexcept {
  return AllocateNoThrow(size, static_cast<std::size_t>(align));
}

void operator delete(void* block) noexcept { Release(block); }
void operator delete[](void* block) noexcept { Release(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { Release(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { Release(block); }
void operator delete(void* block, std::size_t) noexcept { Release(block); }
void operator delete[](void* block, std::size_t) noexcept { Release(block); }
void operator delete(void* block, std::align_val_t) noexcept { Release(block); }
void operator delete[](void* block, std::align_val_t) noexcept { Release(block); }
void operator delete(void* block, std::size_t, std::align_val_t) noexcept { Release(block); }
void operator delete[](void* block, std::size_t, std::align_val_t) noexcept { Release(block); }
void operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept {
  Release(block);
}
void operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept {
  Release(block);
}
