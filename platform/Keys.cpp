#include "platform/Keys.h"

#include <Qt>
#include <unordered_map>

namespace platform {

namespace {

// Printable characters of the US layout: unshifted keys and the symbols
// their shifted forms produce.
int VirtualKeyOfCharacter(int ch) {
  if (ch >= 'a' && ch <= 'z') return ch - 'a' + 'A';
  if ((ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9')) return ch;
  switch (ch) {
    case ' ':
      return VK_SPACE;
    case ';':
    case ':':
      return VK_OEM_1;
    case '=':
    case '+':
      return VK_OEM_PLUS;
    case ',':
    case '<':
      return VK_OEM_COMMA;
    case '-':
    case '_':
      return VK_OEM_MINUS;
    case '.':
    case '>':
      return VK_OEM_PERIOD;
    case '/':
    case '?':
      return VK_OEM_2;
    case '`':
    case '~':
      return VK_OEM_3;
    case '[':
    case '{':
      return VK_OEM_4;
    case '\\':
    case '|':
      return VK_OEM_5;
    case ']':
    case '}':
      return VK_OEM_6;
    case '\'':
    case '"':
      return VK_OEM_7;
    case '!':
      return '1';
    case '@':
      return '2';
    case '#':
      return '3';
    case '$':
      return '4';
    case '%':
      return '5';
    case '^':
      return '6';
    case '&':
      return '7';
    case '*':
      return '8';
    case '(':
      return '9';
    case ')':
      return '0';
    default:
      return VK_NONE;
  }
}

int VirtualKeyOfKeypad(int qtKey) {
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return VK_NUMPAD0 + (qtKey - Qt::Key_0);
  switch (qtKey) {
    case Qt::Key_Asterisk:
      return VK_MULTIPLY;
    case Qt::Key_Plus:
      return VK_ADD;
    case Qt::Key_Minus:
      return VK_SUBTRACT;
    case Qt::Key_Period:
    case Qt::Key_Comma:
      return VK_DECIMAL;
    case Qt::Key_Slash:
      return VK_DIVIDE;
    case Qt::Key_Enter:
      return VK_RETURN;
    default:
      return VK_NONE;
  }
}

const std::unordered_map<int, int>& SpecialKeys() {
  static const std::unordered_map<int, int> table = {
      {Qt::Key_Backspace, VK_BACK},
      {Qt::Key_Tab, VK_TAB},
      {Qt::Key_Backtab, VK_TAB},
      {Qt::Key_Clear, VK_CLEAR},
      {Qt::Key_Return, VK_RETURN},
      {Qt::Key_Enter, VK_RETURN},
      {Qt::Key_Shift, VK_SHIFT},
      {Qt::Key_Control, VK_CONTROL},
      {Qt::Key_Alt, VK_MENU},
      {Qt::Key_AltGr, VK_MENU},
      {Qt::Key_Pause, VK_PAUSE},
      {Qt::Key_CapsLock, VK_CAPITAL},
      {Qt::Key_Escape, VK_ESCAPE},
      {Qt::Key_PageUp, VK_PRIOR},
      {Qt::Key_PageDown, VK_NEXT},
      {Qt::Key_End, VK_END},
      {Qt::Key_Home, VK_HOME},
      {Qt::Key_Left, VK_LEFT},
      {Qt::Key_Up, VK_UP},
      {Qt::Key_Right, VK_RIGHT},
      {Qt::Key_Down, VK_DOWN},
      {Qt::Key_Select, VK_SELECT},
      {Qt::Key_Printer, VK_PRINT},
      {Qt::Key_Execute, VK_EXECUTE},
      {Qt::Key_Print, VK_SNAPSHOT},
      {Qt::Key_SysReq, VK_SNAPSHOT},
      {Qt::Key_Insert, VK_INSERT},
      {Qt::Key_Delete, VK_DELETE},
      {Qt::Key_Help, VK_HELP},
      {Qt::Key_Meta, VK_LWIN},
      {Qt::Key_Super_L, VK_LWIN},
      {Qt::Key_Super_R, VK_RWIN},
      {Qt::Key_Menu, VK_APPS},
      {Qt::Key_Sleep, VK_SLEEP},
      {Qt::Key_NumLock, VK_NUMLOCK},
      {Qt::Key_ScrollLock, VK_SCROLL},
      {Qt::Key_Back, VK_BROWSER_BACK},
      {Qt::Key_Forward, VK_BROWSER_FORWARD},
      {Qt::Key_Refresh, VK_BROWSER_REFRESH},
      {Qt::Key_Stop, VK_BROWSER_STOP},
      {Qt::Key_Search, VK_BROWSER_SEARCH},
      {Qt::Key_Favorites, VK_BROWSER_FAVORITES},
      {Qt::Key_HomePage, VK_BROWSER_HOME},
      {Qt::Key_VolumeMute, VK_VOLUME_MUTE},
      {Qt::Key_VolumeDown, VK_VOLUME_DOWN},
      {Qt::Key_VolumeUp, VK_VOLUME_UP},
      {Qt::Key_MediaNext, VK_MEDIA_NEXT_TRACK},
      {Qt::Key_MediaPrevious, VK_MEDIA_PREV_TRACK},
      {Qt::Key_MediaStop, VK_MEDIA_STOP},
      {Qt::Key_MediaPlay, VK_MEDIA_PLAY_PAUSE},
      {Qt::Key_MediaTogglePlayPause, VK_MEDIA_PLAY_PAUSE},
      {Qt::Key_LaunchMail, VK_LAUNCH_MAIL},
      {Qt::Key_LaunchMedia, VK_LAUNCH_MEDIA_SELECT},
      {Qt::Key_Launch0, VK_LAUNCH_APP1},
      {Qt::Key_Explorer, VK_LAUNCH_APP1},
      {Qt::Key_Launch1, VK_LAUNCH_APP2},
      {Qt::Key_Calculator, VK_LAUNCH_APP2},
  };
  return table;
}

}  // namespace

int VirtualKeyFromQtKey(int qtKey, bool keypad) {
  if (keypad) {
    if (int code = VirtualKeyOfKeypad(qtKey); code != VK_NONE) return code;
  }
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return VK_F1 + (qtKey - Qt::Key_F1);
  const auto& special = SpecialKeys();
  if (auto found = special.find(qtKey); found != special.end()) return found->second;
  // Qt numbers printable keys by their (Latin-1) character.
  if (qtKey > 0 && qtKey < 0x7F) return VirtualKeyOfCharacter(qtKey);
  return VK_NONE;
}

TShiftState ShiftStateFromQtModifiers(unsigned qtModifiers) {
  TShiftState state = 0;
  if (qtModifiers & Qt::ShiftModifier) state |= ssShift;
  if (qtModifiers & Qt::AltModifier) state |= ssAlt;
  if (qtModifiers & Qt::ControlModifier) state |= ssCtrl;
  return state;
}

}  // namespace platform
