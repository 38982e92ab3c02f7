// The level files under "Levels/" (their lines read as levels by rules/level_set.h). The game
// reads levels only from the work file "WIP.txt", a copy of the built-in file or the player's own.
#pragma once
#include <string>

#include "rules/level_set.h"

// Sets the game's level up from text (the rules' set-up) and prints the text in double quotes on
// standard output.
void SetupLevel(const std::string& text);
// Reads level (1 to 100) of "Levels/" + name + ".txt" and sets it up as the game's level. A
// missing file or case line gives an empty level.
void LoadLevel(const std::string& name, int level);
// Every level of "Levels/" + name + ".txt" as the rules read them; empty levels when the file
// cannot be read.
TLevelSet ReadLevelSet(const std::string& name);
// Rewrites the one case line of level in "Levels/" + name + ".txt" with the first 101
// characters of the game's LevelText; every other line stays as it was. The file is replaced
// whole, through a temporary file, so a failure never leaves it half written.
void SaveLevel(const std::string& name, int level);
// "Levels/" + name + ".txt" to "Levels/WIP.txt", and back. Copying back keeps the file it
// replaces as "Levels/" + name + ".bak" (nothing is written when the two already agree).
void CopyToWork(const std::string& name);
void CopyFromWork(const std::string& name);
// The start of a game: "My Levels.txt" made from "blank.txt" when missing, then the work file
// filled from the player's levels (editor, mode 0) or the built-in ones (mode 1). A file that
// cannot be read is named in a floating message.
void PrepareWorkFile(int mode);
