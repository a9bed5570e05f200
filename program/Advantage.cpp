#include "program/Advantage.h"

#include "app/TextUtil.h"
#include "games/checkers/CheckersGame.h"
#include "games/chess/ChessGame.h"

namespace app {

namespace {

constexpr int kEven = 50;

// Rounded percentage of white in white + black; even when both are 0.
int Share(int white, int black) {
  const int total = white + black;
  return total == 0 ? kEven : (200 * white + total) / (2 * total);
}

int ChessValue(std::uint8_t type) {
  switch (type) {
    case chess::kPawn:
      return 1;
    case chess::kKnight:
    case chess::kBishop:
      return 3;
    case chess::kRook:
      return 5;
    case chess::kQueen:
      return 9;
    default:
      return 0;
  }
}

}  // namespace

int ChessAdvantage(const chess::TChessPosition& position) {
  // The board entity keeps White as the side to move.
  int white = 0;
  int black = 0;
  for (const std::uint16_t square : position.Squares) {
    const int value = ChessValue(chess::PieceType(square));
    (chess::PieceColour(square) == chess::kSideToMove ? white : black) += value;
  }
  return Share(white, black);
}

int CheckersAdvantage(const checkers::TCheckersPosition& position) {
  // White is the side to move there too: its men and kings are the "own" ones.
  int white = 0;
  int black = 0;
  for (const std::int8_t square : position.Squares) {
    if (square == checkers::kOwnMan) white += 1;
    if (square == checkers::kOwnKing) white += 3;
    if (square == checkers::kOtherMan) black += 1;
    if (square == checkers::kOtherKing) black += 3;
  }
  return Share(white, black);
}

TAdvantage::TAdvantage(TEntityManager& bus, const chess::TChessBoardEntity& chess,
                       const checkers::TCheckersBoardEntity& checkers)
    : bus_(&bus),
      chess_(&chess),
      checkers_(&checkers),
      // A control that moves the value (a slider) is answered with the
      // count again: the balance is read, not set.
      entity_(
          std::make_unique<TBasicEntity>(0, kEven, 100, MakeCallback<&TAdvantage::Update>(this))) {
  bus.RegisterEntity(kEntityName, entity_.get());
  const TCallback update = MakeCallback<&TAdvantage::Update>(this);
  chessNotices_.Subscribe(bus.GetHolder(chess::TChessGame::kEntityName), update);
  checkersNotices_.Subscribe(bus.GetHolder(checkers::TCheckersGame::kEntityName), update);
  pageNotices_.Subscribe(bus.GetHolder("Application.Game"), update);
}

TAdvantage::~TAdvantage() {
  chessNotices_.Cancel();
  checkersNotices_.Cancel();
  pageNotices_.Cancel();
  bus_->UnregisterEntity(kEntityName, entity_);
}

std::optional<TGameKind> ShownGame(TEntityManager& bus) {
  TEntityHolder& pages = bus.GetHolder("Application.Game");
  const auto* list = dynamic_cast<const TStringListEntity*>(pages.Entity);
  if (!list || list->ItemIndex < 0 ||
      static_cast<std::size_t>(list->ItemIndex) >= list->Items.size())
    return std::nullopt;
  const bool checkers =
      SameText(list->Items[static_cast<std::size_t>(list->ItemIndex)], "Game.Checkers");
  return checkers ? TGameKind::Checkers : TGameKind::Chess;
}

bool CheckersShown(TEntityManager& bus) { return ShownGame(bus) == TGameKind::Checkers; }

void TAdvantage::Update(TEntityHolder&) {
  const int value = CheckersShown(*bus_) ? CheckersAdvantage(checkers_->Position)
                                         : ChessAdvantage(chess_->Position);
  entity_->Value = value;
  bus_->Notify(kEntityName);
}

}  // namespace app
