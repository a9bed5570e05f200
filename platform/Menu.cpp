#include "platform/Menu.h"

#include <QApplication>
#include <QHash>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>

#include "platform/Application.h"
#include "platform/Canvas.h"
#include "platform/Lifetime.h"
#include "platform/detail/QtBridge.h"

namespace platform {

namespace {

// Draws and measures the owner-drawn items of one popup menu. Qt's style
// options do not name the action, so each action's text is a key that
// leads back to its item.
class TMenuStyle : public QProxyStyle {
 public:
  QString Register(TMenuItem& item) {
    const QString key = QStringLiteral("\x1b%1").arg(items_.size());
    items_.insert(key, &item);
    return key;
  }

  QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                         const QWidget* widget) const override {
    if (TMenuItem* item = OwnerDrawn(type == CT_MenuItem, option); item && item->OnMeasure) {
      return Measure(*item);
    }
    return QProxyStyle::sizeFromContents(type, option, size, widget);
  }

  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget) const override {
    if (TMenuItem* item = OwnerDrawn(element == CE_MenuItem, option)) {
      Draw(*item, *option, *painter);
      return;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
  }

 private:
  TMenuItem* OwnerDrawn(bool menuItem, const QStyleOption* option) const {
    if (!menuItem) return nullptr;
    const auto* menuOption = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (menuOption == nullptr) return nullptr;
    TMenuItem* item = items_.value(menuOption->text, nullptr);
    return item != nullptr && item->OnDraw ? item : nullptr;
  }

  static QSize Measure(TMenuItem& item) {
    TBitmap scratch(1, 1);
    TCanvas canvas(scratch);
    canvas.Font = TPopupMenu::DefaultFont();
    int width = 0;
    int height = 0;
    CallGuarded([&] { item.OnMeasure(canvas, width, height); });
    // Qt leaves out an item of no width; the menu is as wide as its widest
    // item anyway, so a separator measured only for its height still shows.
    return QSize(std::max(width, 1), std::max(height, 0));
  }

  static void Draw(TMenuItem& item, const QStyleOption& option, QPainter& painter) {
    const QRect rect = option.rect;
    if (rect.isEmpty()) return;
    TBitmap picture(rect.width(), rect.height());
    TCanvas canvas(picture);
    canvas.Font = TPopupMenu::DefaultFont();
    const bool selected =
        (option.state & QStyle::State_Selected) && (option.state & QStyle::State_Enabled);
    CallGuarded([&] { item.OnDraw(canvas, TRect{0, 0, rect.width(), rect.height()}, selected); });
    painter.drawImage(rect.topLeft(), detail::ConstImageView(picture));
  }

  QHash<QString, TMenuItem*> items_;
};

void Fill(QMenu& menu, const TMenuItem& parent, TMenuStyle& style) {
  for (const auto& child : parent.Items()) {
    TMenuItem& item = *child;
    const QString text = item.OnDraw ? style.Register(item) : detail::ToQString(item.Caption);
    QAction* action = nullptr;
    if (!item.Items().empty()) {
      auto* submenu = new QMenu(text, &menu);
      submenu->setStyle(&style);
      Fill(*submenu, item, style);
      action = menu.addMenu(submenu);
    } else if (item.Separator && !item.OnDraw) {
      action = menu.addSeparator();
    } else {
      action = menu.addAction(text);
    }
    action->setEnabled(item.Enabled && !item.Separator);
    action->setData(QVariant::fromValue(reinterpret_cast<quintptr>(&item)));
  }
}

}  // namespace

TMenuItem& TMenuItem::Add() {
  items_.push_back(std::make_unique<TMenuItem>());
  return *items_.back();
}

void TMenuItem::Clear() { items_.clear(); }

struct TPopupMenu::TImpl {
  QPointer<QMenu> Open;
  TLifetime Life;
};

TPopupMenu::TPopupMenu() : impl_(std::make_unique<TImpl>()) {}

TPopupMenu::~TPopupMenu() { Close(); }

void TPopupMenu::Popup(TPoint screen) {
  if (IsOpen()) return;
  if (OnPopup) CallGuarded(OnPopup);
  TMenuStyle style;
  QMenu menu;
  menu.setStyle(&style);
  Fill(menu, root_, style);
  impl_->Open = &menu;
  // The menu may be freed while it is open (a skin reload on a timer).
  const TLifeWatch life = impl_->Life.Watch();
  QAction* chosen = menu.exec(QPoint(screen.X, screen.Y));
  if (!life.Alive()) return;
  impl_->Open = nullptr;
  if (chosen == nullptr) return;
  auto* item = reinterpret_cast<TMenuItem*>(chosen->data().value<quintptr>());
  if (item == nullptr || !item->OnClick) return;
  // The click may free this menu and its items (a skin reload): run a copy.
  const std::function<void()> onClick = item->OnClick;
  CallGuarded(onClick);
}

bool TPopupMenu::IsOpen() const { return !impl_->Open.isNull(); }

void TPopupMenu::Close() {
  if (impl_->Open) impl_->Open->close();
}

std::vector<TRect> TPopupMenu::ItemRects() const {
  std::vector<TRect> rects;
  if (!impl_->Open) return rects;
  for (QAction* action : impl_->Open->actions()) {
    const QRect rect = impl_->Open->actionGeometry(action);
    rects.push_back(Bounds(rect.x(), rect.y(), rect.width(), rect.height()));
  }
  return rects;
}

TFont TPopupMenu::DefaultFont() {
  const QFont font = QApplication::font("QMenu");
  TFont result;
  result.Family = detail::FromQString(font.family());
  result.Size = font.pointSize() > 0 ? font.pointSize() : font.pixelSize() * 72 / 96;
  result.Bold = font.bold();
  result.Italic = font.italic();
  result.Underline = font.underline();
  return result;
}

}  // namespace platform
