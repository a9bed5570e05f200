#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Files and folders. Paths use "/"; a folder path has no trailing "/"
// unless it is the root. Opening files for reading, writing and appending
// is TFileStream (platform/Stream.h).

bool FileExists(const std::string& path);       // a file (or a link to one)
bool DirectoryExists(const std::string& path);  // a folder (or a link to one)
// Deletes a file; false when it did not exist or could not be deleted.
bool DeleteFile(const std::string& path);
// Creates an empty file, or empties an existing one; false on failure.
bool CreateEmptyFile(const std::string& path);

// Creates the folder and any missing parents; true when it exists afterwards.
bool CreateDirectories(const std::string& path);
// Renames a file, replacing the target; false with a reason in error.
bool RenameFile(const std::string& from, const std::string& to, std::string* error = nullptr);
// Replaces the file's contents so that a crash or a full disk at any moment
// leaves either the old file or the new one whole: the data goes to a new
// file in the same folder, is flushed to the disk and then renamed over the
// old one. The folder must exist. False with a reason in error.
bool WriteFileAtomically(const std::string& path, std::string_view data,
                         std::string* error = nullptr);
// Reads a whole file of at most limit bytes; false with a reason in error
// when it cannot be read or is larger.
bool ReadWholeFile(const std::string& path, std::size_t limit, std::string& data,
                   std::string* error = nullptr);

struct TDirEntry {
  std::string Name;  // the entry's own name, without the folder
  bool IsDirectory = false;
};
// The entries of a folder (files and sub-folders, without "." and ".."),
// sorted by name; empty when the folder cannot be read.
std::vector<TDirEntry> ListDirectory(const std::string& path);

// The running executable's full path and the folder holding it.
std::string ExecutablePath();
std::string ExecutableDirectory();
// The folder for the user's settings: $XDG_CONFIG_HOME when it is an
// absolute path, else $HOME/.config.
std::string UserConfigDirectory();
// The system's folder for temporary files ($TMPDIR, else /tmp).
std::string TempDirectory();
// The folder where the operating system keeps its own programs and
// libraries (the Windows folder of the Win32 system information): "/usr".
std::string SystemDirectory();

// Joins two path pieces with exactly one "/" between them; an empty piece
// gives the other one unchanged.
std::string JoinPath(std::string_view folder, std::string_view name);
// The last piece of a path ("/a/b.txt" -> "b.txt").
std::string ExtractFileName(std::string_view path);
// The path without its last piece and without the "/" before it.
std::string ExtractFileDir(std::string_view path);
// The path with the extension of its last piece replaced (or added):
// ChangeFileExt("/x/ludex", ".log") -> "/x/ludex.log".
std::string ChangeFileExt(std::string_view path, std::string_view extension);

}  // namespace platform
