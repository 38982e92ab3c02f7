// The game session: one game (or one editing session) from its first level to its end.
#pragma once
#include <cstdint>
#include <string>

#include "rules/replay.h"

// Plays one game in GameMode (1 a game, 0 the level editor) from StartWorld, frame by frame,
// until the lives run out, level 100 is done or the pause menu's Quit; then shows "Game Over" and
// hands the game to the record step (the name prompt and the score list).
void RunGame();
// The step that makes the score record of a game that has ended (EndReason 1 or 99); handed in
// by the layer that keeps the scores. Without one a game leaves no record.
void SetGameRecordStep(void (*record)(int endReason));
// The start of a game: the work file prepared, the rules' state started from StartWorld and its
// first level loaded, the editor's latches and check reset.
void StartGame();
// One frame of the game: the borders, the rules' step on the frame's input, its picture, the
// editor (mode 0), the end-of-frame reloads, then PresentFrame. Returns false once the game has
// ended (after its end screen).
bool GameFrame();
// Writes the highest world reached to "zivazo.dat" (one 32-bit little-endian integer).
bool SaveWorldReached(int world);
// The replay of the game that has just ended, with the record's stamp and name; null for an
// editing session (only games are recorded).
const TReplay* FinishedReplay(int64_t stamp, const std::string& name);
// Forgets a pause that ended and the game recorded (tests).
void ResetGameSession();
