#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

// The entity bus: named commands and values through which the parts of the
// program talk. Owners register entities under dotted names; consumers hold
// the name's holder, execute commands by name and subscribe to changes.
// Everything runs on the GUI thread; callbacks may re-enter the manager.
namespace app {

class TEntityHolder;

// A (function, object) pair called with the holder concerned. Two callbacks
// are equal only when both the function and the object are the same.
class TCallback {
 public:
  using TFunction = void (*)(void* object, TEntityHolder& sender);

  constexpr TCallback() = default;
  constexpr TCallback(TFunction function, void* object) : function_(function), object_(object) {}

  constexpr bool IsAssigned() const { return function_ != nullptr; }
  // Calls the function; an unassigned callback does nothing.
  void operator()(TEntityHolder& sender) const {
    if (function_) function_(object_, sender);
  }
  void* Object() const { return object_; }

  friend constexpr bool operator==(const TCallback&, const TCallback&) = default;

 private:
  TFunction function_ = nullptr;
  void* object_ = nullptr;
};

namespace detail {
template <class TClass, auto Method>
void CallMember(void* object, TEntityHolder& sender) {
  (static_cast<TClass*>(object)->*Method)(sender);
}
}  // namespace detail

// Binds a member function taking (TEntityHolder&) to an object:
//   MakeCallback<&TChessGame::OnMove>(this)
template <auto Method, class TClass>
TCallback MakeCallback(TClass* object) {
  static_assert(std::is_invocable_v<decltype(Method), TClass*, TEntityHolder&>,
                "the method must take (TEntityHolder&)");
  return TCallback(&detail::CallMember<TClass, Method>, object);
}

// Base of every entity kind. The bus never owns entities: whoever registers
// one keeps it alive until it has unregistered it.
class TEntity {
 public:
  TEntity() = default;
  explicit TEntity(TCallback ownerCallback) : OwnerCallback(ownerCallback) {}
  TEntity(const TEntity&) = delete;
  TEntity& operator=(const TEntity&) = delete;
  // A destroyed entity that is still bound detaches itself from its holder,
  // so the holder never points at a freed entity.
  virtual ~TEntity();

  bool Enabled = true;
  // Called by TEntityHolder::NotifyOwner when a consumer changed the state.
  TCallback OwnerCallback;
  // The holder the entity is bound to; set by RegisterEntity.
  TEntityHolder* Holder = nullptr;
};

// A command and/or a bounded 64-bit value.
class TBasicEntity : public TEntity {
 public:
  TBasicEntity(std::int64_t min, std::int64_t value, std::int64_t max, TCallback onExecute = {})
      : TEntity(onExecute), Min(min), Value(value), Max(max), OnExecute(onExecute) {}

  std::int64_t Min;
  std::int64_t Value;
  std::int64_t Max;
  TCallback OnExecute;
};

// A string value and/or a command with an argument.
class TStringEntity : public TEntity {
 public:
  explicit TStringEntity(std::string value = {}, TCallback onExecute = {})
      : TEntity(onExecute), Value(std::move(value)), OnExecute(onExecute) {}

  std::string Value;
  TCallback OnExecute;
};

// A list of strings with a selected index (tabs, pages, list boxes).
class TStringListEntity : public TEntity {
 public:
  explicit TStringListEntity(TCallback ownerCallback = {}) : TEntity(ownerCallback) {}

  std::int32_t ItemIndex = 0;
  std::vector<std::string> Items;
};

// The binding point of one name: its entity (if any) and its consumers.
// A holder lives as long as its manager, so references to it stay valid.
class TEntityHolder {
 public:
  explicit TEntityHolder(std::string name) : Name(std::move(name)) {}
  TEntityHolder(const TEntityHolder&) = delete;
  TEntityHolder& operator=(const TEntityHolder&) = delete;

  // Appends the callback (duplicates stay), then calls OnClientAdded.
  void AddClient(TCallback callback);
  // Clears every equal entry, then calls OnClientRemoved. Cleared entries
  // are dropped once no notification pass runs over the list, so clients
  // that come and go (controls of reloaded skins) do not make it grow.
  void RemoveClient(TCallback callback);
  // Calls the clients present when the pass began, in order; entries
  // cleared during the pass are skipped.
  void NotifyClients();
  void DropRemovedClients();
  // Tells the bound entity's owner that a consumer changed its state.
  void NotifyOwner();

  // Consumers' change handlers; removed entries are unassigned, not erased.
  std::vector<TCallback> Clients;
  // Notification passes over Clients running now (they may nest).
  int NotifyDepth = 0;
  // The name as first used, without argument.
  const std::string Name;
  // The bound entity; not owned.
  TEntity* Entity = nullptr;
  TCallback OnClientAdded;
  TCallback OnClientRemoved;
};

// One client callback on one holder for as long as this object lives: a
// consumer that follows a name from its loading to its destruction keeps
// one as a member. Subscribing again to the same holder changes nothing.
class TSubscription {
 public:
  TSubscription() = default;
  ~TSubscription() { Cancel(); }
  TSubscription(const TSubscription&) = delete;
  TSubscription& operator=(const TSubscription&) = delete;

  // Adds the callback to the holder, after removing it from another one.
  void Subscribe(TEntityHolder& holder, TCallback callback);
  void Cancel();
  // The holder subscribed to, or null.
  TEntityHolder* Holder() const { return holder_; }

 private:
  TEntityHolder* holder_ = nullptr;
  TCallback callback_;
};

// The text before the first "(" (the whole command when there is none).
std::string SplitName(std::string_view command);
// The text after the first "(" without the command's last character (the
// closing parenthesis is assumed); empty when there is no "(".
std::string SplitArgument(std::string_view command);

class TEntityManager {
 public:
  TEntityManager() = default;
  TEntityManager(const TEntityManager&) = delete;
  TEntityManager& operator=(const TEntityManager&) = delete;
  // Logs the holder count and every entity still bound, then frees the
  // holders; the queue is discarded.
  ~TEntityManager();

  // The holder of the command's name, created on first use.
  TEntityHolder& GetHolder(std::string_view name);
  // Binds the entity (or none) to the name and notifies the clients. A
  // previously bound entity is replaced, not freed.
  TEntityHolder& RegisterEntity(std::string_view name, TEntity* entity);
  // Unbinds the entity of the name (notifying the clients); the caller frees
  // it. Nothing happens when no entity is bound.
  void UnregisterEntity(std::string_view name);
  // Unbinds as above, then frees the owned entity.
  template <class TOwned>
  void UnregisterEntity(std::string_view name, std::unique_ptr<TOwned>& owned) {
    UnregisterEntity(name);
    owned.reset();
  }

  // True while an entity is bound to the name (holders are not created).
  bool IsRegistered(std::string_view name);

  void Notify(std::string_view name);
  void Execute(std::string_view command);

  std::int64_t GetValue(std::string_view name);
  void SetValue(std::string_view name, std::int64_t value);
  std::string GetString(std::string_view name);
  void SetString(std::string_view name, std::string text);

  void AddClient(std::string_view name, TCallback callback);
  void RemoveClient(std::string_view name, TCallback callback);

  void PushToQueue(std::string_view command);
  std::string PopFromQueue();
  // Runs queued commands until the queue is empty, including those pushed
  // while it drains.
  void ExecuteQueue();

  std::size_t HolderCount() const { return holders_.size(); }
  // The names an entity is bound to now, in the order their holders were
  // made.
  std::vector<std::string> RegisteredNames() const;
  std::size_t QueueLength() const { return queue_.size(); }

 private:
  TEntityHolder* FindHolder(std::string_view name);
  template <class TKind>
  TKind* BoundEntity(std::string_view name) {
    return dynamic_cast<TKind*>(GetHolder(name).Entity);
  }

  std::vector<std::unique_ptr<TEntityHolder>> holders_;
  std::vector<std::string> queue_;
};

}  // namespace app
