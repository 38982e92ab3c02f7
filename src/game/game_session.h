// The game session: one game (or one editing session) from its first level to its end.
#pragma once
#include <vector>

// Per-game values 1 to 30 handed to the score record at the end (index 0 unused); start-up
// creates it with 31 entries.
extern std::vector<int> BestTable;

// Plays one game in GameMode (1 a game, 0 the level editor) from StartWorld, frame by frame,
// until the lives run out, level 100 is done or the pause menu's Quit; then shows "Game Over" and
// hands the game to the record step (the name prompt and the score list).
void RunGame();
// The step that makes the score record of a game that has ended (EndReason 1 or 99); handed in
// by the layer that keeps the scores. Without one a game leaves no record.
void SetGameRecordStep(void (*record)(int endReason));
// The start of a game: score, lives and flags reset, the work file prepared and the first level
// of StartWorld loaded.
void StartGame();
// One frame of the game; returns false once the game has ended (after its end screen).
bool GameFrame();
// The frame's rules in the game's order: frame timer, objects, sheep, editor test-walk end and
// save key, slide, heads-up texts and level end (or the editor), end-of-frame reloads. The two
// drawing-only steps come in as hooks at their places, so the level solver can run the same
// frames headless with null ones. GameFrame is BeginFrame, this, then PresentFrame.
void SimulateFrame(void (*borders)() = nullptr, void (*playfieldFrame)() = nullptr);
