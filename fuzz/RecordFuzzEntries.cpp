#include "fuzz/RecordFuzzEntries.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "games/checkers/Pdn.h"
#include "games/chess/Pgn.h"

namespace fuzz {

namespace {

constexpr std::size_t kMaxMessageLength = 256;

void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "fuzz invariant broken: %s\n", what);
  std::abort();
}

void CheckError(const app::TRecordError& error) {
  Check(!error.Message.empty() && error.Message.size() <= kMaxMessageLength,
        "an error message is empty or too long");
  for (unsigned char c : error.Message)
    Check(c >= 0x20 && c != 0x7F, "an error message holds a control character");
}

void CheckMovetextLines(const std::string& text) {
  const std::size_t movetext = text.find("\n\n");
  Check(movetext != std::string::npos, "no blank line after the tags");
  std::size_t start = movetext + 2;
  for (std::size_t end = text.find('\n', start); end != std::string::npos;
       end = text.find('\n', start)) {
    Check(end - start <= app::kMovetextWidth, "a movetext line is too long");
    start = end + 1;
  }
  Check(start == text.size(), "the text does not end with a line break");
}

// Reads, writes, reads the writing back and writes again.
template <typename TRecord, typename TRead, typename TWrite, typename TSame>
void RoundTrip(const std::uint8_t* data, std::size_t size, TRead read, TWrite write, TSame same) {
  const app::TRecordRead<TRecord> first =
      read(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!first) return CheckError(first.Error);
  Check(first.Record->Moves.size() <= app::kMaxRecordPlies, "more moves than the limit");
  const std::string written = write(*first.Record);
  CheckMovetextLines(written);
  const app::TRecordRead<TRecord> second = read(written);
  Check(second.Record.has_value(), "a written record does not read back");
  Check(same(*first.Record, *second.Record), "a written record reads back differently");
  Check(write(*second.Record) == written, "a record read back writes differently");
}

}  // namespace

void FuzzPgn(const std::uint8_t* data, std::size_t size) {
  RoundTrip<chess::TChessRecord>(data, size, chess::ReadPgn, chess::WritePgn,
                                 [](const chess::TChessRecord& a, const chess::TChessRecord& b) {
                                   return a.StartFen == b.StartFen && a.Moves == b.Moves &&
                                          a.Result == b.Result;
                                 });
}

void FuzzPdn(const std::uint8_t* data, std::size_t size) {
  RoundTrip<checkers::TCheckersRecord>(
      data, size, checkers::ReadPdn, checkers::WritePdn,
      [](const checkers::TCheckersRecord& a, const checkers::TCheckersRecord& b) {
        return a.SetUp == b.SetUp && a.Moves == b.Moves && a.Result == b.Result;
      });
}

}  // namespace fuzz
