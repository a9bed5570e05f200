#include <gtest/gtest.h>

#include <Qt>

#include "platform/Keys.h"

namespace platform {
namespace {

int Vk(int qtKey, bool keypad = false) { return VirtualKeyFromQtKey(qtKey, keypad); }

TEST(KeyMapping, LettersDigitsAndFunctionKeys) {
  EXPECT_EQ(Vk(Qt::Key_A), 'A');
  EXPECT_EQ(Vk(Qt::Key_Z), 'Z');
  EXPECT_EQ(Vk('a'), 'A');  // a lower-case character code still names the key
  EXPECT_EQ(Vk(Qt::Key_0), '0');
  EXPECT_EQ(Vk(Qt::Key_9), '9');
  EXPECT_EQ(Vk(Qt::Key_F1), 112);
  EXPECT_EQ(Vk(Qt::Key_F12), 123);
  EXPECT_EQ(Vk(Qt::Key_F24), 135);
}

TEST(KeyMapping, ShiftedSymbolsGiveTheirUnshiftedKey) {
  EXPECT_EQ(Vk(Qt::Key_Exclam), '1');
  EXPECT_EQ(Vk(Qt::Key_At), '2');
  EXPECT_EQ(Vk(Qt::Key_NumberSign), '3');
  EXPECT_EQ(Vk(Qt::Key_Dollar), '4');
  EXPECT_EQ(Vk(Qt::Key_ParenRight), '0');
  EXPECT_EQ(Vk(Qt::Key_Plus), 187);  // Shift+=
  EXPECT_EQ(Vk(Qt::Key_Equal), 187);
  EXPECT_EQ(Vk(Qt::Key_Underscore), 189);
  EXPECT_EQ(Vk(Qt::Key_Minus), 189);
  EXPECT_EQ(Vk(Qt::Key_Semicolon), 186);
  EXPECT_EQ(Vk(Qt::Key_Colon), 186);
  EXPECT_EQ(Vk(Qt::Key_Comma), 188);
  EXPECT_EQ(Vk(Qt::Key_Period), 190);
  EXPECT_EQ(Vk(Qt::Key_Question), 191);
  EXPECT_EQ(Vk(Qt::Key_QuoteLeft), 192);
  EXPECT_EQ(Vk(Qt::Key_AsciiTilde), 192);
  EXPECT_EQ(Vk(Qt::Key_BracketLeft), 219);
  EXPECT_EQ(Vk(Qt::Key_Backslash), 220);
  EXPECT_EQ(Vk(Qt::Key_Bar), 220);
  EXPECT_EQ(Vk(Qt::Key_BraceRight), 221);
  EXPECT_EQ(Vk(Qt::Key_Apostrophe), 222);
  EXPECT_EQ(Vk(Qt::Key_QuoteDbl), 222);
}

TEST(KeyMapping, TheKeypadHasItsOwnCodes) {
  EXPECT_EQ(Vk(Qt::Key_0, true), 96);
  EXPECT_EQ(Vk(Qt::Key_9, true), 105);
  EXPECT_EQ(Vk(Qt::Key_Asterisk, true), 106);
  EXPECT_EQ(Vk(Qt::Key_Plus, true), 107);
  EXPECT_EQ(Vk(Qt::Key_Minus, true), 109);
  EXPECT_EQ(Vk(Qt::Key_Period, true), 110);
  EXPECT_EQ(Vk(Qt::Key_Slash, true), 111);
  EXPECT_EQ(Vk(Qt::Key_Enter, true), 13);
  // Keypad keys without Num Lock are the navigation keys.
  EXPECT_EQ(Vk(Qt::Key_Home, true), 36);
  EXPECT_EQ(Vk(Qt::Key_Asterisk), '8');
}

TEST(KeyMapping, NamedKeysOfTheKeyTable) {
  const std::pair<int, int> expected[] = {
      {Qt::Key_Backspace, 8},    {Qt::Key_Tab, 9},          {Qt::Key_Backtab, 9},
      {Qt::Key_Clear, 12},       {Qt::Key_Return, 13},      {Qt::Key_Enter, 13},
      {Qt::Key_Shift, 16},       {Qt::Key_Control, 17},     {Qt::Key_Alt, 18},
      {Qt::Key_Pause, 19},       {Qt::Key_CapsLock, 20},    {Qt::Key_Escape, 27},
      {Qt::Key_Space, 32},       {Qt::Key_PageUp, 33},      {Qt::Key_PageDown, 34},
      {Qt::Key_End, 35},         {Qt::Key_Home, 36},        {Qt::Key_Left, 37},
      {Qt::Key_Up, 38},          {Qt::Key_Right, 39},       {Qt::Key_Down, 40},
      {Qt::Key_Select, 41},      {Qt::Key_Printer, 42},     {Qt::Key_Execute, 43},
      {Qt::Key_Print, 44},       {Qt::Key_Insert, 45},      {Qt::Key_Delete, 46},
      {Qt::Key_Help, 47},        {Qt::Key_Super_L, 91},     {Qt::Key_Super_R, 92},
      {Qt::Key_Menu, 93},        {Qt::Key_Sleep, 95},       {Qt::Key_NumLock, 144},
      {Qt::Key_ScrollLock, 145}, {Qt::Key_Back, 166},       {Qt::Key_Forward, 167},
      {Qt::Key_Stop, 169},       {Qt::Key_Search, 170},     {Qt::Key_Favorites, 171},
      {Qt::Key_HomePage, 172},   {Qt::Key_LaunchMail, 180}, {Qt::Key_Launch0, 182},
      {Qt::Key_Calculator, 183},
  };
  for (const auto& [qtKey, vk] : expected) EXPECT_EQ(Vk(qtKey), vk) << "Qt key " << qtKey;
}

TEST(KeyMapping, UnknownKeysGiveZeroAndModifiersGiveTheShiftState) {
  EXPECT_EQ(Vk(Qt::Key_unknown), 0);
  EXPECT_EQ(Vk(Qt::Key_Eacute), 0);
  EXPECT_EQ(Vk(0), 0);
  EXPECT_EQ(ShiftStateFromQtModifiers(Qt::NoModifier), 0u);
  EXPECT_EQ(ShiftStateFromQtModifiers((Qt::ControlModifier | Qt::ShiftModifier).toInt()),
            ssCtrl | ssShift);
  EXPECT_EQ(ShiftStateFromQtModifiers((Qt::AltModifier | Qt::KeypadModifier).toInt()), ssAlt);
}

}  // namespace
}  // namespace platform
