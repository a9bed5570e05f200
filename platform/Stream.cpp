#include "platform/Stream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace platform {

std::int64_t TStream::GetSize() {
  const std::int64_t position = GetPosition();
  const std::int64_t size = Seek(0, SeekOrigin::End);
  SetPosition(position);
  return size;
}

std::int64_t TStream::RequireSize() {
  const std::int64_t size = GetSize();
  if (size < 0) throw EStreamError("The stream cannot seek and has no size (a pipe?)");
  return size;
}

void TStream::ReadBuffer(void* buffer, std::int64_t count) {
  if (Read(buffer, count) != count) throw EStreamError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, std::int64_t count) {
  if (Write(buffer, count) != count) throw EStreamError("Stream write error");
}

std::vector<std::uint8_t> TStream::ReadAll() {
  // The announced rest is read straight into the result; a stream that
  // delivers more than it announced is read on in chunks.
  std::vector<std::uint8_t> result(
      static_cast<std::size_t>(std::max<std::int64_t>(GetSize() - GetPosition(), 0)));
  std::size_t done = 0;
  for (std::int64_t got;
       done < result.size() && (got = Read(result.data() + done, result.size() - done)) > 0;)
    done += static_cast<std::size_t>(got);
  if (done < result.size()) {
    result.resize(done);
    return result;
  }
  std::uint8_t chunk[65536];
  for (std::int64_t got; (got = Read(chunk, sizeof chunk)) > 0;)
    result.insert(result.end(), chunk, chunk + got);
  return result;
}

TMemoryStream::TMemoryStream(const void* data, std::size_t size)
    : data_(static_cast<const std::uint8_t*>(data), static_cast<const std::uint8_t*>(data) + size) {
}

std::int64_t TBlockCursor::Read(const std::uint8_t* data, std::int64_t size, void* buffer,
                                std::int64_t count) {
  if (count <= 0 || Position >= size) return 0;
  const std::int64_t got = std::min(count, size - Position);
  std::memcpy(buffer, data + Position, static_cast<std::size_t>(got));
  Position += got;
  return got;
}

std::int64_t TBlockCursor::Seek(std::int64_t size, std::int64_t offset, SeekOrigin origin) {
  std::int64_t base = 0;
  if (origin == SeekOrigin::Current) base = Position;
  if (origin == SeekOrigin::End) base = size;
  Position = std::max<std::int64_t>(0, base + offset);
  return Position;
}

std::int64_t TMemoryStream::Read(void* buffer, std::int64_t count) {
  return cursor_.Read(data_.data(), GetSize(), buffer, count);
}

std::int64_t TMemoryStream::Write(const void* buffer, std::int64_t count) {
  if (count <= 0) return 0;
  const std::int64_t end = cursor_.Position + count;
  if (end > GetSize()) data_.resize(static_cast<std::size_t>(end));
  std::memcpy(data_.data() + cursor_.Position, buffer, static_cast<std::size_t>(count));
  cursor_.Position = end;
  return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, SeekOrigin origin) {
  return cursor_.Seek(GetSize(), offset, origin);
}

namespace {

const char* OpenModeText(TFileStream::Mode mode) {
  switch (mode) {
    case TFileStream::Mode::Read:
      return "rb";
    case TFileStream::Mode::ReadWrite:
      return "r+b";
    case TFileStream::Mode::Create:
      return "w+b";
    case TFileStream::Mode::Append:
      return "ab";
  }
  return "rb";
}

}  // namespace

TFileStream::TFileStream(const std::string& path, Mode mode)
    : file_(std::fopen(path.c_str(), OpenModeText(mode))) {
  if (!file_) throw EStreamError("Cannot open file \"" + path + "\": " + std::strerror(errno));
}

TFileStream::~TFileStream() { std::fclose(file_); }

std::int64_t TFileStream::Read(void* buffer, std::int64_t count) {
  if (count <= 0) return 0;
  return static_cast<std::int64_t>(std::fread(buffer, 1, static_cast<std::size_t>(count), file_));
}

std::int64_t TFileStream::Write(const void* buffer, std::int64_t count) {
  if (count <= 0) return 0;
  return static_cast<std::int64_t>(std::fwrite(buffer, 1, static_cast<std::size_t>(count), file_));
}

std::int64_t TFileStream::Seek(std::int64_t offset, SeekOrigin origin) {
  const int whence = origin == SeekOrigin::Begin     ? SEEK_SET
                     : origin == SeekOrigin::Current ? SEEK_CUR
                                                     : SEEK_END;
  if (fseeko(file_, offset, whence) != 0) {
    // Positions before the start clamp to the start, as the memory stream does.
    if (fseeko(file_, 0, SEEK_SET) != 0) return 0;
  }
  return ftello(file_);
}

std::int64_t TFileStream::GetSize() {
  const off_t position = ftello(file_);
  fseeko(file_, 0, SEEK_END);
  const off_t size = ftello(file_);
  fseeko(file_, position, SEEK_SET);
  return size;
}

}  // namespace platform
