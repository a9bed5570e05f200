#include "tools/skin/Render.h"

#include <cstdlib>
#include <memory>
#include <string>

#include "controls/KestWnd.h"
#include "controls/Skins.h"
#include "platform/Snapshot.h"
#include "program/PreparedApp.h"
#include "skin/Limits.h"
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
  // The picture shows what the program shows; a skin past its budget shows
  // its later images empty.
  controls::TSkin& skin = opened ? application.UI().ExtSkin() : application.UI().IntSkin();
  if (skin.ResManager().BudgetReached()) {
    return Fail(kDamaged, pack + ": the skin's image limit was reached (" +
                              std::to_string(skin::limits::kMaxSkinPixels) + " decoded pixels or " +
                              std::to_string(skin::limits::kMaxSkinCells) +
                              " cells); later images are empty");
  }
  return kDone;
}

}  // namespace skintool
