#include "platform/Screen.h"

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QScreen>
#include <QThread>
#include <QWidget>
#include <algorithm>
#include <memory>

#include "platform/SysColors.h"
#include "platform/detail/QtBridge.h"
#include "platform/detail/State.h"
#include "platform/detail/WindowImpl.h"

namespace platform {

namespace {

bool IsOffscreen() { return QGuiApplication::platformName() == QLatin1String("offscreen"); }

TPoint& RememberedCursor() { return detail::State().RememberedCursor; }

QRect PrimaryGeometry(bool available) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return QRect();
  return available ? screen->availableGeometry() : screen->geometry();
}

QRect ToQRect(const TRect& rect) { return QRect(rect.Left, rect.Top, rect.Width(), rect.Height()); }

}  // namespace

namespace detail {

void NoteCursor(TPoint screen) { RememberedCursor() = screen; }

}  // namespace detail

TPoint CursorPos() {
  if (IsOffscreen()) return RememberedCursor();
  const QPoint point = QCursor::pos();
  return TPoint{point.x(), point.y()};
}

void SetCursorPos(TPoint screen) {
  RememberedCursor() = screen;
  if (!IsOffscreen()) QCursor::setPos(screen.X, screen.Y);
}

int ScreenWidth() { return PrimaryGeometry(false).width(); }

int ScreenHeight() { return PrimaryGeometry(false).height(); }

TRect WorkArea() {
  const QRect area = PrimaryGeometry(true);
  return Bounds(area.x(), area.y(), area.width(), area.height());
}

std::vector<TRect> WorkAreas() {
  std::vector<TRect> areas{WorkArea()};
  for (const QScreen* screen : QGuiApplication::screens()) {
    if (screen == QGuiApplication::primaryScreen()) continue;
    const QRect area = screen->availableGeometry();
    areas.push_back(Bounds(area.x(), area.y(), area.width(), area.height()));
  }
  return areas;
}

namespace {

long long Overlap(const TRect& a, const TRect& b) {
  const long long width = std::min(a.Right, b.Right) - std::max(a.Left, b.Left);
  const long long height = std::min(a.Bottom, b.Bottom) - std::max(a.Top, b.Top);
  return width > 0 && height > 0 ? width * height : 0;
}

// Moves start..start+size into area..area+extent, keeping the start when
// the size does not fit.
int Clamp(int start, int size, int area, int extent) {
  return std::max(area, std::min(start, area + extent - size));
}

}  // namespace

TRect KeepOnScreens(const TRect& window) {
  const std::vector<TRect> areas = WorkAreas();
  TRect target = areas.front();
  long long best = 0;
  for (const TRect& area : areas) {
    if (Overlap(window, area) > best) {
      best = Overlap(window, area);
      target = area;
    }
  }
  const int left = Clamp(window.Left, window.Width(), target.Left, target.Width());
  const int top = Clamp(window.Top, window.Height(), target.Top, target.Height());
  return Bounds(left, top, window.Width(), window.Height());
}

bool AnimationsEnabled() { return !IsOffscreen() && QApplication::isEffectEnabled(Qt::UI_General); }

void AnimateCaption(const TRect& from, const TRect& to) {
  if (!AnimationsEnabled()) return;
  constexpr int kDurationMs = 200;
  constexpr int kCaptionHeight = 18;
  auto caption = std::make_unique<QWidget>(nullptr, Qt::ToolTip | Qt::FramelessWindowHint |
                                                        Qt::WindowStaysOnTopHint |
                                                        Qt::WindowTransparentForInput);
  caption->setAttribute(Qt::WA_ShowWithoutActivating);
  QPalette palette = caption->palette();
  palette.setColor(QPalette::Window, detail::ToQColor(SystemColor(TSystemColor::Highlight)));
  caption->setPalette(palette);
  caption->setAutoFillBackground(true);
  const QRect start = ToQRect(from);
  const QRect end = ToQRect(to);
  QElapsedTimer clock;
  clock.start();
  caption->show();
  for (qint64 elapsed = 0; elapsed < kDurationMs; elapsed = clock.elapsed()) {
    const double t = static_cast<double>(elapsed) / kDurationMs;
    auto mix = [t](int a, int b) { return a + static_cast<int>((b - a) * t); };
    const int height = std::min(kCaptionHeight, std::max(1, mix(start.height(), end.height())));
    caption->setGeometry(mix(start.x(), end.x()), mix(start.y(), end.y()),
                         std::max(1, mix(start.width(), end.width())), height);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    QThread::msleep(10);
  }
}

}  // namespace platform
