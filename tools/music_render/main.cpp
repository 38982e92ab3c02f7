// music_render: hear a tune without changing the game. Plays "music/" TUNE ".ini" of the game
// folder through the real music player and writes what it plays to a WAV file, then prints its
// length, peak, loudness and steps.
// Usage: music_render GAME_DIR TUNE OUT.wav [seconds] [seed] [tempo] [fps] [music] [master]
// GAME_DIR holds "Files/" (the build's build/game); defaults: 20 s, seed 1, tempo 133, 30 frames
// a second, the setup's volumes 50 and 50. Exits 1 when the tune or the output can't be had.
#include <cstdio>
#include <cstdlib>

#include "audio/tune_render.h"
#include "frontend/every_module.h"

int main(int argc, char** argv) {
  if (argc < 4 || argc > 10) {
    std::fprintf(stderr, "usage: %s GAME_DIR TUNE OUT.wav [seconds] [seed] [tempo] [fps] [music] [master]\n", argv[0]);
    return 2;
  }
  TRenderOptions o;
  o.gameFolder = argv[1];
  o.tune = argv[2];
  int* numbers[] = {&o.seconds, &o.seed, &o.tempo, &o.fps, &o.music, &o.master};
  for (int i = 4; i < argc; ++i) *numbers[i - 4] = std::atoi(argv[i]);

  TRenderResult r;
  ResetEveryModule();
  if (!RenderTune(o, r)) {
    std::fprintf(stderr, "music_render: no tune \"%s\" in %s/Files/003/music/\n", o.tune.c_str(), o.gameFolder.c_str());
    return 1;
  }
  if (!WriteStereoWav(argv[3], r.stereo)) {
    std::fprintf(stderr, "music_render: cannot write %s\n", argv[3]);
    return 1;
  }
  std::printf("%s: %d s, seed %d, tempo %d (%d ms a step), %d frames a second\n", o.tune.c_str(), o.seconds, o.seed,
              o.tempo, o.tempo / 2, o.fps);
  std::printf("steps %d  peak %.2f dBFS  rms %.2f dBFS  clipped %d\n", r.steps, r.peakDb, r.rmsDb, r.clipped);
  return 0;
}
