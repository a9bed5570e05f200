#pragma once

// Helpers of the window tests: synthesized mouse input goes through the
// window system interface, so Qt routes it as real input (child under the
// point, window masks, implicit grab on press).

#include <gtest/gtest.h>

#include <QTest>
#include <QWidget>
#include <QWindow>

#include "platform/Application.h"
#include "platform/Window.h"
#include "platform/detail/WindowImpl.h"

namespace platform::testing {

inline QWidget* WidgetOf(TWindowBase& window) { return window.Impl().Widget; }

inline QWindow* NativeOf(TWindow& window) {
  WidgetOf(window)->winId();
  return WidgetOf(window)->windowHandle();
}

// Shows the window at the bounds and lets the platform expose it.
inline void ShowAt(TWindow& window, TRect bounds) {
  window.SetBoundsRect(bounds);
  window.Show();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(NativeOf(window)));
  ProcessMessages();
}

// Mouse input at points relative to the top-level window. Presses and
// releases move the mouse there first, so that Qt adds no move of its own.
inline void MoveTo(TWindow& window, TPoint at) {
  QTest::mouseMove(NativeOf(window), QPoint(at.X, at.Y));
}
inline void Press(TWindow& window, TPoint at, Qt::MouseButton button = Qt::LeftButton) {
  MoveTo(window, at);
  QTest::mousePress(NativeOf(window), button, Qt::NoModifier, QPoint(at.X, at.Y));
}
inline void Release(TWindow& window, TPoint at, Qt::MouseButton button = Qt::LeftButton) {
  MoveTo(window, at);
  QTest::mouseRelease(NativeOf(window), button, Qt::NoModifier, QPoint(at.X, at.Y));
}

// The same at screen points, for windows that move under the mouse.
inline TPoint Local(TWindow& window, TPoint screen) {
  return TPoint{screen.X - window.Left(), screen.Y - window.Top()};
}
inline void MoveToScreen(TWindow& window, TPoint screen) { MoveTo(window, Local(window, screen)); }
inline void PressAtScreen(TWindow& window, TPoint screen) { Press(window, Local(window, screen)); }
inline void ReleaseAtScreen(TWindow& window, TPoint screen) {
  Release(window, Local(window, screen));
}

}  // namespace platform::testing
