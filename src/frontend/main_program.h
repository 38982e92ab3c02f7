// Start-up and the main program: Main, the spine of the process, and the front end it prepares.
#pragma once
#include <array>
#include <string>

// Puts every table owned here back to its start-up contents (zeros, then the defaults).
void ResetMainProgram();
// Clamps a saved start-world limit to 1 .. 20.
int ClampStartWorld(int limit);
// The front end's tables, made once loading is done: the settings panel's four players, the
// score tables' 16 badges and the game's 31 per-game values. GameState goes to 0 (the title).
void PrepareFrontEnd();
// Reads "zivazo.dat" from the game folder into StartWorldLimit (1 when missing).
void ReadStartWorldLimit();

// Hands the lower layers the front end's steps: the settings panel and the farewell to the frame
// presentation, the score file to the asset loading and to an end without a display, the score
// record to the game session. Start-up does it first; a second call changes nothing.
void InstallFrontEndSteps();
// The first steps of start-up: the window title, every table at its defaults, the pointer
// hidden, the joysticks found and the scrambling key built.
void CreateGlobalState();
// Runs the whole program once; ends the process through Farewell. A second call returns at once.
void Main();
