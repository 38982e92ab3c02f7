#include "protocol/game_identity.h"

#include "protocol/scramble.h"

// The build gives the week, from which it also names the game folder it stages.
const int WeekNumber = LAMBRISK_WEEK;

std::string GameScrambleKey() { return DeriveScrambleKey(GameTitle + " " + Subtitle, KeyPhrase, WeekNumber); }
