// The game session: one game (or one editing session) from its first level to its end.
#pragma once
#include <vector>

// Per-game values 1 to 30 handed to the score record at the end (index 0 unused); start-up
// creates it with 31 entries.
extern std::vector<int> BestTable;

// Plays one game in GameMode (1 a game, 0 the level editor) from StartWorld, then returns to the
// caller. The levels arrive with the gameplay; until then a game ends as soon as it starts.
void RunGame();
