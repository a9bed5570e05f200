#include "program/PreparedApp.h"

namespace app {

TPreparedApp::TPreparedApp() : application_(CreateApplication<TAppManager>()) {
  Application = application_.get();
  application_->Prepare();
}

TPreparedApp::~TPreparedApp() {
  application_->Finish();
  Application = nullptr;
}

}  // namespace app
