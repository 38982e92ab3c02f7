// "Setup.ini": the player's display, audio and control choices between runs.
#pragma once

extern int AudioDriverChosen;  // 1 when the setup file named an audio driver

// Reads "Setup.ini" from the working directory ("Files/") into Settings and ControlTable.
void ReadSetupFile();
// Rewrites "Setup.ini" whole, one folder above the game folder.
void WriteSetupFile();
