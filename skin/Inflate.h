#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace skin {

// Decoder of raw deflate streams (stored, fixed-Huffman and dynamic-Huffman
// blocks), without zlib or gzip framing.
//
// Output is delivered in whole chunks of kWindowSize bytes, as from a sliding
// window that is copied out each time it fills, plus the partial last chunk
// after the final block. Consequences callers can see:
// - a decoding error (block type 3, a stored block whose length check fails,
//   an invalid Huffman table or code, a distance reaching before the start of
//   the output) ends decoding silently; the destination keeps the chunks
//   delivered before the error, and the bytes of the chunk in progress keep
//   their earlier contents;
// - a chunk that does not fit in the remaining destination space is dropped
//   whole, and nothing after it is delivered;
// - input bytes past the end of the source read as zero.
class TInflater {
 public:
  static constexpr std::size_t kWindowSize = 32768;

  TInflater();
  ~TInflater();
  TInflater(const TInflater&) = delete;
  TInflater& operator=(const TInflater&) = delete;

  // Decodes the deflate stream in source[0, sourceLength) into
  // destination[0, destinationLength). Returns true when the final block was
  // decoded without error and its output fitted.
  bool Inflate(const std::uint8_t* source, std::uint8_t* destination, std::size_t destinationLength,
               std::size_t sourceLength);

  // Bytes decoded by the last Inflate call, including bytes of a chunk that
  // was later dropped or left undelivered by an error.
  std::size_t DecodedLength() const { return written_; }

 private:
  enum class TBlockResult { Continue, Final, Stop };
  enum class TFastResult { SlowPath, EndOfBlock, Error };

  TBlockResult DecodeBlock();
  TBlockResult CopyStoredBlock();
  bool ReadDynamicTables();
  void BuildFixedTables();
  TBlockResult DecodeHuffmanBlock();
  TFastResult DecodeSymbolsFast();

  // Bit input.
  void Refill();
  std::uint32_t PeekBits(unsigned count) const {
    return static_cast<std::uint32_t>(bits_ & ((std::uint64_t{1} << count) - 1));
  }
  void DropBits(unsigned count) {
    bits_ >>= count;
    bitCount_ -= count;
  }
  std::uint32_t TakeBits(unsigned count);

  // Output.
  bool PutByte(std::uint8_t value);
  bool PutMatch(std::size_t length, std::size_t distance);
  bool PutBytes(const std::uint8_t* data, std::size_t count);
  void StartNextChunk();
  void Finish(bool delivered);

  const std::uint8_t* in_ = nullptr;
  std::size_t inLength_ = 0;
  std::size_t inPos_ = 0;  // may pass inLength_: bytes there read as zero
  std::uint64_t bits_ = 0;
  unsigned bitCount_ = 0;

  std::uint8_t* out_ = nullptr;
  std::size_t outLength_ = 0;
  std::size_t written_ = 0;
  std::size_t chunkStart_ = 0;  // first byte not yet delivered
  std::size_t chunkEnd_ = 0;    // chunkStart_ + kWindowSize
  // The destination's earlier contents of the chunk in progress, put back
  // when that chunk is not delivered.
  std::vector<std::uint8_t> saved_;

  std::vector<std::uint32_t> litLenTable_;
  std::vector<std::uint32_t> distTable_;
  bool fixedTables_ = false;  // the tables hold the fixed-Huffman codes
};

}  // namespace skin
