#pragma once

#include <cstdint>
#include <string>

namespace platform {

// System information for the diagnostic log.

int ProcessorCount();
// The processor's time-stamp counter (rdtsc); on processors without one a
// monotonic clock in nanoseconds.
std::uint64_t ReadTimeStampCounter();

// Raises the process and the calling thread to the highest priority the
// system grants for its lifetime and restores both on destruction. A
// refused raise is ignored: the priority simply stays.
class TPriorityBoost {
 public:
  TPriorityBoost();
  ~TPriorityBoost();
  TPriorityBoost(const TPriorityBoost&) = delete;
  TPriorityBoost& operator=(const TPriorityBoost&) = delete;

 private:
  int oldNice_ = 0;
  bool niceRaised_ = false;
  int oldPolicy_ = 0;
  int oldThreadPriority_ = 0;
  bool threadRaised_ = false;
};

// Physical memory in bytes (0 when it cannot be read).
std::uint64_t TotalPhysicalMemory();
std::uint64_t AvailablePhysicalMemory();

// The operating system's version.
struct TSystemVersion {
  std::string Name;     // kernel name, "Linux"
  std::string Release;  // kernel release text, "6.1.0-18-amd64"
  int Major = 0;        // leading numbers of the release: 6, 1, 0
  int Minor = 0;
  int Build = 0;
  std::string Product;  // distribution, "Debian GNU/Linux 12 (bookworm)"; may be empty
  std::string Machine;  // "x86_64"
};
// False when the version cannot be read.
bool GetSystemVersion(TSystemVersion& version);
// One line: "Debian GNU/Linux 12 (bookworm), Linux 6.1.0-18-amd64 x86_64";
// empty when the version cannot be read.
std::string SystemVersionText();

std::uint32_t ProcessId();
std::uint32_t ThreadId();

// The current local date and time as days since 30 December 1899, the time
// of day as the fraction.
double LocalDateTime();

// Heap blocks currently allocated through the global operator new (every
// form) and not yet released, and their total size in bytes (the usable
// size the allocator gave each block).
struct THeapStatus {
  std::int64_t Count = 0;
  std::int64_t Bytes = 0;
};
THeapStatus GetHeapStatus();

}  // namespace platform
