#include <cstdio>
#include <exception>

#include "app/MultiLog.h"
#include "program/AppManager.h"

int main() {
  app::TLogModule log;
  try {
    auto application = app::CreateApplication<app::TAppManager>();
    app::Application = application.get();
    application->Run();
    app::Application = nullptr;
  } catch (const std::exception& error) {
    // Failures inside the message loop are handled there; this is one that
    // happened while the program started or stopped.
    app::Application = nullptr;
    app::Log(std::string("main! ") + error.what());
    std::fprintf(stderr, "ludex: %s\n", error.what());
    return 1;
  }
  return 0;
}
