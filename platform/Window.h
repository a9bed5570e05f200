#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Keys.h"
#include "platform/Lifetime.h"
#include "platform/Types.h"

// Windows of the program: top-level windows (Win32 forms, borderless unless a
// tool window is asked for) and owner-drawn, double-buffered child windows
// (one per skinned control). Events reach the program through the
// std::function hooks of each window; each hook runs guarded, so an
// exception goes to the application's exception handler (Application.h).
namespace platform {

class TCanvas;
class TRegion;
class TPopupMenu;
class TWindow;

namespace detail {
struct TWindowImpl;
}

enum class TMouseButton { Left, Right, Middle };

// One mouse event as the hooks receive it. Mouse moves carry the left
// button; DoubleClick marks the second press of a double click.
struct TMouseEvent {
  TMouseButton Button = TMouseButton::Left;
  TShiftState Shift = 0;
  TPoint Client;  // pixels of the window receiving the event
  TPoint Screen;
  bool DoubleClick = false;
};

enum class TCursor { Default, Hand, Help, HSplit, VSplit, SizeWE, SizeNS, SizeNWSE, SizeNESW };

// Anchor flags: which edges keep their distance to the parent's edges.
enum TAnchorFlag : unsigned { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
using TAnchors = unsigned;

// Docking alignment (Delphi's Align).
enum class TAlign { None, Top, Bottom, Left, Right, Client };

// Answers of a hit-test hook (the meanings of Win32's HT* codes).
enum class THitTest {
  Client,       // an ordinary press in the window (HTCLIENT)
  Transparent,  // the window beneath answers (HTTRANSPARENT)
  Caption,      // dragging moves the top-level window (HTCAPTION)
  Left,
  Right,
  Top,
  TopLeft,
  TopRight,
  Bottom,
  BottomLeft,
  BottomRight,
};

// The edge being dragged while the user resizes a window (WMSZ_*).
enum class TSizingEdge { Left, Right, Top, TopLeft, TopRight, Bottom, BottomLeft, BottomRight };
bool SizingLeft(TSizingEdge edge);
bool SizingRight(TSizingEdge edge);
bool SizingTop(TSizingEdge edge);
bool SizingBottom(TSizingEdge edge);

// Requests of the desktop to start the screen saver or to power the monitor
// down (SC_SCREENSAVE, SC_MONITORPOWER). No Linux desktop asks windows about
// these, so the hook that receives them is never called here.
enum class TSystemCommand { ScreenSave, MonitorPower };

enum class TWindowState { Normal, Minimized, Maximized };

// Base of the program objects that stand behind windows (the skinned
// controls): the hint hook finds the object under the mouse through it.
class TWindowClient {
 public:
  virtual ~TWindowClient() = default;
};

// What top-level and child windows share. A window owns its native widget;
// child windows are owned by whoever created them, and a parent destroyed
// before its children leaves them detached and hidden.
class TWindowBase {
 public:
  virtual ~TWindowBase();
  TWindowBase(const TWindowBase&) = delete;
  TWindowBase& operator=(const TWindowBase&) = delete;

  // A stable number naming the window for its life (the window handle).
  std::uintptr_t Handle() const;
  // Tells whether the window still exists after a call that may destroy it.
  TLifeWatch Watch() const;
  TWindowBase* Parent() const;
  // Child windows in creation order.
  const std::vector<TWindowBase*>& Children() const;
  // The top-level window this window belongs to (itself for a top-level one).
  TWindow* TopLevel();

  // Bounds: screen pixels for a top-level window, parent client pixels for a
  // child. Setting them on a child also makes them the reference of its
  // anchors.
  TRect BoundsRect() const;
  int Left() const { return BoundsRect().Left; }
  int Top() const { return BoundsRect().Top; }
  int Width() const { return BoundsRect().Width(); }
  int Height() const { return BoundsRect().Height(); }
  void SetBounds(int left, int top, int width, int height);
  void SetBoundsRect(const TRect& rect) {
    SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height());
  }
  void SetPosition(int left, int top) { SetBounds(left, top, Width(), Height()); }
  void SetSize(int width, int height) { SetBounds(Left(), Top(), width, height); }
  int ClientWidth() const;
  int ClientHeight() const;
  TRect ClientRect() const { return TRect{0, 0, ClientWidth(), ClientHeight()}; }
  // The window's rectangle in screen pixels.
  TRect ScreenRect() const;
  TPoint ClientToScreen(TPoint point) const;
  TPoint ScreenToClient(TPoint point) const;

  // Layout (children only): anchors and docking, applied whenever the
  // parent's client size changes. New children have akLeft | akTop.
  TAnchors Anchors() const;
  void SetAnchors(TAnchors anchors);
  TAlign Align() const;
  void SetAlign(TAlign align);

  // The window's own visibility flag (Delphi's Visible): a visible child of a
  // hidden window is not on the screen but still reads visible.
  bool Visible() const;
  void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  bool Enabled() const;
  void SetEnabled(bool enabled);

  // Background colour; a child takes its parent's until one is set.
  TColor Color() const;
  void SetColor(TColor color);
  bool ParentColor() const;
  void SetParentColor(bool parentColor);

  // Window text (a top-level window's caption).
  const std::string& Text() const;
  void SetText(const std::string& text);

  TCursor Cursor() const;
  void SetCursor(TCursor cursor);

  // The window region: outside it nothing is drawn and the mouse reaches
  // whatever lies beneath. Coordinates are the window's own.
  void SetRegion(const TRegion& region);
  void ClearRegion();
  bool HasRegion() const;

  // Shown at the cursor on a right click; without one the parent's is used.
  void SetPopupMenu(TPopupMenu* menu);
  TPopupMenu* PopupMenu() const;

  // Tooltip text; the application-wide hint hook may change it.
  const std::string& Hint() const;
  void SetHint(const std::string& hint);

  void SetClient(TWindowClient* client);
  TWindowClient* Client() const;

  // Painting: Invalidate queues a repaint, Update paints pending parts now,
  // Repaint does both. InvalidationPending tells whether a repaint was asked
  // for since the window last painted.
  void Invalidate();
  void Update();
  void Repaint();
  bool InvalidationPending() const;

  // Mouse capture: a button press captures the mouse to the window that
  // takes it, the release frees it; SetCapture and ReleaseCapture do it
  // explicitly. Without the capture a window only sees the mouse over it.
  void SetCapture();
  void ReleaseCapture();
  bool HasCapture() const;
  // One-shot mouse-leave notice (TrackMouseEvent with TME_LEAVE): OnMouseLeave
  // runs once the mouse has left the window; at once (from the loop) when it
  // is not over the window now.
  void TrackMouseLeave();
  // Whether the mouse is over the window as far as its events tell.
  bool MouseInside() const;

  // Hooks. Mouse coordinates are client pixels of this window.
  std::function<void(TCanvas& canvas)> OnPaint;
  std::function<void(const TMouseEvent& event)> OnMouseDown;
  std::function<void(const TMouseEvent& event)> OnMouseMove;
  std::function<void(const TMouseEvent& event)> OnMouseUp;
  std::function<void()> OnMouseLeave;
  // After every change of the window's size.
  std::function<void()> OnResize;
  // Asked for every mouse press and hover, with the cursor in screen
  // pixels; without a hook the window answers Client. A child answering
  // Transparent passes the question to its parent; a top-level window's
  // edge and corner answers make the layer resize it with the mouse, and
  // Caption makes it move the window.
  std::function<THitTest(TPoint screen)> OnHitTest;

  // The layer's own state (platform internal).
  detail::TWindowImpl& Impl() { return *impl_; }
  const detail::TWindowImpl& Impl() const { return *impl_; }

 protected:
  explicit TWindowBase(std::unique_ptr<detail::TWindowImpl> impl);

 private:
  std::unique_ptr<detail::TWindowImpl> impl_;
};

// The window holding the mouse capture (GetCapture), or null.
TWindowBase* CaptureWindow();
std::uintptr_t CaptureHandle();

// The application-wide hint hook: it receives the tooltip text about to be
// shown for the window under the mouse and may change it; empty text shows
// no tooltip. An empty function removes the hook.
using THintHook = std::function<void(std::string& text, TWindowBase& window)>;
void SetHintHook(THintHook hook);

// A top-level window, hidden at creation.
class TWindow : public TWindowBase {
 public:
  enum class TStyle {
    Borderless,  // no frame, no caption: the skinned windows
    Tool,        // a small framed window with a close button
  };
  explicit TWindow(TStyle style = TStyle::Borderless);
  ~TWindow() override;

  // Shows the window and runs a modal loop until it is closed.
  void ShowModal();
  bool IsModal() const;
  // Hides the window; a modal window also ends its modal loop.
  void Close();

  TWindowState State() const;
  void Minimize();
  void Maximize();
  void Restore();

  void SetTopmost(bool topmost);
  bool Topmost() const;
  // Lower limits of the size the window may take, by the user or a call.
  void SetSizeConstraints(int minWidth, int minHeight);
  void BringToFront();
  bool IsActive() const;

  // Key preview: every key pressed in the window or one of its children,
  // as a virtual-key code, before the child sees it. Setting key to 0
  // swallows the key.
  std::function<void(int& key, TShiftState shift)> OnKeyDown;
  // One wheel step, turned away from the user (forward) or toward him.
  std::function<void(bool forward)> OnMouseWheel;
  // While the user drags an edge or corner: the proposed outer rectangle in
  // screen pixels, which the hook may change before it is applied.
  std::function<void(TSizingEdge edge, TRect& rect)> OnSizing;
  // Return true to refuse the request. Never called on Linux (see
  // TSystemCommand).
  std::function<bool(TSystemCommand command)> OnSystemCommand;
  // After the window was closed (by Close or by the desktop).
  std::function<void()> OnClose;
};

// The program's top-level window that has the keyboard focus, or null (the
// foreground window when it belongs to this program; other programs'
// windows are out of reach).
TWindow* ActiveWindow();
// Posts a close request to ActiveWindow: it is closed from the message loop,
// as if the user had closed it. Nothing when none of ours is active.
void PostCloseToActiveWindow();

// An owner-drawn, double-buffered child window: painting goes to an
// off-screen bitmap, filled with the background colour first, through
// OnPaint, and reaches the screen in one copy.
class TChildWindow : public TWindowBase {
 public:
  explicit TChildWindow(TWindowBase& parent);
  // A child of another child (chosen over the deleted copy constructor).
  explicit TChildWindow(TChildWindow& parent) : TChildWindow(static_cast<TWindowBase&>(parent)) {}
};

}  // namespace platform
