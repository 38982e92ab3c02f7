#include "audio/music.h"

void LoadMusicSamples() {}

void UpdateMusic() {}
