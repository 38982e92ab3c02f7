// Display modes: the usable modes, and opening the display at the chosen one with the virtual
// resolution that fits its shape (the sizes themselves are kept in screen_size.h).
#pragma once
#include <array>

extern std::array<int, 2500> ModeWidths;   // usable modes 1 .. ModeCount, platform order
extern std::array<int, 2500> ModeHeights;
extern int ModeCount;
extern int DisplayDepth;    // colour depth of the open display, 0 for a window

// True for the 16:10, 16:9 and 4:3 shapes, by truncating integer division (1366 x 768 counts).
bool UsableMode(int width, int height);
// Rebuilds the mode list from the platform's modes and picks the requested size (Settings 5, 6)
// when it is usable; otherwise the previous mode stays. Writes the size used back to Settings.
void BuildModeList();
// The virtual resolution for a real size; sets the widescreen flag (Settings 2) and logs the
// widescreen lines.
void ChooseVirtualResolution(int width, int height);
// Opens (or re-opens) the display at the chosen mode and reloads everything that belongs to it.
// "crash.dat" exists in the game folder exactly while this runs.
void ApplyDisplayMode();
// A step the layers above run when no display can be opened and the program must end: what the
// run must keep is saved (the setup file is saved here). A step handed in twice runs once.
void AddKeepStep(void (*step)());
// Start values, for tests.
void ResetDisplayModes();
