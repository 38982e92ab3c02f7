// Renders a tune through the real music player: a manual clock stands in for the frame loop, and
// a software mixer driven in step with it records every note the player starts.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct TRenderOptions {
  std::string gameFolder;  // the folder holding "Files/" (the game folder is Files/003/ in it)
  std::string tune;        // name of "music/" tune ".ini"
  int seconds = 20;
  int seed = 1;
  int tempo = 133;         // twice the milliseconds of a step
  int fps = 30;            // MusicUpdate calls a second, as the frame loop makes them
  int music = 50;          // setup volumes, 0..100
  int master = 50;
};

struct TRenderResult {
  static constexpr int kRate = 44100;
  std::vector<int16_t> stereo;   // interleaved left, right
  int steps = 0;                 // steps the player played
  std::vector<int> stepMs;       // clock reading of each step
  double peakDb = -120, rmsDb = -120;  // of both channels, dBFS
  int clipped = 0;               // samples at full scale
};

// Renders on a program at its start values (the setup's other values at their defaults, the
// effect and music tables empty). False when the tune file doesn't exist. Leaves the audio
// driver shut down, the music tables empty and the real clock.
bool RenderTune(const TRenderOptions& options, TRenderResult& result);
// A 16-bit stereo WAV file at TRenderResult::kRate; false when it can't be written.
bool WriteStereoWav(const std::string& path, const std::vector<int16_t>& stereo);
