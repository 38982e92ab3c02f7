// Controls: the table of input codes per control slot (4 players x 20 controls), the joysticks
// found at start-up, and the tests and names built on them.
#pragma once
#include <array>

// Input code per slot (player - 1) * 20 + control; 0 unbound. Codes 8..254 are keys,
// 250 + 50 j + k is input k of joystick j.
extern std::array<int, 101> ControlTable;

// Player 1's arrows and Z X C V; every other slot unbound.
void SetDefaultControls();
// Finds the joysticks (at most 4) and notes their resting positions. Called once at start-up.
void SetUpJoysticks();
