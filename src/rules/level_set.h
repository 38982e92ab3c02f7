// The level files' lines as levels: a group line "(grp==" + world before the five case lines of
// its levels, each holding a level text between double quotes; every other line is free text.
// Reading a level needs only this, so a program with no window (the solver, a replay check) reads
// the same levels as the game.
#pragma once
#include <array>
#include <string>
#include <vector>

using TLevelLines = std::vector<std::string>;

// The lines of a level file's bytes as the game's line reader gives them: a line ends at LF or a
// zero byte, CR is dropped, and the end test follows the first read, so no bytes give one empty
// line.
TLevelLines SplitLevelLines(const std::string& bytes);
// The world number after "(grp==" in a line (its next three characters), or -1 when the line
// has none.
int GroupOfLine(const std::string& line);
// Whether the line is the case line of position n (1 to 5) of a world.
bool IsCaseLine(const std::string& line, int n);
// The text between the first and second double quote of a case line; "" when it has no second.
std::string LevelTextOfLine(const std::string& line);
// The case line a save writes for position n (1 to 5) of a world: its first 101 characters.
std::string CaseLine(int n, const std::string& levelText);
// Level (1 to 100) of the lines, unpadded: the last case line of its position in its world's
// group; "" when there is none.
std::string LevelTextIn(const TLevelLines& lines, int level);

// Every level of a file at once, 1 to 100 (index 0 unused), unpadded.
struct TLevelSet {
  std::array<std::string, 101> texts;
  const std::string& Text(int level) const;  // "" outside 1 to 100
};
TLevelSet LevelSetOf(const TLevelLines& lines);
