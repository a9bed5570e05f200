#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/Entities.h"
#include "controls/KestCtl.h"
#include "controls/KestWnd.h"
#include "controls/Skins.h"
#include "platform/Bitmap.h"
#include "platform/Bmp.h"
#include "platform/Stream.h"
#include "skin/StreamPack.h"
#include "tests/support/MemoryPack.h"
#include "ui/KeyMgr.h"
#include "ui/LangMgr.h"

// A skin made in memory: its files, the managers a skin needs, and helpers
// to load it and build its windows.
namespace controls_test {

using testing_support::TMemoryPack;

// Records the names of the commands it is bound to, in the order they ran.
struct TCommandRecorder {
  std::vector<std::string> Ran;
  void Run(app::TEntityHolder& sender) { Ran.push_back(sender.Name); }
  app::TCallback Callback() { return app::MakeCallback<&TCommandRecorder::Run>(this); }
};

class SkinFixture : public ::testing::Test {
 protected:
  app::TEntityManager entities;
  ui::TLanguageManager languages;
  ui::TKeyboardManager keys{entities};
  controls::TSkin skin{entities};
  TMemoryPack pack;

  // Menus and captions read these managers, as they read the UI manager's.
  SkinFixture() {
    skin.ResManager().CaptionOf = [this](std::string_view name) {
      return languages.Translate(name);
    };
    skin.ResManager().KeyTextOf = [this](std::string_view section, std::string_view command) {
      return keys.KeyForCommand(section, command);
    };
  }

  // Loads interface.xml (and whatever else is in `pack`).
  void Load(const std::string& xml) {
    pack.Add("interface.xml", xml);
    skin.LoadFromPack(pack);
  }
  // Builds the window; fails the test when the skin has none.
  std::unique_ptr<controls::TSkinWindow> Build(const std::string& id) {
    std::unique_ptr<controls::TKestControl> built = skin.BuildWindow(id);
    auto* window = dynamic_cast<controls::TSkinWindow*>(built.get());
    EXPECT_NE(window, nullptr) << "no window " << id;
    if (!window) return nullptr;
    built.release();
    return std::unique_ptr<controls::TSkinWindow>(window);
  }
  skin::TSkinResManager& Resources() { return skin.ResManager(); }
};

// The child at each index of the path below `root`.
inline controls::TKestControl& ChildAt(controls::TKestControl& root, std::vector<int> path) {
  controls::TKestControl* control = &root;
  for (int index : path) control = control->Controls().at(static_cast<std::size_t>(index)).get();
  return *control;
}

}  // namespace controls_test
