#include "platform/Files.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

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
