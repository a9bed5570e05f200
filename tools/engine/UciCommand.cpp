#include <algorithm>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>

#include "app/Random.h"
#include "tools/engine/EngineCommands.h"
#include "tools/engine/Uci.h"
#include "tools/engine/UciSearcher.h"

namespace engine {

namespace {

// Reads what is there, waiting only when nothing is: a host sends a line
// and waits for the answer. Returns 0 at the end of the input.
std::streamsize ReadSome(std::streambuf& input, char* buffer, std::streamsize size) {
  const std::streamsize waiting = input.in_avail();
  if (waiting > 0) return input.sgetn(buffer, std::min(waiting, size));
  const std::streambuf::int_type c = input.sbumpc();
  if (std::streambuf::traits_type::eq_int_type(c, std::streambuf::traits_type::eof())) return 0;
  buffer[0] = std::streambuf::traits_type::to_char_type(c);
  return 1;
}

}  // namespace

int RunUci(std::istream& in, std::ostream& out, std::string_view alreadyRead) {
  app::RandomizeFromClock();
  TThreadSearcher searcher;
  TUciSession session(searcher, [&out](const std::string& line) {
    out << line << '\n' << std::flush;
  });
  if (!session.Feed(alreadyRead)) return 0;
  char buffer[4096];
  while (const std::streamsize count = ReadSome(*in.rdbuf(), buffer, sizeof buffer))
    if (!session.Feed(std::string_view(buffer, static_cast<std::size_t>(count)))) return 0;
  session.Finish();
  return 0;
}

}  // namespace engine
