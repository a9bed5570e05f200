#include "app/AppCore.h"
#include "app/MultiLog.h"

namespace {

// The program's application class.
class TLudexApplication : public app::TAppCore {
 public:
  std::string GetTitle() const override { return "Ludex"; }
};

}  // namespace

int main() {
  app::TLogModule log;
  {
    auto application = app::CreateApplication<TLudexApplication>();
    app::Application = application.get();
    application->Run();
    app::Application = nullptr;
  }
  return 0;
}
