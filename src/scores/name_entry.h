// Typing a name: the one-step line editor of the login boxes and the "Enter Your Name" prompt at
// the end of every game.
#pragma once
#include <string>

#include "protocol/name_rules.h"

// Whether the typed character code c may follow text in a name of this kind: the protocol's rule,
// which the server checks too. When it may not, why is a short message for the player, or "" for
// control codes (Tab, Return, Escape, Delete), which are simply never inserted.
bool NameCharAllowed(TNameKind kind, const std::string& text, int c, std::string& why);
// One editing step: a typed character appended when the rules of its kind let it (a record's name
// unless told otherwise), and Backspace taking the last one off. A refused character shows a
// floating message that says why.
std::string EditText(const std::string& text, TNameKind kind = TNameKind::RecordName);
// The prompt for PlayerName; returns on Return, a click or Escape, keeping the name as typed.
void EnterName();
