#pragma once

#include <memory>
#include <string>
#include <vector>

#include "controls/KestCtl.h"

namespace platform {
class TListBox;
}

namespace controls {

// The items of a linked list entity in a standard list box filling the
// control; the user's choice becomes the entity's selected index and is
// reported to the entity's owner.
class TKestListBox : public TKestControl {
 public:
  // At most this many items are shown: the list is rebuilt at every notice
  // of its entity, and the native list's cost grows with each item.
  static constexpr int kMaxItems = 65536;

  explicit TKestListBox(TKestControl& owner);
  ~TKestListBox() override;

  void LoadFromXML(const skin::TXMLNode& element) override;
  void AfterLoad() override;

  // The native list; null until AfterLoad.
  platform::TListBox* List() const { return list_.get(); }

 protected:
  void EntityChanged(app::TEntityHolder& sender) override;

 private:
  void Refill();
  std::string ItemText(const std::string& item) const;
  bool SameItems(const std::vector<std::string>& texts) const;
  void OnListClick();

  std::unique_ptr<platform::TListBox> list_;
};

}  // namespace controls
