#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The diagnostic log: off unless its file exists when the module starts;
// then the file is emptied and receives one stamped record per Log call.
// Safe to call from any thread and before or after the log module lives.
namespace app {

// Appends one record when logging is on; otherwise does nothing.
void Log(std::string_view text);

// With true: takes the live heap blocks and bytes as the baseline. With
// false: if started, logs the differences since the baseline and stops.
void MemoryGuard(bool start);

// Logs the machine description block ("+SysInfo" .. "-SysInfo").
void LogSysInfo();

// The default log path: the temporary folder + the executable's file name
// with its extension replaced by ".log".
std::string DefaultLogPath();

// Module initialisation: enables logging to path when that file exists,
// empties it and writes the header lines, the machine description and
// starts the memory guard. Returns whether logging is on.
bool InitializeLog(const std::string& path);
// Module finalisation: reports the memory guard and writes the closing line
// (when logging is on), then switches logging off.
void FinalizeLog();
bool LogEnabled();

// The record prefix "%.8x:%.8x:%x:" of the process id, thread id and stamp.
std::string FormatLogPrefix(std::uint32_t processId, std::uint32_t threadId, std::uint64_t stamp);
// The record for a message: prefix, the text with a fresh prefix after
// every CR LF, and a closing CR LF.
std::string FormatLogRecord(std::string_view prefix, std::string_view text);
// The local date-time (days since 1899-12-30 with the time as fraction)
// times 100000000, rounded.
std::uint64_t LogStamp(double days);

// Initialises the log module for its lifetime (the entry point's first
// object and last to go).
class TLogModule {
 public:
  explicit TLogModule(const std::string& path = DefaultLogPath()) { InitializeLog(path); }
  ~TLogModule() { FinalizeLog(); }
  TLogModule(const TLogModule&) = delete;
  TLogModule& operator=(const TLogModule&) = delete;
};

}  // namespace app
