// The score file's scrambling as the game calls it: the protocol's algorithm with the game's own
// key, ScrambleKey, wherever a caller gives none.
#pragma once
#include <string>

#include "protocol/score_line.h"
#include "protocol/scramble.h"

extern std::string ScrambleKey;  // built at start-up from the title and KeyPhrase

// Derives ScrambleKey; run once at start-up before any score is read or written.
void BuildScrambleKey();
// Text to upper-case hexadecimal of 2 (n + 12) characters; an empty key means ScrambleKey.
std::string Scramble(const std::string& text, const std::string& key);
// The reverse; "XXX" when either checksum fails.
std::string Unscramble(const std::string& text, const std::string& key);
