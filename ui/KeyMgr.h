#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Keys.h"
#include "platform/Stream.h"

namespace app {
class TEntityManager;
}

namespace platform {
class THotKeys;
}

namespace ui {

// One key binding as read from the bindings text.
struct TKeyAlias {
  std::string Section;  // window id, "System" for hot keys, "-" before any header
  std::string Key;      // key text as written, e.g. "Ctrl+F1"
  std::string Command;  // entity command, e.g. "Window.Show(About)"
};

// One registered system-wide hot key.
struct TSysHotKey {
  std::uint16_t Atom = 0;  // id made from the key text
  std::string Command;
};

struct TParsedKey {
  unsigned Modifiers = 0;  // platform::MOD_ALT, MOD_CONTROL, MOD_SHIFT bits
  int Code = 0;            // virtual-key code, 0 when the name is unknown
};

// The name of a virtual-key code: "Esc", "F1", "NP+", "<250>" for codes
// without a name.
std::string KeyName(int code);
// "Ctrl+", "Alt+", "Shift+" (in that order, as held) and the key name.
std::string KeyToText(int code, platform::TShiftState shift);
// The modifiers and code of a key text; unknown names give code 0.
TParsedKey ParseKeyText(std::string_view text);

// The key bindings: which key runs which command in which window, and the
// "System" bindings registered as system-wide hot keys whose commands are
// queued on the entity bus.
class TKeyboardManager {
 public:
  explicit TKeyboardManager(app::TEntityManager& entityManager);
  ~TKeyboardManager();
  TKeyboardManager(const TKeyboardManager&) = delete;
  TKeyboardManager& operator=(const TKeyboardManager&) = delete;

  // Replaces the bindings with those of the text and registers its hot
  // keys. A missing stream leaves no bindings.
  void LoadFromStream(platform::TStream* stream);
  // The command bound to the key in the section (or in the section "*");
  // the last match wins; empty when none.
  std::string FindCommand(std::string_view section, std::string_view keyText) const;
  // The key bound to the command in the section ("*" searches every
  // section); the last match wins; empty when none.
  std::string KeyForCommand(std::string_view section, std::string_view command) const;

  void SetSystemKeys();
  void UnregisterSystemKeys();

  const std::vector<TKeyAlias>& Aliases() const { return aliases_; }
  const std::vector<TSysHotKey>& HotKeys() const { return hotKeys_; }

  // What a hot-key message with this id does: queues the commands of every
  // hot key with that atom.
  void OnHotKey(std::uint16_t atom);

 private:
  void AddLine(const std::string& section, const std::string& line);

  app::TEntityManager* entityManager_;
  std::vector<TKeyAlias> aliases_;
  std::vector<TSysHotKey> hotKeys_;
  // Receives the hot-key messages.
  std::unique_ptr<platform::THotKeys> window_;
};

}  // namespace ui
