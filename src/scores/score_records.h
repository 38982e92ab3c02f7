// Score records: every finished game becomes one, newest first in the local list.
#pragma once

// Run at the very end of a game: the name entry, then the game's record added to the local
// list. Until the score list exists a finished game is not recorded.
void AddFinishedGame(int endReason);
