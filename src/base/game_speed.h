// The game speeds a player may choose on the settings panel. The rules count frames, not time, so
// a slower game only paces its frames slower; it carries its speed in the game flags, which keeps
// its records (and its replay's header) apart from those of a game at another speed.
#pragma once

constexpr int kGameSpeeds = 4;        // 100, 85, 70 and 55 per cent
constexpr double kFullFrameRate = 30; // frames a second of the title, the panel, the editor, the pause menu

// The per cent of speed 0 to 3 (100, 85, 70, 55); speeds out of range read as 0.
int GameSpeedPercent(int speed);
// The game flags of a game at speed 0 to 3: 0, 2, 4 and 6. Even, so that every table number
// (mode + world * 100 + flags * 1000) stays one table's alone.
int GameSpeedFlags(int speed);
// The speed whose flags these are; 0 for flags of no slower speed.
int GameSpeedOfFlags(int flags);
// Frames a second of a game with these flags: 30 at full speed, 25.5, 21 and 16.5 slower.
double GameFrameRate(int flags);
// The speed for a per cent written in the setup file; -1 for one that is no speed.
int GameSpeedOfPercent(int percent);
