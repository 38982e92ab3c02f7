// Controls: one integer code per control slot stands for a key, a joystick axis direction, a hat
// direction or a joystick button, so every screen asks the same question whatever the device. A
// pad nobody has bound yet plays by position through the standard layer (ui/pad_layout).
#include "ui/controls.h"

#include "platform/draw_state.h"
#include "platform/input.h"
#include "platform/joystick.h"
#include "platform/key_codes.h"
#include "ui/draw_helpers.h"
#include "ui/pad_layout.h"
#include "ui/panel_state.h"

#include <algorithm>

namespace {

constexpr int kFirstJoystickCode = 300;
constexpr int kMaxJoysticks = 4;
constexpr int kMaxScannedButtons = 19;  // button codes stop at k = 49
constexpr float kAxisDeadZone = 0.3f;

// Order of the axis pairs in the joystick input numbers (Y first, as the game lists them), with
// the matching JoyRest index (rest values are kept X, Y, Z, U, V, R) and platform axis.
struct TAxisPair {
  int rest;
  int axis;
};
constexpr TAxisPair kAxisPairs[6] = {
    {1, JOY_AXIS_Y}, {0, JOY_AXIS_X}, {2, JOY_AXIS_Z},
    {3, JOY_AXIS_U}, {4, JOY_AXIS_V}, {5, JOY_AXIS_R},
};
constexpr int kRestAxes[6] = {JOY_AXIS_X, JOY_AXIS_Y, JOY_AXIS_Z, JOY_AXIS_U, JOY_AXIS_V, JOY_AXIS_R};

constexpr int kHatUp = 20, kHatLeft = 23, kHatRight = 25, kHatDown = 28;
constexpr int kFirstButton = 30;
constexpr int kButtonSize = 48;

const char* const kJoystickInputNames[12] = {"Y-", "Y+", "X-", "X+", "Z-", "Z+",
                                             "U-", "U+", "V-", "V+", "R-", "R+"};

bool JoyInputHeld(int j, int k) {
  int port = j - 1;
  // A pulled-out stick reads centred, which is not rest for an axis that rests off centre.
  if (!JoyConnected(port)) return false;
  if (k < 12) {
    const TAxisPair& pair = kAxisPairs[k / 2];
    return AxisDirectionHeld(k, JoyAxis(pair.axis, port), JoyRest[size_t(j)][size_t(pair.rest)]);
  }
  if (k >= kHatUp && k < kFirstButton) return JoyHasHat[size_t(j)] == 1 && HatDirectionHeld(k, JoyHat(port));
  if (k >= kFirstButton) return JoyButtonDown(k - kFirstButton, port) != 0;
  return false;
}

// Names of the key codes that have one; nullptr for the rest.
const char* NamedKey(int code) {
  static const char* const kDigits[10] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
  static const char* const kLetters[26] = {"A", "B", "C", "D", "E", "F", "G", "H", "I",
                                           "J", "K", "L", "M", "N", "O", "P", "Q", "R",
                                           "S", "T", "U", "V", "W", "X", "Y", "Z"};
  static const char* const kFunctionKeys[12] = {"F1", "F2", "F3", "F4",  "F5",  "F6",
                                                "F7", "F8", "F9", "F10", "F11", "F12"};
  if (code >= 48 && code <= 57) return kDigits[code - 48];
  if (code >= 96 && code <= 105) return kDigits[code - 96];
  if (code >= 65 && code <= 90) return kLetters[code - 65];
  if (code >= 112 && code <= 123) return kFunctionKeys[code - 112];
  switch (code) {
    case 0: return "Pause";
    case 1: return "Left Mousebutton";
    case 2: return "Right Mousebutton";
    case 3: return "Middle Mousebutton";
    case 8: return "Backspace";
    case 9: return "Tab";
    case 12: return "Clear";
    case 13: return "Return";
    case 19: return "Pause";
    case 20: return "CapsLock";
    case 27: return "Escape";
    case 32: return "Space";
    case 33: return "Page Up";
    case 34: return "Page Down";
    case 35: return "End";
    case 36: return "Home";
    case 37: return "Left";
    case 38: return "Up";
    case 39: return "Right";
    case 40: return "Down";
    case 41: return "Select";
    case 42: return "Print";
    case 43: return "Execute";
    case 44: return "Screen";
    case 45: return "Insert";
    case 46: return "Delete";
    case 91: return "Sys Left";
    case 92: return "Sys Right";
    case 106: return "*";
    case 107: return "+";
    case 109: return "-";
    case 110: return ".";
    case 111: return "/";
    case 144: return "NumLock";
    case 145: return "ScrollLock";
    case 160: return "LShift";
    case 161: return "RShift";
    case 162: return "LControl";
    case 163: return "RControl";
    case 164: return "LAlt";
    case 165: return "RAlt";
    case 173: return "Mute";
    case 174: return "Volume Down";
    case 175: return "Volume Up";
    case 186: return ";";
    case 187: return "=";
    case 188: return ",";
    case 189: return "-";
    case 190: return ".";
    case 191: return "/";
    case 192: return "'";
    case 219: return "[";
    case 220: return "\\";
    case 221: return "]";
    case 222: return "#";
    case 223: return "`";
    case 226: return "\\";
    default: return nullptr;
  }
}

}  // namespace

std::array<int, 101> ControlTable{};

int JoyTotal = 0;
std::array<std::string, 5> JoyNames{};
std::array<int, 5> JoyButtons{};
std::array<std::array<float, 6>, 5> JoyRest{};
std::array<int, 5> JoyEnabled{};
std::array<int, 5> JoyHasHat{};

int DefaultControl(int slot) {
  switch (slot) {
    case 0: return 38;   // up arrow
    case 3: return 37;   // left arrow
    case 5: return 39;   // right arrow
    case 8: return 40;   // down arrow
    case 10: return 90;  // Z
    case 11: return 88;  // X
    case 12: return 67;  // C
    case 13: return 86;  // V
    default: return 0;
  }
}

void SetDefaultControls() {
  for (size_t slot = 0; slot < ControlTable.size(); ++slot) ControlTable[slot] = DefaultControl(int(slot));
}

bool BindableCode(int code) {
  // The hot keys of every screen: bound, Tab would read as never held and Escape would end the
  // title or open the pause menu in the same frame.
  return code > 8 && code != VK_TAB && code != VK_ESCAPE && code != VK_F11 && code != VK_F12;
}

namespace {

// The device generation each joystick entry was read from, so a replugged one is read again.
std::array<int, 5> JoyReadGeneration{};

// Reads joystick j (1 to 4) from its port: buttons, name, the present axes as rest, the hat.
void ReadJoystick(int j) {
  const int port = j - 1;
  const size_t at = size_t(j);
  // Buttons are numbered from 0, so the count reaches the highest one the device has.
  const uint32_t mask = JoyButtonMask(port);
  int count = 0;
  while (count < 32 && (mask >> count) != 0) ++count;
  JoyButtons[at] = count;
  JoyNames[at] = JoyName(port);
  for (int r = 0; r < 6; ++r) JoyRest[at][size_t(r)] = JoyAxis(kRestAxes[r], port);
  JoyHasHat[at] = JoyHat(port) == -1.0f ? 1 : 0;
  JoyReadGeneration[at] = JoyGeneration(port);
}

// Centred on (cx, cy) at scale most, or smaller: a long name shrinks to the button's width instead
// of spilling onto its neighbours.
void CaptionAt(const std::string& caption, int cx, int cy, float most = 1.0f) {
  const int width = TextWidth(caption);
  const float s = std::min(most, width > 0 ? float(kButtonSize - 4) / float(width) : most);
  if (s >= 1.0f) {
    TextAt(cx, cy, caption, 1, 1);
    return;
  }
  Scale(s);
  TextAt(cx - int(float(width) * s / 2), cy - int(float(TextHeight()) * s / 2), caption, 0, 0);
  Scale(1);
}

}  // namespace

void SetUpJoysticks() {
  JoyNames.fill("");
  JoyButtons.fill(0);
  JoyRest = {};
  JoyEnabled.fill(0);
  JoyHasHat.fill(0);
  JoyReadGeneration.fill(0);
  JoyTotal = std::min(JoyCount(), kMaxJoysticks);
  for (int j = 1; j <= JoyTotal; ++j) {
    ReadJoystick(j);
    JoyEnabled[size_t(j)] = 1;
  }
}

void FollowJoysticks() {
  const int total = std::min(JoyCount(), kMaxJoysticks);
  for (int j = 1; j <= total; ++j) {
    if (JoyGeneration(j - 1) == JoyReadGeneration[size_t(j)]) continue;
    // A new joystick is read; one plugged in again keeps whether the player switched it off.
    if (j > JoyTotal) JoyEnabled[size_t(j)] = 1;
    ReadJoystick(j);
  }
  JoyTotal = total;
}

bool AxisDirectionHeld(int k, float v, float r) {
  return (k % 2 == 0) ? v < r - kAxisDeadZone : v > r + kAxisDeadZone;
}

bool HatDirectionHeld(int k, float h) {
  switch (k) {
    case kHatUp: return h >= 0 && (h < 0.2f || h > 0.8f);
    case kHatRight: return h > 0.1f && h < 0.4f;
    case kHatDown: return h > 0.3f && h < 0.7f;
    case kHatLeft: return h > 0.6f && h < 0.9f;
    default: return false;
  }
}

int ControlDown(int code) {
  if (code >= 10 && code <= 254 && KeyDown(code)) return 1;
  if (code < kFirstJoystickCode) return 0;
  int j = code / 50 - 5;
  int k = code % 50;
  if (j > kMaxJoysticks || !JoyEnabled[size_t(j)]) return 0;
  return JoyInputHeld(j, k) ? 1 : 0;
}

int PlayerControl(int control, int player) {
  int slot = (player - 1) * 20 + control;
  if (slot < 0 || slot >= int(ControlTable.size())) return 0;
  return ControlDown(ControlTable[size_t(slot)]) || PadLayerHeld(control, player) ? 1 : 0;
}

int ScanJoystick(int j) {
  if (j < 1 || j > JoyTotal || !JoyEnabled[size_t(j)]) return 0;
  int port = j - 1;
  int base = 50 * j + 250;
  for (int k = 0; k < 12; ++k)
    if (JoyInputHeld(j, k)) return base + k;
  if (JoyHasHat[size_t(j)] == 1) {
    // Only the four straight directions bind; a diagonal is not a control of its own.
    float h = JoyHat(port);
    if (h == 0.0f) return base + kHatUp;
    if (h == 0.25f) return base + kHatRight;
    if (h == 0.5f) return base + kHatDown;
    if (h == 0.75f) return base + kHatLeft;
  }
  for (int b = 0; b < JoyButtons[size_t(j)] && b < kMaxScannedButtons; ++b)
    if (JoyButtonDown(b, port)) return base + kFirstButton + b;
  return 0;
}

int ScanControl() {
  if (KeyDown(VK_F11) || KeyDown(VK_F12)) return 0;
  for (int key = 1; key <= 255; ++key)
    if (KeyDown(key)) return key;
  for (int j = 1; j <= JoyTotal; ++j)
    if (const int code = ScanJoystick(j)) return code;
  return 0;
}

std::string KeyName(int code) {
  if (const char* name = NamedKey(code)) return name;
  int k = code % 50;
  if (k >= 0 && k < 12) return kJoystickInputNames[k];
  switch (k) {
    case kHatUp: return "Up";
    case kHatLeft: return "Left";
    case kHatRight: return "Right";
    case kHatDown: return "Down";
    default: return std::to_string(k - kFirstButton);
  }
}

void DrawControlButton(int slot, int x, int y) {
  if (slot < 0 || slot >= int(ControlTable.size())) return;
  const int current = ControlTable[size_t(slot)];
  float lit = 0.0f;
  // Binding needs no click: hover and press the input. Backspace unbinds.
  if (MouseOver(x, y, kButtonSize, kButtonSize) && PanelFullyOpen()) {
    lit = 1.0f;
    const int pressed = ScanControl();
    if (BindableCode(pressed)) ControlTable[size_t(slot)] = pressed;
    if (pressed == VK_BACKSPACE) ControlTable[size_t(slot)] = 0;
  }
  if (ControlDown(ControlTable[size_t(slot)])) lit = 1.0f;

  // Drawn by the binding the frame started with, so a new one shows from the next frame.
  int icon = -1;
  int tx = x + 24, ty = y + 24;
  if (current == 0 || (current >= 9 && current <= 254)) icon = 3;
  else if (current >= kFirstJoystickCode) {
    const int k = current % 50;
    icon = k < 12 ? 9 : k < kFirstButton ? 8 : 10;
    if (k < kFirstButton) tx = x, ty = y;
  }
  if (icon < 0) return;
  Scale(3);
  DrawGlowSprite(IconsCrisp, float(x), float(y), icon, IconsFiltered, 1.1f, lit);
  Scale(1);
  // The caption in black on a light button and white on a dark one, so it reads on every tint.
  int r = 0, g = 0, b = 0;
  GetColor(r, g, b);
  const float alpha = GetAlpha();
  const bool light = 0.299f * float(r) + 0.587f * float(g) + 0.114f * float(b) > 110.0f;
  Colour(light ? 0.0f : 255.0f, light ? 0.0f : 255.0f, light ? 0.0f : 255.0f);
  // A pad's input keeps its number as the caption; what the pad prints on it goes underneath,
  // smaller, inside the button (below it lie the neighbouring buttons).
  std::string printed = current >= kFirstJoystickCode ? PrintedInputName(current) : "";
  // A stick's or d-pad's direction is in the caption already: the foot names which one it is.
  if (current % 50 < kFirstButton) printed = printed.substr(0, printed.find(' '));
  CaptionAt(current == 0 ? "?!" : KeyName(current), tx, printed.empty() || ty == y ? ty : ty - 5);
  if (!printed.empty()) {
    // White on a dark band across the button's foot, which reads on every tint and icon.
    const float s = std::min(0.75f, float(kButtonSize - 4) / float(std::max(1, TextWidth(printed))));
    const float w = float(TextWidth(printed)) * s + 4, h = float(TextHeight()) * s;
    Colour(0, 0, 0, 0.7f);
    DrawRect(float(x + 24) - w / 2, float(y + 37) - h / 2, w, h);
    Colour(255, 255, 255, 1.0f);
    CaptionAt(printed, x + 24, y + 37, s);
  }
  Colour(float(r), float(g), float(b), alpha);
}

