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

std::string TKestListBox::ItemText(const std::string& item) const {
  // An item the language has a caption for (a page id such as
  // "Game.Chess") shows that caption; any other text shows as it is.
  std::string caption = Caption(item);
  return caption == "<" + item + ">" ? item : caption;
}

void TKestListBox::Refill() {
  if (!list_) return;
  const app::TStringListEntity* entity = ListEntity(Holder);
  std::vector<std::string> texts;
  if (entity) {
    const std::size_t shown = std::min(entity->Items.size(), std::size_t{kMaxItems});
    texts.reserve(shown);
    for (std::size_t i = 0; i < shown; ++i) texts.push_back(ItemText(entity->Items[i]));
  }
  // The same items are not put in again: a notice that only moved the
  // selection (the list's own click among them) keeps the native items.
  if (!SameItems(texts)) {
    list_->Clear();
    for (const std::string& text : texts) list_->Add(text);
  }
  if (entity) list_->SetItemIndex(entity->ItemIndex);
}

bool TKestListBox::SameItems(const std::vector<std::string>& texts) const {
  if (list_->Count() != static_cast<int>(texts.size())) return false;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    if (list_->Item(static_cast<int>(i)) != texts[i]) return false;
  }
  return true;
}

void TKestListBox::OnListClick() {
  app::TStringListEntity* entity = ListEntity(Holder);
  if (!entity || !list_) return;
  entity->ItemIndex = list_->ItemIndex();
  // The owner may free this control: nothing touches it afterwards.
  Holder->NotifyOwner();
}

}  // namespace controls
