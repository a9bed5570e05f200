#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/Bitmap.h"
#include "platform/Types.h"
#include "platform/Window.h"

// The platform layer's program-wide state: the hooks, the loop's quit
// bookkeeping, the top-level windows, the mouse capture, the atom table.
// The application object owns it, so it lives and ends with TApplication
// and nothing of it outlives the windows and callbacks it points to. What is
// set while no application exists (a title, a quit for the next loop) waits
// in a standby state that the next application takes over.
namespace platform::detail {

// A resize or move of a top-level window that the layer performs itself
// while the user drags an edge, a corner or a caption.
struct TFrameDrag {
  TWindow* Window = nullptr;
  THitTest Code = THitTest::Client;
  TPoint StartCursor;
  TRect StartBounds;
};

struct TMouseState {
  TWindowBase* Capture = nullptr;
  bool Grabbed = false;  // the capture was taken explicitly (grabMouse)
  TFrameDrag Drag;
};

struct TLoopState {
  std::optional<int> PendingQuit;
  // Quit messages are numbered; one posted before the last loop ended is
  // stale and must not end a later loop.
  unsigned QuitsPosted = 0;
  unsigned QuitsDone = 0;
  std::string Title;
};

// An entry of the atom table, which behaves like the system's global one.
struct TAtom {
  std::string Text;
  int Count = 0;
};

struct TPlatformState {
  TExceptionHandler ExceptionHandler;
  TAppHook AppHook;
  THintHook HintHook;
  TLoopState Loop;
  TMouseState Mouse;
  std::vector<TWindow*> TopWindows;
  bool ApplicationMinimized = false;
  // Nesting depth of event dispatch: widgets are deleted later while their
  // events are being handled.
  int DispatchDepth = 0;
  std::map<std::uint16_t, TAtom> Atoms;
  // The last cursor position set or seen (the offscreen platform has no
  // cursor of its own).
  TPoint RememberedCursor;
  // The bitmap windows paint into, shared since one paints at a time.
  TBitmap PaintBuffer;
  bool PaintBufferBusy = false;
};

// The state of the application that exists, else the standby state.
TPlatformState& State();

// For TApplication: takes the standby state over (a fresh one when there
// is none) and makes it current; Release ends that.
std::unique_ptr<TPlatformState> AdoptState();
void ReleaseState();

}  // namespace platform::detail
