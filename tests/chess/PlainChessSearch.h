#pragma once

// The chess rules and the 3-ply negamax written out the slow, literal way:
// a full legal generation at every node, a copy of the position per level,
// legality by playing each move and generating every reply. It shares no
// code with the product, so that the tests and the benchmark can hold the
// fast search to exactly its values.

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "games/chess/ChessBoard.h"

namespace plain_chess {

struct Move {
  int fx, fy, tx, ty;
  bool capture;
};

class Chess {
 public:
  // Square values as in the position: type in the low byte, colour (1 = the
  // side to move) in the high byte.
  std::array<std::array<std::uint16_t, 8>, 8> board{};  // [file][rank]
  bool ownLong = true, ownShort = true, oppLong = true, oppShort = true;
  int epX = -1, epY = -1;
  std::vector<Move> moves;

  static Chess From(const chess::TChessPosition& position) {
    Chess c;
    for (int f = 0; f < 8; ++f)
      for (int r = 0; r < 8; ++r) c.board[f][r] = position.Squares[r * 8 + f];
    c.ownLong = position.OwnLongCastle;
    c.ownShort = position.OwnShortCastle;
    c.oppLong = position.OppLongCastle;
    c.oppShort = position.OppShortCastle;
    c.epX = position.EnPassant.X;
    c.epY = position.EnPassant.Y;
    return c;
  }

  chess::TChessPosition ToPosition() const {
    chess::TChessPosition p;
    for (int f = 0; f < 8; ++f)
      for (int r = 0; r < 8; ++r) p.Squares[r * 8 + f] = board[f][r];
    p.OwnLongCastle = ownLong;
    p.OwnShortCastle = ownShort;
    p.OppLongCastle = oppLong;
    p.OppShortCastle = oppShort;
    p.EnPassant = {epX, epY};
    return p;
  }

  static int Type(std::uint16_t v) { return v & 255; }
  static int Colour(std::uint16_t v) { return v >> 8; }
  static bool In(int x, int y) { return x >= 0 && x <= 7 && y >= 0 && y <= 7; }
  static std::uint16_t Swap(std::uint16_t v) {
    return static_cast<std::uint16_t>((v & 255) | ((Colour(v) == 0 ? 1 : 0) << 8));
  }

  void Flip() {
    for (int f = 0; f < 8; ++f)
      for (int r = 0; r <= 3; ++r) {
        const std::uint16_t a = board[f][r];
        board[f][r] = Swap(board[f][7 - r]);
        board[f][7 - r] = Swap(a);
      }
    std::swap(ownLong, oppLong);
    std::swap(ownShort, oppShort);
    if (epX >= 0) epY = 7 - epY;
  }

  void Apply(const Move& m) {
    const std::uint16_t v = board[m.fx][m.fy];
    board[m.tx][m.ty] = v;
    board[m.fx][m.fy] &= 0xFF00;
    if (Type(v) == 1) {
      if (m.ty == 7) board[m.tx][m.ty] = 5 | (1 << 8);
      if (m.tx == epX && m.ty == epY) board[m.tx][m.ty - 1] &= 0xFF00;
    }
    epX = -1;
    epY = -1;
    if (Type(v) == 1 && m.fy == 1 && m.ty == 3) {
      epX = m.fx;
      epY = 2;
    }
    if (Type(v) == 6) {
      if (m.fx == 4 && m.fy == 0) {
        if (m.tx == 6 && m.ty == 0) {
          board[5][0] = board[7][0];
          board[7][0] &= 0xFF00;
        }
        if (m.tx == 2 && m.ty == 0) {
          board[3][0] = board[0][0];
          board[0][0] &= 0xFF00;
        }
      }
      ownLong = false;
      ownShort = false;
    }
    if (m.tx == 0 && m.ty == 7) oppLong = false;
    if (m.tx == 7 && m.ty == 7) oppShort = false;
    if (Type(v) == 2) {
      if (m.fx == 0 && m.fy == 0) ownLong = false;
      if (m.fx == 7 && m.fy == 0) ownShort = false;
    }
  }

  void Add(int fx, int fy, int tx, int ty) {
    moves.push_back({fx, fy, tx, ty, Type(board[tx][ty]) != 0});
  }
  bool Allowed(int x, int y) const {
    return In(x, y) && (Type(board[x][y]) == 0 || Colour(board[x][y]) == 0);
  }
  void Slide(int x, int y, int dx, int dy) {
    int tx = x + dx, ty = y + dy;
    while (In(tx, ty)) {
      if (Type(board[tx][ty]) == 0) {
        Add(x, y, tx, ty);
      } else {
        if (Colour(board[tx][ty]) == 0) Add(x, y, tx, ty);
        break;
      }
      tx += dx;
      ty += dy;
    }
  }

  void GeneratePseudo() {
    moves.clear();
    static const int knight[8][2] = {{-2, 1},  {2, 1},  {-1, 2},  {1, 2},
                                     {-1, -2}, {1, -2}, {-2, -1}, {2, -1}};
    static const int king[8][2] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0},
                                   {1, 0},   {-1, 1}, {0, 1},  {1, 1}};
    static const int diag[4][2] = {{1, 1}, {1, -1}, {-1, -1}, {-1, 1}};
    static const int line[4][2] = {{0, 1}, {0, -1}, {1, 0}, {-1, 0}};
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) {
        const std::uint16_t v = board[x][y];
        if (Type(v) == 0 || Colour(v) != 1) continue;
        switch (Type(v)) {
          case 1:
            if (y == 1 && Type(board[x][2]) == 0 && Type(board[x][3]) == 0) Add(x, y, x, 3);
            if (y < 7 && Type(board[x][y + 1]) == 0) Add(x, y, x, y + 1);
            for (int dx = -1; dx <= 1; dx += 2) {
              const int tx = x + dx, ty = y + 1;
              if (!In(tx, ty)) continue;
              const bool enemy = Type(board[tx][ty]) != 0 && Colour(board[tx][ty]) == 0;
              if (enemy || (tx == epX && ty == epY)) Add(x, y, tx, ty);
            }
            break;
          case 2:
            for (auto& d : line) Slide(x, y, d[0], d[1]);
            break;
          case 3:
            for (auto& d : knight)
              if (Allowed(x + d[0], y + d[1])) Add(x, y, x + d[0], y + d[1]);
            break;
          case 4:
            for (auto& d : diag) Slide(x, y, d[0], d[1]);
            break;
          case 5:
            for (auto& d : diag) Slide(x, y, d[0], d[1]);
            for (auto& d : line) Slide(x, y, d[0], d[1]);
            break;
          case 6:
            for (auto& d : king)
              if (Allowed(x + d[0], y + d[1])) Add(x, y, x + d[0], y + d[1]);
            if (x == 4 && y == 0) {
              if (ownShort && Type(board[5][0]) == 0 && Type(board[6][0]) == 0 &&
                  board[7][0] == (2 | (1 << 8)))
                Add(4, 0, 6, 0);
              if (ownLong && Type(board[1][0]) == 0 && Type(board[2][0]) == 0 &&
                  Type(board[3][0]) == 0 && board[0][0] == (2 | (1 << 8)))
                Add(4, 0, 2, 0);
            }
            break;
        }
      }
  }

  bool InCheck() {
    const std::vector<Move> keep = moves;
    Chess copy = *this;
    copy.Flip();
    copy.GeneratePseudo();
    bool check = false;
    for (const Move& m : copy.moves)
      if (Type(copy.board[m.tx][m.ty]) == 6) check = true;
    moves = keep;
    return check;
  }

  void RemoveIllegal() {
    const Chess saved = *this;
    const std::vector<Move> list = moves;
    const bool check = InCheck();
    std::vector<Move> kept;
    for (const Move& m : list) {
      const std::uint16_t v = board[m.fx][m.fy];
      Apply(m);
      const bool king = Type(v) == 6 && m.fx == 4 && m.fy == 0 && m.ty == 0;
      const bool shortCastle = king && m.tx == 6;
      const bool longCastle = king && m.tx == 2;
      Flip();
      GeneratePseudo();
      bool illegal = (shortCastle || longCastle) && check;
      for (const Move& reply : moves) {
        if (Type(board[reply.tx][reply.ty]) == 6) illegal = true;
        if (longCastle && reply.ty == 7 && reply.tx >= 1 && reply.tx <= 3) illegal = true;
        if (shortCastle && reply.ty == 7 && (reply.tx == 5 || reply.tx == 6)) illegal = true;
      }
      if (!illegal) kept.push_back(m);
      *this = saved;
    }
    moves = kept;
  }

  void GenerateLegal() {
    GeneratePseudo();
    RemoveIllegal();
  }

  int SideScore() const {
    static const int center[8] = {0, 1, 2, 3, 3, 2, 1, 0};
    static const int pawnRank[8] = {0, 0, 0, 2, 4, 8, 30, 0};
    static const int pawnFile[8] = {0, 0, 2, 5, 6, 2, 0, 0};
    int s = 0;
    for (int f = 0; f < 8; ++f)
      for (int r = 0; r < 8; ++r) {
        const std::uint16_t v = board[f][r];
        if (Type(v) == 0 || Colour(v) != 1) continue;
        switch (Type(v)) {
          case 1:
            s += 100 + pawnFile[f] * (r + 2) + pawnRank[r];
            if (board[f][0] == (2 | (1 << 8))) s += 16;
            break;
          case 2:
            s += 500 + 2 * (center[f] + center[r]);
            break;
          case 3:
          case 4:
            s += 300 + 2 * (center[f] + center[r]);
            break;
          case 5:
            s += 900 + 2 * (center[f] + center[r]);
            break;
          case 6:
            s += 10000;
            if (f == 6 && r == 0) s += 12;
            if (f == 2 && r == 0) s += 32;
            break;
        }
      }
    return s;
  }

  int OpponentScore() {
    Flip();
    const int s = SideScore();
    Flip();
    return s;
  }

  int Evaluate() { return SideScore() - OpponentScore(); }

  int Search(int depth) {
    if (depth == 0) return Evaluate();
    const Chess temp = *this;
    GenerateLegal();
    const std::vector<Move> list = moves;
    int best = -10000;
    for (const Move& m : list) {
      Apply(m);
      const int v = SearchFlipped(depth - 1);
      if (v > best) best = v;
      const std::vector<Move> keep = moves;
      *this = temp;
      moves = keep;
    }
    return best;
  }

  int SearchFlipped(int depth) {
    Flip();
    const int v = Search(depth);
    Flip();
    return -v;
  }

  // The score of every legal root move, in generation order.
  std::vector<int> RootScores() {
    const Chess temp = *this;
    GenerateLegal();
    const std::vector<Move> list = moves;
    std::vector<int> scores;
    for (const Move& m : list) {
      Apply(m);
      scores.push_back(SearchFlipped(2));
      *this = temp;
    }
    moves = list;
    return scores;
  }

  std::uint64_t Perft(int depth) {
    if (depth == 0) return 1;
    const Chess temp = *this;
    GenerateLegal();
    const std::vector<Move> list = moves;
    std::uint64_t n = 0;
    for (const Move& m : list) {
      Apply(m);
      Flip();
      n += Perft(depth - 1);
      *this = temp;
    }
    return n;
  }
};

}  // namespace plain_chess
