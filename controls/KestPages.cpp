#include "controls/KestPages.h"

#include "app/Entities.h"
#include "skin/KestUtil.h"
#include "skin/XML.h"

namespace controls {

TKestPages::TKestPages(TKestControl& owner) : TKestControl(owner) {}

TKestPages::~TKestPages() { UnregisterPageList(); }

void TKestPages::LoadFromXML(const skin::TXMLNode& element) {
  TKestControl::LoadFromXML(element);
  StartPage = skin::StrToIntDefault(element.GetAttr("Page"), 0);
}

void TKestPages::AfterLoad() {
  TKestControl::AfterLoad();
  auto list =
      std::make_unique<app::TStringListEntity>(app::MakeCallback<&TKestPages::ShowSelected>(this));
  for (const auto& page : Controls()) {
    list->Items.push_back(page->Id);
    page->SetAlign(platform::TAlign::Client);
  }
  ShowPage(StartPage);
  // A list from an earlier call is taken off the bus before it is freed.
  UnregisterPageList();
  pageList_ = std::move(list);
  app::TEntityManager* entities = Entities();
  if (entities && !Link.empty()) entities->RegisterEntity(Link, pageList_.get());
}

void TKestPages::ShowPage(int index) {
  int position = 0;
  for (const auto& page : Controls()) page->SetVisible(position++ == index);
}

void TKestPages::ShowSelected(app::TEntityHolder&) {
  if (pageList_) ShowPage(pageList_->ItemIndex);
}

void TKestPages::UnregisterPageList() {
  if (!pageList_) return;
  // Another container linked to the same name may have replaced the list.
  app::TEntityManager* entities = Entities();
  if (entities && pageList_->Holder && pageList_->Holder->Entity == pageList_.get())
    entities->RegisterEntity(Link, nullptr);
  pageList_.reset();
}

}  // namespace controls
