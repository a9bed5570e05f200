#include "ui/KeyMgr.h"

#include "app/Entities.h"
#include "app/MultiLog.h"
#include "app/TextStream.h"
#include "app/TextUtil.h"
#include "platform/HotKeys.h"

namespace ui {

namespace {

struct TNamedRange {
  int First;
  std::initializer_list<const char*> Names;
};

// Codes whose names are listed one by one, from the first code of a run.
const TNamedRange kNamedRuns[] = {
    {0, {"Zilch"}},
    {8, {"BackSpace", "Tab"}},
    {12, {"Clear", "Enter"}},
    {16, {"SHIFT", "CONTROL", "ALT", "Pause", "CapsLock"}},
    {27, {"Esc"}},
    {32,
     {"Space", "PageUp", "PageDown", "End", "Home", "Left", "Up", "Right", "Down", "Select",
      "Print", "Exec", "PrintScreen", "Insert", "Delete", "Help"}},
    {91, {"LWin", "RWin", "Apps"}},
    {95, {"Sleep"}},
    {106, {"NP*", "NP+", "NP sep", "NP-", "NP.", "NP/"}},
    {144, {"NumLock", "ScrollLock"}},
    {166, {"Back", "Forward"}},
    {169, {"Stop", "Search", "Favorites", "Web/Home"}},
    {180, {"Mail"}},
    {182, {"MyComputer", "Calculator"}},
    {186, {";", "=", ",", "-", ".", "/", "`"}},
    {219, {"[", "\\", "]", "'"}},
    {226, {"Macro"}},
};

const char* FindRunName(int code) {
  for (const TNamedRange& run : kNamedRuns) {
    const int offset = code - run.First;
    if (offset >= 0 && offset < static_cast<int>(run.Names.size()))
      return run.Names.begin()[offset];
  }
  return nullptr;
}

// Removes the modifier from the front of text when it is there (ignoring case).
bool TakePrefix(std::string_view& text, std::string_view prefix) {
  if (!app::StartsWithText(text, prefix)) return false;
  text.remove_prefix(prefix.size());
  return true;
}

}  // namespace

std::string KeyName(int code) {
  if (const char* name = FindRunName(code)) return name;
  if ((code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z')) {
    return std::string(1, static_cast<char>(code));
  }
  if (code >= 96 && code <= 105) return std::string("NP").append(std::to_string(code - 96));
  if (code >= 112 && code <= 123) return std::string("F").append(std::to_string(code - 111));
  return std::string("<").append(std::to_string(code)).append(">");
}

std::string KeyToText(int code, platform::TShiftState shift) {
  std::string text = KeyName(code);
  if (shift & platform::ssShift) text = "Shift+" + text;
  if (shift & platform::ssAlt) text = "Alt+" + text;
  if (shift & platform::ssCtrl) text = "Ctrl+" + text;
  return text;
}

TParsedKey ParseKeyText(std::string_view text) {
  TParsedKey parsed;
  if (TakePrefix(text, "Ctrl+")) parsed.Modifiers |= platform::MOD_CONTROL;
  if (TakePrefix(text, "Alt+")) parsed.Modifiers |= platform::MOD_ALT;
  if (TakePrefix(text, "Shift+")) parsed.Modifiers |= platform::MOD_SHIFT;
  for (int code = 255; code > 0; --code) {
    if (KeyName(code) == text) {
      parsed.Code = code;
      break;
    }
  }
  return parsed;
}

TKeyboardManager::TKeyboardManager(app::TEntityManager& entityManager)
    : entityManager_(&entityManager), window_(std::make_unique<platform::THotKeys>([this](int id) {
        OnHotKey(static_cast<std::uint16_t>(id));
      })) {}

TKeyboardManager::~TKeyboardManager() { UnregisterSystemKeys(); }

void TKeyboardManager::SetSystemKeys() {
  app::Log("+TKeyboardManager.SetSystemKeys");
  UnregisterSystemKeys();
  for (const TKeyAlias& alias : aliases_) {
    if (!app::SameText(alias.Section, "System")) continue;
    // A desktop-wide grab takes the key from every other program: only a
    // command that exists is worth it.
    if (!entityManager_->IsRegistered(app::SplitName(alias.Command))) {
      app::Log("TKeyboardManager.SetSystemKeys: " + alias.Key + " ~ " + alias.Command +
               " left alone, no such command");
      continue;
    }
    const std::uint16_t atom = platform::GlobalAddAtom(alias.Key);
    const TParsedKey key = ParseKeyText(alias.Key);
    // A refused registration (the combination belongs to another program)
    // keeps its entry all the same.
    window_->Register(atom, key.Modifiers, key.Code);
    hotKeys_.push_back({atom, alias.Command});
  }
  app::Log("-TKeyboardManager.SetSystemKeys");
}

void TKeyboardManager::UnregisterSystemKeys() {
  for (const TSysHotKey& hotKey : hotKeys_) {
    window_->Unregister(hotKey.Atom);
    platform::GlobalDeleteAtom(hotKey.Atom);
  }
  hotKeys_.clear();
}

void TKeyboardManager::LoadFromStream(platform::TStream* stream) {
  app::Log("+TKeyboardManager.LoadFromStream");
  UnregisterSystemKeys();
  aliases_.clear();
  if (!stream) {
    app::Log("-TKeyboardManager.LoadFromStream(FAIL)");
    return;
  }
  std::string section = "-";
  app::TTextStream reader(*stream);
  while (!reader.EndOfStream()) {
    const std::string raw = reader.ReadLine();
    if (raw.empty()) break;  // the stream stopped giving bytes before its end
    const std::string line = app::Trim(raw);
    if (line.empty()) continue;
    if (line.front() == '<') {
      // The header without its first and last characters.
      section = line.size() >= 2 ? line.substr(1, line.size() - 2) : std::string();
    } else {
      AddLine(section, line);
    }
  }
  SetSystemKeys();
  app::Log("-TKeyboardManager.LoadFromStream");
}

void TKeyboardManager::AddLine(const std::string& section, const std::string& line) {
  const std::size_t tilde = line.find('~');
  if (tilde == std::string::npos) {
    aliases_.push_back({section, "", line});
    return;
  }
  aliases_.push_back({section, app::Trim(std::string_view(line).substr(0, tilde)),
                      app::Trim(std::string_view(line).substr(tilde + 1))});
}

std::string TKeyboardManager::FindCommand(std::string_view section,
                                          std::string_view keyText) const {
  std::string result;
  for (const TKeyAlias& alias : aliases_) {
    const bool inSection = app::SameText(alias.Section, section) || alias.Section == "*";
    if (inSection && app::SameText(alias.Key, keyText)) result = alias.Command;
  }
  return result;
}

std::string TKeyboardManager::KeyForCommand(std::string_view section,
                                            std::string_view command) const {
  std::string result;
  for (const TKeyAlias& alias : aliases_) {
    const bool inSection = section == "*" || app::SameText(alias.Section, section);
    if (inSection && app::SameText(alias.Command, command)) result = alias.Key;
  }
  return result;
}

void TKeyboardManager::OnHotKey(std::uint16_t atom) {
  for (const TSysHotKey& hotKey : hotKeys_) {
    if (hotKey.Atom == atom) entityManager_->PushToQueue(hotKey.Command);
  }
}

}  // namespace ui
