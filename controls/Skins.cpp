#include "controls/Skins.h"

#include <algorithm>
#include <exception>
#include <string>
#include <unordered_map>

#include "app/MultiLog.h"
#include "app/TextUtil.h"
#include "controls/KestAni.h"
#include "controls/KestBtn.h"
#include "controls/KestCheckBox.h"
#include "controls/KestCtl.h"
#include "controls/KestDiag.h"
#include "controls/KestLink.h"
#include "controls/KestListBox.h"
#include "controls/KestPages.h"
#include "controls/KestResizer.h"
#include "controls/KestSlider.h"
#include "controls/KestTabs.h"
#include "controls/KestTabs2.h"
#include "controls/KestText.h"
#include "controls/KestTimeSlider.h"
#include "controls/KestWnd.h"
#include "skin/CachedStream.h"
#include "skin/StreamPack.h"

namespace controls {

using skin::TXMLNode;

// The state of one BuildWindow: how many controls exist so far, which
// templates are being expanded (a template that uses itself, directly or
// through another, is not expanded again) and the templates by id.
struct TSkin::TBuild {
  int Controls = 0;
  std::vector<const TXMLNode*> Templates;
  // The first TGROUP of each id (in lower case) in document order, as
  // FindNode would find it; indexed at the first GROUP, so that a skin of
  // many GROUPs does not walk the document for each.
  std::unordered_map<std::string, const TXMLNode*> TemplateIndex;
  bool Indexed = false;

  const TXMLNode* FindTemplate(const TXMLNode* root, std::string_view id);
};

namespace {

std::string LowerKey(std::string_view text) {
  std::string key(text);
  for (char& c : key) c = app::AsciiLower(c);
  return key;
}

// Calls visit(node) for every node below `start`, depth first in document
// order, until it answers true.
template <class TVisit>
void VisitDescendants(const TXMLNode& start, TVisit visit) {
  std::vector<std::pair<const TXMLNode*, std::size_t>> stack{{&start, 0}};
  while (!stack.empty()) {
    auto& [node, next] = stack.back();
    if (next == node->ChildCount()) {
      stack.pop_back();
      continue;
    }
    const TXMLNode* child = node->Child(next++);
    if (visit(*child)) return;
    stack.emplace_back(child, 0);
  }
}

}  // namespace

const TXMLNode* TSkin::TBuild::FindTemplate(const TXMLNode* root, std::string_view id) {
  if (!root) return nullptr;
  if (!Indexed) {
    Indexed = true;
    VisitDescendants(*root, [this](const TXMLNode& node) {
      if (app::SameText(node.Name, "TGROUP"))
        TemplateIndex.emplace(LowerKey(node.GetAttr("id")), &node);
      return false;
    });
  }
  const auto found = TemplateIndex.find(LowerKey(id));
  return found == TemplateIndex.end() ? nullptr : found->second;
}

TSkin::TSkin(app::TEntityManager& entityManager)
    : resManager_(std::make_unique<skin::TSkinResManager>()),
      tree_(std::make_unique<skin::TXMLTree>()) {
  // Every tag a skin may use; a tag without a class builds a plain control.
  RegisterControlClass<TSkinWindow>("WINDOW");
  RegisterControlClass<TKestControl>("PANEL");
  RegisterControlClass<TKestButton>("BUTTON");
  RegisterControlClass<TKestCheckBox>("CHECKBOX");
  RegisterControlClass<TKestResizer>("RESIZER");
  RegisterControlClass<TKestSlider>("SLIDER");
  RegisterControlClass<TKestTimeSlider>("TIMESLIDER");
  RegisterControlClass<TKestText>("TEXT");
  RegisterControlClass<TKestLink>("LINK");
  RegisterControlClass<TKestAnimation>("ANIMATION");
  RegisterControlClass<TKestDiagram>("DIAGRAM");
  RegisterControlClass<TKestTabs>("TABS");
  RegisterControlClass<TKestTabs2>("TABS2");
  RegisterControlClass<TKestPages>("PAGES");
  RegisterControlClass<TKestListBox>("LISTBOX");
  resManager_->EntityManager = &entityManager;
}

TSkin::~TSkin() = default;

void TSkin::RegisterControlClass(std::string tag, TControlFactory controlClass) {
  classes_.push_back(TSkinClass{std::move(tag), std::move(controlClass)});
}

void TSkin::Clear() {
  resManager_->Clear();
  tree_->Clear();
}

void TSkin::LoadFromPack(skin::TStreamPack& pack) {
  Clear();
  try {
    std::unique_ptr<platform::TStream> file = pack.OpenStream("interface.xml");
    if (!file) return;
    {
      skin::TCachedStream cached(*file, 16384, 4);
      tree_->LoadFromStream(cached);
    }
    if (const TXMLNode* root = tree_->Root()) resManager_->Load(*root, pack);
  } catch (const std::exception&) {
    // A broken skin keeps what was built before the failure.
  }
}

void TSkin::LoadFromZIP(platform::TStream& stream) {
  app::Log("+TSkin.LoadFromZIP");
  try {
    skin::TCachedStream cached(stream, 16384, 2);
    skin::TZIPStrPack pack(cached);
    LoadFromPack(pack);
  } catch (const std::exception&) {
  }
  app::Log("-TSkin.LoadFromZIP");
}

std::unique_ptr<TKestControl> TSkin::BuildWindow(std::string_view id) {
  const TXMLNode* element = FindNode(tree_->Root(), "WINDOW", id);
  if (!element) return nullptr;
  TBuild build;
  std::unique_ptr<TKestControl> window = BuildControl(build, nullptr, *element);
  if (window) window->AfterLoad();
  return window;
}

std::unique_ptr<TKestControl> TSkin::CreateControl(std::string_view tag,
                                                   TKestControl* owner) const {
  const TSkinClass* chosen = nullptr;
  for (const TSkinClass& entry : classes_) {
    if (app::SameText(entry.Name, tag)) chosen = &entry;
  }
  if (chosen) return chosen->ControlClass(owner);
  return ControlClass<TKestControl>()(owner);
}

std::unique_ptr<TKestControl> TSkin::BuildControl(TBuild& build, TKestControl* owner,
                                                  const TXMLNode& element) {
  if (build.Controls >= kMaxControls) return nullptr;
  std::unique_ptr<TKestControl> control;
  if (app::SameText(element.Name, "GROUP")) {
    const TXMLNode* pattern = build.FindTemplate(tree_->Root(), element.GetAttr("group"));
    auto& active = build.Templates;
    if (pattern && std::find(active.begin(), active.end(), pattern) == active.end()) {
      active.push_back(pattern);
      control = BuildControl(build, owner, *pattern);
      active.pop_back();
      if (!control) return nullptr;
    }
  }
  if (!control) {
    control = CreateControl(element.Name, owner);
    if (!control) return nullptr;
    ++build.Controls;
  }
  LoadControl(build, *control, element);
  return control;
}

// Loads the element's attributes into the control, then builds the
// element's children inside it in document order.
void TSkin::LoadControl(TBuild& build, TKestControl& control, const TXMLNode& element) {
  control.ResManager = resManager_.get();
  control.LoadFromXML(element);
  for (std::size_t i = 0; i < element.ChildCount(); ++i) {
    std::unique_ptr<TKestControl> child = BuildControl(build, &control, *element.Child(i));
    if (!child) continue;
    control.Adopt(std::move(child));
  }
}

const TXMLNode* FindNode(const TXMLNode* start, std::string_view tag, std::string_view id) {
  if (!start) return nullptr;
  const TXMLNode* found = nullptr;
  VisitDescendants(*start, [&](const TXMLNode& node) {
    if (app::SameText(node.Name, tag) && app::SameText(node.GetAttr("id"), id)) found = &node;
    return found != nullptr;
  });
  return found;
}

}  // namespace controls
