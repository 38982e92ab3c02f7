// "Setup.ini": the player's display, audio and control choices between runs, in an INI-like
// text file that a player can also edit by hand.
#pragma once
#include <string>

extern int AudioDriverChosen;  // 1 when the setup file named an audio driver
// 1 when the setup file had an "ESS" line. The slow-system slot itself is cleared every frame, so
// this keeps the player's choice for the next save.
extern int SlowSystemChosen;
// 1 (the default) when a game opens its pause menu as its window loses the focus; a
// "PauseOnFocusLoss = False" line turns it off and is kept by every save.
extern int PauseOnFocusLoss;
extern const std::string DefaultScoreServer;  // "localhost": a server run beside the game, port 80
extern std::string ScoreServer;  // "host" or "host:port" of the score server, from the setup

// The leading whole number of a value (blanks skipped, optional sign, 0 without digits), made
// non-negative; numbers past the int range saturate.
int SetupNumber(const std::string& text);
// Applies one line of the file to Settings and ControlTable.
void ReadSetupLine(const std::string& line);
// Reads "Setup.ini" from the files folder into Settings and ControlTable.
void ReadSetupFile();
// The whole file as written, one text per line.
std::string SetupFileText();
// Rewrites "Setup.ini" whole in the files folder; a temporary file is renamed over the old one,
// so a failed save never leaves a truncated setup. True when it was written; a failure is logged.
bool WriteSetupFile();
