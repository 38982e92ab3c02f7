// Start-up and the main program: the global state every screen shares, and Main, the spine of
// the process.
#pragma once
#include <array>
#include <string>
#include <vector>

// Build constants.
extern const int WeekNumber;          // 3: names the game folder "003/"
extern const std::string GameTitle;   // "Lambrisk"
extern const std::string Subtitle;    // ""
extern const int OnlineTab;           // 1 shows the Online tab; 0 in the default build
extern const std::string TitleLine;   // "#3 : Lambrisk ": window title, log banner, pause scatter

// The slots of Settings in use; the others stay 0.
enum TSettingSlot {
  SET_FULLSCREEN = 1,     // 0 window, 1 full screen
  SET_WIDESCREEN = 2,     // 1 for a 16:9 or 16:10 mode (set by the display step)
  SET_GFX_ENGINE = 3,     // 0 OpenGL (1 and 2 name engines this platform doesn't have)
  SET_MODE_INDEX = 4,     // index of the current mode in the mode list
  SET_WIDTH = 5,          // requested, then applied, size in pixels
  SET_HEIGHT = 6,
  SET_SLOW_SYSTEM = 7,    // slow-system flag, cleared at the start of every frame
  SET_MASTER_VOLUME = 11, // percent
  SET_SOUND_VOLUME = 12,
  SET_MUSIC_VOLUME = 13,
  SET_AUDIO_DRIVER = 14,  // index into AudioDriverList
};
// Setup values by slot (TSettingSlot).
extern std::array<int, 100> Settings;
extern std::array<std::string, 100> AboutText;  // About page, lines 1 to AboutCount - 1
extern int AboutCount;
extern std::array<std::string, 20> MotdLines;   // message of the day (Online tab only)
extern std::vector<std::string> AudioDriverList;  // the platform's driver names, fetched at start

extern int StartWorldLimit;  // highest world the player may start from, 1 to 20
extern int StartWorld;       // the world chosen on the title screen
extern int GameMode;         // 1 normal game, 0 level editor
extern int GameState;        // 0 title, 1 in a game, 2 pause menu open
extern int GameClockStart;   // ms when the current game began, moved on by time spent paused
extern std::string UserName;
extern std::string Password;

// "003/": the game folder below "Files/", and the working directory while the game runs.
std::string GameFolder();

// Puts every table owned here back to its start-up contents (zeros, then the defaults).
void ResetMainProgram();
void SetDefaultSettings();
// Index of the default audio driver for a driver list (used when the setup names none).
int DefaultAudioDriver(const std::vector<std::string>& drivers);
// Clamps a saved start-world limit to 1 .. 20.
int ClampStartWorld(int limit);
// The front end's tables, made once loading is done: the settings panel's four players, the
// score tables' 16 badges and the game's 31 per-game values. GameState goes to 0 (the title).
void PrepareFrontEnd();
// Reads "zivazo.dat" from the game folder into StartWorldLimit (1 when missing).
void ReadStartWorldLimit();

// The first steps of start-up: the window title, every table at its defaults, the pointer
// hidden, the joysticks found and the scrambling key built.
void CreateGlobalState();
// Runs the whole program once; ends the process through Farewell. A second call returns at once.
void Main();
