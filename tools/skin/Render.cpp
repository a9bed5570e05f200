#include "tools/skin/Render.h"

#include <cstdlib>
#include <memory>

#include "controls/KestWnd.h"
#include "platform/Snapshot.h"
#include "program/PreparedApp.h"
#include "tools/skin/Pack.h"
#include "ui/UI.h"

namespace skintool {

int Render(const std::string& pack, const std::string& name, const std::string& output) {
  // Nothing is shown: the window is painted off the screen.
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  app::TPreparedApp application;
  std::unique_ptr<TOpenPack> opened;
  if (pack != "builtin") {
    opened = std::make_unique<TOpenPack>(pack);
    application.UI().LoadSkin(opened->Pack());
  }
  controls::TSkinWindow* window = application.UI().CreateWindow(name);
  if (!window) return Fail(kDamaged, pack + ": no window \"" + name + "\"");
  const platform::TBitmap picture = platform::GrabWindow(window->Form());
  if (!platform::SaveWindowPng(window->Form(), picture, output)) {
    return Fail(kUsage, output + ": cannot write the picture");
  }
  return kDone;
}

}  // namespace skintool
