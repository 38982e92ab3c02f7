// The level editor: the game loop in mode 0 on the player's own levels, with a grid over the 25
// editable cells, their values in four rows, level buttons, number-pad and mouse editing and
// random generators. Every edit goes to the work file at once and the level starts again.
#pragma once
#include <string>

extern bool KeyLatch;    // a keyboard edit was made; cleared once its keys are all let go
extern bool MouseLatch;  // a mouse edit was made; cleared once both buttons are let go

// The start of an editing session: the mouse must be let go before its first edit.
void ResetEditorLatches();
// Steps the character at 1-based position index of LevelText by delta (+1 or -1); a kind
// character cycles empty, "1".."9", "A".."N" and puts in the kind's default cell.
void StepCellChar(int index, int delta);
// Exchanges cells a and b (0 to 24; cells 0 and 24 are neighbours).
void SwapCells(int a, int b);
// Makes cell b a copy of cell a.
void CopyCell(int a, int b);
// Replaces cell a by a random object, seeded afresh from the clock.
void RandomiseCell(int a);
// Adds random objects to LevelText, drawing on from the current seed: style 0 anywhere (6 to 12
// draws for a world's first level, 1 to 3 after), styles 1 to 3 mirrored about cell 12 (3 to 6
// pairs, 1 to 2 after).
void GenerateLevel(bool first, int style);
// The editor's screen and input, once a frame in mode 0.
void EditorStep();
// Sets both latches: what is held now edits nothing until let go (after the pause menu).
void HoldEditorLatches();
// Clears the latches whose keys and buttons are all released (every frame, both modes).
void EditorLatchUpkeep();
