// Typing a name: the one-step line editor of the login boxes and the "Enter Your Name" prompt at
// the end of every game.
#pragma once
#include <string>

// One editing step: a typed character (code 32 or above) appended, and Backspace taking the last
// one off. "|" and "^" are refused: the score file has no escape for them.
std::string EditText(const std::string& text);
// The prompt for PlayerName; returns on Return, a click or Escape, keeping the name as typed.
void EnterName();
