#pragma once

#include <memory>

// The one way code survives an object being destroyed inside a call it
// made: the object owns a TLifetime, the caller takes a TLifeWatch before it
// calls out (a hook, a callback, an entity command) and asks Alive() before
// it touches the object again. Windows, timers and skinned controls all use
// it, so a skin reload from inside a click handler is safe everywhere.
namespace platform {

class TLifeWatch {
 public:
  TLifeWatch() = default;
  // False once the watched object is gone (and for a default watch).
  bool Alive() const { return !token_.expired(); }

 private:
  friend class TLifetime;
  explicit TLifeWatch(std::weak_ptr<const char> token) : token_(std::move(token)) {}
  std::weak_ptr<const char> token_;
};

class TLifetime {
 public:
  TLifetime() : token_(std::make_shared<const char>(0)) {}
  TLifetime(const TLifetime&) = delete;
  TLifetime& operator=(const TLifetime&) = delete;
  TLifeWatch Watch() const { return TLifeWatch(token_); }

 private:
  std::shared_ptr<const char> token_;
};

}  // namespace platform
