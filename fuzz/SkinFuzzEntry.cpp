#include "fuzz/SkinFuzzEntry.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/Entities.h"
#include "app/TextUtil.h"
#include "controls/KestWnd.h"
#include "controls/Skins.h"
#include "platform/Bitmap.h"
#include "platform/Bmp.h"
#include "platform/Snapshot.h"
#include "platform/Stream.h"
#include "skin/StreamPack.h"
#include "skin/XML.h"

namespace fuzz {

namespace {

// An interface.xml and one picture, held in memory.
class TXmlPack : public skin::TStreamPack {
 public:
  TXmlPack(const std::uint8_t* data, std::size_t size) : xml_(data, data + size) {
    platform::TBitmap bitmap(40, 30);
    for (int y = 0; y < 30; ++y) {
      for (int x = 0; x < 40; ++x)
        bitmap.SetPixel(x, y, (x + y) % 3 ? platform::RGB(255, 0, 255) : 0x123456);
    }
    bmp_ = platform::EncodeBmp(bitmap, 24);
  }
  std::unique_ptr<platform::TStream> OpenStream(const std::string& name) override {
    if (name == "interface.xml") return std::make_unique<platform::TMemoryStream>(xml_);
    if (name == "a.bmp") return std::make_unique<platform::TMemoryStream>(bmp_);
    return nullptr;
  }

 private:
  std::vector<std::uint8_t> xml_;
  std::vector<std::uint8_t> bmp_;
};

// The ids of every WINDOW element, in document order.
std::vector<std::string> WindowIds(const skin::TXMLNode* root) {
  std::vector<std::string> ids;
  if (!root) return ids;
  std::vector<const skin::TXMLNode*> pending{root};
  while (!pending.empty()) {
    const skin::TXMLNode* node = pending.back();
    pending.pop_back();
    for (std::size_t i = node->ChildCount(); i-- > 0;) {
      const skin::TXMLNode* child = node->Child(i);
      if (app::SameText(child->Name, "WINDOW")) ids.push_back(child->GetAttr("id"));
      pending.push_back(child);
    }
  }
  return ids;
}

// The entities a skin may link to while the program runs: the core's tick
// counter and clock, a value with the widest range and a list, registered
// for the length of one input.
class TFuzzEntities {
 public:
  explicit TFuzzEntities(app::TEntityManager& entities) : entities_(entities) {
    entities_.RegisterEntity("System.Timer", &timer_);
    entities_.RegisterEntity("System.Time", &time_);
    entities_.RegisterEntity("Fuzz.Value", &value_);
    list_.Items = {"One", "Two", "Three"};
    list_.ItemIndex = 1;
    entities_.RegisterEntity("Fuzz.List", &list_);
  }
  ~TFuzzEntities() {
    entities_.UnregisterEntity("Fuzz.List");
    entities_.UnregisterEntity("Fuzz.Value");
    entities_.UnregisterEntity("System.Time");
    entities_.UnregisterEntity("System.Timer");
  }
  TFuzzEntities(const TFuzzEntities&) = delete;
  TFuzzEntities& operator=(const TFuzzEntities&) = delete;

  // One second of the core's timer: ten ticks, then the clock.
  void Tick() {
    for (int i = 0; i < 10; ++i) entities_.SetValue("System.Timer", timer_.Value + 1);
    entities_.SetString("System.Time", "12:34");
  }

 private:
  app::TEntityManager& entities_;
  app::TBasicEntity timer_{0, 0, 0};
  app::TStringEntity time_;
  app::TBasicEntity value_{INT64_MIN, 0, INT64_MAX};
  app::TStringListEntity list_;
};

// A press, a drag across the control and a release, as a user's mouse
// makes them, on every control of the tree (children first). Controls may
// run commands on the way; none is registered here, so none destroys a
// window.
void DragAcross(controls::TKestControl& control) {
  for (const auto& child : control.Controls()) DragAcross(*child);
  const auto at = [&](int x, int y) {
    platform::TMouseEvent event;
    event.Client = {x, y};
    event.Screen = {control.Left() + x, control.Top() + y};
    return event;
  };
  const int width = control.Width();
  const int height = control.Height();
  control.OnMouseDown(at(width / 2, height / 2));
  control.OnMouseMove(at(-width, height * 2));
  control.OnMouseMove(at(width * 2, -height));
  control.OnMouseUp(at(width, height));
}

}  // namespace

void FuzzSkin(const std::uint8_t* data, std::size_t size) {
  app::TEntityManager entities;
  TFuzzEntities fuzzEntities(entities);
  controls::TSkin skin(entities);
  if (size >= 2 && data[0] == 'P' && data[1] == 'K') {
    platform::TMemoryStream stream(data, size);
    skin.LoadFromZIP(stream);
  } else {
    TXmlPack pack(data, size);
    skin.LoadFromPack(pack);
  }
  // A handful of windows is enough to reach every control class.
  std::vector<std::string> ids = WindowIds(skin.Tree().Root());
  if (ids.size() > 4) ids.resize(4);
  for (const std::string& id : ids) {
    std::unique_ptr<controls::TKestControl> window = skin.BuildWindow(id);
    auto* skinWindow = dynamic_cast<controls::TSkinWindow*>(window.get());
    if (!skinWindow) continue;
    platform::GrabWindow(skinWindow->Form());
    fuzzEntities.Tick();
    DragAcross(*skinWindow);
    platform::GrabWindow(skinWindow->Form());
  }
}

}  // namespace fuzz
