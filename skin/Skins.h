#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "skin/KestRes.h"
#include "skin/XML.h"

namespace app {
class TEntityManager;
}
namespace controls {
class TKestControl;
}
namespace platform {
class TStream;
}
namespace ui {
class TKeyboardManager;
class TLanguageManager;
}  // namespace ui

namespace skin {

class TStreamPack;

// Makes a control owned by `owner`; null `owner` asks for a window's root,
// which only window classes can be (the others answer null).
using TControlFactory =
    std::function<std::unique_ptr<controls::TKestControl>(controls::TKestControl* owner)>;

// A tag name and the control class it builds.
struct TSkinClass {
  std::string Name;
  TControlFactory ControlClass;
};

// The factory of a control class: classes built inside an owner take it by
// reference; window classes (constructible from a pointer) also make roots.
template <class TControl>
TControlFactory ControlClass() {
  return [](controls::TKestControl* owner) -> std::unique_ptr<controls::TKestControl> {
    if constexpr (std::is_constructible_v<TControl, controls::TKestControl*>) {
      return std::make_unique<TControl>(owner);
    } else {
      if (!owner) return nullptr;
      return std::make_unique<TControl>(*owner);
    }
  };
}

// One loaded skin: its document, its resources and the registry that turns
// element tags into control classes; builds windows on request.
class TSkin {
 public:
  // A window holds at most this many controls: elements beyond it (a
  // hostile skin, or templates that multiply) are not built.
  static constexpr int kMaxControls = 2000;

  TSkin(app::TEntityManager& entityManager, ui::TKeyboardManager& keyboardManager,
        ui::TLanguageManager& languageManager);
  ~TSkin();
  TSkin(const TSkin&) = delete;
  TSkin& operator=(const TSkin&) = delete;

  // A later registration of the same tag takes precedence.
  void RegisterControlClass(std::string tag, TControlFactory controlClass);
  template <class TControl>
  void RegisterControlClass(std::string tag) {
    RegisterControlClass(std::move(tag), ControlClass<TControl>());
  }

  // Loading never fails: whatever was read before a failure stays.
  void LoadFromZIP(platform::TStream& stream);
  void LoadFromPack(TStreamPack& pack);
  void Clear();

  // The control tree of the WINDOW element with that id; null when the
  // skin has none. The caller owns the result.
  std::unique_ptr<controls::TKestControl> BuildWindow(std::string_view id);

  TSkinResManager& ResManager() { return *resManager_; }
  TXMLTree& Tree() { return *tree_; }
  const std::vector<TSkinClass>& Classes() const { return classes_; }

 private:
  struct TBuild;
  std::unique_ptr<controls::TKestControl> CreateControl(std::string_view tag,
                                                        controls::TKestControl* owner) const;
  std::unique_ptr<controls::TKestControl> BuildControl(TBuild& build, controls::TKestControl* owner,
                                                       const TXMLNode& element);
  void LoadControl(TBuild& build, controls::TKestControl& control, const TXMLNode& element);

  std::vector<TSkinClass> classes_;
  std::unique_ptr<TSkinResManager> resManager_;
  std::unique_ptr<TXMLTree> tree_;
};

// The element below `start` (depth first, document order) whose tag and
// "id" match ignoring case; null when none does or `start` is null.
const TXMLNode* FindNode(const TXMLNode* start, std::string_view tag, std::string_view id);

}  // namespace skin
