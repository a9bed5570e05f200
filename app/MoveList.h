#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/Entities.h"

namespace app {

// The moves of a game published on the bus as a numbered list: one item per
// turn of the human ("3. E2-E4 D7-D5", or "3. E2-E4" while the turn has no
// answer), the last item selected. A list box linked to the name shows the
// game; choosing an item there changes nothing in it.
class TMoveList {
 public:
  // Registers the list under the name; bus may be null (no bus, no list).
  TMoveList(TEntityManager* bus, std::string name);
  ~TMoveList();
  TMoveList(const TMoveList&) = delete;
  TMoveList& operator=(const TMoveList&) = delete;

  void Clear();
  // Starts a turn with the human's move.
  void AddMove(std::string move);
  // The computer's answer ends the last turn.
  void AddAnswer(std::string answer);
  void DropLastTurn();
  std::size_t Turns() const { return turns_.size(); }
  const std::vector<std::string>& Items() const { return entity_->Items; }

 private:
  void Publish();

  TEntityManager* bus_;
  std::string name_;
  std::unique_ptr<TStringListEntity> entity_;
  // The human's move and the answer (empty while there is none).
  std::vector<std::pair<std::string, std::string>> turns_;
};

}  // namespace app
