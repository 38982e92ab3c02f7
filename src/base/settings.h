// The setup values by slot: display, frame drawing and volumes, read and written by the setup
// file, the display step, the settings panel and the sound, and the audio drivers to choose from.
#pragma once
#include <array>
#include <string>
#include <vector>

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
  SET_GAME_SPEED = 15,    // 0 to 3: 100, 85, 70 or 55 per cent (base/game_speed)
};
// Setup values by slot (TSettingSlot).
extern std::array<int, 100> Settings;
extern std::vector<std::string> AudioDriverList;  // the platform's driver names, fetched at start

// Every slot 0 and no drivers listed (the main program's creation of the state; tests).
void ResetSettings();
void SetDefaultSettings();
// Index of the default audio driver for a driver list (used when the setup names none).
int DefaultAudioDriver(const std::vector<std::string>& drivers);
