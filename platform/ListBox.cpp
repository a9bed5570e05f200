#include "platform/ListBox.h"

#include <QEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <algorithm>
#include <cctype>

#include "platform/Application.h"
#include "platform/SysColors.h"
#include "platform/detail/QtBridge.h"
#include "platform/detail/WindowImpl.h"

namespace platform {

namespace {

bool LessIgnoringCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) <
           std::tolower(static_cast<unsigned char>(y));
  });
}

// Notes the selected row when a press begins, so that a click that changes
// nothing can still be told apart from one that selected a new row.
class TPressWatcher : public QObject {
 public:
  explicit TPressWatcher(QListWidget& list) : list_(list) {}
  int RowAtPress = -1;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonPress) RowAtPress = list_.currentRow();
    return false;
  }

 private:
  QListWidget& list_;
};

std::unique_ptr<detail::TWindowImpl> MakeListImpl(TWindowBase& parent) {
  auto impl = std::make_unique<detail::TWindowImpl>();
  impl->Parent = &parent;
  impl->OwnColor = SystemColor(TSystemColor::Window);
  impl->Visible = true;
  impl->Widget = new QListWidget(parent.Impl().Widget);
  return impl;
}

}  // namespace

struct TListBox::TState {
  QListWidget* List = nullptr;  // the window's widget
  std::unique_ptr<TPressWatcher> Watcher;
  std::vector<std::string> Texts;
  bool Sorted = false;
  bool ShowHints = false;
  bool Programmatic = false;
};

TListBox::TListBox(TWindowBase& parent)
    : TWindowBase(MakeListImpl(parent)), state_(std::make_unique<TState>()) {
  detail::AttachWindow(Impl());
  auto* list = static_cast<QListWidget*>(Impl().Widget);
  state_->List = list;
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  state_->Watcher = std::make_unique<TPressWatcher>(*list);
  list->viewport()->installEventFilter(state_->Watcher.get());
  auto fire = [this] {
    if (OnClick) CallGuarded(OnClick);
  };
  QObject::connect(list, &QListWidget::currentRowChanged, [this, fire](int) {
    if (!state_->Programmatic) fire();
  });
  QObject::connect(list, &QListWidget::itemClicked, [this, fire](QListWidgetItem* item) {
    // A click on the row that was already selected changes nothing but
    // still counts as a choice.
    if (state_->List->row(item) == state_->Watcher->RowAtPress) fire();
  });
  list->show();
}

TListBox::~TListBox() {
  state_->List->viewport()->removeEventFilter(state_->Watcher.get());
  QObject::disconnect(state_->List, nullptr, nullptr, nullptr);
}

int TListBox::Add(const std::string& text) {
  auto& texts = state_->Texts;
  auto position = texts.end();
  if (state_->Sorted) {
    position = std::upper_bound(texts.begin(), texts.end(), text, LessIgnoringCase);
  }
  const int index = static_cast<int>(position - texts.begin());
  texts.insert(position, text);
  auto* item = new QListWidgetItem(detail::ToQString(text));
  if (state_->ShowHints) item->setToolTip(item->text());
  state_->Programmatic = true;
  state_->List->insertItem(index, item);
  state_->Programmatic = false;
  return index;
}

void TListBox::Clear() {
  state_->Programmatic = true;
  state_->List->clear();
  state_->Programmatic = false;
  state_->Texts.clear();
}

int TListBox::Count() const { return static_cast<int>(state_->Texts.size()); }

std::string TListBox::Item(int index) const {
  if (index < 0 || index >= Count()) return {};
  return state_->Texts[static_cast<std::size_t>(index)];
}

std::vector<std::string> TListBox::Items() const { return state_->Texts; }

int TListBox::ItemIndex() const {
  const QList<QListWidgetItem*> selected = state_->List->selectedItems();
  return selected.isEmpty() ? -1 : state_->List->row(selected.front());
}

void TListBox::SetItemIndex(int index) {
  state_->Programmatic = true;
  if (index < 0 || index >= Count()) {
    state_->List->clearSelection();
    state_->List->setCurrentRow(-1);
  } else {
    state_->List->setCurrentRow(index);
  }
  state_->Programmatic = false;
}

bool TListBox::Sorted() const { return state_->Sorted; }

void TListBox::SetSorted(bool sorted) {
  if (state_->Sorted == sorted) return;
  state_->Sorted = sorted;
  if (!sorted) return;
  const std::string selected = Item(ItemIndex());
  const bool hadSelection = ItemIndex() >= 0;
  std::vector<std::string> texts = state_->Texts;
  Clear();
  std::stable_sort(texts.begin(), texts.end(), LessIgnoringCase);
  for (const std::string& text : texts) Add(text);
  if (!hadSelection) return;
  const auto found = std::find(state_->Texts.begin(), state_->Texts.end(), selected);
  SetItemIndex(static_cast<int>(found - state_->Texts.begin()));
}

void TListBox::SetFontColor(TColor color) {
  QPalette palette = state_->List->palette();
  palette.setColor(QPalette::Text, detail::ToQColor(color));
  state_->List->setPalette(palette);
}

void TListBox::SetFlatBorder(bool flat) {
  state_->List->setFrameShape(flat ? QFrame::Box : QFrame::StyledPanel);
  state_->List->setFrameShadow(flat ? QFrame::Plain : QFrame::Sunken);
  state_->List->setLineWidth(1);
}

void TListBox::SetShowHints(bool show) {
  state_->ShowHints = show;
  for (int row = 0; row < state_->List->count(); ++row) {
    QListWidgetItem* item = state_->List->item(row);
    item->setToolTip(show ? item->text() : QString());
  }
}

}  // namespace platform
