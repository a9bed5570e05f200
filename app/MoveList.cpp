#include "app/MoveList.h"

namespace app {

TMoveList::TMoveList(TEntityManager* bus, std::string name)
    : bus_(bus), name_(std::move(name)), entity_(std::make_unique<TStringListEntity>()) {
  if (bus_) bus_->RegisterEntity(name_, entity_.get());
}

TMoveList::~TMoveList() {
  if (bus_) bus_->UnregisterEntity(name_, entity_);
}

void TMoveList::Clear() {
  turns_.clear();
  Publish();
}

void TMoveList::AddMove(std::string move) {
  turns_.emplace_back(std::move(move), std::string());
  Publish();
}

void TMoveList::AddAnswer(std::string answer) {
  if (turns_.empty()) return;
  turns_.back().second = std::move(answer);
  Publish();
}

void TMoveList::DropLastTurn() {
  if (turns_.empty()) return;
  turns_.pop_back();
  Publish();
}

void TMoveList::Publish() {
  std::vector<std::string> items;
  items.reserve(turns_.size());
  for (std::size_t i = 0; i < turns_.size(); ++i) {
    const auto& [move, answer] = turns_[i];
    items.push_back(std::to_string(i + 1) + ". " + move + (answer.empty() ? "" : " " + answer));
  }
  entity_->Items = std::move(items);
  entity_->ItemIndex = static_cast<std::int32_t>(entity_->Items.size()) - 1;
  if (bus_) bus_->Notify(name_);
}

}  // namespace app
