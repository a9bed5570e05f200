#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "app/Entities.h"
#include "program/GamesFwd.h"

namespace app {

// "Application.Level" (0..2): how strong the computer plays in both games,
// for a slider or a command; and "Application.LevelName", the level's
// caption ("Level.0" "Beginner", "Level.1" "Club", "Level.2" "Strong" in
// English) for a text beside it. Level 0 is the original search.
class TLevel {
 public:
  static constexpr const char* kEntityName = "Application.Level";
  static constexpr const char* kNameEntityName = "Application.LevelName";

  using TCaptionOf = std::function<std::string(std::string_view name)>;

  TLevel(TEntityManager& bus, chess::TChessGame& chess, checkers::TCheckersGame& checkers,
         TCaptionOf captionOf);
  ~TLevel();
  TLevel(const TLevel&) = delete;
  TLevel& operator=(const TLevel&) = delete;

  int Value() const { return static_cast<int>(entity_->Value); }

 private:
  // A control moved the value, or the command ran: the value is clamped into
  // range and handed to both games.
  void Apply(TEntityHolder& sender);

  TEntityManager* bus_;
  chess::TChessGame* chess_;
  checkers::TCheckersGame* checkers_;
  TCaptionOf captionOf_;
  std::unique_ptr<TBasicEntity> entity_;
  std::unique_ptr<TStringEntity> name_;
};

}  // namespace app
