// ludex-engine: answers game-engine queries, one line per command.
//
// With arguments, the arguments form one command: its answer is printed and
// the exit status is 0, or 2 when the command was malformed. Without
// arguments, every line of standard input is one command and gets one answer
// line, until the end of input. --help and --version stand alone as the
// first argument; no command starts with "-". "uci", as the only argument or
// as a line of input, turns the tool into a UCI chess engine.
#include <algorithm>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "app/CommandLine.h"
#include "games/checkers/CheckersEngine.h"
#include "games/chess/ChessEngine.h"
#include "tools/engine/EngineCommands.h"

namespace engine {

long long ParseNumber(const std::string& text, long long min, long long max, const char* what) {
  if (text.empty() || text.size() > 18)
    throw EngineError(std::string("bad ") + what + " '" + text + "'");
  long long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') throw EngineError(std::string("bad ") + what + " '" + text + "'");
    value = value * 10 + (c - '0');
  }
  if (value < min || value > max)
    throw EngineError(std::string(what) + " out of range: " + text + " (" + std::to_string(min) +
                      ".." + std::to_string(max) + ")");
  return value;
}

}  // namespace engine

namespace {

static_assert(chess::kLowestLevel == checkers::kLowestLevel &&
              chess::kHighestLevel == checkers::kHighestLevel);

constexpr app::TCommandLineHelp kHelp{
    "ludex-engine",
    "usage: ludex-engine [GAME COMMAND POS [ARG] [--level N]]\n"
    "       ludex-engine uci\n"
    "       ludex-engine pgn FILE | pdn FILE\n"
    "       ludex-engine --help | --version\n",
    "Answers engine queries: the command given as arguments, or else one command\n"
    "per line of standard input, each answered on one line.\n"
    "\n"
    "GAME is checkers or chess. COMMAND is one of:\n"
    "  moves POS      the legal moves, in generation order\n"
    "  scores POS     MOVE=SCORE for each legal move\n"
    "  best POS R     the move the computer plays when its random draw is R (0..99)\n"
    "  eval POS       the static evaluation\n"
    "  perft POS N    the number of legal move sequences of length N\n"
    "                 (checkers 0..15, chess 0..7)\n"
    "POS is \"start\" or a position (see ludex-engine(1)). A malformed command is\n"
    "answered \"error: ...\"; given as arguments, it exits with status 2.\n"
    "\n"
    "--level N, anywhere after GAME, makes best play at level N: 0 the original\n"
    "three-ply (chess) or six-ply (checkers) search, the default; 1 and 2 the\n"
    "deeper searches, within 50 and 250 ms.\n"
    "\n"
    "uci (the only argument, or a line of input) speaks the Universal Chess\n"
    "Interface on standard input and output, standard chess rules. Its option\n"
    "Level (0..2, default 2) chooses the strength; input lines longer than\n"
    "65536 bytes are ignored.\n"
    "\n"
    "pgn FILE and pdn FILE check the first game of a chess (PGN) or checkers (PDN)\n"
    "file as the program opens it and print its moves in the program's notation,\n"
    "one turn a line, then the result; a file that cannot be played is reported\n"
    "with exit status 1.\n"};

// Takes "--level N" out of the words after the game's name; the level, 0
// when the option is absent.
int TakeLevel(std::vector<std::string>& words) {
  if (words.empty()) return chess::kLowestLevel;
  const auto option = std::find(words.begin() + 1, words.end(), "--level");
  if (option == words.end()) return chess::kLowestLevel;
  if (option + 1 == words.end()) throw engine::EngineError("missing level after --level");
  const int level = static_cast<int>(
      engine::ParseNumber(option[1], chess::kLowestLevel, chess::kHighestLevel, "level"));
  words.erase(option, option + 2);
  if (words.size() < 2 || words[1] != "best")
    throw engine::EngineError("--level goes with best only");
  return level;
}

// Runs one command; returns false when it was malformed.
bool Answer(std::vector<std::string> words, std::ostream& out) {
  try {
    if (words.empty()) throw engine::EngineError("empty command");
    const int level = TakeLevel(words);
    const std::vector<std::string> rest(words.begin() + 1, words.end());
    if (words[0] == "checkers")
      out << engine::RunCheckersCommand(rest, level) << '\n';
    else if (words[0] == "chess")
      out << engine::RunChessCommand(rest, level) << '\n';
    else
      throw engine::EngineError("unknown game '" + words[0] + "' (checkers or chess)");
    return true;
  } catch (const std::exception& error) {
    out << "error: " << error.what() << '\n';
    return false;
  }
}

std::vector<std::string> SplitWords(const std::string& line) {
  std::istringstream stream(line);
  std::vector<std::string> words;
  for (std::string word; stream >> word;) words.push_back(word);
  return words;
}

}  // namespace

int main(int argc, char** argv) {
  if (const std::optional<int> status = app::AnswerOptions(argc, argv, kHelp)) return *status;
  std::ios::sync_with_stdio(false);
  if (argc > 1 && std::string_view(argv[1]) == "uci") {
    if (argc > 2) return app::UsageError(kHelp, "uci takes no arguments");
    return engine::RunUci(std::cin, std::cout, "");
  }
  if (argc > 1 && (std::string_view(argv[1]) == "pgn" || std::string_view(argv[1]) == "pdn")) {
    if (argc != 3) return app::UsageError(kHelp, std::string(argv[1]) + " takes one FILE");
    return engine::RunRecordCheck(argv[1], argv[2], std::cout, std::cerr);
  }
  if (argc > 1) {
    // A chess position holds spaces, so the arguments are joined and split
    // again the same way an input line is.
    std::string line;
    for (int i = 1; i < argc; ++i) line += std::string(i > 1 ? " " : "") + argv[i];
    return Answer(SplitWords(line), std::cout) ? 0 : 2;
  }
  for (std::string line; std::getline(std::cin, line);) {
    const std::vector<std::string> words = SplitWords(line);
    if (words == std::vector<std::string>{"uci"})
      return engine::RunUci(std::cin, std::cout, line + "\n");
    Answer(words, std::cout);
    std::cout.flush();
  }
  return 0;
}
