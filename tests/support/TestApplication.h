#pragma once

#include <string>
#include <vector>

#include "app/AppCore.h"

namespace testing_support {

// An application object for tests: it has an entity manager and the least
// UI manager but no platform windows and no message loop, records its alerts
// instead of showing them, and is the program-wide application while it
// lives.
class TTestApplication : public app::TAppCore {
 public:
  TTestApplication() {
    CreateEntityManager();
    CreateUIManager();
    previous_ = app::Application;
    app::Application = this;
  }
  ~TTestApplication() override {
    app::Application = previous_;
    DestroyUIManager();
    DestroyEntityManager();
  }

  std::string GetTitle() const override { return "Ludex"; }
  void Alert(const std::string& text) override { Alerts.push_back(text); }

  app::TEntityManager& Entities() { return *EntityManager(); }

  std::vector<std::string> Alerts;

 private:
  app::TAppCore* previous_ = nullptr;
};

}  // namespace testing_support
