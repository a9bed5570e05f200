#pragma once

#include <memory>

#include "program/AppManager.h"

namespace app {

// The program's application object prepared as for a start (user
// interface, skin, key bindings, entities) but with no message loop, for
// tools and measurements that drive the program themselves. It is the
// global application while it lives and is taken down in order at the end.
class TPreparedApp {
 public:
  TPreparedApp();
  ~TPreparedApp();
  TPreparedApp(const TPreparedApp&) = delete;
  TPreparedApp& operator=(const TPreparedApp&) = delete;

  ui::TUIManager& UI() { return *application_->UI(); }
  TEntityManager& Entities() { return *application_->EntityManager(); }

 private:
  std::unique_ptr<TAppManager> application_;
};

}  // namespace app
