// Display modes: the usable modes, the open display and the virtual resolution every screen
// draws in (1280 x 960 for 4:3 and other shapes, 1600 x 900 for 16:9, 1440 x 900 for 16:10).
#pragma once
#include <array>

extern std::array<int, 2500> ModeWidths;   // usable modes 1 .. ModeCount, platform order
extern std::array<int, 2500> ModeHeights;
extern int ModeCount;
extern int CurrentWidth;    // real display size, kept between mode changes (starts 800 x 600)
extern int CurrentHeight;
extern int VirtualWidth;    // drawing coordinates (starts 1280 x 960)
extern int VirtualHeight;
extern int DisplayOpen;     // 1 once the assets were loaded with a display open
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
