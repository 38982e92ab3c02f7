// The standard layer and the printed names: what a pad's buttons mean is read from the kernel's
// button map (the codes say where each button sits), never from the button numbers, which differ
// from pad to pad.
#include "ui/pad_layout.h"

#include "platform/joystick.h"
#include "ui/controls.h"

namespace {

constexpr int kMaxPads = 4;
constexpr int kSonyVendor = 0x054c;
// The map holds a code for every button the driver reports; no pad reports more than this.
constexpr int kButtonsSearched = 64;
// In this game Up jumps: a stick pushed left and a little up must not jump, so the layer's stick
// takes a wider dead zone than a bound axis does.
constexpr float kStickDeadZone = 0.5f;

// Hat directions as the control codes number them.
constexpr int kHatUp = 20, kHatLeft = 23, kHatRight = 25, kHatDown = 28;

struct TPrinted {
  int code;
  const char* usual;
  const char* sony;
};
const TPrinted kPrinted[] = {
    {PAD_SOUTH, "A", "Cross"},       {PAD_EAST, "B", "Circle"},      {PAD_WEST, "X", "Square"},
    {PAD_NORTH, "Y", "Triangle"},    {PAD_TL, "LB", "L1"},           {PAD_TR, "RB", "R1"},
    {PAD_TL2, "LT", "L2"},           {PAD_TR2, "RT", "R2"},          {PAD_SELECT, "Back", "Share"},
    {PAD_START, "Start", "Options"}, {PAD_MODE, "Guide", "PS"},      {PAD_THUMBL, "LS", "L3"},
    {PAD_THUMBR, "RS", "R3"},        {PAD_DPAD_UP, "D-pad Up", "D-pad Up"},
    {PAD_DPAD_DOWN, "D-pad Down", "D-pad Down"},                     {PAD_DPAD_LEFT, "D-pad Left", "D-pad Left"},
    {PAD_DPAD_RIGHT, "D-pad Right", "D-pad Right"},
};

// The axis directions of the control codes (k 0 to 11: Y-, Y+, X-, X+, Z-, Z+, U-, U+, V-, V+,
// R-, R+) that sit on a stick; Z and R are triggers on some pads and a stick on others, so they
// have no printed name.
const char* const kStickNames[12] = {"L-stick Up", "L-stick Down", "L-stick Left", "L-stick Right", nullptr, nullptr,
                                     "R-stick Left", "R-stick Right", "R-stick Up", "R-stick Down", nullptr, nullptr};

bool ValidPad(int j) { return j >= 1 && j <= kMaxPads && j <= JoyTotal; }

// The button of joystick j that sits at the position; -1 when it has none.
int ButtonAt(int j, int padCode) {
  for (int b = 0; b < kButtonsSearched; ++b) {
    const int code = JoyButtonCode(b, j - 1);
    if (code < 0) return -1;
    if (code == padCode) return b;
  }
  return -1;
}

bool PositionHeld(int j, int padCode) {
  const int b = ButtonAt(j, padCode);
  return b >= 0 && JoyButtonDown(b, j - 1) != 0;
}

// The left stick pushed along axis (rest index 0 X, 1 Y) towards sign.
bool StickHeld(int j, int rest, int sign) {
  const float v = JoyAxis(rest == 0 ? JOY_AXIS_X : JOY_AXIS_Y, j - 1);
  const float r = JoyRest[size_t(j)][size_t(rest)];
  return sign < 0 ? v < r - kStickDeadZone : v > r + kStickDeadZone;
}

bool HatHeld(int j, int direction) {
  return JoyHasHat[size_t(j)] == 1 && HatDirectionHeld(direction, JoyHat(j - 1));
}

bool Sony(int j) { return JoyVendor(j - 1) == kSonyVendor; }

}  // namespace

bool PadLayoutKnown(int j) { return ValidPad(j) && ButtonAt(j, PAD_SOUTH) >= 0; }

bool PadLayerOn(int j) {
  if (!ValidPad(j) || JoyEnabled[size_t(j)] != 1 || !JoyConnected(j - 1) || !PadLayoutKnown(j)) return false;
  const int first = 250 + 50 * j;
  for (size_t slot = 0; slot < 100; ++slot)
    if (ControlTable[slot] >= first && ControlTable[slot] < first + 50) return false;
  return true;
}

bool PadLayerHeld(int control, int player) {
  const int j = player;
  if (!PadLayerOn(j)) return false;
  switch (control) {
    case 0: return StickHeld(j, 1, -1) || HatHeld(j, kHatUp) || PositionHeld(j, PAD_DPAD_UP);
    case 3: return StickHeld(j, 0, -1) || HatHeld(j, kHatLeft) || PositionHeld(j, PAD_DPAD_LEFT);
    case 5: return StickHeld(j, 0, 1) || HatHeld(j, kHatRight) || PositionHeld(j, PAD_DPAD_RIGHT);
    case 8: return StickHeld(j, 1, 1) || HatHeld(j, kHatDown) || PositionHeld(j, PAD_DPAD_DOWN);
    case 10: return PositionHeld(j, PAD_SOUTH);
    case 11: return PositionHeld(j, PAD_EAST);
    case 12: return PositionHeld(j, PAD_WEST);
    case 13: return PositionHeld(j, PAD_NORTH);
    default: return false;
  }
}

bool PadStartHeld() {
  for (int j = 1; j <= kMaxPads; ++j)
    if (PadLayerOn(j) && PositionHeld(j, PAD_START)) return true;
  return false;
}

int FirstLayeredPad() {
  for (int j = 1; j <= kMaxPads; ++j)
    if (PadLayerOn(j)) return j;
  return 0;
}

std::string PrintedButtonName(int padCode, bool sony) {
  for (const TPrinted& p : kPrinted)
    if (p.code == padCode) return sony ? p.sony : p.usual;
  return "";
}

std::string PrintedInputName(int code) {
  const int j = code / 50 - 5, k = code % 50;
  if (code < 300 || !PadLayoutKnown(j)) return "";
  if (k < 12) return kStickNames[k] ? kStickNames[k] : "";
  switch (k) {
    case kHatUp: return "D-pad Up";
    case kHatLeft: return "D-pad Left";
    case kHatRight: return "D-pad Right";
    case kHatDown: return "D-pad Down";
    default: break;
  }
  if (k < 30) return "";
  return PrintedButtonName(JoyButtonCode(k - 30, j - 1), Sony(j));
}

std::string PrintedSouthName(int j) { return PrintedButtonName(PAD_SOUTH, Sony(j)); }
