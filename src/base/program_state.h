// The program's identity and the state its screens share: the build constants, the world and mode
// a game starts with, and which screen is running. Set by the front end, read by every layer.
#pragma once
#include <string>

#include "protocol/game_identity.h"

// Build constants (WeekNumber, GameTitle and Subtitle are the protocol's: the requests and the
// scrambling carry them).
extern const std::string TitleLine;   // "#3 : Lambrisk ": window title, log banner, pause scatter

extern int StartWorldLimit;  // highest world the player may start from, 1 to 20
extern int StartWorld;       // the world chosen on the title screen
extern int GameMode;         // 1 normal game, 0 level editor
extern int GameFlags;        // the flags of the game started, or on the title of the chosen speed
                             // (base/game_speed): the tables shown and the records made carry them
extern int GameState;        // 0 title, 1 in a game, 2 pause menu open
extern int GameClockStart;   // ms when the current game began, moved on by time spent paused

// "003/": the game folder below "Files/", and the working directory while the game runs.
std::string GameFolder();
// Start values (the main program's creation of the state; tests).
void ResetProgramState();
