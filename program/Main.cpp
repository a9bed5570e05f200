#include <cstdio>
#include <exception>
#include <optional>
#include <string>

#include "app/CommandLine.h"
#include "app/MultiLog.h"
#include "program/AppManager.h"

namespace {

constexpr app::TCommandLineHelp kHelp{
    "ludex", "usage: ludex [--help | --version]\n",
    "Chess and checkers against the computer, in a skinned window.\n"
    "You play White with the mouse; the computer answers as Black.\n"
    "\n"
    "  --help     print this help and exit\n"
    "  --version  print the version and exit\n"
    "\n"
    "Keys: Esc quits, End minimises, A keeps the window on top, F1 opens the help\n"
    "page, F11 reloads the skin, F12 chooses another skin. See ludex(6).\n"};

int RunProgram() {
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

}  // namespace

int main(int argc, char** argv) {
  // The options are answered before the log or the window system starts.
  if (const std::optional<int> status = app::AnswerOptions(argc, argv, kHelp)) return *status;
  if (argc > 1) return app::UsageError(kHelp, "unexpected argument '" + std::string(argv[1]) + "'");
  return RunProgram();
}
