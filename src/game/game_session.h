// The game session: one game (or one editing session) from its first level to its end.
#pragma once
#include <vector>

// Per-game values 1 to 30 handed to the score record at the end (index 0 unused); start-up
// creates it with 31 entries.
extern std::vector<int> BestTable;

// Plays one game in GameMode (1 a game, 0 the level editor) from StartWorld, frame by frame,
// until the lives run out, level 100 is done or the pause menu's Quit; then shows "Game Over" and
// hands the game to the score list.
void RunGame();
// The start of a game: score, lives and flags reset, the work file prepared and the first level
// of StartWorld loaded.
void StartGame();
// One frame of the game; returns false once the game has ended (after its end screen).
bool GameFrame();
