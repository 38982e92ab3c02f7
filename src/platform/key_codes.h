// Names for the key codes the screens test by hand (Windows-style virtual keys, as the input
// layer reports them). Letters are their upper-case character codes, digits theirs.
#pragma once

enum TKeyCode {
  VK_BACKSPACE = 8,
  VK_TAB = 9,
  VK_RETURN = 13,
  VK_ESCAPE = 27,
  VK_SPACE = 32,
  VK_LEFT = 37,
  VK_UP = 38,
  VK_RIGHT = 39,
  VK_DOWN = 40,
  VK_F1 = 112,
  VK_F2 = 113,
  VK_F3 = 114,
  VK_F4 = 115,
  VK_F5 = 116,
  VK_F6 = 117,
  VK_F11 = 122,
  VK_F12 = 123,
  VK_LEFT_ALT = 164,
  VK_RIGHT_ALT = 165,
};
