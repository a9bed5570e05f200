#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "games/chess/Pgn.h"

namespace {

using chess::TChessRecord;
using chess::TEngineBoard;
using chess::TEngineMove;
using chess::TRules;

TEngineBoard Fen(const std::string& fen) {
  std::string error;
  std::optional<TEngineBoard> board = TEngineBoard::FromFen(fen, TRules::Program, &error);
  EXPECT_TRUE(board) << fen << ": " << error;
  return board ? *board : TEngineBoard(TRules::Program);
}

TEngineMove Uci(const TEngineBoard& board, const std::string& text) {
  const std::optional<TEngineMove> move = board.ParseUci(text);
  EXPECT_TRUE(move) << text;
  return move.value_or(TEngineMove{});
}

std::string San(const std::string& fen, const std::string& uci) {
  const TEngineBoard board = Fen(fen);
  return chess::ToSan(board, Uci(board, uci));
}

std::vector<std::string> UciMoves(const TChessRecord& record) {
  std::vector<std::string> moves;
  for (const TEngineMove& move : record.Moves) moves.push_back(TEngineBoard::ToUci(move));
  return moves;
}

TChessRecord Read(std::string_view text) {
  const app::TRecordRead<TChessRecord> read = chess::ReadPgn(text);
  EXPECT_TRUE(read) << read.Error.Message;
  return read.Record.value_or(TChessRecord{});
}

app::TRecordError ReadError(std::string_view text) {
  const app::TRecordRead<TChessRecord> read = chess::ReadPgn(text);
  EXPECT_FALSE(read) << "read a game from a bad text";
  return read.Error;
}

// The lines after the tag section's blank line.
std::vector<std::string> MovetextLines(const std::string& pgn) {
  std::istringstream stream(pgn.substr(pgn.find("\n\n") + 2));
  std::vector<std::string> lines;
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

TEST(Pgn, EveryKindOfMoveIsWrittenInStandardNotation) {
  const std::string castling = "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1";
  EXPECT_EQ(San(castling, "e1g1"), "O-O");
  EXPECT_EQ(San(castling, "e1c1"), "O-O-O");
  EXPECT_EQ(San("r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "e8c8"), "O-O-O");
  EXPECT_EQ(San("rnbqkbnr/ppp1pppp/8/3p4/4P3/8/PPPP1PPP/RNBQKBNR w KQkq d6 0 2", "e4d5"), "exd5");
  EXPECT_EQ(San("4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "e5d6"), "exd6");
  EXPECT_EQ(San("4k3/P7/8/8/8/8/8/4K3 w - - 0 1", "a7a8q"), "a8=Q+");
  EXPECT_EQ(San("1n6/P7/8/7k/8/8/8/4K3 w - - 0 1", "a7b8q"), "axb8=Q");
  EXPECT_EQ(San("rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 2", "f1b5"), "Bb5");
  EXPECT_EQ(San("rnbqkbnr/ppp2ppp/3p4/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 3", "f1b5"), "Bb5+");
  EXPECT_EQ(San("rnbqkbnr/pppp1ppp/8/4p3/6P1/5P2/PPPPP2P/RNBQKBNR b KQkq - 0 2", "d8h4"), "Qh4#");
  // Disambiguation by file, by rank, and by both among three queens.
  EXPECT_EQ(San("4k3/8/8/8/8/5N2/8/1N2K3 w - - 0 1", "b1d2"), "Nbd2");
  EXPECT_EQ(San("4k3/8/8/8/8/5N2/8/1N2K3 w - - 0 1", "f3d2"), "Nfd2");
  EXPECT_EQ(San("4k3/8/8/R7/8/8/8/R3K3 w - - 0 1", "a1a3"), "R1a3");
  EXPECT_EQ(San("4k3/8/8/R7/8/8/8/R3K3 w - - 0 1", "a5a3"), "R5a3");
  const std::string queens = "4k3/8/8/8/8/Q7/8/Q1Q1K3 w - - 0 1";
  EXPECT_EQ(San(queens, "a1b2"), "Qa1b2");
  EXPECT_EQ(San(queens, "a3b2"), "Q3b2");
  EXPECT_EQ(San(queens, "c1b2"), "Qcb2");
  // A knight pinned to its king is no rival: the other needs no file.
  EXPECT_EQ(San("4k3/8/8/8/1b6/8/3N4/1N2K3 w - - 0 1", "b1c3"), "Nc3");
}

TEST(Pgn, EveryLegalMoveReadsBackFromItsNotation) {
  for (const char* fen :
       {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "4k3/8/8/8/8/Q7/8/Q1Q1K3 w - - 0 1",
        "1n6/P7/8/7k/8/8/8/4K3 w - - 0 1", "4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1",
        "r1bqkb1r/pppp1ppp/2n2n2/4p2Q/2B1P3/8/PPPP1PPP/RNB1K1NR w KQkq - 4 4"}) {
    const TEngineBoard board = Fen(fen);
    for (const TEngineMove& move : board.LegalMoves()) {
      const std::string san = chess::ToSan(board, move);
      EXPECT_EQ(chess::ParseSan(board, san), move) << fen << " " << san;
      EXPECT_EQ(chess::ParseSan(board, TEngineBoard::ToUci(move)), move) << fen << " " << san;
    }
  }
}

TEST(Pgn, WritesTheExportFormat) {
  TChessRecord record;
  record.Tags = {
      {"Date", "1858.??.??"}, {"White", "Morphy"},    {"Black", "Duke \"Karl\" \\ Count"},
      {"Event", "Paris"},     {"Annotator", "Ludex"}, {"FEN", "ignored"}};
  TEngineBoard board(TRules::Program);
  for (const char* san :
       {"e4",    "e5",  "Nf3",  "d6",   "d4",  "Bg4", "dxe5",  "Bxf3", "Qxf3", "dxe5",  "Bc4",
        "Nf6",   "Qb3", "Qe7",  "Nc3",  "c6",  "Bg5", "b5",    "Nxb5", "cxb5", "Bxb5+", "Nbd7",
        "O-O-O", "Rd8", "Rxd7", "Rxd7", "Rd1", "Qe6", "Bxd7+", "Nxd7", "Qb8+", "Nxb8",  "Rd8#"}) {
    const std::optional<TEngineMove> move = chess::ParseSan(board, san);
    ASSERT_TRUE(move) << san;
    record.Moves.push_back(*move);
    board.Play(*move);
  }
  record.Result = "1-0";
  EXPECT_EQ(chess::WritePgn(record),
            "[Event \"Paris\"]\n"
            "[Site \"?\"]\n"
            "[Date \"1858.??.??\"]\n"
            "[Round \"?\"]\n"
            "[White \"Morphy\"]\n"
            "[Black \"Duke \\\"Karl\\\" \\\\ Count\"]\n"
            "[Result \"1-0\"]\n"
            "[Annotator \"Ludex\"]\n"
            "\n"
            "1. e4 e5 2. Nf3 d6 3. d4 Bg4 4. dxe5 Bxf3 5. Qxf3 dxe5 6. Bc4 Nf6 7. Qb3 Qe7\n"
            "8. Nc3 c6 9. Bg5 b5 10. Nxb5 cxb5 11. Bxb5+ Nbd7 12. O-O-O Rd8 13. Rxd7 Rxd7\n"
            "14. Rd1 Qe6 15. Bxd7+ Nxd7 16. Qb8+ Nxb8 17. Rd8# 1-0\n");
}

TEST(Pgn, ASetUpGameStartingWithBlackIsNumberedFromItsFen) {
  TChessRecord record;
  record.StartFen = "4k3/8/8/8/8/8/4P3/4K3 b - - 0 12";
  const TEngineBoard board = Fen(record.StartFen);
  record.Moves = {Uci(board, "e8d7")};
  TEngineBoard next = board;
  next.Play(record.Moves[0]);
  record.Moves.push_back(Uci(next, "e2e4"));
  const std::string pgn = chess::WritePgn(record);
  EXPECT_NE(
      pgn.find("[Result \"*\"]\n[SetUp \"1\"]\n[FEN \"4k3/8/8/8/8/8/4P3/4K3 b - - 0 12\"]\n\n"),
      std::string::npos)
      << pgn;
  EXPECT_EQ(MovetextLines(pgn), std::vector<std::string>{"12... Kd7 13. e4 *"});
  const TChessRecord read = Read(pgn);
  EXPECT_EQ(read.StartFen, record.StartFen);
  EXPECT_EQ(read.Moves, record.Moves);
}

TEST(Pgn, ReadsGamesAsPeopleWriteThem) {
  const std::string text =
      "\xEF\xBB\xBF% exported by hand\r\n"
      "[Event \"Casual \\\"game\\\"\"]\r\n"
      "[White \"Anderssen\"]\r\n\r\n"
      "{Opening comment} 1.e4 e5 2. Nf3!? Nc6 $1 3. Bc4 (3. Bb5 a6 (3... Nf6 {with a ) in it} "
      "4. O-O) 4. Ba4) 3... Bc5?! ; to the end of the line ( not a variation\r"
      "4. 0-0 d6 5. c2-c3 Ng8-f6 6. d4 exd4 7. cxd4 Bb6 8. Nc3 O-O 9. d5 Ne5 10. Nxe5 dxe5 "
      "11. Bg5 h6 12. Bh4 g5 13. Bg3 Qe7 14. Qf3 Kg7 15. d5d6 cxd6 16. Qf3xf6+ Kxf6 1/2-1/2\r\n"
      "[Event \"The next game\"]\r\n1. d4 *\r\n";
  const TChessRecord record = Read(text);
  ASSERT_GE(record.Tags.size(), 2u);
  EXPECT_EQ(record.Tags[0], (app::TRecordTag{"Event", "Casual \"game\""}));
  EXPECT_EQ(record.Tags[1], (app::TRecordTag{"White", "Anderssen"}));
  EXPECT_EQ(record.Result, "1/2-1/2");
  EXPECT_EQ(record.StartFen, "");
  const std::vector<std::string> expected = {
      "e2e4", "e7e5", "g1f3", "b8c6", "f1c4", "f8c5", "e1g1", "d7d6", "c2c3", "g8f6", "d2d4",
      "e5d4", "c3d4", "c5b6", "b1c3", "e8g8", "d4d5", "c6e5", "f3e5", "d6e5", "c1g5", "h7h6",
      "g5h4", "g7g5", "h4g3", "d8e7", "d1f3", "g8g7", "d5d6", "c7d6", "f3f6", "g7f6"};
  EXPECT_EQ(UciMoves(record), expected);
}

TEST(Pgn, ReadsSetUpPositionsEnPassantAndBareTags) {
  const TChessRecord record = Read(
      "[SetUp \"1\"]\n[FEN \"4k3/8/8/8/3p4/8/4P3/4K3 w - - 0 30\"]\n"
      "30. e4 dxe3 e.p. 31. Kf1 e2+ 32. Kf2 e1=Q+ 0-1");
  EXPECT_EQ(UciMoves(record),
            (std::vector<std::string>{"e2e4", "d4e3", "e1f1", "e3e2", "f1f2", "e2e1q"}));
  EXPECT_EQ(record.Result, "0-1");
  // No movetext result: the Result tag stands; a game of tags alone reads.
  EXPECT_EQ(Read("[Result \"1-0\"]\n1. e4").Result, "1-0");
  EXPECT_TRUE(Read("[Event \"x\"]\n").Moves.empty());
  EXPECT_EQ(Read("1. e4 e5").Result, "*");
}

TEST(Pgn, ABadMoveIsNamedWithItsNumber) {
  app::TRecordError error =
      ReadError("[Event \"x\"]\n\n1. e4 e5 2. Nf3 Nf6 3. Nxe5 Ke7 4. Qh5 Qe9 *");
  EXPECT_EQ(error.Message, "move 4... Qe9: not a move");
  EXPECT_EQ(error.MoveNumber, 4);
  EXPECT_EQ(error.Move, "Qe9");
  error = ReadError("1. e4 e5 2. Ke3");
  EXPECT_EQ(error.Message, "move 2. Ke3: no such legal move");
  // A knight's promotion is no move under the program's rules.
  error = ReadError("[FEN \"4k3/P7/8/8/8/8/8/4K3 w - - 0 7\"]\n7. a8=N");
  EXPECT_EQ(error.Message, "move 7. a8=N: no such legal move");
  error = ReadError("[FEN \"4k3/8/8/8/8/5N2/8/1N2K3 w - - 0 1\"]\n1. Nd2");
  EXPECT_EQ(error.Message, "move 1. Nd2: more than one legal move reads so");
  error = ReadError("1. e4 e5 2. O-O");
  EXPECT_EQ(error.Message, "move 2. O-O: no such legal move");
  // Long moves are cut short and control characters escaped.
  error = ReadError("1. " + std::string(100, 'N') + "\x01");
  EXPECT_EQ(error.Move, std::string(24, 'N') + "...");
  error = ReadError("1. e\x01");
  EXPECT_EQ(error.Move, "e\\x01");
}

TEST(Pgn, BadStructureIsRefusedWithItsLine) {
  EXPECT_EQ(ReadError("[FEN \"8/8/8/8/8/8/8/8 w - - 0 1\"]\n1. e4").Message,
            "tag FEN: White needs exactly one king");
  // What the FEN reader quotes is escaped and cut short.
  EXPECT_EQ(ReadError("[FEN \"4k3/8/8/8/8/8/8/\x19K6 w - - 0 1\"]").Message,
            "tag FEN: bad character '\\x19' in the placement");
  EXPECT_LE(ReadError("[FEN \"4k3/8/8/8/8/8/8/4K3 w " + std::string(1000, '\x01') + " - 0 1\"]")
                .Message.size(),
            256u);
  EXPECT_EQ(ReadError("[Event \"x\"]\n\n1. e4 {never closed").Message,
            "line 3: a comment is not closed");
  EXPECT_EQ(ReadError("1. e4\r\ne5\r2. Nf3 (2. d4 (2. c4)").Message,
            "line 3: a variation is not closed");
  EXPECT_EQ(ReadError("[Event \"open\n1. e4").Message,
            "line 1: tag Event: the value is not closed on its line");
  EXPECT_EQ(ReadError("[Event open]").Message, "line 1: tag Event: the value is not quoted");
  EXPECT_EQ(ReadError("[\"x\"]").Message, "line 1: a tag has no name");
  EXPECT_EQ(ReadError("[Event \"x\" junk]").Message, "line 1: tag Event: no ']' after the value");
  EXPECT_EQ(ReadError("").Message, "the text holds no game");
  EXPECT_EQ(ReadError(" {only a comment} ").Message, "the text holds no game");
}

// Random games under the program's rules, from the start and from set-up
// positions, read back as they were written.
TEST(Pgn, RandomGamesReadBackAsWritten) {
  std::mt19937 random(20240611);
  const std::vector<std::string> starts = {"",
                                           "r3k2r/pppq1ppp/2n5/8/8/2N5/PPPQ1PPP/R3K2R b KQkq - 3 9",
                                           "4k3/1P6/8/8/8/8/6p1/4K3 w - - 0 40"};
  const std::vector<std::string> results = {"1-0", "0-1", "1/2-1/2", "*"};
  for (int game = 0; game < 150; ++game) {
    TChessRecord record;
    record.StartFen = starts[game % starts.size()];
    record.Result = results[game % results.size()];
    record.Tags = {{"Round", std::to_string(game)}};
    TEngineBoard board =
        record.StartFen.empty() ? TEngineBoard(TRules::Program) : Fen(record.StartFen);
    const int plies = std::uniform_int_distribution<int>(0, 300)(random);
    for (int ply = 0; ply < plies; ++ply) {
      const std::vector<TEngineMove> moves = board.LegalMoves();
      if (moves.empty()) break;
      record.Moves.push_back(
          moves[std::uniform_int_distribution<std::size_t>(0, moves.size() - 1)(random)]);
      board.Play(record.Moves.back());
    }
    const std::string pgn = chess::WritePgn(record);
    for (const std::string& line : MovetextLines(pgn)) ASSERT_LE(line.size(), 79u) << line;
    const TChessRecord read = Read(pgn);
    ASSERT_EQ(read.Moves, record.Moves) << pgn;
    EXPECT_EQ(read.StartFen, record.StartFen);
    EXPECT_EQ(read.Result, record.Result);
    EXPECT_EQ(chess::WritePgn(read), pgn);
  }
}

double SecondsToRead(const std::string& text, std::string* message) {
  const auto start = std::chrono::steady_clock::now();
  const app::TRecordRead<TChessRecord> read = chess::ReadPgn(text);
  *message = read ? "" : read.Error.Message;
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST(Pgn, HostileTextsAreRefusedQuickly) {
  std::string message;
  // Knights going to and fro: 2,000 moves read, one more does not.
  std::string shuffle;
  for (int i = 0; i < 500; ++i) shuffle += "Nf3 Nf6 Ng1 Ng8 ";
  EXPECT_LT(SecondsToRead(shuffle, &message), 5.0);
  EXPECT_EQ(message, "");
  EXPECT_LT(SecondsToRead(shuffle + "Nf3", &message), 5.0);
  EXPECT_EQ(message, "the game has more than 2000 moves");
  // A game that goes on past 1 MiB, and one that ends just before.
  const std::string comment = "{" + std::string((1 << 20) - 4, 'x') + "}";
  EXPECT_LT(SecondsToRead(comment + " e4 e5", &message), 1.0);
  EXPECT_EQ(message, "the game goes on past the first 1 MiB of the text");
  EXPECT_LT(SecondsToRead(comment + " *" + std::string(1 << 22, ' '), &message), 1.0);
  EXPECT_EQ(message, "");
  // Nesting as deep as the text allows.
  EXPECT_LT(SecondsToRead("1. e4 " + std::string(1 << 20, '('), &message), 1.0);
  EXPECT_EQ(message, "line 1: variations are nested more than 256 deep");
  const std::string nested = std::string(256, '(') + std::string(256, ')');
  EXPECT_LT(SecondsToRead("1. e4 " + nested + " e5 *", &message), 1.0);
  EXPECT_EQ(message, "");
  // Tags: too many, too long.
  std::string tags;
  for (int i = 0; i <= 256; ++i) tags += "[T" + std::to_string(i) + " \"v\"]\n";
  SecondsToRead(tags, &message);
  EXPECT_EQ(message, "line 257: the game has more than 256 tags");
  SecondsToRead("[Event \"" + std::string(2000, 'v') + "\"]", &message);
  EXPECT_EQ(message, "line 1: tag Event: the value is longer than 1024 bytes");
  SecondsToRead("[" + std::string(65, 'N') + " \"v\"]", &message);
  EXPECT_EQ(message, "line 1: a tag name is longer than 64 characters");
  // Binary junk.
  std::mt19937 random(7);
  std::string junk(1 << 20, '\0');
  for (char& c : junk) c = static_cast<char>(random());
  EXPECT_LT(SecondsToRead(junk, &message), 2.0);
  EXPECT_NE(message, "");
}

}  // namespace
