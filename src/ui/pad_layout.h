// Game pads by position. A pad whose driver gives the gamepad layout plays its player's controls
// by where its buttons sit from the moment it is plugged in (the standard layer: pad n for player
// n), until any of its inputs is bound on the settings panel; then the bindings alone rule it.
// And the names printed on pads, for the texts that name a pad's input to the player.
#pragma once
#include <string>

// Joystick j (1 to 4) has the gamepad layout: its driver puts one of its buttons at the south.
bool PadLayoutKnown(int j);
// The layer reads joystick j: it is there, connected and switched on, has the layout, and no
// control slot holds any of its inputs.
bool PadLayerOn(int j);
// Whether pad n's layer holds control (0 up, 3 left, 5 right, 8 down, 10 to 13 fires 1 to 4) of
// player n: the left stick, the hat or the d-pad buttons for the directions; the south, east,
// west and north buttons for fires 1 to 4.
bool PadLayerHeld(int control, int player);
// Start held on a pad the layer reads: it opens the pause menu in a game and starts one from the
// title.
bool PadStartHeld();
// The first joystick the layer reads; 0 when it reads none.
int FirstLayeredPad();

// The name printed on a button position (PAD_SOUTH, PAD_START, ...), Sony's own when sony; ""
// for a code that is no such position.
std::string PrintedButtonName(int padCode, bool sony);
// The name printed on the pad for input code (a button, a stick or d-pad direction of joystick
// 1 to 4) when that pad's layout is known: "A", "Cross", "LB", "L-stick Up"; "" otherwise.
std::string PrintedInputName(int code);
// The printed name of joystick j's south button ("A", or "Cross" on a Sony pad).
std::string PrintedSouthName(int j);
