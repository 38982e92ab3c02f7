// Controls: the table of input codes per control slot (4 players x 20 controls), the joysticks
// found at start-up, whether a control is held, which input is being pressed (to redefine a
// control) and the name shown for every input code.
#pragma once
#include <array>
#include <string>

// Input code per slot (player - 1) * 20 + control; 0 unbound. Codes 8..254 are keys,
// 250 + 50 j + k is input k of joystick j: k 0..11 axis directions (Y-, Y+, X-, X+, Z-, Z+,
// U-, U+, V-, V+, R-, R+), 20/23/25/28 hat up/left/right/down, 30 + b button b.
extern std::array<int, 101> ControlTable;

// Joysticks 1 to JoyTotal (index 0 unused), filled by SetUpJoysticks and FollowJoysticks.
extern int JoyTotal;                                 // 0 to 4
extern std::array<std::string, 5> JoyNames;          // as the device reports it
extern std::array<int, 5> JoyButtons;                // number of buttons
extern std::array<std::array<float, 6>, 5> JoyRest;  // resting X, Y, Z, U, V, R
extern std::array<int, 5> JoyEnabled;                // 1 read, 0 ignored (settings panel toggles)
extern std::array<int, 5> JoyHasHat;                 // 1 when the hat was centred at start-up

// Player 1's arrows and Z X C V; every other slot unbound.
void SetDefaultControls();
// The code a slot starts with (0 for an unbound one).
int DefaultControl(int slot);
// Whether an input may be bound to a control: not a mouse button, Backspace (which unbinds), nor
// one of the hot keys Tab, Escape, F11 and F12.
bool BindableCode(int code);
// Finds the joysticks (at most 4) and takes their present axis positions as the rest positions.
// Called once at start-up, while the sticks are untouched.
void SetUpJoysticks();
// Once a frame: a joystick plugged in since is read the same way (its present axes taken as
// rest) and joins the list; one plugged in again is read anew and keeps its place and switch.
void FollowJoysticks();

// 1 while the input with this code is held: a key, or an input of an enabled joystick.
int ControlDown(int code);
// ControlDown of the code bound to control 0..19 of player 1..4, or the standard layer of pad
// `player` holding it (ui/pad_layout).
int PlayerControl(int control, int player);
// The input being pressed now, for binding a control: the lowest held key, else the first held
// joystick input; 0 when none or while F11/F12 (screenshot, overlay) are held.
int ScanControl();
// The first held input of joystick j (1 to 4) in ScanControl's order; 0 when none is held or
// the joystick is absent or switched off.
int ScanJoystick(int j);
// The text shown for an input code.
std::string KeyName(int code);
// One 48 x 48 control button of the settings panel for a slot of ControlTable: hovering it on the
// fully open panel binds whatever input is pressed (Backspace unbinds); it lights while its input
// is held.
void DrawControlButton(int slot, int x, int y);

// Whether joystick input k (an axis direction 0..11) holds at axis reading v with rest value r.
bool AxisDirectionHeld(int k, float v, float r);
// Whether hat direction k (20 up, 23 left, 25 right, 28 down) holds at hat reading h.
bool HatDirectionHeld(int k, float h);
