#include "controls/KestPages.h"

#include "app/Entities.h"
#include "app/MultiLog.h"
#include "skin/KestUtil.h"
#include "skin/XML.h"

namespace controls {

namespace {

// The list a page container registers: only a list of this kind may be
// replaced by another container, never an entity the program registered.
class TPageListEntity : public app::TStringListEntity {
 public:
  using TStringListEntity::TStringListEntity;
};

// True when the name is free or held by another container's page list.
bool MayRegisterAt(app::TEntityHolder& holder) {
  return !holder.Entity || dynamic_cast<TPageListEntity*>(holder.Entity);
}

}  // namespace

TKestPages::TKestPages(TKestControl& owner) : TKestControl(owner) {}

TKestPages::~TKestPages() { UnregisterPageList(); }

void TKestPages::LoadFromXML(const skin::TXMLNode& element) {
  TKestControl::LoadFromXML(element);
  StartPage = skin::StrToIntDefault(element.GetAttr("Page"), 0);
}

void TKestPages::AfterLoad() {
  TKestControl::AfterLoad();
  auto list = std::make_unique<TPageListEntity>(app::MakeCallback<&TKestPages::ShowSelected>(this));
  for (const auto& page : Controls()) {
    list->Items.push_back(page->Id);
    page->SetAlign(platform::TAlign::Client);
  }
  ShowPage(StartPage);
  // A list from an earlier call is taken off the bus before it is freed.
  UnregisterPageList();
  pageList_ = std::move(list);
  app::TEntityManager* entities = Entities();
  if (!entities || Link.empty()) return;
  if (!MayRegisterAt(entities->GetHolder(Link))) {
    app::Log("TKestPages.AfterLoad: " + Link + " belongs to the program, page list not registered");
    return;
  }
  entities->RegisterEntity(Link, pageList_.get());
}

void TKestPages::ShowPage(int index) {
  int position = 0;
  for (const auto& page : Controls()) page->SetVisible(position++ == index);
}

void TKestPages::ShowSelected(app::TEntityHolder& sender) {
  if (!pageList_) return;
  ShowPage(pageList_->ItemIndex);
  // Every other control of the list (a second tab strip, a list box)
  // follows the choice.
  sender.NotifyClients();
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
