#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// System-wide hot keys (Win32 RegisterHotKey) and the global atoms that name
// them (GlobalAddAtom). On X11 a hot key is a grab of the key on the root
// window; elsewhere (Wayland, offscreen) every registration is refused.
namespace platform {

// Hot-key modifier flags.
enum THotKeyModifier : unsigned {
  MOD_ALT = 1,
  MOD_CONTROL = 2,
  MOD_SHIFT = 4,
};

// An atom for the text: texts equal ignoring ASCII case share one atom, and
// each add counts once; atoms lie in 0xC000..0xFFFF. 0 for an empty text or
// when the table is full.
std::uint16_t GlobalAddAtom(const std::string& text);
// Drops one count of the atom; the last one frees it.
void GlobalDeleteAtom(std::uint16_t atom);
// The atom's text, empty when it is not in use.
std::string GlobalGetAtomName(std::uint16_t atom);

// The hot keys of one owner; the callback runs from the message loop with
// the id of the pressed hot key, whichever program is active.
class THotKeys {
 public:
  explicit THotKeys(std::function<void(int id)> onHotKey);
  // Unregisters every hot key it still holds.
  ~THotKeys();
  THotKeys(const THotKeys&) = delete;
  THotKeys& operator=(const THotKeys&) = delete;

  // Whether this desktop supports system-wide hot keys at all.
  static bool Available();

  // Registers the key (a virtual-key code) with the modifiers under the id.
  // False when the id is taken, the key has no code here, the combination
  // belongs to another program, or the desktop offers no hot keys.
  bool Register(int id, unsigned modifiers, int virtualKey);
  // False when no hot key has that id.
  bool Unregister(int id);

 private:
  struct TImpl;
  std::unique_ptr<TImpl> impl_;
};

}  // namespace platform
