// The built-in levels as shipped, played through the real object pass: every level of worlds 1
// and 2 can be walked through on foot (the sheep can't jump before level 21) without a stop from
// some start time, and the first levels from most.
#include <gtest/gtest.h>

#include <filesystem>

#include "framework/common_assets.h"
#include "framework/game_paths.h"
#include "game/game_state.h"
#include "game/level_data.h"
#include "game/level_files.h"
#include "game/sheep.h"
#include "game/world_objects.h"
#include "support/headless_game.h"

namespace {

// Of 360 start delays, how many let the sheep hold Left to the goal without a hit.
int StraightWalks(int level) {
  int passed = 0;
  for (int delay = 0; delay < 360; ++delay) {
    ResetGameState();
    LevelNumber = level;
    LoadLevel("Lambrisk", level);
    for (int frame = 0; DeathTimer == 0 && SheepX >= 2.0f && frame < delay + 200; ++frame) {
      UpdateObjects();
      if (frame >= delay) SheepX -= WalkStep();
    }
    passed += DeathTimer == 0 && SheepX < 2.0f;
  }
  return passed;
}

TEST(ShippedLevels, WorldsOneAndTwoArePassableOnFoot) {
  THeadlessGame game;
  SpriteSheet = CreateImage(32, 32, 256);
  WarnImage = CreateImage(64, 64);
  std::filesystem::create_directories(LevelsPath(""));
  std::filesystem::copy_file(std::string(LAMBRISK_SOURCE_DIR) + "/data/levels/Lambrisk.txt",
                             LevelsPath("Lambrisk.txt"));
  int previous = 360;
  for (int level = 1; level <= 10; ++level) {
    const int passed = StraightWalks(level);
    EXPECT_GT(passed, level <= 2 ? 180 : 0) << "level " << level;
    // Each world gets harder as it goes.
    EXPECT_LE(passed, level == 6 ? 360 : previous) << "level " << level;
    previous = passed;
  }
  ResetGameState();
}

}  // namespace
