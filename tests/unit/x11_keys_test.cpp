// The key symbol table. Symbols are given as X11's numbers so the test doesn't lean on the table's
// own source of names.
#include <gtest/gtest.h>

#include "platform/x11/x11_keys.h"

TEST(X11Keys, LettersDigitsAndFunctionKeys) {
  EXPECT_EQ(KeyCodeFromKeysym(0x61, false), 65);   // a
  EXPECT_EQ(KeyCodeFromKeysym(0x7a, false), 90);   // z
  EXPECT_EQ(KeyCodeFromKeysym(0x5a, false), 90);   // Z
  EXPECT_EQ(KeyCodeFromKeysym(0x30, false), 48);   // 0
  EXPECT_EQ(KeyCodeFromKeysym(0x39, false), 57);   // 9
  EXPECT_EQ(KeyCodeFromKeysym(0xffbe, false), 112);  // F1
  EXPECT_EQ(KeyCodeFromKeysym(0xffc9, false), 123);  // F12
  EXPECT_EQ(KeyCodeFromKeysym(0xffca, false), 0);    // F13: no code
}

TEST(X11Keys, EditingCursorAndModifierKeys) {
  const struct { unsigned long sym; int code; } cases[] = {
      {0xff08, 8},   {0xff09, 9},   {0xff0d, 13},  {0xff13, 19},  {0xffe5, 20},  {0xff1b, 27},
      {0x20, 32},    {0xff55, 33},  {0xff56, 34},  {0xff57, 35},  {0xff50, 36},  {0xff51, 37},
      {0xff52, 38},  {0xff53, 39},  {0xff54, 40},  {0xff63, 45},  {0xffff, 46},  {0xff7f, 144},
      {0xff14, 145}, {0xffe1, 160}, {0xffe2, 161}, {0xffe3, 162}, {0xffe4, 163}, {0xffe9, 164},
      {0xffea, 165}, {0xff8d, 13},
  };
  for (const auto& c : cases) EXPECT_EQ(KeyCodeFromKeysym(c.sym, false), c.code) << std::hex << c.sym;
}

TEST(X11Keys, PunctuationGetsTheCodeNamedAfterItsSymbol) {
  const struct { unsigned long sym; int code; } cases[] = {
      {0x3b, 186}, {0x3d, 187}, {0x2c, 188}, {0x2d, 189}, {0x2e, 190}, {0x2f, 191},
      {0x27, 192}, {0x5b, 219}, {0x5c, 220}, {0x5d, 221}, {0x23, 222}, {0x60, 223},
      {0x3c, 226}, {0xff61, 44}, {0xffeb, 91}, {0xffec, 92}, {0x1008ff12, 173}, {0x1008ff13, 175},
  };
  for (const auto& c : cases) EXPECT_EQ(KeyCodeFromKeysym(c.sym, false), c.code) << std::hex << c.sym;
}

TEST(X11Keys, KeypadDigitsDependOnNumLock) {
  EXPECT_EQ(KeyCodeFromKeysym(0xffb0, true), 96);    // KP_0
  EXPECT_EQ(KeyCodeFromKeysym(0xffb9, true), 105);   // KP_9
  EXPECT_EQ(KeyCodeFromKeysym(0xff95, true), 103);   // KP_Home is 7 with Num Lock
  EXPECT_EQ(KeyCodeFromKeysym(0xff95, false), 36);   // and Home without
  EXPECT_EQ(KeyCodeFromKeysym(0xff9e, false), 45);   // KP_Insert
  EXPECT_EQ(KeyCodeFromKeysym(0xff9d, false), 12);   // KP_Begin: Clear
  EXPECT_EQ(KeyCodeFromKeysym(0xff9d, true), 101);   // the 5 with Num Lock
  EXPECT_EQ(KeyCodeFromKeysym(0xff9f, true), 110);   // KP_Delete is the decimal point
  EXPECT_EQ(KeyCodeFromKeysym(0xff9f, false), 46);
  EXPECT_EQ(KeyCodeFromKeysym(0xffaa, false), 106);  // *
  EXPECT_EQ(KeyCodeFromKeysym(0xffab, false), 107);  // +
  EXPECT_EQ(KeyCodeFromKeysym(0xffad, false), 109);  // -
  EXPECT_EQ(KeyCodeFromKeysym(0xffae, false), 110);  // .
  EXPECT_EQ(KeyCodeFromKeysym(0xffaf, false), 111);  // /
}
