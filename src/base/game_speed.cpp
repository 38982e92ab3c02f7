#include "base/game_speed.h"

namespace {

constexpr int kPercent[kGameSpeeds] = {100, 85, 70, 55};

int Valid(int speed) { return speed >= 0 && speed < kGameSpeeds ? speed : 0; }

}  // namespace

int GameSpeedPercent(int speed) { return kPercent[Valid(speed)]; }

int GameSpeedFlags(int speed) { return 2 * Valid(speed); }

int GameSpeedOfFlags(int flags) { return flags % 2 == 0 ? Valid(flags / 2) : 0; }

double GameFrameRate(int flags) { return kFullFrameRate * GameSpeedPercent(GameSpeedOfFlags(flags)) / 100.0; }

int GameSpeedOfPercent(int percent) {
  for (int speed = 0; speed < kGameSpeeds; ++speed)
    if (kPercent[speed] == percent) return speed;
  return -1;
}
