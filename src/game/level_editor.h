// The level editor: the same game loop in mode 0, with the grid of the level's cells over the
// playfield and the keys and clicks that change them.
#pragma once

extern bool KeyLatch;    // an editing key was acted on; cleared once all are let go
extern bool MouseLatch;  // a click was acted on; cleared once the buttons are let go

// The editor's screen and input, once a frame in mode 0. The editing itself arrives with the
// editor; until then the level only runs and can be test-walked.
void EditorStep();
// Clears the latches whose keys and buttons are all released (every frame, both modes).
void EditorLatchUpkeep();
