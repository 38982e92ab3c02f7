// The pause menu: Escape during a game opens it over a wobbling, spinning copy of the frame.
#pragma once

// Runs until the player chooses; returns 1 (Continue) or 99 (Quit). Called only by PresentFrame.
int PauseMenu();
