// The key symbol table. Kept apart from the window code so it can be tested without a display;
// the numbers are X11's key symbol values (keysymdef). Punctuation is mapped by the symbol the
// layout produces, to the code whose key name shows that symbol (' is 192, # 222, ` 223).
#include "platform/x11/x11_keys.h"

#include <X11/keysym.h>

namespace {

struct TKeyPair {
  unsigned long keysym;
  int code;
};

const TKeyPair kKeys[] = {
    {XK_BackSpace, 8},    {XK_Tab, 9},           {XK_ISO_Left_Tab, 9},   {XK_Return, 13},
    {XK_KP_Enter, 13},    {XK_Pause, 19},        {XK_Caps_Lock, 20},     {XK_Escape, 27},
    {XK_space, 32},       {XK_Prior, 33},        {XK_Next, 34},          {XK_End, 35},
    {XK_Home, 36},        {XK_Left, 37},         {XK_Up, 38},            {XK_Right, 39},
    {XK_Down, 40},        {XK_Insert, 45},       {XK_Delete, 46},        {XK_KP_Multiply, 106},
    {XK_KP_Add, 107},     {XK_KP_Separator, 108}, {XK_KP_Subtract, 109}, {XK_KP_Divide, 111},
    {XK_Num_Lock, 144},   {XK_Scroll_Lock, 145}, {XK_Shift_L, 160},      {XK_Shift_R, 161},
    {XK_Control_L, 162},  {XK_Control_R, 163},   {XK_Alt_L, 164},        {XK_Alt_R, 165},
    {XK_ISO_Level3_Shift, 165}, {XK_semicolon, 186}, {XK_equal, 187},    {XK_comma, 188},
    {XK_minus, 189},      {XK_period, 190},      {XK_slash, 191},        {XK_apostrophe, 192},
    {XK_bracketleft, 219}, {XK_backslash, 220},  {XK_bracketright, 221}, {XK_numbersign, 222},
    {XK_grave, 223},      {XK_less, 226},        {XK_Clear, 12},         {XK_Select, 41},
    {XK_Execute, 43},     {XK_Print, 44},        {XK_Super_L, 91},       {XK_Super_R, 92},
    {0x1008ff12, 173},    {0x1008ff11, 174},     {0x1008ff13, 175},  // mute, volume down, up
};

// The keypad's cursor keys, and the digit each stands for with Num Lock on.
const TKeyPair kPadCursor[] = {
    {XK_KP_Insert, 45}, {XK_KP_End, 35},  {XK_KP_Down, 40},  {XK_KP_Next, 34},
    {XK_KP_Left, 37},   {XK_KP_Begin, 12}, {XK_KP_Right, 39}, {XK_KP_Home, 36},
    {XK_KP_Up, 38},     {XK_KP_Prior, 33},
};

}  // namespace

int KeyCodeFromKeysym(unsigned long keysym, bool numlock) {
  if (keysym >= XK_a && keysym <= XK_z) return int(keysym - XK_a) + 65;
  if (keysym >= XK_A && keysym <= XK_Z) return int(keysym - XK_A) + 65;
  if (keysym >= XK_0 && keysym <= XK_9) return int(keysym - XK_0) + 48;
  if (keysym >= XK_F1 && keysym <= XK_F12) return int(keysym - XK_F1) + 112;
  if (keysym >= XK_KP_0 && keysym <= XK_KP_9) return int(keysym - XK_KP_0) + 96;
  if (keysym == XK_KP_Decimal) return 110;
  if (keysym == XK_KP_Delete) return numlock ? 110 : 46;
  for (int digit = 0; digit < 10; ++digit)
    if (kPadCursor[digit].keysym == keysym) return numlock ? 96 + digit : kPadCursor[digit].code;
  for (const TKeyPair& k : kKeys)
    if (k.keysym == keysym) return k.code;
  return 0;
}
