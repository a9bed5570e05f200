#include "platform/Application.h"

#include <fcntl.h>
#include <unistd.h>
#include <QApplication>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QSocketNotifier>
#include <QTimer>
#include <QWheelEvent>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>
#include <stdexcept>

#include "platform/Lifetime.h"
#include "platform/detail/QtBridge.h"
#include "platform/detail/State.h"
#include "platform/detail/WindowImpl.h"

#ifdef LUDEX_HAVE_XCB
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#endif

namespace platform {

namespace {

TExceptionHandler& ExceptionHandler() { return detail::State().ExceptionHandler; }

TAppHook& AppHook() { return detail::State().AppHook; }

detail::TLoopState& LoopState() { return detail::State().Loop; }

void ReportException(const std::string& message) {
  const TExceptionHandler& handler = ExceptionHandler();
  if (!handler) {
    std::fprintf(stderr, "ludex: unhandled exception: %s\n", message.c_str());
    return;
  }
  try {
    handler(message);
  } catch (...) {
    // The handler itself failed; the loop must still go on.
    std::fprintf(stderr, "ludex: exception in the exception handler: %s\n", message.c_str());
  }
}

void RunHook(TAppEvent event) {
  if (AppHook()) CallGuarded([event] { AppHook()(event); });
}

// The Qt application of the program: no exception ever leaves notify, and
// every key and wheel event passes the top-level window's preview first.
class TQtApplication : public QApplication {
 public:
  TQtApplication(int& argc, char** argv) : QApplication(argc, argv) {}

  bool notify(QObject* receiver, QEvent* event) override {
    ++detail::State().DispatchDepth;
    bool result = false;
    try {
      result = Dispatch(receiver, event);
    } catch (...) {
      HandleCurrentException();
    }
    --detail::State().DispatchDepth;
    return result;
  }

 private:
  bool Dispatch(QObject* receiver, QEvent* event) {
    if (event->type() == QEvent::KeyPress &&
        detail::PreviewKey(receiver, static_cast<QKeyEvent*>(event))) {
      return true;
    }
    if (event->type() == QEvent::Wheel &&
        detail::RouteWheel(receiver, static_cast<QWheelEvent*>(event))) {
      return true;
    }
    return QApplication::notify(receiver, event);
  }
};

// SIGTERM and SIGINT (a session manager logging out, a service stopping
// the program, Ctrl+C in a terminal) reach the program as the end of the
// session, so it closes in order. The handler only writes a byte to a pipe;
// the loop reads it.
std::atomic<int> signalPipe{-1};

extern "C" void OnTerminateSignal(int) {
  const int fd = signalPipe.load();
  if (fd < 0) return;
  const char byte = 1;
  // A full pipe already holds a byte for the loop: nothing is lost.
  [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
}

class TSignalWatch {
 public:
  TSignalWatch() {
    if (::pipe2(fds_, O_CLOEXEC | O_NONBLOCK) != 0) return;
    signalPipe.store(fds_[1]);
    notifier_ = std::make_unique<QSocketNotifier>(fds_[0], QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
      char buffer[16];
      while (::read(fds_[0], buffer, sizeof buffer) > 0) {
      }
      RunHook(TAppEvent::EndSession);
    });
    struct sigaction action {};
    action.sa_handler = OnTerminateSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, &oldTerm_);
    ::sigaction(SIGINT, &action, &oldInt_);
  }
  ~TSignalWatch() {
    if (!notifier_) return;
    ::sigaction(SIGTERM, &oldTerm_, nullptr);
    ::sigaction(SIGINT, &oldInt_, nullptr);
    signalPipe.store(-1);
    notifier_.reset();
    ::close(fds_[0]);
    ::close(fds_[1]);
  }
  TSignalWatch(const TSignalWatch&) = delete;
  TSignalWatch& operator=(const TSignalWatch&) = delete;

 private:
  int fds_[2] = {-1, -1};
  std::unique_ptr<QSocketNotifier> notifier_;
  struct sigaction oldTerm_ {};
  struct sigaction oldInt_ {};
};

// Skinned windows place and shape themselves, which Wayland compositors do
// not allow; where the session also offers X11 (XWayland), Qt is asked to
// use it.
void PreferX11() {
  if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) return;
  if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && !qEnvironmentVariableIsEmpty("DISPLAY")) {
    qputenv("QT_QPA_PLATFORM", "xcb");
  }
}

bool CanConnectToX11() {
#ifdef LUDEX_HAVE_XCB
  xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
  const bool ok = xcb_connection_has_error(connection) == 0;
  xcb_disconnect(connection);
  return ok;
#else
  return true;
#endif
}

}  // namespace

std::string GraphicalSessionProblem() {
  if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) return {};
  const bool x11 = !qEnvironmentVariableIsEmpty("DISPLAY");
  const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
  if (!x11 && !wayland) return "no graphical session (neither DISPLAY nor WAYLAND_DISPLAY is set)";
  if (x11 && !wayland && !CanConnectToX11()) {
    return "no graphical session (cannot connect to the X display \"" +
           qEnvironmentVariable("DISPLAY").toStdString() + "\")";
  }
  return {};
}

namespace detail {

namespace {

TPlatformState* currentState = nullptr;

std::unique_ptr<TPlatformState>& StandbyState() {
  static std::unique_ptr<TPlatformState> standby;
  return standby;
}

}  // namespace

TPlatformState& State() {
  if (currentState != nullptr) return *currentState;
  std::unique_ptr<TPlatformState>& standby = StandbyState();
  if (!standby) standby = std::make_unique<TPlatformState>();
  return *standby;
}

std::unique_ptr<TPlatformState> AdoptState() {
  if (currentState != nullptr) {
    throw std::logic_error("TApplication: an application object exists already");
  }
  std::unique_ptr<TPlatformState> state = std::move(StandbyState());
  if (!state) state = std::make_unique<TPlatformState>();
  currentState = state.get();
  return state;
}

void ReleaseState() { currentState = nullptr; }

}  // namespace detail

namespace {

// The application's share of the platform state, current from its
// construction until everything else of the application is gone.
class TStateOwner {
 public:
  TStateOwner() : state_(detail::AdoptState()) {}
  ~TStateOwner() { detail::ReleaseState(); }
  TStateOwner(const TStateOwner&) = delete;
  TStateOwner& operator=(const TStateOwner&) = delete;

 private:
  std::unique_ptr<detail::TPlatformState> state_;
};

}  // namespace

struct TApplication::TImpl {
  // Declared first, so that it ends last.
  TStateOwner State;
  int Argc = 1;
  char Arg0[6] = "ludex";
  char* Argv[2] = {Arg0, nullptr};
  std::unique_ptr<TQtApplication> App;
  std::unique_ptr<TSignalWatch> Signals;
};

TApplication::TApplication() : impl_(std::make_unique<TImpl>()) {
  if (QCoreApplication::instance() != nullptr) {
    throw std::logic_error("TApplication: an application object exists already");
  }
  if (const std::string problem = GraphicalSessionProblem(); !problem.empty()) {
    std::fprintf(stderr, "ludex: %s\n", problem.c_str());
    std::exit(1);
  }
  PreferX11();
  impl_->App = std::make_unique<TQtApplication>(impl_->Argc, impl_->Argv);
  impl_->Signals = std::make_unique<TSignalWatch>();
  // The font database is read now, before any skin: fontconfig scans the
  // fonts on its first use and writes its cache, and a scan cut short by a
  // process short of memory leaves an empty cache that makes every program
  // of the user draw boxes. With it read here no scan happens mid-load.
  QFontDatabase::families();
  // The program decides itself when to quit (when no skinned window is
  // visible any more).
  QApplication::setQuitOnLastWindowClosed(false);
  QObject::connect(impl_->App.get(), &QGuiApplication::commitDataRequest,
                   [](QSessionManager&) { RunHook(TAppEvent::EndSession); });
  QObject::connect(impl_->App.get(), &QGuiApplication::applicationStateChanged,
                   [](Qt::ApplicationState) { RunHook(TAppEvent::ActivationChanged); });
}

TApplication::~TApplication() {
  impl_->Signals.reset();
  impl_->App.reset();
}

bool ApplicationExists() { return QCoreApplication::instance() != nullptr; }

int RunMessageLoop() {
  if (qApp == nullptr) throw std::logic_error("RunMessageLoop: there is no application object");
  detail::TLoopState& state = LoopState();
  if (state.PendingQuit) {
    const int code = *state.PendingQuit;
    state.PendingQuit.reset();
    state.QuitsDone = state.QuitsPosted;
    return code;
  }
  const int code = QApplication::exec();
  state.PendingQuit.reset();
  state.QuitsDone = state.QuitsPosted;
  return code;
}

void PostQuit(int exitCode) {
  detail::TLoopState& state = LoopState();
  state.PendingQuit = exitCode;
  const unsigned number = ++state.QuitsPosted;
  if (qApp == nullptr) return;  // the next loop ends at once all the same
  QMetaObject::invokeMethod(
      qApp,
      [exitCode, number] {
        if (number > LoopState().QuitsDone) QCoreApplication::exit(exitCode);
      },
      Qt::QueuedConnection);
}

void ProcessMessages() {
  if (qApp == nullptr) return;
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void FlushDisplay() {
  if (qApp == nullptr) return;
  QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
#ifdef LUDEX_HAVE_XCB
  if (QGuiApplication::platformName() != QLatin1String("xcb")) return;
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
  if (connection == nullptr) return;
  // A round trip: the server has drawn every request sent before it.
  std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
#endif
}

void PostDeferred(std::function<void()> call) {
  // Without an application object there is no loop that could run it.
  if (qApp == nullptr) return;
  QMetaObject::invokeMethod(
      qApp, [call = std::move(call)] { CallGuarded(call); }, Qt::QueuedConnection);
}

void SetExceptionHandler(TExceptionHandler handler) { ExceptionHandler() = std::move(handler); }

void CallGuarded(const std::function<void()>& call) {
  try {
    call();
  } catch (...) {
    HandleCurrentException();
  }
}

void HandleCurrentException() {
  try {
    throw;
  } catch (const std::exception& error) {
    ReportException(error.what());
  } catch (...) {
    ReportException("Unknown exception");
  }
}

void SetApplicationTitle(const std::string& title) {
  LoopState().Title = title;
  detail::ShowApplicationTitle();
}

std::string ApplicationTitle() { return LoopState().Title; }

void SetApplicationHook(TAppHook hook) { AppHook() = std::move(hook); }

bool IsApplicationActive() { return QGuiApplication::applicationState() == Qt::ApplicationActive; }

struct TTimer::TImpl {
  std::function<void()> OnTimer;
  std::unique_ptr<QTimer> Timer;
  bool InCallback = false;
  TLifetime Life;
};

TTimer::TTimer(int intervalMs, std::function<void()> onTimer) : impl_(std::make_unique<TImpl>()) {
  impl_->OnTimer = std::move(onTimer);
  impl_->Timer = std::make_unique<QTimer>();
  impl_->Timer->setInterval(intervalMs < 0 ? 0 : intervalMs);
  TImpl* impl = impl_.get();
  QObject::connect(impl_->Timer.get(), &QTimer::timeout, [impl] {
    if (!impl->OnTimer) return;
    const TLifeWatch life = impl->Life.Watch();
    impl->InCallback = true;
    CallGuarded(impl->OnTimer);
    if (!life.Alive()) return;
    impl->InCallback = false;
  });
}

TTimer::~TTimer() {
  impl_->Timer->stop();
  if (impl_->InCallback) {
    // Destroyed from its own callback: the QTimer is still emitting.
    impl_->Timer.release()->deleteLater();
  }
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled) {
    if (!impl_->Timer->isActive()) impl_->Timer->start();
  } else {
    impl_->Timer->stop();
  }
}

bool TTimer::Enabled() const { return impl_->Timer->isActive(); }

void TTimer::SetInterval(int intervalMs) {
  impl_->Timer->setInterval(intervalMs < 0 ? 0 : intervalMs);
}

int TTimer::Interval() const { return impl_->Timer->interval(); }

}  // namespace platform
