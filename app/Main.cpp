#include <cstdio>
#include <exception>

#include "app/AppCore.h"
#include "app/MultiLog.h"
#include "ui/KeyMgr.h"
#include "ui/LangMgr.h"

namespace {

// Until the skinned UI manager takes over: the key bindings and captions
// are loaded and the "System" hot keys registered, but no skin exists, so
// no window shows and the first tick ends the program.
class TStartupUIManager : public app::TNullUIManager {
 public:
  explicit TStartupUIManager(app::TEntityManager& entityManager) : keyboard_(entityManager) {}

  void LoadKeyBindings(platform::TStream& stream) override { keyboard_.LoadFromStream(&stream); }
  void LoadLanguage(platform::TStream& stream) override {
    language_.Clear();
    language_.LoadFromStream(&stream);
  }

 private:
  ui::TLanguageManager language_;
  ui::TKeyboardManager keyboard_;
};

// The program's application class.
class TLudexApplication : public app::TAppCore {
 public:
  std::string GetTitle() const override { return "Ludex"; }

 protected:
  std::unique_ptr<app::TUIManagerBase> NewUIManager(app::TEntityManager& entityManager) override {
    return std::make_unique<TStartupUIManager>(entityManager);
  }
};

}  // namespace

int main() {
  app::TLogModule log;
  try {
    auto application = app::CreateApplication<TLudexApplication>();
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
