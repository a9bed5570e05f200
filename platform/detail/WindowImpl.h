#pragma once

// The state behind TWindowBase and the Qt widget that hosts owner-drawn
// windows. Internal to the platform layer.

#include <QEventLoop>
#include <QWidget>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/Lifetime.h"
#include "platform/Region.h"
#include "platform/Window.h"

class QKeyEvent;
class QWheelEvent;

namespace platform::detail {

// Where a child was, and how large its parent was, when its bounds were last
// set by the program: anchors are measured from there.
struct TAnchorOrigin {
  TRect Bounds;
  int ParentWidth = 0;
  int ParentHeight = 0;
};

struct TWindowImpl {
  TWindowBase* Owner = nullptr;
  TLifetime Life;
  QWidget* Widget = nullptr;  // owned; deleted by ~TWindowBase
  bool IsTop = false;
  // A frameless top-level window shows the application's title to the
  // window manager (task lists, window switchers), as the application's one
  // task-bar button does on Win32; framed tool windows show their own text.
  bool ShowsApplicationTitle = false;
  std::uintptr_t Handle = 0;
  TWindowBase* Parent = nullptr;
  std::vector<TWindowBase*> Children;

  TAnchors Anchors = akLeft | akTop;
  TAlign Align = TAlign::None;
  TAnchorOrigin Origin;
  QSize LastSize{-1, -1};

  bool Visible = false;
  TColor OwnColor = 0;
  bool ParentColor = false;
  std::string Text;
  std::string Hint;
  TCursor Cursor = TCursor::Default;
  bool CursorOverridden = false;
  std::optional<TRegion> Region;
  TPopupMenu* Menu = nullptr;
  TWindowClient* Client = nullptr;

  bool TrackLeave = false;
  bool MouseInside = false;
  bool InvalidPending = false;

  // Top-level windows only.
  QEventLoop* ModalLoop = nullptr;
  bool HiddenByApplication = false;
  bool Topmost = false;
};

// The widget of top-level and child windows: it paints through the owner's
// OnPaint and turns Qt's events into the owner's hooks.
class THostWidget : public QWidget {
 public:
  THostWidget(TWindowImpl& impl, QWidget* parent, Qt::WindowFlags flags);
  // Cuts the widget off from its window (the window is going away).
  void Detach() { impl_ = nullptr; }
  TWindowImpl* Impl() const { return impl_; }

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  TWindowImpl* impl_;
};

// Top-level windows, and snapshots, are at most as large as the desktop,
// and never need to be smaller than this on either side.
constexpr int kMinLargestWindowSide = 4096;
// The largest size of a top-level window: what a screen could show.
QSize LargestWindow();
// Gives every window a new handle.
std::uintptr_t NextHandle();
// Registers a window with its parent and sets up what every window shares
// (called by the constructors of the window classes).
void AttachWindow(TWindowImpl& impl);
// Gives the window system the title the window shows: its own text, or the
// application's title for a frameless top-level window.
void ShowWindowTitle(TWindowImpl& impl);
// Shows the application's title on every frameless top-level window.
void ShowApplicationTitle();
// Makes the window's present bounds the reference of its anchors.
void CaptureOrigin(TWindowImpl& impl);
// Gives a native control (not owner-drawn) the window's background colour.
void ApplyPaletteColor(TWindowImpl& impl);
// Re-applies anchors and docking to the children of the window.
void LayoutChildren(TWindowBase& parent);
// Key preview and wheel routing for top-level windows, called for every
// event the application dispatches; true when the event was consumed.
bool PreviewKey(QObject* receiver, QKeyEvent* event);
bool RouteWheel(QObject* receiver, QWheelEvent* event);
// The window the widget belongs to, if it is one of ours.
TWindowBase* WindowOfWidget(QWidget* widget);
// Remembers the cursor position of a mouse event (the offscreen platform
// has no cursor of its own).
void NoteCursor(TPoint screen);

}  // namespace platform::detail
