// Turns X11 key symbols into the game's key codes (Windows-style virtual keys: letters 65..90,
// digits 48..57, F1..F12 112..123, arrows 37..40, keypad 96..111, left/right Shift, Control and
// Alt 160..165, punctuation 186..192 and 219..223, and the editing, lock, system and volume
// keys that have key names).
#pragma once

// The key code for a key symbol (as X11 numbers them); 0 when the game has no code for it.
// numlock selects the keypad's digit meaning (96..105, 110) over its cursor meaning.
int KeyCodeFromKeysym(unsigned long keysym, bool numlock);
