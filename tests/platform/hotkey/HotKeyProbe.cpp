// Runs on a real X server (started by HotKeysTest): registers system-wide hot
// keys, checks that a combination another client holds is refused, presses
// the registered keys through the XTest extension and exits 0 once the
// callback has seen them. Exit codes name the first check that failed.
#include <dlfcn.h>
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/Application.h"
#include "platform/HotKeys.h"
#include "platform/Keys.h"

namespace {

enum TExit {
  kPassed = 0,
  kUnavailable = 2,
  kRegisterFailed = 3,
  kDuplicateAccepted = 4,
  kForeignGrabAccepted = 5,
  kTimedOut = 6,
  kWrongId = 7,
  kUnregisterWrong = 8,
  kNoXTest = 10,
};

constexpr int kFirstId = 0xC001;
constexpr int kSecondId = 0xC002;
constexpr int kForeignId = 0xC003;

// XTest through the run-time libraries, so that building needs no XTest
// headers.
class TXTest {
 public:
  TXTest() {
    x11_ = dlopen("libX11.so.6", RTLD_NOW);
    xtst_ = dlopen("libXtst.so.6", RTLD_NOW);
    if (x11_ == nullptr || xtst_ == nullptr) return;
    open_ = reinterpret_cast<OpenFn>(dlsym(x11_, "XOpenDisplay"));
    close_ = reinterpret_cast<CloseFn>(dlsym(x11_, "XCloseDisplay"));
    flush_ = reinterpret_cast<CloseFn>(dlsym(x11_, "XFlush"));
    keycode_ = reinterpret_cast<KeycodeFn>(dlsym(x11_, "XKeysymToKeycode"));
    fake_ = reinterpret_cast<FakeFn>(dlsym(xtst_, "XTestFakeKeyEvent"));
    if (open_ && close_ && flush_ && keycode_ && fake_) display_ = open_(nullptr);
  }
  ~TXTest() {
    if (display_ != nullptr) close_(display_);
    if (xtst_ != nullptr) dlclose(xtst_);
    if (x11_ != nullptr) dlclose(x11_);
  }
  bool Ready() const { return display_ != nullptr; }

  // Presses the keys in order and releases them in reverse order.
  void Chord(const std::vector<unsigned long>& keysyms) {
    for (unsigned long keysym : keysyms) fake_(display_, keycode_(display_, keysym), 1, 0);
    for (auto it = keysyms.rbegin(); it != keysyms.rend(); ++it) {
      fake_(display_, keycode_(display_, *it), 0, 0);
    }
    flush_(display_);
  }

 private:
  using OpenFn = void* (*)(const char*);
  using CloseFn = int (*)(void*);
  using KeycodeFn = unsigned char (*)(void*, unsigned long);
  using FakeFn = int (*)(void*, unsigned, int, unsigned long);
  void* x11_ = nullptr;
  void* xtst_ = nullptr;
  OpenFn open_ = nullptr;
  CloseFn close_ = nullptr;
  CloseFn flush_ = nullptr;
  KeycodeFn keycode_ = nullptr;
  FakeFn fake_ = nullptr;
  void* display_ = nullptr;
};

constexpr unsigned long kControlL = 0xFFE3;
constexpr unsigned long kAltL = 0xFFE9;
constexpr unsigned long kShiftL = 0xFFE1;
constexpr unsigned long kSpace = 0x0020;
constexpr unsigned long kUp = 0xFF52;

// Another X client holding Ctrl+Alt+Q on the root window.
class TForeignGrab {
 public:
  TForeignGrab() : connection_(xcb_connect(nullptr, nullptr)) {
    if (xcb_connection_has_error(connection_) != 0) return;
    const xcb_setup_t* setup = xcb_get_setup(connection_);
    const xcb_window_t root = xcb_setup_roots_iterator(setup).data->root;
    // The keycode of 'q' in the server's map.
    auto* reply = xcb_get_keyboard_mapping_reply(
        connection_,
        xcb_get_keyboard_mapping(connection_, setup->min_keycode,
                                 static_cast<uint8_t>(setup->max_keycode - setup->min_keycode + 1)),
        nullptr);
    if (reply == nullptr) return;
    const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(reply);
    const int total = xcb_get_keyboard_mapping_keysyms_length(reply);
    for (int i = 0; i < total; ++i) {
      if (keysyms[i] != 'q') continue;
      const auto keycode =
          static_cast<xcb_keycode_t>(setup->min_keycode + i / reply->keysyms_per_keycode);
      xcb_request_check(
          connection_,
          xcb_grab_key_checked(connection_, 1, root, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1, keycode,
                               XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
      held_ = true;
      break;
    }
    std::free(reply);
  }
  ~TForeignGrab() { xcb_disconnect(connection_); }
  bool Held() const { return held_; }

 private:
  xcb_connection_t* connection_;
  bool held_ = false;
};

int Probe() {
  platform::TApplication application;
  if (!platform::THotKeys::Available()) return kUnavailable;

  std::vector<int> fired;
  platform::THotKeys keys([&fired](int id) {
    fired.push_back(id);
    if (fired.size() == 2) platform::PostQuit(0);
  });
  using namespace platform;
  if (!keys.Register(kFirstId, MOD_CONTROL | MOD_ALT, VK_SPACE)) return kRegisterFailed;
  if (!keys.Register(kSecondId, MOD_CONTROL | MOD_SHIFT, VK_UP)) return kRegisterFailed;
  if (keys.Register(kFirstId, MOD_ALT, 'A')) return kDuplicateAccepted;

  TForeignGrab foreign;
  if (foreign.Held() && keys.Register(kForeignId, MOD_CONTROL | MOD_ALT, 'Q')) {
    return kForeignGrabAccepted;
  }

  TXTest xtest;
  if (!xtest.Ready()) return kNoXTest;
  // A combination with extra modifiers is not the hot key. (Ctrl+Alt+F-keys
  // are no test keys: the X server keeps them for switching consoles.)
  xtest.Chord({kControlL, kAltL, kShiftL, kSpace});
  xtest.Chord({kControlL, kAltL, kSpace});
  xtest.Chord({kControlL, kShiftL, kUp});

  TTimer timeout(5000, [] { PostQuit(kTimedOut); });
  timeout.SetEnabled(true);
  const int code = RunMessageLoop();
  if (code != 0) return code;
  if (fired != std::vector<int>{kFirstId, kSecondId}) return kWrongId;
  if (!keys.Unregister(kFirstId) || keys.Unregister(kFirstId)) return kUnregisterWrong;
  return kPassed;
}

}  // namespace

// The X and D-Bus client libraries keep some allocations until exit; the
// probe names them itself, since it may run without the suppression file.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libdbus\nleak:libxcb\nleak:libX11\nleak:libQt6\nleak:libfontconfig\nleak:libglib\n";
}

int main() {
  const int code = Probe();
  std::printf("hot-key probe: %d\n", code);
  return code;
}
