#include "games/chess/ChessEngine.h"

#include <algorithm>
#include <string>

#include "app/MultiLog.h"
#include "games/chess/ChessEngineBoard.h"
#include "games/chess/ChessEngineSearch.h"
#include "games/chess/ChessThinker.h"

namespace chess {

using engine::TMove;
using engine::TPosition;

struct TEngineBoard::TState {
  TPosition Position;
  // The keys of the positions before this one, oldest first.
  std::vector<std::uint64_t> Earlier;
  int FullMove = 1;
};

struct TEngineBoardAccess {
  static TEngineBoard::TState& State(const TEngineBoard& board) { return *board.state_; }
};

namespace {

int MirrorSquare(int square) { return square ^ 56; }

constexpr std::string_view kPromotionLetters = "  rnbq";

}  // namespace

TEngineBoard::TEngineBoard(TRules rules)
    : state_(std::make_unique<TState>(TState{TPosition::Start(rules), {}, 1})) {}

TEngineBoard::~TEngineBoard() = default;

TEngineBoard::TEngineBoard(const TEngineBoard& other)
    : state_(std::make_unique<TState>(*other.state_)) {}

TEngineBoard& TEngineBoard::operator=(const TEngineBoard& other) {
  if (this != &other) *state_ = *other.state_;
  return *this;
}

std::optional<TEngineBoard> TEngineBoard::FromFen(std::string_view fen, TRules rules,
                                                  std::string* error) {
  std::string reason;
  int fullMove = 1;
  std::optional<TPosition> position = engine::ParseFen(fen, rules, reason, fullMove);
  if (!position) {
    if (error) *error = reason;
    return std::nullopt;
  }
  TEngineBoard board(rules);
  board.state_->Position = *position;
  board.state_->FullMove = fullMove;
  return board;
}

TEngineBoard TEngineBoard::FromPosition(const TChessPosition& position, TRules rules) {
  TPosition board(rules);
  for (int square = 0; square < 64; ++square) {
    const std::uint16_t value = position.Squares[square];
    const int type = PieceType(value);
    if (type == kEmpty || type > kKing || PieceColour(value) > kSideToMove) continue;
    board.Put(square, PieceColour(value) == kSideToMove ? engine::kWhite : engine::kBlack, type);
  }
  board.SetCastling((position.OwnShortCastle ? TPosition::kWhiteShort : 0) |
                    (position.OwnLongCastle ? TPosition::kWhiteLong : 0) |
                    (position.OppShortCastle ? TPosition::kBlackShort : 0) |
                    (position.OppLongCastle ? TPosition::kBlackLong : 0));
  if (rules == TRules::Standard) board.DropImpossibleCastling();
  // Only the square a black double step has just left behind.
  const platform::TPoint passed = position.EnPassant;
  if (passed.X >= 0 && passed.X < 8 && passed.Y == 5) {
    const int square = TChessPosition::Index(passed.X, 5);
    const engine::TBitboard occupied = board.Occupied();
    if (!(occupied & engine::Bit(square)) && !(occupied & engine::Bit(square + 8)) &&
        (board.Pieces(engine::kBlack, kPawn) & engine::Bit(square - 8)))
      board.SetEnPassant(square);
  }
  TEngineBoard result(rules);
  result.state_->Position = board;
  return result;
}

std::string TEngineBoard::ToFen() const {
  return engine::WriteFen(state_->Position, state_->FullMove);
}

TChessPosition TEngineBoard::ToPosition() const {
  const TPosition& board = state_->Position;
  const bool white = board.SideToMove() == engine::kWhite;
  TChessPosition position;
  position.Squares.fill(0);
  for (int square = 0; square < 64; ++square) {
    if (!(board.Occupied() & engine::Bit(square))) continue;
    const std::uint8_t colour =
        board.ColourAt(square) == board.SideToMove() ? kSideToMove : kOtherSide;
    position.Squares[white ? square : MirrorSquare(square)] =
        MakePiece(static_cast<std::uint8_t>(board.TypeAt(square)), colour);
  }
  const int rights = board.Castling();
  const bool whiteShort = rights & TPosition::kWhiteShort;
  const bool whiteLong = rights & TPosition::kWhiteLong;
  const bool blackShort = rights & TPosition::kBlackShort;
  const bool blackLong = rights & TPosition::kBlackLong;
  position.OwnShortCastle = white ? whiteShort : blackShort;
  position.OwnLongCastle = white ? whiteLong : blackLong;
  position.OppShortCastle = white ? blackShort : whiteShort;
  position.OppLongCastle = white ? blackLong : whiteLong;
  position.EnPassant = {-1, -1};
  if (const int passed = board.EnPassant(); passed >= 0) {
    const int square = white ? passed : MirrorSquare(passed);
    position.EnPassant = {engine::FileOf(square), engine::RankOf(square)};
  }
  return position;
}

TRules TEngineBoard::Rules() const { return state_->Position.Rules(); }

bool TEngineBoard::WhiteToMove() const { return state_->Position.SideToMove() == engine::kWhite; }

bool TEngineBoard::InCheck() const { return state_->Position.InCheck(); }

std::vector<TEngineMove> TEngineBoard::LegalMoves() const {
  engine::TMoveList list;
  state_->Position.Generate(list, engine::kAllMoves);
  std::vector<TEngineMove> moves;
  TPosition after;
  for (int i = 0; i < list.Count; ++i)
    if (state_->Position.Play(list.Moves[i], after))
      moves.push_back(engine::ToEngineMove(list.Moves[i]));
  return moves;
}

bool TEngineBoard::IsLegal(TEngineMove move) const {
  const TMove packed = engine::FromEngineMove(move);
  TPosition after;
  return state_->Position.IsPseudoLegal(packed) && state_->Position.Play(packed, after);
}

bool TEngineBoard::Play(TEngineMove move) {
  const TMove packed = engine::FromEngineMove(move);
  TPosition after;
  if (!state_->Position.IsPseudoLegal(packed) || !state_->Position.Play(packed, after))
    return false;
  state_->Earlier.push_back(state_->Position.Hash());
  if (!WhiteToMove()) ++state_->FullMove;
  state_->Position = after;
  return true;
}

std::optional<TEngineMove> TEngineBoard::ParseUci(std::string_view text) const {
  if (text.size() != 4 && text.size() != 5) return std::nullopt;
  auto square = [&](std::size_t at) {
    const char file = text[at];
    const char rank = text[at + 1];
    return file >= 'a' && file <= 'h' && rank >= '1' && rank <= '8'
               ? (rank - '1') * 8 + (file - 'a')
               : -1;
  };
  const int from = square(0);
  const int to = square(2);
  if (from < 0 || to < 0) return std::nullopt;
  TEngineMove move{static_cast<std::uint8_t>(from), static_cast<std::uint8_t>(to), kEmpty};
  if (text.size() == 5) {
    const std::size_t type = kPromotionLetters.find(static_cast<char>(text[4] | 0x20));
    if (type == std::string_view::npos || type < kRook) return std::nullopt;
    move.Promotion = static_cast<std::uint8_t>(type);
  } else if (state_->Position.TypeAt(from) == kPawn &&
             (engine::RankOf(to) == 0 || engine::RankOf(to) == 7)) {
    // A promotion written without its piece makes a queen.
    move.Promotion = kQueen;
  }
  if (!IsLegal(move)) return std::nullopt;
  return move;
}

std::string TEngineBoard::ToUci(TEngineMove move) {
  std::string text = engine::MoveText(engine::PackMove(move.From & 63, move.To & 63));
  if (move.Promotion >= kRook && move.Promotion <= kQueen)
    text += kPromotionLetters[move.Promotion];
  return text;
}

TChessMove TEngineBoard::ToPositionMove(TEngineMove move) const {
  const bool white = WhiteToMove();
  const int from = white ? move.From : MirrorSquare(move.From);
  const int to = white ? move.To : MirrorSquare(move.To);
  const bool capture = (state_->Position.Occupied() & engine::Bit(move.To & 63)) != 0;
  return {engine::FileOf(from), engine::RankOf(from), engine::FileOf(to), engine::RankOf(to),
          capture};
}

std::uint64_t TEngineBoard::Hash() const { return state_->Position.Hash(); }

int TEngineBoard::HalfMoveClock() const { return state_->Position.HalfMoveClock(); }

int TEngineBoard::Repetitions() const {
  const std::vector<std::uint64_t>& earlier = state_->Earlier;
  return 1 + static_cast<int>(std::count(earlier.begin(), earlier.end(), Hash()));
}

struct TChessEngine::TImpl {
  engine::TSearcher Searcher;
};

TChessEngine::TChessEngine() : impl_(std::make_unique<TImpl>()) {}

TChessEngine::~TChessEngine() = default;

void TChessEngine::NewGame() { impl_->Searcher.Clear(); }

TSearchResult TChessEngine::Search(const TEngineBoard& board, const TSearchLimits& limits) {
  const auto& state = TEngineBoardAccess::State(board);
  return impl_->Searcher.Run(state.Position, state.Earlier, limits);
}

TSearchLimits LevelLimits(int level) {
  TSearchLimits limits;
  if (level >= kHighestLevel) {
    limits.SoftTime = std::chrono::milliseconds(110);
    limits.HardTime = std::chrono::milliseconds(170);
    limits.VarietyMargin = 6;
  } else {
    limits.SoftTime = std::chrono::milliseconds(20);
    limits.HardTime = std::chrono::milliseconds(30);
    limits.VarietyMargin = 15;
  }
  return limits;
}

bool ChooseLevelMove(TChessEngine& engine, const TChessPosition& position,
                     std::span<const TChessPosition> earlier, int level, TChessMove& move) {
  if (level <= kLowestLevel) {
    TChessThinker thinker;
    thinker.SetPosition(position);
    thinker.GetBestWhiteMove(move);
    return !thinker.Moves.empty();
  }
  level = std::min(level, kHighestLevel);
  TEngineBoard board = TEngineBoard::FromPosition(position, TRules::Program);
  std::vector<std::uint64_t>& keys = TEngineBoardAccess::State(board).Earlier;
  for (const TChessPosition& before : earlier)
    keys.push_back(TEngineBoard::FromPosition(before, TRules::Program).Hash());
  const TSearchResult result = engine.Search(board, LevelLimits(level));
  if (!result.Best) return false;
  move = board.ToPositionMove(*result.Best);
  std::string line = "TChessEngine.ChooseLevelMove:Level=" + std::to_string(level) +
                     " Depth=" + std::to_string(result.Info.Depth) +
                     " Score=" + std::to_string(result.Info.Score);
  if (result.Info.MateIn) line += " Mate=" + std::to_string(result.Info.MateIn);
  app::Log(line);
  return true;
}

}  // namespace chess
