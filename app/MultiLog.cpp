#include "app/MultiLog.h"

#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <thread>

#include "platform/Files.h"
#include "platform/Stream.h"
#include "platform/SysInfo.h"

namespace app {

namespace {

struct TLogState {
  std::mutex Lock;
  std::string Path;
  bool Enabled = false;
  bool GuardStarted = false;
  platform::THeapStatus Baseline;
};

TLogState& State() {
  static TLogState state;
  return state;
}

// Appends to the file if it still exists; never creates it. Failures drop
// the record silently.
void AppendToFile(const std::string& path, const std::string& record) {
  try {
    platform::TFileStream file(path, platform::TFileStream::Mode::ReadWrite);
    file.Seek(0, platform::SeekOrigin::End);
    file.WriteString(record);
  } catch (const platform::EStreamError&) {
  }
}

std::string CurrentPrefix() {
  return FormatLogPrefix(platform::ProcessId(), platform::ThreadId(),
                         LogStamp(platform::LocalDateTime()));
}

unsigned MeasureCpuMHz() {
  std::uint64_t first = 0;
  std::uint64_t second = 0;
  {
    platform::TPriorityBoost boost;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    first = platform::ReadTimeStampCounter();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    second = platform::ReadTimeStampCounter();
  }
  const auto ticks = static_cast<std::uint32_t>(second - first);
  return ticks / 20000;
}

std::string Printf(const char* format, auto... values) {
  char buffer[512];
  const int length = std::snprintf(buffer, sizeof buffer, format, values...);
  if (length < 0) return {};
  return std::string(buffer,
                     std::min<std::size_t>(static_cast<std::size_t>(length), sizeof buffer - 1));
}

}  // namespace

std::string FormatLogPrefix(std::uint32_t processId, std::uint32_t threadId, std::uint64_t stamp) {
  return Printf("%.8" PRIx32 ":%.8" PRIx32 ":%" PRIx64 ":", processId, threadId, stamp);
}

std::string FormatLogRecord(std::string_view prefix, std::string_view text) {
  std::string record(prefix);
  std::size_t start = 0;
  for (std::size_t found = text.find("\r\n"); found != std::string_view::npos;
       found = text.find("\r\n", start)) {
    record.append(text.substr(start, found + 2 - start));
    record.append(prefix);
    start = found + 2;
  }
  record.append(text.substr(start));
  record.append("\r\n");
  return record;
}

std::uint64_t LogStamp(double days) {
  const long long rounded = std::llround(days * 100000000.0);
  return static_cast<std::uint64_t>(rounded);
}

void Log(std::string_view text) {
  TLogState& state = State();
  std::lock_guard lock(state.Lock);
  if (!state.Enabled) return;
  AppendToFile(state.Path, FormatLogRecord(CurrentPrefix(), text));
}

void MemoryGuard(bool start) {
  TLogState& state = State();
  const platform::THeapStatus now = platform::GetHeapStatus();
  bool report = false;
  {
    std::lock_guard lock(state.Lock);
    if (start) {
      state.Baseline = now;
      state.GuardStarted = true;
      return;
    }
    report = state.GuardStarted;
    state.GuardStarted = false;
  }
  if (!report) return;
  Log(Printf("Memory Leak Guard - Count:%" PRId64 " Size:%" PRId64,
             now.Count - state.Baseline.Count, now.Bytes - state.Baseline.Bytes));
}

void LogSysInfo() {
  Log("+SysInfo");
  Log(Printf(" CPU x%d, %u MHz", platform::ProcessorCount(), MeasureCpuMHz()));
  Log(Printf(" RAM %" PRIu64 " Mb", platform::TotalPhysicalMemory() >> 20));
  platform::TSystemVersion version;
  if (platform::GetSystemVersion(version)) {
    const std::string& product = version.Product.empty() ? version.Release : version.Product;
    Log(Printf(" %s %s (%d.%d build %d)", version.Name.c_str(), product.c_str(), version.Major,
               version.Minor, version.Build));
  }
  Log(" SysDir=" + platform::SystemDirectory());
  Log("-SysInfo");
}

std::string DefaultLogPath() {
  const std::string name = platform::ExtractFileName(platform::ExecutablePath());
  return platform::JoinPath(platform::TempDirectory(), platform::ChangeFileExt(name, ".log"));
}

bool InitializeLog(const std::string& path) {
  TLogState& state = State();
  {
    std::lock_guard lock(state.Lock);
    state.Path = path;
    state.Enabled = false;
    try {
      platform::TFileStream probe(path, platform::TFileStream::Mode::ReadWrite);
    } catch (const platform::EStreamError&) {
      return false;
    }
    try {
      platform::TFileStream emptied(path, platform::TFileStream::Mode::Create);
    } catch (const platform::EStreamError&) {
      return false;
    }
    state.Enabled = true;
  }
  Log("================| " + path + " |================");
  LogSysInfo();
  MemoryGuard(true);
  return true;
}

void FinalizeLog() {
  if (!LogEnabled()) return;
  MemoryGuard(false);
  Log(std::string(45, '='));
  TLogState& state = State();
  std::lock_guard lock(state.Lock);
  state.Enabled = false;
  state.GuardStarted = false;
}

bool LogEnabled() {
  TLogState& state = State();
  std::lock_guard lock(state.Lock);
  return state.Enabled;
}

}  // namespace app
