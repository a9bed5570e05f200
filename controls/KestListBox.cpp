#include "controls/KestListBox.h"

#include <algorithm>

#include "app/Entities.h"
#include "platform/ListBox.h"

namespace controls {

namespace {

constexpr platform::TColor kFontColor = 0xFFFF00;  // aqua

app::TStringListEntity* ListEntity(const app::TEntityHolder* holder) {
  return holder ? dynamic_cast<app::TStringListEntity*>(holder->Entity) : nullptr;
}

}  // namespace

TKestListBox::TKestListBox(TKestControl& owner) : TKestControl(owner) { Draggable = false; }

// The native list goes first, before the control's own window.
TKestListBox::~TKestListBox() { list_.reset(); }

void TKestListBox::LoadFromXML(const skin::TXMLNode& element) {
  TKestControl::LoadFromXML(element);
  SetHint("");
}

void TKestListBox::AfterLoad() {
  TKestControl::AfterLoad();
  if (!list_) {
    list_ = std::make_unique<platform::TListBox>(*this);
    list_->SetAlign(platform::TAlign::Client);
    list_->SetColor(Color());
    list_->SetFlatBorder(true);
    list_->SetFontColor(kFontColor);
    list_->SetShowHints(false);
    list_->OnClick = [this] { OnListClick(); };
  }
  Refill();
}

void TKestListBox::EntityChanged(app::TEntityHolder& sender) {
  TKestControl::EntityChanged(sender);
  Refill();
}

void TKestListBox::Refill() {
  if (!list_) return;
  list_->Clear();
  const app::TStringListEntity* entity = ListEntity(Holder);
  if (!entity) return;
  const std::size_t shown = std::min(entity->Items.size(), std::size_t{kMaxItems});
  for (std::size_t i = 0; i < shown; ++i) list_->Add(entity->Items[i]);
  list_->SetItemIndex(entity->ItemIndex);
}

void TKestListBox::OnListClick() {
  app::TStringListEntity* entity = ListEntity(Holder);
  if (!entity || !list_) return;
  entity->ItemIndex = list_->ItemIndex();
  // The owner may free this control: nothing touches it afterwards.
  Holder->NotifyOwner();
}

}  // namespace controls
