#pragma once

#include <functional>
#include <memory>
#include <string>

// The application object and its message loop (the Win32 message pump,
// PostQuitMessage, SetTimer, PostMessage to oneself) and the application-wide
// exception handler. Everything runs on the one GUI thread.
namespace platform {

// Why the program cannot show windows here, or empty when it can. Without
// QT_QPA_PLATFORM, a session needs DISPLAY or WAYLAND_DISPLAY, and a DISPLAY
// must accept a connection.
std::string GraphicalSessionProblem();

// The process's application object; exactly one exists at a time, created
// before any window. Creating it without a graphical session prints one line
// ("ludex: no graphical session ...") to standard error and ends the process
// with exit status 1, since nothing could be shown.
//
// It owns the layer's program-wide state (hooks, exception handler, title,
// quit bookkeeping, window list, mouse capture, atoms): a title or a quit set
// before it exists carries over, and all of it ends with the application.
class TApplication {
 public:
  TApplication();
  ~TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

 private:
  struct TImpl;
  std::unique_ptr<TImpl> impl_;
};

// True while a TApplication exists.
bool ApplicationExists();

// Runs the message loop until the quit message arrives; returns its exit
// code. A quit posted while no loop runs ends the next loop at once.
int RunMessageLoop();
// Posts the quit message: the running loop (and every modal loop inside it)
// ends once the events queued before it are handled.
void PostQuit(int exitCode);
// Handles every pending event and returns.
void ProcessMessages();
// Paints every window that waits for a repaint and hands the drawn pixels
// to the display server, so that they are on the screen before this thread
// pauses or computes; handles no input.
void FlushDisplay();
// Runs the call from the message loop, after the events already queued.
void PostDeferred(std::function<void()> call);

// Receives the message of every exception that escapes a callback the
// platform layer dispatches (paint, mouse, keys, timers, menus, tray, hot
// keys, list box, deferred calls). The loop goes on afterwards. Without a
// handler the message is written to standard error.
using TExceptionHandler = std::function<void(const std::string& message)>;
void SetExceptionHandler(TExceptionHandler handler);
// Runs the call; an exception it throws goes to the exception handler.
void CallGuarded(const std::function<void()>& call);
// Hands the exception currently being handled to the exception handler;
// only valid inside a catch block.
void HandleCurrentException();

// The application title (the task-bar caption of the hidden main window).
void SetApplicationTitle(const std::string& title);
std::string ApplicationTitle();

// Minimising the whole application (every visible top-level window). With
// hideFromTaskbar the windows are taken off the screen and the task bar
// entirely, as when only a tray icon stands for the program; they still
// count as visible. Restoring brings them back and activates the last one.
void MinimizeApplication(bool hideFromTaskbar);
void RestoreApplication();
bool IsApplicationMinimized();
// Places every top-level window in the topmost layer, or takes them out.
void SetApplicationTopmost(bool topmost);

// Notices about the whole application, handed to the application hook.
enum class TAppEvent {
  EndSession,         // the user is logging off or the system shuts down
  ActivationChanged,  // the application became active or inactive
};
using TAppHook = std::function<void(TAppEvent event)>;
// Installs the hook (an empty function removes it).
void SetApplicationHook(TAppHook hook);
// True while one of the program's windows is the active window.
bool IsApplicationActive();

// A message-loop timer (SetTimer): the callback runs from the loop every
// interval milliseconds while the timer is enabled. Destroying it stops it.
class TTimer {
 public:
  TTimer(int intervalMs, std::function<void()> onTimer);
  ~TTimer();
  TTimer(const TTimer&) = delete;
  TTimer& operator=(const TTimer&) = delete;

  void SetEnabled(bool enabled);
  bool Enabled() const;
  // Changing the interval of an enabled timer restarts it.
  void SetInterval(int intervalMs);
  int Interval() const;

 private:
  struct TImpl;
  std::unique_ptr<TImpl> impl_;
};

}  // namespace platform
