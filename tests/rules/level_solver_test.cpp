// The level solver on small levels of known answer: the fewest frames of an empty level, a
// stomper that only the jump passes, a slider that only patience passes, and a route that must
// replay through the same frames.
#include <gtest/gtest.h>

#include <string>

#include "level_solver/solver.h"

namespace {

// The levels of a file whose every world holds the same five levels.
TLevelSet LevelFile(const std::string& text) {
  std::string file;
  for (int world = 1; world <= 20; ++world) {
    file += "if (grp==" + std::to_string(world) + ")\r\n";
    for (int n = 1; n <= 5; ++n) file += "case " + std::to_string(n) + ": strcpy(LevDat,\"" + text + "\"); break;\r\n";
  }
  return LevelSetOf(SplitLevelLines(file));
}

std::string Cell(int c, const std::string& cell) { return std::string(size_t(4 * c), ' ') + cell; }

TEST(LevelSolver, FindsTheFewestFramesAndWhatTheJumpAndWaitingAllow) {
  TSolveOptions options;
  options.randomRuns = 20;
  struct TCase {
    std::string text;
    int level;
    bool completable;
    int frames;  // 0: not checked
  } cases[] = {
      // Left must be let go once at a level's start, then 189 steps of 2.5 pass 472.
      {"", 1, true, 190},
      // 1.4 a step in world 19, in single precision: 336 steps end near 1.6.
      {"", 91, true, 337},
      // A stomper's lowest block stands in the path: no way past on foot, a jump from level 21.
      {Cell(12, "J340"), 1, false, 0},
      {Cell(12, "J340"), 21, true, 0},
      // A slider drops and sweeps left faster than the sheep: stop beside it and let it go.
      {Cell(12, "L340"), 1, true, 0},
  };
  for (const TCase& c : cases) {
    TLevelSim sim(LevelFile(c.text));
    const TLevelReport r = SolveLevel(sim, c.level, options);
    EXPECT_EQ(r.completable, c.completable) << c.text << " level " << c.level;
    if (c.frames) {
      EXPECT_EQ(r.frames, c.frames) << c.text;
    }
    if (!r.completable) {
      EXPECT_EQ(r.randomPassed, 0);
      continue;
    }
    EXPECT_TRUE(PlayRoute(sim, c.level, r.route)) << c.text;
    // One frame less of the same route stops short of the end.
    std::vector<unsigned char> shorter(r.route.begin(), r.route.end() - 1);
    EXPECT_FALSE(PlayRoute(sim, c.level, shorter)) << c.text;
  }
}

TEST(LevelSolver, RandomPlayersAllPassAnEmptyLevelAndLookingAheadGetsPastASlider) {
  TSolveOptions options;
  options.randomRuns = 30;
  TLevelSim open(LevelFile(""));
  const TLevelReport easy = SolveLevel(open, 2, options);
  EXPECT_EQ(easy.randomPassed, 30);
  EXPECT_EQ(easy.carefulPassed, 30);
  EXPECT_DOUBLE_EQ(easy.difficulty, 0.0);
  // A slider drops in front of whoever walks on; a player who looks ahead stops and lets it go.
  TLevelSim slider(LevelFile(Cell(12, "L740")));
  const TLevelReport r = SolveLevel(slider, 2, options);
  EXPECT_GE(r.carefulPassed, 25);
  EXPECT_LT(r.randomPassed, 10);
  EXPECT_GT(r.difficulty, 1.0);
}

}  // namespace
