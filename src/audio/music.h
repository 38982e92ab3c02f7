// Music: the sample bank loaded with the display, and the player advanced once a frame. This
// game starts no tune, so both only keep their place in the frame and loading order.
#pragma once

// Loads the music sample bank from the game folder's "music/" (run at every display change).
void LoadMusicSamples();
// Advances the music player by one frame step.
void UpdateMusic();
