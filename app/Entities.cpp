#include "app/Entities.h"

#include <utility>

#include "app/MultiLog.h"
#include "app/TextUtil.h"

namespace app {

TEntity::~TEntity() {
  if (Holder && Holder->Entity == this) Holder->Entity = nullptr;
}

void TEntityHolder::AddClient(TCallback callback) {
  Clients.push_back(callback);
  OnClientAdded(*this);
}

void TEntityHolder::RemoveClient(TCallback callback) {
  for (TCallback& client : Clients) {
    if (client == callback) client = TCallback();
  }
  DropRemovedClients();
  OnClientRemoved(*this);
}

void TEntityHolder::DropRemovedClients() {
  if (NotifyDepth > 0) return;
  std::erase_if(Clients, [](const TCallback& client) { return !client.IsAssigned(); });
}

void TEntityHolder::NotifyClients() {
  // Index access and a copy per call: clients may add (reallocating) or
  // remove entries while the pass runs; removed ones are dropped after it.
  const std::size_t count = Clients.size();
  struct TPass {
    TEntityHolder& Holder;
    explicit TPass(TEntityHolder& holder) : Holder(holder) { ++Holder.NotifyDepth; }
    ~TPass() {
      --Holder.NotifyDepth;
      Holder.DropRemovedClients();
    }
  } pass(*this);
  for (std::size_t i = 0; i < count && i < Clients.size(); ++i) {
    const TCallback client = Clients[i];
    client(*this);
  }
}

void TEntityHolder::NotifyOwner() {
  if (!Entity) {
    Log("TEntityHolder(" + Name + ").NotifyOwner - !not(Assigned(Entity))");
    return;
  }
  const TCallback owner = Entity->OwnerCallback;
  if (!owner.IsAssigned()) return;
  Log("TEntityHolder(" + Name + ").NotifyOwner");
  owner(*this);
}

std::string SplitName(std::string_view command) {
  return std::string(command.substr(0, command.find('(')));
}

std::string SplitArgument(std::string_view command) {
  const std::size_t open = command.find('(');
  if (open == std::string_view::npos) return {};
  const std::size_t start = open + 1;
  const std::size_t end = command.size() - 1;  // the closing ")" is assumed
  if (end <= start) return {};
  return std::string(command.substr(start, end - start));
}

TEntityManager::~TEntityManager() {
  Log("TEntityManager.Destroy: Entity holders left=" + std::to_string(holders_.size()));
  for (auto& holder : holders_) {
    if (holder->Entity) {
      Log("TEntityManager.Destroy: Not freed entity=" + holder->Name);
      // The entity outlives its holder; it must not reach back into it.
      holder->Entity->Holder = nullptr;
    }
    holder.reset();
  }
}

void TSubscription::Subscribe(TEntityHolder& holder, TCallback callback) {
  if (holder_ == &holder && callback_ == callback) return;
  Cancel();
  holder_ = &holder;
  callback_ = callback;
  holder.AddClient(callback);
}

void TSubscription::Cancel() {
  if (!holder_) return;
  std::exchange(holder_, nullptr)->RemoveClient(callback_);
}

TEntityHolder* TEntityManager::FindHolder(std::string_view name) {
  for (auto& holder : holders_) {
    if (SameText(holder->Name, name)) return holder.get();
  }
  return nullptr;
}

TEntityHolder& TEntityManager::GetHolder(std::string_view name) {
  const std::string bare = SplitName(name);
  if (TEntityHolder* found = FindHolder(bare)) return *found;
  holders_.push_back(std::make_unique<TEntityHolder>(bare));
  return *holders_.back();
}

TEntityHolder& TEntityManager::RegisterEntity(std::string_view name, TEntity* entity) {
  TEntityHolder& holder = GetHolder(name);
  holder.Entity = entity;
  if (entity) entity->Holder = &holder;
  holder.NotifyClients();
  return holder;
}

void TEntityManager::UnregisterEntity(std::string_view name) {
  TEntityHolder& holder = GetHolder(name);
  TEntity* entity = holder.Entity;
  if (!entity) return;
  RegisterEntity(name, nullptr);
  if (entity->Holder == &holder) entity->Holder = nullptr;
}

bool TEntityManager::IsRegistered(std::string_view name) {
  const TEntityHolder* holder = FindHolder(name);
  return holder != nullptr && holder->Entity != nullptr;
}

std::vector<std::string> TEntityManager::RegisteredNames() const {
  std::vector<std::string> names;
  for (const auto& holder : holders_) {
    if (holder->Entity) names.push_back(holder->Name);
  }
  return names;
}

void TEntityManager::Notify(std::string_view name) { GetHolder(name).NotifyClients(); }

void TEntityManager::Execute(std::string_view command) {
  Log("TEntityManager.Execute(" + std::string(command) + ")");
  const std::string name = SplitName(command);
  TEntityHolder& holder = GetHolder(name);
  if (auto* basic = dynamic_cast<TBasicEntity*>(holder.Entity)) {
    basic->OnExecute(holder);
  } else if (auto* text = dynamic_cast<TStringEntity*>(holder.Entity)) {
    text->Value = SplitArgument(command);
    text->OnExecute(holder);
  }
}

std::int64_t TEntityManager::GetValue(std::string_view name) {
  const auto* basic = BoundEntity<TBasicEntity>(name);
  return basic ? basic->Value : 0;
}

void TEntityManager::SetValue(std::string_view name, std::int64_t value) {
  auto* basic = BoundEntity<TBasicEntity>(name);
  if (!basic) return;
  basic->Value = value;
  GetHolder(name).NotifyClients();
}

std::string TEntityManager::GetString(std::string_view name) {
  const auto* text = BoundEntity<TStringEntity>(name);
  return text ? text->Value : std::string();
}

void TEntityManager::SetString(std::string_view name, std::string text) {
  auto* entity = BoundEntity<TStringEntity>(name);
  if (!entity) return;
  entity->Value = std::move(text);
  GetHolder(name).NotifyClients();
}

void TEntityManager::AddClient(std::string_view name, TCallback callback) {
  GetHolder(name).AddClient(callback);
}

void TEntityManager::RemoveClient(std::string_view name, TCallback callback) {
  GetHolder(name).RemoveClient(callback);
}

void TEntityManager::PushToQueue(std::string_view command) {
  Log("TEntityManager.PushToQueue(" + std::string(command) + ")");
  if (!command.empty()) queue_.emplace_back(command);
}

std::string TEntityManager::PopFromQueue() {
  if (queue_.empty()) return {};
  std::string command = std::move(queue_.front());
  queue_.erase(queue_.begin());
  Log("TEntityManager.PopFromQueue=" + command);
  return command;
}

void TEntityManager::ExecuteQueue() {
  for (std::string command = PopFromQueue(); !command.empty(); command = PopFromQueue()) {
    Execute(command);
  }
}

}  // namespace app
