#include "platform/HotKeys.h"

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <algorithm>
#include <array>
#include <cctype>
#include <map>
#include <optional>
#include <unordered_map>
#include <vector>

#include "platform/Application.h"
#include "platform/Keys.h"
#include "platform/detail/State.h"

#ifdef LUDEX_HAVE_XCB
#include <QtGui/qguiapplication_platform.h>
#include <X11/XF86keysym.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>

#include <cstdlib>
#endif

namespace platform {

namespace {

constexpr std::uint16_t kFirstAtom = 0xC000;

std::map<std::uint16_t, detail::TAtom>& Atoms() { return detail::State().Atoms; }

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

}  // namespace

std::uint16_t GlobalAddAtom(const std::string& text) {
  if (text.empty()) return 0;
  auto& atoms = Atoms();
  for (auto& [atom, entry] : atoms) {
    if (EqualIgnoringCase(entry.Text, text)) {
      ++entry.Count;
      return atom;
    }
  }
  // The lowest free atom.
  std::uint32_t candidate = kFirstAtom;
  for (const auto& [atom, entry] : atoms) {
    if (atom != candidate) break;
    ++candidate;
  }
  if (candidate > 0xFFFF) return 0;
  const auto atom = static_cast<std::uint16_t>(candidate);
  atoms[atom] = detail::TAtom{text, 1};
  return atom;
}

void GlobalDeleteAtom(std::uint16_t atom) {
  auto& atoms = Atoms();
  auto found = atoms.find(atom);
  if (found == atoms.end()) return;
  if (--found->second.Count <= 0) atoms.erase(found);
}

std::string GlobalGetAtomName(std::uint16_t atom) {
  auto found = Atoms().find(atom);
  return found == Atoms().end() ? std::string() : found->second.Text;
}

#ifdef LUDEX_HAVE_XCB

namespace {

std::optional<std::uint32_t> KeysymOfVirtualKey(int vk) {
  if (vk >= 'A' && vk <= 'Z') return XK_a + (vk - 'A');
  if (vk >= '0' && vk <= '9') return XK_0 + (vk - '0');
  if (vk >= VK_F1 && vk <= VK_F24) return XK_F1 + (vk - VK_F1);
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9) return XK_KP_0 + (vk - VK_NUMPAD0);
  static const std::unordered_map<int, std::uint32_t> table = {
      {VK_BACK, XK_BackSpace},
      {VK_TAB, XK_Tab},
      {VK_CLEAR, XK_Clear},
      {VK_RETURN, XK_Return},
      {VK_SHIFT, XK_Shift_L},
      {VK_CONTROL, XK_Control_L},
      {VK_MENU, XK_Alt_L},
      {VK_PAUSE, XK_Pause},
      {VK_CAPITAL, XK_Caps_Lock},
      {VK_ESCAPE, XK_Escape},
      {VK_SPACE, XK_space},
      {VK_PRIOR, XK_Prior},
      {VK_NEXT, XK_Next},
      {VK_END, XK_End},
      {VK_HOME, XK_Home},
      {VK_LEFT, XK_Left},
      {VK_UP, XK_Up},
      {VK_RIGHT, XK_Right},
      {VK_DOWN, XK_Down},
      {VK_SELECT, XK_Select},
      {VK_EXECUTE, XK_Execute},
      {VK_SNAPSHOT, XK_Print},
      {VK_INSERT, XK_Insert},
      {VK_DELETE, XK_Delete},
      {VK_HELP, XK_Help},
      {VK_LWIN, XK_Super_L},
      {VK_RWIN, XK_Super_R},
      {VK_APPS, XK_Menu},
      {VK_SLEEP, XF86XK_Sleep},
      {VK_MULTIPLY, XK_KP_Multiply},
      {VK_ADD, XK_KP_Add},
      {VK_SEPARATOR, XK_KP_Separator},
      {VK_SUBTRACT, XK_KP_Subtract},
      {VK_DECIMAL, XK_KP_Decimal},
      {VK_DIVIDE, XK_KP_Divide},
      {VK_NUMLOCK, XK_Num_Lock},
      {VK_SCROLL, XK_Scroll_Lock},
      {VK_BROWSER_BACK, XF86XK_Back},
      {VK_BROWSER_FORWARD, XF86XK_Forward},
      {VK_BROWSER_REFRESH, XF86XK_Refresh},
      {VK_BROWSER_STOP, XF86XK_Stop},
      {VK_BROWSER_SEARCH, XF86XK_Search},
      {VK_BROWSER_FAVORITES, XF86XK_Favorites},
      {VK_BROWSER_HOME, XF86XK_HomePage},
      {VK_VOLUME_MUTE, XF86XK_AudioMute},
      {VK_VOLUME_DOWN, XF86XK_AudioLowerVolume},
      {VK_VOLUME_UP, XF86XK_AudioRaiseVolume},
      {VK_MEDIA_NEXT_TRACK, XF86XK_AudioNext},
      {VK_MEDIA_PREV_TRACK, XF86XK_AudioPrev},
      {VK_MEDIA_STOP, XF86XK_AudioStop},
      {VK_MEDIA_PLAY_PAUSE, XF86XK_AudioPlay},
      {VK_LAUNCH_MAIL, XF86XK_Mail},
      {VK_LAUNCH_MEDIA_SELECT, XF86XK_AudioMedia},
      {VK_LAUNCH_APP1, XF86XK_MyComputer},
      {VK_LAUNCH_APP2, XF86XK_Calculator},
      {VK_OEM_1, XK_semicolon},
      {VK_OEM_PLUS, XK_equal},
      {VK_OEM_COMMA, XK_comma},
      {VK_OEM_MINUS, XK_minus},
      {VK_OEM_PERIOD, XK_period},
      {VK_OEM_2, XK_slash},
      {VK_OEM_3, XK_grave},
      {VK_OEM_4, XK_bracketleft},
      {VK_OEM_5, XK_backslash},
      {VK_OEM_6, XK_bracketright},
      {VK_OEM_7, XK_apostrophe},
      {VK_OEM_102, XK_less},
  };
  auto found = table.find(vk);
  if (found == table.end()) return std::nullopt;
  return found->second;
}

xcb_connection_t* Connection() {
  if (QGuiApplication::platformName() != QLatin1String("xcb")) return nullptr;
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  return x11 != nullptr ? x11->connection() : nullptr;
}

xcb_window_t RootWindow(xcb_connection_t* connection) {
  return xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
}

std::optional<xcb_keycode_t> KeycodeOfKeysym(xcb_connection_t* connection, std::uint32_t keysym) {
  const xcb_setup_t* setup = xcb_get_setup(connection);
  const int first = setup->min_keycode;
  const int count = setup->max_keycode - setup->min_keycode + 1;
  xcb_get_keyboard_mapping_reply_t* reply = xcb_get_keyboard_mapping_reply(
      connection,
      xcb_get_keyboard_mapping(connection, static_cast<xcb_keycode_t>(first),
                               static_cast<std::uint8_t>(count)),
      nullptr);
  if (reply == nullptr) return std::nullopt;
  const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(reply);
  const int perKeycode = reply->keysyms_per_keycode;
  const int total = xcb_get_keyboard_mapping_keysyms_length(reply);
  std::optional<xcb_keycode_t> result;
  for (int i = 0; i < total && !result; ++i) {
    if (keysyms[i] == keysym) result = static_cast<xcb_keycode_t>(first + i / perKeycode);
  }
  std::free(reply);
  return result;
}

std::uint16_t X11Modifiers(unsigned modifiers) {
  std::uint16_t mask = 0;
  if (modifiers & MOD_ALT) mask |= XCB_MOD_MASK_1;
  if (modifiers & MOD_CONTROL) mask |= XCB_MOD_MASK_CONTROL;
  if (modifiers & MOD_SHIFT) mask |= XCB_MOD_MASK_SHIFT;
  if (modifiers & 8) mask |= XCB_MOD_MASK_4;  // MOD_WIN
  return mask;
}

// Caps Lock and Num Lock must not stop a hot key, so every key is grabbed
// with each combination of the two.
constexpr std::uint16_t kLockCombinations[] = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2,
                                               XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};
constexpr std::uint16_t kRelevantModifiers =
    XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;

void Ungrab(xcb_connection_t* connection, xcb_keycode_t keycode, std::uint16_t mask) {
  const xcb_window_t root = RootWindow(connection);
  for (std::uint16_t locks : kLockCombinations) {
    xcb_ungrab_key(connection, keycode, root, static_cast<std::uint16_t>(mask | locks));
  }
  xcb_flush(connection);
}

bool Grab(xcb_connection_t* connection, xcb_keycode_t keycode, std::uint16_t mask) {
  const xcb_window_t root = RootWindow(connection);
  // All four requests go out before the first answer is awaited: one round
  // trip to the server instead of four.
  std::array<xcb_void_cookie_t, std::size(kLockCombinations)> cookies;
  for (std::size_t i = 0; i < cookies.size(); ++i) {
    cookies[i] = xcb_grab_key_checked(connection, 1, root,
                                      static_cast<std::uint16_t>(mask | kLockCombinations[i]),
                                      keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
  }
  bool refused = false;
  for (const xcb_void_cookie_t cookie : cookies) {
    if (xcb_generic_error_t* error = xcb_request_check(connection, cookie)) {
      // Another program holds the combination.
      std::free(error);
      refused = true;
    }
  }
  if (refused) Ungrab(connection, keycode, mask);
  return !refused;
}

}  // namespace

#endif

struct THotKeys::TImpl : QAbstractNativeEventFilter {
  struct TKey {
    std::uint8_t Keycode = 0;
    std::uint16_t Mask = 0;
  };

  std::function<void(int)> OnHotKey;
  std::map<int, TKey> Keys;

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
#ifdef LUDEX_HAVE_XCB
    if (eventType != "xcb_generic_event_t") return false;
    auto* event = static_cast<xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7F) != XCB_KEY_PRESS) return false;
    auto* press = reinterpret_cast<xcb_key_press_event_t*>(event);
    const std::uint16_t mask = press->state & kRelevantModifiers;
    for (const auto& [id, key] : Keys) {
      if (key.Keycode != press->detail || key.Mask != mask) continue;
      if (OnHotKey) CallGuarded([this, id = id] { OnHotKey(id); });
      return true;
    }
#else
    (void)eventType;
    (void)message;
#endif
    return false;
  }
};

THotKeys::THotKeys(std::function<void(int id)> onHotKey) : impl_(std::make_unique<TImpl>()) {
  impl_->OnHotKey = std::move(onHotKey);
  if (Available()) QCoreApplication::instance()->installNativeEventFilter(impl_.get());
}

THotKeys::~THotKeys() {
  std::vector<int> ids;
  for (const auto& entry : impl_->Keys) ids.push_back(entry.first);
  for (int id : ids) Unregister(id);
  if (QCoreApplication::instance() != nullptr) {
    QCoreApplication::instance()->removeNativeEventFilter(impl_.get());
  }
}

bool THotKeys::Available() {
#ifdef LUDEX_HAVE_XCB
  return QCoreApplication::instance() != nullptr && Connection() != nullptr;
#else
  return false;
#endif
}

bool THotKeys::Register(int id, unsigned modifiers, int virtualKey) {
#ifdef LUDEX_HAVE_XCB
  if (impl_->Keys.count(id) != 0) return false;
  xcb_connection_t* connection = Available() ? Connection() : nullptr;
  if (connection == nullptr) return false;
  const auto keysym = KeysymOfVirtualKey(virtualKey);
  if (!keysym) return false;
  const auto keycode = KeycodeOfKeysym(connection, *keysym);
  if (!keycode) return false;
  const std::uint16_t mask = X11Modifiers(modifiers);
  if (!Grab(connection, *keycode, mask)) return false;
  impl_->Keys[id] = TImpl::TKey{*keycode, mask};
  return true;
#else
  (void)id;
  (void)modifiers;
  (void)virtualKey;
  return false;
#endif
}

bool THotKeys::Unregister(int id) {
  auto found = impl_->Keys.find(id);
  if (found == impl_->Keys.end()) return false;
#ifdef LUDEX_HAVE_XCB
  if (xcb_connection_t* connection = Connection()) {
    Ungrab(connection, found->second.Keycode, found->second.Mask);
  }
#endif
  impl_->Keys.erase(found);
  return true;
}

}  // namespace platform
