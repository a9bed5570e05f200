#pragma once

#include <memory>

#include "controls/KestCtl.h"

namespace app {
class TStringListEntity;
}

namespace controls {

// A stack of pages (its child controls) of which one is shown. After
// loading it registers a list of the pages' ids under its own link name;
// tab strips linked to that name select pages through it.
class TKestPages : public TKestControl {
 public:
  explicit TKestPages(TKestControl& owner);
  // Takes the list off the bus before freeing it.
  ~TKestPages() override;

  void LoadFromXML(const skin::TXMLNode& element) override;
  void AfterLoad() override;

  // Shows the child at that position and hides the others; an index out
  // of range hides them all.
  void ShowPage(int index);

  // The list of page ids, once loading has completed; null before.
  app::TStringListEntity* PageList() const { return pageList_.get(); }
  // The page shown after loading.
  int StartPage = 0;

 private:
  // Called by the list's holder when a tab strip changed the selection.
  void ShowSelected(app::TEntityHolder& sender);
  void UnregisterPageList();

  std::unique_ptr<app::TStringListEntity> pageList_;
};

}  // namespace controls
