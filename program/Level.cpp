#include "program/Level.h"

#include <algorithm>

#include "games/checkers/CheckersGame.h"
#include "games/chess/ChessGame.h"

namespace app {

TLevel::TLevel(TEntityManager& bus, chess::TChessGame& chess, checkers::TCheckersGame& checkers,
               TCaptionOf captionOf)
    : bus_(&bus),
      chess_(&chess),
      checkers_(&checkers),
      captionOf_(std::move(captionOf)),
      entity_(std::make_unique<TBasicEntity>(chess::kLowestLevel, chess.Level(),
                                             chess::kHighestLevel,
                                             MakeCallback<&TLevel::Apply>(this))),
      // A text shows the name; nothing sets it from outside.
      name_(std::make_unique<TStringEntity>()) {
  bus.RegisterEntity(kEntityName, entity_.get());
  bus.RegisterEntity(kNameEntityName, name_.get());
  Apply(bus.GetHolder(kEntityName));
}

TLevel::~TLevel() {
  bus_->UnregisterEntity(kNameEntityName, name_);
  bus_->UnregisterEntity(kEntityName, entity_);
}

void TLevel::Apply(TEntityHolder&) {
  const int level =
      static_cast<int>(std::clamp<std::int64_t>(entity_->Value, entity_->Min, entity_->Max));
  entity_->Value = level;
  chess_->SetLevel(level);
  checkers_->SetLevel(level);
  name_->Value = captionOf_("Level." + std::to_string(level));
  bus_->Notify(kEntityName);
  bus_->Notify(kNameEntityName);
}

}  // namespace app
