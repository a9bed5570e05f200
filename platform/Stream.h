#pragma once

#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace platform {

// A stream that cannot be opened or used as asked.
class EStreamError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum class SeekOrigin { Begin, Current, End };

// A byte stream with a position: the common ground of files, memory blocks,
// decorators and the skin engine's packs.
class TStream {
 public:
  virtual ~TStream() = default;

  // Reads up to count bytes at the position; returns how many were read
  // (0 at the end of the stream).
  virtual std::int64_t Read(void* buffer, std::int64_t count) = 0;
  // Writes count bytes at the position; returns how many were written.
  virtual std::int64_t Write(const void* buffer, std::int64_t count) = 0;
  // Moves the position and returns the new one.
  virtual std::int64_t Seek(std::int64_t offset, SeekOrigin origin) = 0;
  virtual std::int64_t GetSize();
  // The size, for readers that need one; throws EStreamError when the stream
  // has none (a pipe or another stream that cannot seek).
  std::int64_t RequireSize();

  std::int64_t GetPosition() { return Seek(0, SeekOrigin::Current); }
  void SetPosition(std::int64_t position) { Seek(position, SeekOrigin::Begin); }

  // Reads exactly count bytes or throws EStreamError.
  void ReadBuffer(void* buffer, std::int64_t count);
  // Writes exactly count bytes or throws EStreamError.
  void WriteBuffer(const void* buffer, std::int64_t count);
  void WriteString(const std::string& text) {
    WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
  }
  // Reads from the position to the end.
  std::vector<std::uint8_t> ReadAll();
};

// Reading and seeking within a block of memory, shared by the streams over
// one. Seeking before the start stops at 0; past the end is allowed.
struct TBlockCursor {
  std::int64_t Position = 0;

  std::int64_t Read(const std::uint8_t* data, std::int64_t size, void* buffer, std::int64_t count);
  std::int64_t Seek(std::int64_t size, std::int64_t offset, SeekOrigin origin);
};

// A growable block of memory; seeking past the end is allowed and a write
// there fills the gap with zero bytes.
class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<std::uint8_t> data) : data_(std::move(data)) {}
  TMemoryStream(const void* data, std::size_t size);

  std::int64_t Read(void* buffer, std::int64_t count) override;
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
  std::int64_t GetSize() override { return static_cast<std::int64_t>(data_.size()); }

  const std::vector<std::uint8_t>& Data() const { return data_; }
  std::vector<std::uint8_t>& Data() { return data_; }
  void Clear() {
    data_.clear();
    cursor_.Position = 0;
  }

 private:
  std::vector<std::uint8_t> data_;
  TBlockCursor cursor_;
};

// A file on disk. Files are always opened shared: other readers and writers
// may have the same file open.
class TFileStream : public TStream {
 public:
  enum class Mode {
    Read,       // existing file, read only
    ReadWrite,  // existing file, read and write
    Create,     // new or emptied file, read and write
    Append      // existing or new file, writes go to its end
  };

  // Throws EStreamError naming the path when the file cannot be opened.
  TFileStream(const std::string& path, Mode mode);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  std::int64_t Read(void* buffer, std::int64_t count) override;
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
  std::int64_t GetSize() override;

 private:
  std::FILE* file_ = nullptr;
};

}  // namespace platform
