#include "base/settings.h"

#include <cctype>

std::array<int, 100> Settings{};
std::vector<std::string> AudioDriverList;

namespace {

// The name upper-cased starts with prefix.
bool NamedLike(const std::string& name, const std::string& prefix) {
  if (name.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(name[i])) != prefix[i]) return false;
  return true;
}

}  // namespace

void ResetSettings() {
  Settings.fill(0);
  AudioDriverList.clear();
}

void SetDefaultSettings() {
  Settings[SET_FULLSCREEN] = 0;
  Settings[SET_WIDESCREEN] = 0;
  Settings[SET_GFX_ENGINE] = 0;
  Settings[SET_MODE_INDEX] = 0;
  Settings[SET_WIDTH] = 800;
  Settings[SET_HEIGHT] = 600;
  Settings[SET_SLOW_SYSTEM] = 0;
  Settings[SET_MASTER_VOLUME] = 50;
  Settings[SET_SOUND_VOLUME] = 50;
  Settings[SET_MUSIC_VOLUME] = 50;
  Settings[SET_AUDIO_DRIVER] = 0;
  Settings[SET_GAME_SPEED] = 0;
}

int DefaultAudioDriver(const std::vector<std::string>& drivers) {
  int chosen = -1;
  for (size_t i = 0; i < drivers.size(); ++i) {
    if (NamedLike(drivers[i], "OPENAL") && chosen < 0) chosen = int(i);
    if (NamedLike(drivers[i], "FREE") && chosen < 0) chosen = int(i);
    if (NamedLike(drivers[i], "DIRECT")) chosen = int(i);
  }
  return chosen;
}
