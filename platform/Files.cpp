#include "platform/Files.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform {

namespace fs = std::filesystem;

bool FileExists(const std::string& path) {
  std::error_code error;
  return !path.empty() && fs::is_regular_file(path, error);
}

bool DirectoryExists(const std::string& path) {
  std::error_code error;
  return !path.empty() && fs::is_directory(path, error);
}

bool DeleteFile(const std::string& path) {
  if (!FileExists(path)) return false;
  std::error_code error;
  return fs::remove(path, error);
}

namespace {

bool Fail(std::string* error, const std::string& what) {
  if (error) *error = what;
  return false;
}

std::string SystemError(const std::string& what, const std::string& path) {
  return what + " " + path + ": " + std::strerror(errno);
}

// Writes all of data to the open descriptor, through partial writes and
// interruptions.
bool WriteAll(int descriptor, std::string_view data) {
  while (!data.empty()) {
    const ssize_t written = ::write(descriptor, data.data(), data.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// Makes a finished rename last: the folder's entry is flushed too.
void SyncDirectory(const std::string& folder) {
  const int descriptor = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (descriptor < 0) return;
  ::fsync(descriptor);
  ::close(descriptor);
}

}  // namespace

bool CreateDirectories(const std::string& path) {
  std::error_code error;
  fs::create_directories(path, error);
  return DirectoryExists(path);
}

bool RenameFile(const std::string& from, const std::string& to, std::string* error) {
  if (::rename(from.c_str(), to.c_str()) == 0) return true;
  return Fail(error, SystemError("cannot rename", from));
}

bool WriteFileAtomically(const std::string& path, std::string_view data, std::string* error) {
  const std::string folder = ExtractFileDir(path);
  const std::string temporary = path + ".new-" + std::to_string(::getpid());
  const int descriptor =
      ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
  if (descriptor < 0) return Fail(error, SystemError("cannot create", temporary));
  const bool written = WriteAll(descriptor, data) && ::fsync(descriptor) == 0;
  const std::string reason = SystemError("cannot write", temporary);
  const bool closed = ::close(descriptor) == 0;
  if (!written || !closed) {
    ::unlink(temporary.c_str());
    return Fail(error, reason);
  }
  if (!RenameFile(temporary, path, error)) {
    ::unlink(temporary.c_str());
    return false;
  }
  SyncDirectory(folder);
  return true;
}

bool ReadWholeFile(const std::string& path, std::size_t limit, std::string& data,
                   std::string* error) {
  // Only a regular file: a folder cannot be read and a pipe could block.
  if (!FileExists(path)) return Fail(error, path + " is not a file");
  std::ifstream file(path, std::ios::binary);
  if (!file) return Fail(error, SystemError("cannot read", path));
  data.clear();
  char buffer[16384];
  while (file) {
    file.read(buffer, sizeof buffer);
    data.append(buffer, static_cast<std::size_t>(file.gcount()));
    if (data.size() > limit)
      return Fail(error, path + " is larger than " + std::to_string(limit) + " bytes");
  }
  if (file.bad()) return Fail(error, SystemError("cannot read", path));
  return true;
}

bool CreateEmptyFile(const std::string& path) {
  if (path.empty() || DirectoryExists(path)) return false;
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  return file.good();
}

std::vector<TDirEntry> ListDirectory(const std::string& path) {
  std::vector<TDirEntry> entries;
  std::error_code error;
  for (fs::directory_iterator it(path, error), end; !error && it != end; it.increment(error)) {
    std::error_code kindError;
    entries.push_back(TDirEntry{it->path().filename().string(), it->is_directory(kindError)});
  }
  std::sort(entries.begin(), entries.end(),
            [](const TDirEntry& a, const TDirEntry& b) { return a.Name < b.Name; });
  return entries;
}

std::string ExecutablePath() {
  std::error_code error;
  const fs::path path = fs::read_symlink("/proc/self/exe", error);
  return error ? std::string() : path.string();
}

std::string ExecutableDirectory() { return ExtractFileDir(ExecutablePath()); }

std::string UserConfigDirectory() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config && config[0] == '/') return config;
  const char* home = std::getenv("HOME");
  return JoinPath(home && home[0] ? home : TempDirectory(), ".config");
}

std::string TempDirectory() {
  const char* tmp = std::getenv("TMPDIR");
  std::string path = tmp && *tmp ? tmp : "/tmp";
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

std::string SystemDirectory() { return "/usr"; }

std::string JoinPath(std::string_view folder, std::string_view name) {
  if (folder.empty()) return std::string(name);
  if (name.empty()) return std::string(folder);
  while (folder.size() > 1 && folder.back() == '/') folder.remove_suffix(1);
  while (!name.empty() && name.front() == '/') name.remove_prefix(1);
  std::string result(folder);
  if (result.back() != '/') result += '/';
  return result.append(name);
}

std::string ExtractFileName(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string ExtractFileDir(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string_view::npos) return std::string();
  if (slash == 0) return "/";
  return std::string(path.substr(0, slash));
}

std::string ChangeFileExt(std::string_view path, std::string_view extension) {
  const std::size_t slash = path.rfind('/');
  const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
  const std::size_t dot = path.rfind('.');
  // A name that only starts with a dot (".profile") has no extension.
  const bool hasExtension = dot != std::string_view::npos && dot > nameStart;
  std::string result(hasExtension ? path.substr(0, dot) : path);
  return result.append(extension);
}

}  // namespace platform
