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
namespace platform {
class TStream;
}
namespace skin {
class TStreamPack;
}

namespace controls {

class TKestControl;

// Makes a control owned by `owner`; null `owner` asks for a window's root,
// which only window classes can be (the others answer null).
using TControlFactory = std::function<std::unique_ptr<TKestControl>(TKestControl* owner)>;

// A tag name and the control class it builds.
struct TSkinClass {
  std::string Name;
  TControlFactory ControlClass;
};

// The factory of a control class: classes built inside an owner take it by
// reference; window classes (constructible from a pointer) also make roots.
template <class TControl>
TControlFactory ControlClass() {
  return [](TKestControl* owner) -> std::unique_ptr<TKestControl> {
    if constexpr (std::is_constructible_v<TControl, TKestControl*>) {
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

  // Captions and key texts of menus come from the resource manager's text
  // functions, which whoever owns the skin fills.
  explicit TSkin(app::TEntityManager& entityManager);
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
  void LoadFromPack(skin::TStreamPack& pack);
  void Clear();

  // The control tree of the WINDOW element with that id; null when the
  // skin has none. The caller owns the result.
  std::unique_ptr<TKestControl> BuildWindow(std::string_view id);

  skin::TSkinResManager& ResManager() { return *resManager_; }
  skin::TXMLTree& Tree() { return *tree_; }
  const std::vector<TSkinClass>& Classes() const { return classes_; }

 private:
  struct TBuild;
  std::unique_ptr<TKestControl> CreateControl(std::string_view tag, TKestControl* owner) const;
  std::unique_ptr<TKestControl> BuildControl(TBuild& build, TKestControl* owner,
                                             const skin::TXMLNode& element);
  void LoadControl(TBuild& build, TKestControl& control, const skin::TXMLNode& element);

  std::vector<TSkinClass> classes_;
  std::unique_ptr<skin::TSkinResManager> resManager_;
  std::unique_ptr<skin::TXMLTree> tree_;
};

// The element below `start` (depth first, document order) whose tag and
// "id" match ignoring case; null when none does or `start` is null.
const skin::TXMLNode* FindNode(const skin::TXMLNode* start, std::string_view tag,
                               std::string_view id);

}  // namespace controls
