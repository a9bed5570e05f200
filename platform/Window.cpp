#include "platform/Window.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QToolTip>
#include <QWheelEvent>
#include <QWindow>
#include <algorithm>
#include <utility>

#include "platform/Application.h"
#include "platform/Canvas.h"
#include "platform/Menu.h"
#include "platform/Screen.h"
#include "platform/SysColors.h"
#include "platform/detail/QtBridge.h"
#include "platform/detail/State.h"
#include "platform/detail/WindowImpl.h"

namespace platform {

namespace detail {

namespace {

TMouseState& Mouse() { return State().Mouse; }

THintHook& HintHook() { return State().HintHook; }

std::vector<TWindow*>& TopWindows() { return State().TopWindows; }

bool& ApplicationMinimized() { return State().ApplicationMinimized; }

Qt::CursorShape QtCursor(TCursor cursor) {
  switch (cursor) {
    case TCursor::Default:
      return Qt::ArrowCursor;
    case TCursor::Hand:
      return Qt::PointingHandCursor;
    case TCursor::Help:
      return Qt::WhatsThisCursor;
    case TCursor::HSplit:
      return Qt::SplitHCursor;
    case TCursor::VSplit:
      return Qt::SplitVCursor;
    case TCursor::SizeWE:
      return Qt::SizeHorCursor;
    case TCursor::SizeNS:
      return Qt::SizeVerCursor;
    case TCursor::SizeNWSE:
      return Qt::SizeFDiagCursor;
    case TCursor::SizeNESW:
      return Qt::SizeBDiagCursor;
  }
  return Qt::ArrowCursor;
}

bool IsFrameCode(THitTest code) {
  return code != THitTest::Client && code != THitTest::Transparent;
}

TSizingEdge EdgeOf(THitTest code) {
  switch (code) {
    case THitTest::Left:
      return TSizingEdge::Left;
    case THitTest::Right:
      return TSizingEdge::Right;
    case THitTest::Top:
      return TSizingEdge::Top;
    case THitTest::TopLeft:
      return TSizingEdge::TopLeft;
    case THitTest::TopRight:
      return TSizingEdge::TopRight;
    case THitTest::Bottom:
      return TSizingEdge::Bottom;
    case THitTest::BottomLeft:
      return TSizingEdge::BottomLeft;
    default:
      return TSizingEdge::BottomRight;
  }
}

TCursor FrameCursor(THitTest code) {
  switch (code) {
    case THitTest::Left:
    case THitTest::Right:
      return TCursor::SizeWE;
    case THitTest::Top:
    case THitTest::Bottom:
      return TCursor::SizeNS;
    case THitTest::TopLeft:
    case THitTest::BottomRight:
      return TCursor::SizeNWSE;
    case THitTest::TopRight:
    case THitTest::BottomLeft:
      return TCursor::SizeNESW;
    default:
      return TCursor::Default;
  }
}

std::optional<TMouseButton> ButtonOf(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton:
      return TMouseButton::Left;
    case Qt::RightButton:
      return TMouseButton::Right;
    case Qt::MiddleButton:
      return TMouseButton::Middle;
    default:
      return std::nullopt;
  }
}

TPoint GlobalPoint(const QMouseEvent* event) {
  const QPoint point = event->globalPosition().toPoint();
  return TPoint{point.x(), point.y()};
}

TShiftState ShiftOf(const QInputEvent* event) {
  return ShiftStateFromQtModifiers(event->modifiers().toInt());
}

// Whether the screen point lies over the window: inside its rectangle and
// its region.
bool PointOver(const TWindowBase& window, TPoint screen) {
  const TPoint local = window.ScreenToClient(screen);
  if (!window.ClientRect().Contains(local)) return false;
  const auto& region = window.Impl().Region;
  return !region || region->Contains(local);
}

struct THit {
  TWindowBase* Window;
  THitTest Code;
};

THitTest AskHitTest(TWindowBase& window, TPoint screen) {
  THitTest code = THitTest::Client;
  if (window.OnHitTest) CallGuarded([&] { code = window.OnHitTest(screen); });
  return code;
}

// Hit testing from the window under the mouse outward: a window answering
// Transparent hands the question to its parent.
THit ResolveHit(TWindowBase& window, TPoint screen) {
  TWindowBase* current = &window;
  for (;;) {
    const THitTest code = AskHitTest(*current, screen);
    if (code == THitTest::Transparent && current->Parent() != nullptr) {
      current = current->Parent();
      continue;
    }
    // Frame answers only mean something to a top-level window.
    if (IsFrameCode(code) && !current->Impl().IsTop) return THit{current, THitTest::Client};
    return THit{current, code};
  }
}

void Deliver(const std::function<void()>& call) { CallGuarded(call); }

void SetWidgetCursor(TWindowImpl& impl, TCursor cursor) {
  impl.Widget->setCursor(QtCursor(cursor));
}

void ShowHoverCursor(TWindowImpl& impl, const THit& hit) {
  const bool frame = IsFrameCode(hit.Code) && hit.Code != THitTest::Caption;
  if (frame) {
    SetWidgetCursor(impl, FrameCursor(hit.Code));
    impl.CursorOverridden = true;
  } else if (impl.CursorOverridden) {
    SetWidgetCursor(impl, impl.Cursor);
    impl.CursorOverridden = false;
  }
}

void BeginFrameDrag(TWindowBase& window, THitTest code, TPoint screen) {
  TMouseState& mouse = Mouse();
  mouse.Drag = TFrameDrag{static_cast<TWindow*>(&window), code, screen, window.BoundsRect()};
}

void ApplyMinimum(TWindow& window, TSizingEdge edge, TRect& rect) {
  const QSize minimum = window.Impl().Widget->minimumSize();
  if (rect.Width() < minimum.width()) {
    if (SizingLeft(edge)) {
      rect.Left = rect.Right - minimum.width();
    } else {
      rect.Right = rect.Left + minimum.width();
    }
  }
  if (rect.Height() < minimum.height()) {
    if (SizingTop(edge)) {
      rect.Top = rect.Bottom - minimum.height();
    } else {
      rect.Bottom = rect.Top + minimum.height();
    }
  }
}

void ContinueFrameDrag(TPoint screen) {
  TFrameDrag& drag = Mouse().Drag;
  const int dx = screen.X - drag.StartCursor.X;
  const int dy = screen.Y - drag.StartCursor.Y;
  TRect rect = drag.StartBounds;
  if (drag.Code == THitTest::Caption) {
    drag.Window->SetPosition(rect.Left + dx, rect.Top + dy);
    return;
  }
  const TSizingEdge edge = EdgeOf(drag.Code);
  if (SizingLeft(edge)) rect.Left += dx;
  if (SizingRight(edge)) rect.Right += dx;
  if (SizingTop(edge)) rect.Top += dy;
  if (SizingBottom(edge)) rect.Bottom += dy;
  TWindow* window = drag.Window;
  if (window->OnSizing) CallGuarded([&] { window->OnSizing(edge, rect); });
  ApplyMinimum(*window, edge, rect);
  window->SetBoundsRect(rect);
}

void NoteMouseLeft(TWindowImpl& impl) {
  if (!impl.MouseInside) return;
  impl.MouseInside = false;
  if (!impl.TrackLeave) return;
  impl.TrackLeave = false;
  TWindowBase* owner = impl.Owner;
  if (owner->OnMouseLeave) Deliver([owner] { owner->OnMouseLeave(); });
}

void HandlePress(TWindowImpl& impl, QMouseEvent* event) {
  const TPoint screen = GlobalPoint(event);
  NoteCursor(screen);
  const auto button = ButtonOf(event->button());
  if (!button) return;
  impl.MouseInside = true;
  const THit hit = ResolveHit(*impl.Owner, screen);
  if (IsFrameCode(hit.Code)) {
    if (*button == TMouseButton::Left) BeginFrameDrag(*hit.Window, hit.Code, screen);
    return;
  }
  if (hit.Code == THitTest::Transparent) return;
  TWindowBase* target = hit.Window;
  Mouse().Capture = target;
  const TPoint local = target->ScreenToClient(screen);
  const TShiftState shift = ShiftOf(event);
  if (target->OnMouseDown) {
    const TMouseEvent record{*button, shift, local, screen,
                             event->type() == QEvent::MouseButtonDblClick};
    Deliver([&] { target->OnMouseDown(record); });
  }
}

void HandleMove(TWindowImpl& impl, QMouseEvent* event) {
  const TPoint screen = GlobalPoint(event);
  NoteCursor(screen);
  TMouseState& mouse = Mouse();
  if (mouse.Drag.Window != nullptr) {
    ContinueFrameDrag(screen);
    return;
  }
  const TShiftState shift = ShiftOf(event);
  if (TWindowBase* capture = mouse.Capture) {
    capture->Impl().MouseInside = PointOver(*capture, screen);
    const TPoint local = capture->ScreenToClient(screen);
    const TMouseEvent record{TMouseButton::Left, shift, local, screen, false};
    if (capture->OnMouseMove) Deliver([&] { capture->OnMouseMove(record); });
    return;
  }
  if (!PointOver(*impl.Owner, screen)) {
    // A button is still held after the capture was given up: the mouse
    // now belongs to whatever lies beneath.
    NoteMouseLeft(impl);
    return;
  }
  impl.MouseInside = true;
  const THit hit = ResolveHit(*impl.Owner, screen);
  ShowHoverCursor(impl, hit);
  if (hit.Code != THitTest::Client) return;
  TWindowBase* target = hit.Window;
  const TPoint local = target->ScreenToClient(screen);
  const TMouseEvent record{TMouseButton::Left, shift, local, screen, false};
  if (target->OnMouseMove) Deliver([&] { target->OnMouseMove(record); });
}

void HandleRelease(TWindowImpl& impl, QMouseEvent* event) {
  const TPoint screen = GlobalPoint(event);
  NoteCursor(screen);
  TMouseState& mouse = Mouse();
  if (mouse.Drag.Window != nullptr) {
    mouse.Drag = TFrameDrag{};
    return;
  }
  const auto button = ButtonOf(event->button());
  const TShiftState shift = ShiftOf(event);
  TWindowBase* target = mouse.Capture;
  if (target != nullptr) {
    target->ReleaseCapture();
  } else if (PointOver(*impl.Owner, screen)) {
    const THit hit = ResolveHit(*impl.Owner, screen);
    if (hit.Code == THitTest::Client) target = hit.Window;
  }
  const bool outside = !PointOver(*impl.Owner, screen);
  TWindowBase* owner = impl.Owner;
  const TLifeWatch ownerLife = owner->Watch();
  if (target != nullptr && button) {
    const TPoint local = target->ScreenToClient(screen);
    const TMouseEvent record{*button, shift, local, screen, false};
    if (target->OnMouseUp) Deliver([&] { target->OnMouseUp(record); });
  }
  if (outside && ownerLife.Alive()) NoteMouseLeft(owner->Impl());
}

// Win32 shows a context menu once the right button is released; X11 asks
// for it on the press. The window holding the press sees its release
// first, so that nothing begun by the press (a window drag) outlives the
// menu, which takes the real release.
void EndPressBeforeMenu(TPoint screen) {
  TWindowBase* target = Mouse().Capture;
  if (target == nullptr) return;
  target->ReleaseCapture();
  const TMouseEvent record{TMouseButton::Right, 0, target->ScreenToClient(screen), screen, false};
  if (target->OnMouseUp) Deliver([&] { target->OnMouseUp(record); });
}

void ApplyBounds(TWindowImpl& impl, const QRect& rect) {
  impl.Widget->setGeometry(rect);
  const QSize size = impl.Widget->size();
  if (size == impl.LastSize) return;
  impl.LastSize = size;
  LayoutChildren(*impl.Owner);
  TWindowBase* owner = impl.Owner;
  if (owner->OnResize) Deliver([owner] { owner->OnResize(); });
}

// One axis of the anchor rules: the new near edge and extent.
std::pair<int, int> AnchorAxis(int nearEdge, int extent, int oldParent, int newParent,
                               bool nearAnchored, bool farAnchored) {
  const int growth = newParent - oldParent;
  if (nearAnchored && farAnchored) return {nearEdge, extent + growth};
  if (farAnchored) return {nearEdge + growth, extent};
  if (nearAnchored || oldParent <= 0) return {nearEdge, extent};
  // Neither edge: the centre keeps its fraction of the parent's extent.
  const long long centre = 2LL * nearEdge + extent;  // twice the centre
  const long long moved = centre * newParent / oldParent;
  return {static_cast<int>((moved - extent) / 2), extent};
}

QRect AnchoredRect(const TWindowImpl& impl, int parentWidth, int parentHeight) {
  const TAnchorOrigin& origin = impl.Origin;
  const auto [left, width] =
      AnchorAxis(origin.Bounds.Left, origin.Bounds.Width(), origin.ParentWidth, parentWidth,
                 impl.Anchors & akLeft, impl.Anchors & akRight);
  const auto [top, height] =
      AnchorAxis(origin.Bounds.Top, origin.Bounds.Height(), origin.ParentHeight, parentHeight,
                 impl.Anchors & akTop, impl.Anchors & akBottom);
  return QRect(left, top, std::max(width, 0), std::max(height, 0));
}

void DockChildren(TWindowBase& parent) {
  TRect room = parent.ClientRect();
  constexpr TAlign kOrder[] = {TAlign::Top, TAlign::Bottom, TAlign::Left, TAlign::Right,
                               TAlign::Client};
  for (TAlign kind : kOrder) {
    for (TWindowBase* child : parent.Children()) {
      TWindowImpl& impl = child->Impl();
      if (impl.Align != kind || !impl.Visible) continue;
      const TRect bounds = child->BoundsRect();
      TRect place = room;
      switch (kind) {
        case TAlign::Top:
          place.Bottom = std::min(room.Bottom, room.Top + bounds.Height());
          room.Top = place.Bottom;
          break;
        case TAlign::Bottom:
          place.Top = std::max(room.Top, room.Bottom - bounds.Height());
          room.Bottom = place.Top;
          break;
        case TAlign::Left:
          place.Right = std::min(room.Right, room.Left + bounds.Width());
          room.Left = place.Right;
          break;
        case TAlign::Right:
          place.Left = std::max(room.Left, room.Right - bounds.Width());
          room.Right = place.Left;
          break;
        default:
          break;
      }
      ApplyBounds(impl, QRect(place.Left, place.Top, place.Width(), place.Height()));
    }
  }
}

// The stacking order of a window's top-level widget follows its flags; a
// change of flags hides the widget, so it is shown again when it should be.
void SetTopmostFlag(TWindowImpl& impl, bool topmost) {
  if (impl.Topmost == topmost) return;
  impl.Topmost = topmost;
  QWidget& widget = *impl.Widget;
  Qt::WindowFlags flags = widget.windowFlags();
  flags.setFlag(Qt::WindowStaysOnTopHint, topmost);
  // Told to the window system through the native window as it is (on X11
  // the window manager's "above" state). Changing the widget's own flags
  // would make a new native window: hidden and shown again, and the key
  // being pressed would repeat on it.
  widget.overrideWindowFlags(flags);
  if (QWindow* native = widget.windowHandle()) native->setFlags(flags);
}

// Windows of up to this many pixels are painted whole on every paint. A
// larger one paints only the part Qt asks for (already cut to its ancestors)
// that lies on the desktop, through a canvas whose origin is moved, so that
// its buffer is never larger than what can be seen.
constexpr std::int64_t kWholePaintPixels = std::int64_t{2048} * 2048;

QRect PaintArea(const QWidget& widget, const QRect& asked) {
  const QRect whole = widget.rect();
  if (std::int64_t{whole.width()} * whole.height() <= kWholePaintPixels) return whole;
  QRect area = asked & whole;
  const QScreen* screen = widget.screen();
  if (widget.isVisible() && screen != nullptr) {
    // Painted for the screen (not for a snapshot): only the desktop shows.
    const QRect desktop = screen->virtualGeometry();
    area &= QRect(widget.mapFromGlobal(desktop.topLeft()), desktop.size());
  }
  return area;
}

// The bitmap a window paints into: one shared by all windows (painting is
// one window at a time, and a window paints no more than a screen shows),
// or one of its own when a paint hook paints another window meanwhile.
class TPaintBuffer {
 public:
  TPaintBuffer(int width, int height) {
    TPlatformState& state = State();
    if (!state.PaintBufferBusy) {
      shared_ = &state.PaintBuffer;
      state.PaintBufferBusy = true;
    }
    TBitmap& bitmap = Bitmap();
    if (bitmap.Width() != width || bitmap.Height() != height) {
      bitmap = TBitmap();  // the old pixels go before the new ones come
      bitmap = TBitmap(width, height);
    }
  }
  ~TPaintBuffer() {
    if (shared_ != nullptr) State().PaintBufferBusy = false;
  }
  TPaintBuffer(const TPaintBuffer&) = delete;
  TPaintBuffer& operator=(const TPaintBuffer&) = delete;
  TBitmap& Bitmap() { return shared_ != nullptr ? *shared_ : own_; }

 private:
  TBitmap* shared_ = nullptr;
  TBitmap own_;
};

}  // namespace

QSize LargestWindow() {
  QSize largest(kMinLargestWindowSide, kMinLargestWindowSide);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    largest = largest.expandedTo(screen->virtualSize());
  return largest;
}

std::uintptr_t NextHandle() {
  static std::uintptr_t next = 0x0A00;
  next += 4;
  return next;
}

TWindowBase* WindowOfWidget(QWidget* widget) {
  for (; widget != nullptr; widget = widget->parentWidget()) {
    if (auto* host = dynamic_cast<THostWidget*>(widget)) {
      return host->Impl() != nullptr ? host->Impl()->Owner : nullptr;
    }
    if (QVariant owner = widget->property("ludexWindow"); owner.isValid()) {
      return reinterpret_cast<TWindowBase*>(owner.value<quintptr>());
    }
  }
  return nullptr;
}

void CaptureOrigin(TWindowImpl& impl) {
  impl.Origin.Bounds = impl.Owner->BoundsRect();
  if (impl.Parent != nullptr) {
    impl.Origin.ParentWidth = impl.Parent->ClientWidth();
    impl.Origin.ParentHeight = impl.Parent->ClientHeight();
  }
}

void ApplyPaletteColor(TWindowImpl& impl) {
  if (dynamic_cast<THostWidget*>(impl.Widget) != nullptr) return;
  QPalette palette = impl.Widget->palette();
  palette.setColor(QPalette::Base, ToQColor(impl.Owner->Color()));
  impl.Widget->setPalette(palette);
}

void ShowWindowTitle(TWindowImpl& impl) {
  const std::string& title =
      impl.ShowsApplicationTitle && !ApplicationTitle().empty() ? ApplicationTitle() : impl.Text;
  impl.Widget->setWindowTitle(ToQString(title));
}

void ShowApplicationTitle() {
  for (TWindow* window : TopWindows()) ShowWindowTitle(window->Impl());
}

void AttachWindow(TWindowImpl& impl) {
  impl.Handle = NextHandle();
  impl.Widget->setProperty("ludexWindow",
                           QVariant::fromValue(reinterpret_cast<quintptr>(impl.Owner)));
  impl.Widget->setMouseTracking(true);
  if (impl.Parent != nullptr) impl.Parent->Impl().Children.push_back(impl.Owner);
  impl.LastSize = impl.Widget->size();
  CaptureOrigin(impl);
  ApplyPaletteColor(impl);
}

void LayoutChildren(TWindowBase& parent) {
  const int width = parent.ClientWidth();
  const int height = parent.ClientHeight();
  bool docked = false;
  for (TWindowBase* child : parent.Children()) {
    TWindowImpl& impl = child->Impl();
    if (impl.Align != TAlign::None) {
      docked = true;
      continue;
    }
    ApplyBounds(impl, AnchoredRect(impl, width, height));
  }
  if (docked) DockChildren(parent);
}

bool PreviewKey(QObject* receiver, QKeyEvent* event) {
  if (!receiver->isWidgetType()) return false;
  TWindowBase* window = WindowOfWidget(static_cast<QWidget*>(receiver));
  if (window == nullptr) return false;
  TWindow* top = window->TopLevel();
  if (top == nullptr || !top->OnKeyDown) return false;
  int key = VirtualKeyFromQtKey(event->key(), event->modifiers() & Qt::KeypadModifier);
  if (key == VK_NONE) return false;
  const TShiftState shift = ShiftOf(event);
  CallGuarded([&] { top->OnKeyDown(key, shift); });
  return key == VK_NONE;
}

bool RouteWheel(QObject* receiver, QWheelEvent* event) {
  if (!receiver->isWidgetType()) return false;
  TWindowBase* window = WindowOfWidget(static_cast<QWidget*>(receiver));
  if (window == nullptr) return false;
  TWindow* top = window->TopLevel();
  if (top == nullptr || !top->OnMouseWheel) return false;
  const int delta = event->angleDelta().y();
  if (delta == 0) return false;
  CallGuarded([&] { top->OnMouseWheel(delta > 0); });
  return true;
}

THostWidget::THostWidget(TWindowImpl& impl, QWidget* parent, Qt::WindowFlags flags)
    : QWidget(parent, flags), impl_(&impl) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
}

bool THostWidget::event(QEvent* event) {
  if (impl_ != nullptr && event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    std::string text = impl_->Hint;
    TWindowBase* owner = impl_->Owner;
    if (HintHook()) CallGuarded([&] { HintHook()(text, *owner); });
    if (text.empty()) {
      QToolTip::hideText();
    } else {
      QToolTip::showText(help->globalPos(), ToQString(text), this);
    }
    return true;
  }
  return QWidget::event(event);
}

void THostWidget::paintEvent(QPaintEvent* event) {
  if (impl_ == nullptr) return;
  impl_->InvalidPending = false;
  const QRect area = PaintArea(*this, event->rect());
  if (area.isEmpty()) return;
  TPaintBuffer buffer(area.width(), area.height());
  TCanvas canvas(buffer.Bitmap());
  canvas.SetOrigin(TPoint{area.x(), area.y()});
  // A window painted in part draws only where Qt asks: an opaque sibling
  // above it takes its part out.
  if (area != rect()) canvas.SetClipRegion(FromQRegion(event->region() & area));
  canvas.FillRect(Bounds(area.x(), area.y(), area.width(), area.height()), impl_->Owner->Color());
  TWindowBase* owner = impl_->Owner;
  if (owner->OnPaint) CallGuarded([&] { owner->OnPaint(canvas); });
  if (impl_ == nullptr) return;
  QPainter painter(this);
  painter.drawImage(area.topLeft(), ConstImageView(buffer.Bitmap()));
}

void THostWidget::mousePressEvent(QMouseEvent* event) {
  if (impl_ != nullptr) HandlePress(*impl_, event);
}

void THostWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  if (impl_ != nullptr) HandlePress(*impl_, event);
}

void THostWidget::mouseMoveEvent(QMouseEvent* event) {
  if (impl_ != nullptr) HandleMove(*impl_, event);
}

void THostWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (impl_ != nullptr) HandleRelease(*impl_, event);
}

void THostWidget::enterEvent(QEnterEvent*) {
  if (impl_ != nullptr) impl_->MouseInside = true;
}

void THostWidget::leaveEvent(QEvent*) {
  if (impl_ != nullptr && Mouse().Capture != impl_->Owner) NoteMouseLeft(*impl_);
}

void THostWidget::resizeEvent(QResizeEvent*) {
  if (impl_ == nullptr || size() == impl_->LastSize) return;
  impl_->LastSize = size();
  LayoutChildren(*impl_->Owner);
  TWindowBase* owner = impl_->Owner;
  if (owner->OnResize) CallGuarded([owner] { owner->OnResize(); });
}

void THostWidget::contextMenuEvent(QContextMenuEvent* event) {
  if (impl_ == nullptr || impl_->Menu == nullptr) {
    event->ignore();
    return;
  }
  const TPoint screen{event->globalPos().x(), event->globalPos().y()};
  const TLifeWatch life = impl_->Owner->Watch();
  EndPressBeforeMenu(screen);
  if (life.Alive() && impl_ != nullptr && impl_->Menu != nullptr) impl_->Menu->Popup(screen);
}

void THostWidget::closeEvent(QCloseEvent* event) {
  // The desktop's close request (the frame's close button) closes the
  // window the same way Close does; the widget itself stays.
  event->ignore();
  if (impl_ != nullptr && impl_->IsTop) static_cast<TWindow*>(impl_->Owner)->Close();
}

void THostWidget::keyPressEvent(QKeyEvent* event) {
  // Child windows take no keys of their own; keys reach the top-level
  // window's preview only once.
  if (impl_ != nullptr && !impl_->IsTop) {
    event->accept();
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace detail

using detail::TWindowImpl;

bool SizingLeft(TSizingEdge edge) {
  return edge == TSizingEdge::Left || edge == TSizingEdge::TopLeft ||
         edge == TSizingEdge::BottomLeft;
}
bool SizingRight(TSizingEdge edge) {
  return edge == TSizingEdge::Right || edge == TSizingEdge::TopRight ||
         edge == TSizingEdge::BottomRight;
}
bool SizingTop(TSizingEdge edge) {
  return edge == TSizingEdge::Top || edge == TSizingEdge::TopLeft || edge == TSizingEdge::TopRight;
}
bool SizingBottom(TSizingEdge edge) {
  return edge == TSizingEdge::Bottom || edge == TSizingEdge::BottomLeft ||
         edge == TSizingEdge::BottomRight;
}

TWindowBase::TWindowBase(std::unique_ptr<TWindowImpl> impl) : impl_(std::move(impl)) {
  impl_->Owner = this;
}

TWindowBase::~TWindowBase() {
  TWindowImpl& impl = *impl_;
  detail::TMouseState& mouse = detail::Mouse();
  if (mouse.Capture == this) mouse.Capture = nullptr;
  if (mouse.Drag.Window == this) mouse.Drag = detail::TFrameDrag{};
  for (TWindowBase* child : impl.Children) {
    // Children outliving their parent are left detached and hidden.
    TWindowImpl& childImpl = child->Impl();
    childImpl.Parent = nullptr;
    childImpl.Widget->hide();
    childImpl.Widget->setParent(nullptr);
  }
  if (impl.Parent != nullptr) {
    auto& siblings = impl.Parent->Impl().Children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
  if (auto* host = dynamic_cast<detail::THostWidget*>(impl.Widget)) host->Detach();
  impl.Widget->setProperty("ludexWindow", QVariant());
  impl.Widget->hide();
  if (detail::State().DispatchDepth > 0) {
    // Qt may still be inside one of this widget's event handlers.
    impl.Widget->setParent(nullptr);
    impl.Widget->deleteLater();
  } else {
    delete impl.Widget;
  }
}

std::uintptr_t TWindowBase::Handle() const { return impl_->Handle; }

TLifeWatch TWindowBase::Watch() const { return impl_->Life.Watch(); }

TWindowBase* TWindowBase::Parent() const { return impl_->Parent; }

const std::vector<TWindowBase*>& TWindowBase::Children() const { return impl_->Children; }

TWindow* TWindowBase::TopLevel() {
  TWindowBase* window = this;
  while (window->Parent() != nullptr) window = window->Parent();
  return window->Impl().IsTop ? static_cast<TWindow*>(window) : nullptr;
}

TRect TWindowBase::BoundsRect() const {
  const QRect rect = impl_->Widget->geometry();
  return Bounds(rect.x(), rect.y(), rect.width(), rect.height());
}

void TWindowBase::SetBounds(int left, int top, int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (impl_->IsTop) {
    // A top-level window is never larger than a screen could show.
    const QSize largest = detail::LargestWindow();
    width = std::min(width, largest.width());
    height = std::min(height, largest.height());
  }
  detail::ApplyBounds(*impl_, QRect(left, top, width, height));
  detail::CaptureOrigin(*impl_);
  if (impl_->Align != TAlign::None && impl_->Parent != nullptr) {
    detail::LayoutChildren(*impl_->Parent);
  }
}

int TWindowBase::ClientWidth() const { return impl_->Widget->width(); }

int TWindowBase::ClientHeight() const { return impl_->Widget->height(); }

TRect TWindowBase::ScreenRect() const {
  const TPoint origin = ClientToScreen(TPoint{0, 0});
  return Bounds(origin.X, origin.Y, Width(), Height());
}

TPoint TWindowBase::ClientToScreen(TPoint point) const {
  const QPoint global = impl_->Widget->mapToGlobal(QPoint(point.X, point.Y));
  return TPoint{global.x(), global.y()};
}

TPoint TWindowBase::ScreenToClient(TPoint point) const {
  const QPoint local = impl_->Widget->mapFromGlobal(QPoint(point.X, point.Y));
  return TPoint{local.x(), local.y()};
}

TAnchors TWindowBase::Anchors() const { return impl_->Anchors; }

void TWindowBase::SetAnchors(TAnchors anchors) {
  impl_->Anchors = anchors;
  detail::CaptureOrigin(*impl_);
}

TAlign TWindowBase::Align() const { return impl_->Align; }

void TWindowBase::SetAlign(TAlign align) {
  if (impl_->Align == align) return;
  impl_->Align = align;
  detail::CaptureOrigin(*impl_);
  if (impl_->Parent != nullptr) detail::LayoutChildren(*impl_->Parent);
}

bool TWindowBase::Visible() const { return impl_->Visible; }

void TWindowBase::SetVisible(bool visible) {
  TWindowImpl& impl = *impl_;
  if (impl.Visible == visible) return;
  impl.Visible = visible;
  if (!visible) {
    impl.Widget->hide();
  } else if (!impl.HiddenByApplication) {
    impl.Widget->show();
  }
  if (impl.Align != TAlign::None && impl.Parent != nullptr) detail::LayoutChildren(*impl.Parent);
}

bool TWindowBase::Enabled() const { return impl_->Widget->isEnabled(); }

void TWindowBase::SetEnabled(bool enabled) { impl_->Widget->setEnabled(enabled); }

TColor TWindowBase::Color() const {
  if (impl_->ParentColor && impl_->Parent != nullptr) return impl_->Parent->Color();
  return impl_->OwnColor;
}

void TWindowBase::SetColor(TColor color) {
  impl_->OwnColor = color;
  impl_->ParentColor = false;
  detail::ApplyPaletteColor(*impl_);
  Invalidate();
}

bool TWindowBase::ParentColor() const { return impl_->ParentColor; }

void TWindowBase::SetParentColor(bool parentColor) {
  if (parentColor && impl_->Parent != nullptr) impl_->OwnColor = impl_->Parent->Color();
  impl_->ParentColor = parentColor;
  detail::ApplyPaletteColor(*impl_);
  Invalidate();
}

const std::string& TWindowBase::Text() const { return impl_->Text; }

void TWindowBase::SetText(const std::string& text) {
  impl_->Text = text;
  detail::ShowWindowTitle(*impl_);
}

TCursor TWindowBase::Cursor() const { return impl_->Cursor; }

void TWindowBase::SetCursor(TCursor cursor) {
  impl_->Cursor = cursor;
  impl_->CursorOverridden = false;
  detail::SetWidgetCursor(*impl_, cursor);
}

void TWindowBase::SetRegion(const TRegion& region) {
  // The window keeps the shape the window system gets, so that hit tests
  // and snapshots agree with what is shown.
  impl_->Region = region.Bounded();
  if (region.IsEmpty()) {
    // Qt reads an empty mask as "no mask"; a mask beside the widget hides
    // every pixel, as an empty window region does.
    impl_->Widget->setMask(QRegion(-2, -2, 1, 1));
  } else {
    impl_->Widget->setMask(detail::ToQRegion(*impl_->Region));
  }
  Invalidate();
}

void TWindowBase::ClearRegion() {
  impl_->Region.reset();
  impl_->Widget->clearMask();
  Invalidate();
}

bool TWindowBase::HasRegion() const { return impl_->Region.has_value(); }

void TWindowBase::SetPopupMenu(TPopupMenu* menu) { impl_->Menu = menu; }

TPopupMenu* TWindowBase::PopupMenu() const { return impl_->Menu; }

const std::string& TWindowBase::Hint() const { return impl_->Hint; }

void TWindowBase::SetHint(const std::string& hint) { impl_->Hint = hint; }

void TWindowBase::SetClient(TWindowClient* client) { impl_->Client = client; }

TWindowClient* TWindowBase::Client() const { return impl_->Client; }

void TWindowBase::Invalidate() {
  impl_->InvalidPending = true;
  impl_->Widget->update();
}

void TWindowBase::Update() {
  if (impl_->InvalidPending) impl_->Widget->repaint();
}

bool TWindowBase::InvalidationPending() const { return impl_->InvalidPending; }

void TWindowBase::Repaint() {
  impl_->InvalidPending = true;
  impl_->Widget->repaint();
}

void TWindowBase::SetCapture() {
  detail::TMouseState& mouse = detail::Mouse();
  if (mouse.Capture == this) return;
  if (mouse.Capture != nullptr) mouse.Capture->ReleaseCapture();
  mouse.Capture = this;
  if (impl_->Widget->isVisible() && QGuiApplication::mouseButtons() == Qt::NoButton) {
    impl_->Widget->grabMouse();
    mouse.Grabbed = true;
  }
}

void TWindowBase::ReleaseCapture() {
  detail::TMouseState& mouse = detail::Mouse();
  if (mouse.Capture != this) return;
  mouse.Capture = nullptr;
  if (mouse.Grabbed) {
    impl_->Widget->releaseMouse();
    mouse.Grabbed = false;
  }
}

bool TWindowBase::HasCapture() const { return detail::Mouse().Capture == this; }

void TWindowBase::TrackMouseLeave() {
  impl_->TrackLeave = true;
  if (impl_->MouseInside) return;
  // Not over the window now: the notice comes at once, from the loop.
  TWindowBase* self = this;
  PostDeferred([self, life = Watch()] {
    if (!life.Alive()) return;
    TWindowImpl& impl = self->Impl();
    if (!impl.TrackLeave || impl.MouseInside) return;
    impl.TrackLeave = false;
    if (self->OnMouseLeave) self->OnMouseLeave();
  });
}

bool TWindowBase::MouseInside() const { return impl_->MouseInside; }

TWindowBase* CaptureWindow() { return detail::Mouse().Capture; }

std::uintptr_t CaptureHandle() {
  TWindowBase* capture = detail::Mouse().Capture;
  return capture != nullptr ? capture->Handle() : 0;
}

void SetHintHook(THintHook hook) { detail::HintHook() = std::move(hook); }

namespace {

std::unique_ptr<TWindowImpl> MakeTopImpl(TWindow::TStyle style) {
  auto impl = std::make_unique<TWindowImpl>();
  impl->IsTop = true;
  impl->ShowsApplicationTitle = style == TWindow::TStyle::Borderless;
  impl->OwnColor = SystemColor(TSystemColor::ButtonFace);
  const Qt::WindowFlags flags =
      style == TWindow::TStyle::Borderless
          ? Qt::Window | Qt::FramelessWindowHint
          : Qt::Tool | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  impl->Widget = new detail::THostWidget(*impl, nullptr, flags);
  // Tooltips show over inactive windows too, as Win32's do: a skinned
  // window is often not the active one when the mouse rests on it.
  impl->Widget->setAttribute(Qt::WA_AlwaysShowToolTips);
  return impl;
}

std::unique_ptr<TWindowImpl> MakeChildImpl(TWindowBase& parent) {
  auto impl = std::make_unique<TWindowImpl>();
  impl->Parent = &parent;
  impl->ParentColor = true;
  impl->OwnColor = parent.Color();
  impl->Visible = true;
  impl->Widget = new detail::THostWidget(*impl, parent.Impl().Widget, Qt::Widget);
  return impl;
}

}  // namespace

TWindow::TWindow(TStyle style) : TWindowBase(MakeTopImpl(style)) {
  detail::AttachWindow(Impl());
  detail::TopWindows().push_back(this);
  detail::ShowWindowTitle(Impl());
}

TWindow::~TWindow() {
  TWindowImpl& impl = Impl();
  if (impl.ModalLoop != nullptr) impl.ModalLoop->exit(0);
  auto& windows = detail::TopWindows();
  windows.erase(std::remove(windows.begin(), windows.end(), this), windows.end());
}

void TWindow::ShowModal() {
  TWindowImpl& impl = Impl();
  if (impl.ModalLoop != nullptr) return;
  QEventLoop loop;
  const TLifeWatch life = Watch();
  impl.ModalLoop = &loop;
  impl.Widget->setWindowModality(Qt::ApplicationModal);
  impl.Visible = false;
  SetVisible(true);
  impl.Widget->raise();
  impl.Widget->activateWindow();
  loop.exec();
  if (!life.Alive()) return;
  impl.ModalLoop = nullptr;
  SetVisible(false);
  impl.Widget->setWindowModality(Qt::NonModal);
}

bool TWindow::IsModal() const { return Impl().ModalLoop != nullptr; }

void TWindow::Close() {
  TWindowImpl& impl = Impl();
  if (impl.ModalLoop != nullptr) impl.ModalLoop->exit(0);
  SetVisible(false);
  if (OnClose) CallGuarded(OnClose);
}

TWindowState TWindow::State() const {
  const Qt::WindowStates state = Impl().Widget->windowState();
  if (state & Qt::WindowMinimized) return TWindowState::Minimized;
  if (state & Qt::WindowMaximized) return TWindowState::Maximized;
  return TWindowState::Normal;
}

void TWindow::Minimize() {
  Impl().Widget->setWindowState(Impl().Widget->windowState() | Qt::WindowMinimized);
}

void TWindow::Maximize() {
  Impl().Widget->setWindowState((Impl().Widget->windowState() & ~Qt::WindowMinimized) |
                                Qt::WindowMaximized);
}

void TWindow::Restore() {
  Impl().Widget->setWindowState(Impl().Widget->windowState() &
                                ~(Qt::WindowMinimized | Qt::WindowMaximized));
}

void TWindow::SetTopmost(bool topmost) { detail::SetTopmostFlag(Impl(), topmost); }

bool TWindow::Topmost() const { return Impl().Topmost; }

void TWindow::SetSizeConstraints(int minWidth, int minHeight) {
  const QSize largest = detail::LargestWindow();
  Impl().Widget->setMinimumSize(std::clamp(minWidth, 0, largest.width()),
                                std::clamp(minHeight, 0, largest.height()));
}

void TWindow::BringToFront() {
  Impl().Widget->raise();
  Impl().Widget->activateWindow();
}

bool TWindow::IsActive() const { return ActiveWindow() == this; }

TChildWindow::TChildWindow(TWindowBase& parent) : TWindowBase(MakeChildImpl(parent)) {
  detail::AttachWindow(Impl());
  Impl().Widget->show();
}

TWindow* ActiveWindow() {
  const QWindow* focus = QGuiApplication::focusWindow();
  if (focus == nullptr) return nullptr;
  for (TWindow* window : detail::TopWindows()) {
    if (window->Impl().Widget->windowHandle() == focus) return window;
  }
  return nullptr;
}

void PostCloseToActiveWindow() {
  TWindow* window = ActiveWindow();
  if (window == nullptr) return;
  PostDeferred([window, life = window->Watch()] {
    if (life.Alive()) window->Close();
  });
}

void MinimizeApplication(bool hideFromTaskbar) {
  for (TWindow* window : detail::TopWindows()) {
    TWindowImpl& impl = window->Impl();
    if (!impl.Visible) continue;
    if (hideFromTaskbar) {
      impl.HiddenByApplication = true;
      impl.Widget->hide();
    } else {
      window->Minimize();
    }
  }
  detail::ApplicationMinimized() = true;
}

void RestoreApplication() {
  TWindow* last = nullptr;
  for (TWindow* window : detail::TopWindows()) {
    TWindowImpl& impl = window->Impl();
    const bool wasHidden = std::exchange(impl.HiddenByApplication, false);
    if (!impl.Visible) continue;
    if (wasHidden) impl.Widget->show();
    if (window->State() == TWindowState::Minimized) window->Restore();
    last = window;
  }
  detail::ApplicationMinimized() = false;
  if (last != nullptr) last->BringToFront();
}

bool IsApplicationMinimized() {
  if (detail::ApplicationMinimized()) return true;
  bool anyVisible = false;
  for (TWindow* window : detail::TopWindows()) {
    if (!window->Visible()) continue;
    anyVisible = true;
    if (window->State() != TWindowState::Minimized) return false;
  }
  return anyVisible;
}

void SetApplicationTopmost(bool topmost) {
  for (TWindow* window : detail::TopWindows()) window->SetTopmost(topmost);
}

}  // namespace platform
