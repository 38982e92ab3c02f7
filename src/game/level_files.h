// The level files under "Levels/": C-source-like text, a group line "(grp==" + world before the
// five case lines of its levels, each holding a level text between double quotes. The game reads
// levels only from the work file "WIP.txt", a copy of the built-in file or the player's own.
#pragma once
#include <string>

// Reads level (1 to 100) of "Levels/" + name + ".txt" into LevelText and sets it up. A missing
// file or case line gives an empty level.
void LoadLevel(const std::string& name, int level);
// Rewrites the one case line of level in "Levels/" + name + ".txt" with the first 101
// characters of LevelText; every other line stays as it was. The file is replaced whole, through
// a temporary file, so a failure never leaves it half written.
void SaveLevel(const std::string& name, int level);
// "Levels/" + name + ".txt" to "Levels/WIP.txt", and back. Copying back keeps the file it
// replaces as "Levels/" + name + ".bak" (nothing is written when the two already agree).
void CopyToWork(const std::string& name);
void CopyFromWork(const std::string& name);
// The start of a game: "My Levels.txt" made from "blank.txt" when missing, then the work file
// filled from the player's levels (editor, mode 0) or the built-in ones (mode 1). A file that
// cannot be read is named in a floating message.
void PrepareWorkFile(int mode);

// The world number after "(grp==" in a line (its next three characters), or -1 when the line
// has none.
int GroupOfLine(const std::string& line);
// The text between the first and second double quote of a case line; "" when it has no second.
std::string LevelTextOfLine(const std::string& line);
// The case line SaveLevel writes for position n (1 to 5) of a world.
std::string CaseLine(int n, const std::string& levelText);
