#pragma once

#include <cstdint>

// Keyboard codes as Win32 numbers them: virtual-key codes (VK_*) and the
// state of the shift keys that accompanies a key press.
namespace platform {

// Shift state bits (the Ctrl/Alt/Shift part of a key event).
enum TShiftFlag : unsigned {
  ssShift = 1,
  ssAlt = 2,
  ssCtrl = 4,
};
using TShiftState = unsigned;

// Virtual-key codes. Digits and capital letters are their own character
// codes ('0'..'9' = 48..57, 'A'..'Z' = 65..90).
enum : int {
  VK_NONE = 0,
  VK_BACK = 8,
  VK_TAB = 9,
  VK_CLEAR = 12,
  VK_RETURN = 13,
  VK_SHIFT = 16,
  VK_CONTROL = 17,
  VK_MENU = 18,  // Alt
  VK_PAUSE = 19,
  VK_CAPITAL = 20,
  VK_ESCAPE = 27,
  VK_SPACE = 32,
  VK_PRIOR = 33,  // Page Up
  VK_NEXT = 34,   // Page Down
  VK_END = 35,
  VK_HOME = 36,
  VK_LEFT = 37,
  VK_UP = 38,
  VK_RIGHT = 39,
  VK_DOWN = 40,
  VK_SELECT = 41,
  VK_PRINT = 42,
  VK_EXECUTE = 43,
  VK_SNAPSHOT = 44,  // Print Screen
  VK_INSERT = 45,
  VK_DELETE = 46,
  VK_HELP = 47,
  VK_LWIN = 91,
  VK_RWIN = 92,
  VK_APPS = 93,
  VK_SLEEP = 95,
  VK_NUMPAD0 = 96,  // ... VK_NUMPAD9 = 105
  VK_MULTIPLY = 106,
  VK_ADD = 107,
  VK_SEPARATOR = 108,
  VK_SUBTRACT = 109,
  VK_DECIMAL = 110,
  VK_DIVIDE = 111,
  VK_F1 = 112,  // ... VK_F24 = 135
  VK_F12 = 123,
  VK_F24 = 135,
  VK_NUMLOCK = 144,
  VK_SCROLL = 145,
  VK_BROWSER_BACK = 166,
  VK_BROWSER_FORWARD = 167,
  VK_BROWSER_REFRESH = 168,
  VK_BROWSER_STOP = 169,
  VK_BROWSER_SEARCH = 170,
  VK_BROWSER_FAVORITES = 171,
  VK_BROWSER_HOME = 172,
  VK_VOLUME_MUTE = 173,
  VK_VOLUME_DOWN = 174,
  VK_VOLUME_UP = 175,
  VK_MEDIA_NEXT_TRACK = 176,
  VK_MEDIA_PREV_TRACK = 177,
  VK_MEDIA_STOP = 178,
  VK_MEDIA_PLAY_PAUSE = 179,
  VK_LAUNCH_MAIL = 180,
  VK_LAUNCH_MEDIA_SELECT = 181,
  VK_LAUNCH_APP1 = 182,  // "My Computer"
  VK_LAUNCH_APP2 = 183,  // Calculator
  VK_OEM_1 = 186,        // ;
  VK_OEM_PLUS = 187,     // =
  VK_OEM_COMMA = 188,    // ,
  VK_OEM_MINUS = 189,    // -
  VK_OEM_PERIOD = 190,   // .
  VK_OEM_2 = 191,        // /
  VK_OEM_3 = 192,        // `
  VK_OEM_4 = 219,        // [
  VK_OEM_5 = 220,        // backslash
  VK_OEM_6 = 221,        // ]
  VK_OEM_7 = 222,        // '
  VK_OEM_102 = 226,      // the extra key of 102-key keyboards
};

// The virtual-key code of a Qt key (a Qt::Key value) as Win32 reports it for
// the same physical key on a US layout: a shifted symbol gives its unshifted
// key ('!' gives '1', '+' gives '='), a key on the keypad (keypad set) gives
// the VK_NUMPAD* / VK_MULTIPLY ... codes, a letter gives its capital. Keys
// without a virtual-key code give 0.
int VirtualKeyFromQtKey(int qtKey, bool keypad);

// The shift state of Qt keyboard modifiers (a Qt::KeyboardModifiers value).
TShiftState ShiftStateFromQtModifiers(unsigned qtModifiers);

}  // namespace platform
