#include "platform/Drag.h"

#include <QPainter>
#include <QPointer>
#include <QWidget>

#include "platform/Region.h"
#include "platform/Window.h"
#include "platform/detail/QtBridge.h"
#include "platform/detail/WindowImpl.h"

namespace platform {

namespace {

// The picture floating over the window; it never takes the mouse.
class TDragWidget : public QWidget {
 public:
  TDragWidget(const TBitmap& picture, QWidget* parent) : QWidget(parent), picture_(picture) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    resize(picture.Width(), picture.Height());
    if (picture.IsTransparent()) {
      const TRegion shape = TRegion::FromBitmapMask(picture, picture.TransparentColor()).Bounded();
      setMask(shape.IsEmpty() ? QRegion(-2, -2, 1, 1) : detail::ToQRegion(shape));
    }
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.drawImage(0, 0, detail::ConstImageView(picture_));
  }

 private:
  TBitmap picture_;
};

}  // namespace

struct TDragImage::TImpl {
  QPointer<QWidget> Picture;
  QPointer<QWidget> Over;  // the widget of the window given to Begin
  TPoint HotSpot;
  TPoint Position;
};

TDragImage::TDragImage() : impl_(std::make_unique<TImpl>()) {}

TDragImage::~TDragImage() { End(); }

void TDragImage::Begin(const TBitmap& picture, TPoint hotSpot, TWindowBase& window, int x, int y) {
  End();
  QWidget* over = window.Impl().Widget;
  impl_->Over = over;
  impl_->HotSpot = hotSpot;
  impl_->Picture = new TDragWidget(picture, over->window());
  Move(x, y);
  impl_->Picture->show();
  impl_->Picture->raise();
}

void TDragImage::Move(int x, int y) {
  if (!impl_->Picture || !impl_->Over) return;
  impl_->Position = TPoint{x - impl_->HotSpot.X, y - impl_->HotSpot.Y};
  const QPoint corner =
      impl_->Over->mapTo(impl_->Over->window(), QPoint(impl_->Position.X, impl_->Position.Y));
  impl_->Picture->move(corner);
  impl_->Picture->raise();
}

void TDragImage::End() {
  delete impl_->Picture.data();
  impl_->Picture = nullptr;
  impl_->Over = nullptr;
}

bool TDragImage::Dragging() const { return !impl_->Picture.isNull(); }

TPoint TDragImage::Position() const { return impl_->Position; }

}  // namespace platform
