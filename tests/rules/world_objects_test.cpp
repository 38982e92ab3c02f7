// The object pass by the rules alone: where the kinds draw on one frame, the hazard's dangerous
// sixth, the dropping ball, the chaser's top speed, one warning and one pass sound per crossing,
// the hit rule, and columns full of junk.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <random>
#include <vector>

#include "rules/game_rules.h"
#include "rules/object_sprites.h"

namespace {

struct TFieldDraw {
  int frame;
  float x, y;  // playfield units
  float rotation;
  float scaleY = 1.0f;
};

class WorldObjects : public ::testing::Test {
 protected:
  void SetUp() override {
    state.SheepX = 300.0f;
    Place(0, 0, 0, 0, 0);
  }

  // The only object of the level; the sounds heard so far are forgotten.
  void Place(int kind, int column, int speed, int length, int angle) {
    for (auto& col : state.LevelColumns) col.fill(0);
    PlaceObject(state.LevelColumns, column, kind, speed, length, angle, 0);
    played.clear();
  }
  // One object pass; the sheet sprites it shows. Warning signs are kept by their x, the sounds
  // with their pans.
  std::vector<TFieldDraw> Pass() {
    UpdateObjects(state, events);
    for (const TSoundEvent& s : events.sounds) played.push_back({s.effect, s.pan});
    events.sounds.clear();
    ObjectSprites(events.picture, sprites);
    std::vector<TFieldDraw> draws;
    for (const TObjectSprite& s : sprites) {
      if (s.warning) signs.push_back(s.x);
      else draws.push_back({s.frame, s.x, s.y, s.angle, s.scaleY});
    }
    return draws;
  }

  TRulesState state;
  TFrameEvents events;
  std::vector<TObjectSprite> sprites;
  std::vector<float> signs;
  std::vector<std::pair<int, float>> played;
};

}  // namespace

// One frame of a single object: every sheet sprite it draws, where, how turned and how tall.
TEST_F(WorldObjects, KindsDrawAtTheirPointsOnTheFirstFrame) {
  struct TCase {
    const char* name;
    int kind, column, speed, length, angle;
    size_t count;                     // sheet sprites drawn
    std::vector<TFieldDraw> leading;  // the first of them, in order
  };
  const TCase cases[] = {
      {"ball over its base", 1, 10, 3, 64, 47, 2, {{17, 160, 142, 0}, {16, 160, 142, 150}}},
      {"chain anticlockwise, links lagging", 4, 10, 4, 40, 86, 7,
       {{8, 160, 208, 0}, {19, 152.044f, 207.164f, -84}, {19, 144.039f, 206.884f, -86},
        {19, 136.033f, 206.744f, -87}, {19, 128.005f, 207.442f, -89}, {17, 120, 208, 0},
        {16, 120, 208, -360}}},
      {"pendulum", 5, 10, 0, 24, 40, 5,
       {{19, 166.709f, 228.357f, -57}, {19, 173.419f, 232.714f, -57}, {17, 180, 237, 0},
        {16, 180, 237, -57}, {8, 160, 224, 0}}},
      {"block of 8 x 2", 9, 3, 0, 0, 640, 16, {{32, -64, 232, 0}, {48, -64, 248, 0}}},
      {"eruption sinking, stage 8 shown as 2", 11, 10, 2, 0, 30, 1, {{82, 160, 232, 0, 3}}},
      {"giant rolling left", 14, 10, 3, 0, 597, 1, {{41, 200, 236, -1200, 3}}},
      {"crusher just lifting", 15, 10, 0, 0, 260, 17, {{11, 160, 16, 0}, {11, 160, 28, 0}}},
      {"bar of two arms", 17, 10, 2, 32, 98, 5,
       {{8, 160, 216, 0}, {11, 175, 217, -200}, {11, 144, 214, -200}, {11, 191, 219, -200},
        {11, 128, 212, -200}}},
      {"stomper", 19, 10, 3, 64, 37, 3, {{11, 160, 135, 40}, {11, 160, 220, -40}, {11, 160, 256, -40}}},
      {"bouncer", 22, 10, 1, 32, 49, 1, {{41, 610, 220, -300}}},
      {"chaser and its face", 23, 20, 12, 0, 0, 2, {{16, 322, 248, 8}, {43, 324, 248, 0}}},
      {"unknown kind", 40, 10, 3, 64, 0, 0, {}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    Place(c.kind, c.column, c.speed, c.length, c.angle);
    const std::vector<TFieldDraw> draws = Pass();
    ASSERT_EQ(draws.size(), c.count);
    for (size_t i = 0; i < c.leading.size(); ++i) {
      const TFieldDraw& want = c.leading[i];
      EXPECT_EQ(draws[i].frame, want.frame) << i;
      EXPECT_NEAR(draws[i].x, want.x, 0.01) << i;
      EXPECT_NEAR(draws[i].y, want.y, 0.01) << i;
      EXPECT_NEAR(draws[i].rotation, want.rotation, 0.01) << i;
      EXPECT_NEAR(draws[i].scaleY, want.scaleY, 0.001) << i;
    }
  }
}

// Angle character "0" and speed 3: dangerous, and drawn so, exactly while the phase is below 32
// of its 192.
TEST_F(WorldObjects, HazardIsDangerousOnTheFirst32PhaseUnitsOfEvery192) {
  Place(12, 10, 3, 0, 0);
  state.SheepX = 160.0f;
  state.SheepY = 244.0f;
  for (int n = 1; n <= 200; ++n) {
    state.DeathTimer = 0;
    const bool dangerous = (3 * n) % 192 < 32;
    EXPECT_EQ(Pass().at(0).frame, dangerous ? 22 : 23) << n;
    EXPECT_EQ(state.DeathTimer, dangerous ? 1 : 0) << n;
  }
}

// Speed 3: still until the sheep comes within 32, then 24 phase units a frame until 640 or more,
// ending at y = 648 / 2 - 64 = 260.
TEST_F(WorldObjects, DroppingBallFalls24UnitsAFrameAndStopsPast640) {
  Place(20, 10, 3, 64, 0);
  for (int n = 0; n < 3; ++n) Pass();
  EXPECT_EQ(state.LevelColumns[10][COL_PHASE], 0);
  state.SheepX = 180.0f;
  for (int n = 1; n <= 30; ++n) {
    const int phase = std::min(24 * n, 648);
    EXPECT_FLOAT_EQ(Pass().at(0).y, float(phase / 2 - 64)) << n;
    ASSERT_EQ(state.LevelColumns[10][COL_PHASE], phase) << n;
  }
}

// Whatever speed the level gives it, the chaser rolls at most 4 units a frame toward the sheep.
TEST_F(WorldObjects, ChaserNeverRollsFasterThan4UnitsAFrame) {
  for (int speed : {0, 74, -48}) {
    SCOPED_TRACE(speed);
    Place(23, 20, speed, 0, 0);
    state.SheepX = 100.0f;
    float last = 320.0f;
    for (int n = 0; n < 60; ++n) {
      const float x = Pass().at(0).x;
      EXPECT_LE(std::fabs(x - last), 4.0f) << n;
      last = x;
    }
    EXPECT_LT(last, 200.0f);
  }
}

// Two whole cycles of each crossing kind: a warning and then a pass sound each time, the warning
// panned to the side it comes from and its sign shown there; none of it once the level is ending.
TEST_F(WorldObjects, EachPassWarnsOnceAndSoundsOnce) {
  struct TCase {
    int kind, angle, mod, passSound;
    bool fromLeft;
  };
  const TCase cases[] = {{9, 0, 800, 11, true}, {10, 360, 800, 13, false}, {13, 0, 1800, 15, true},
                         {14, 0, 1800, 15, false}, {22, 0, 1200, 13, false}};
  using TPlayed = std::vector<std::pair<int, float>>;
  for (const TCase& c : cases) {
    for (int ending : {0, 1}) {
      SCOPED_TRACE(std::to_string(c.kind) + (ending ? " ending" : ""));
      Place(c.kind, 3, 6, 64, c.angle);
      state.CompleteTimer = ending;
      signs.clear();
      // Short of a third start, where the bouncer would already be announced again.
      for (int n = 1; n < 2 * c.mod / 6; ++n) Pass();
      const float pan = c.fromLeft ? -0.5f : 0.5f;
      const TPlayed twice{{12, pan}, {c.passSound, 0}, {12, pan}, {c.passSound, 0}};
      EXPECT_EQ(played, ending ? TPlayed{} : twice);
      EXPECT_EQ(signs.empty(), bool(ending));
      for (float x : signs) EXPECT_FLOAT_EQ(x, c.fromLeft ? 8.0f : 472.0f);
    }
  }
}

// An always dangerous hazard in the last column (x 464, y 248) against sheep placed around it.
TEST_F(WorldObjects, AHitNeedsTheSheepStartedAliveAndTheLevelNotEnding) {
  struct TCase {
    const char* name;
    float x, y;
    int death, complete;
    int after;  // state.DeathTimer after the pass
  };
  const TCase cases[] = {
      {"just started", 469.9f, 244, 0, 0, 1},       {"still at the start", 472, 244, 0, 0, 0},
      {"edge of the box, left", 449, 244, 0, 0, 0}, {"inside the box, left", 449.5f, 244, 0, 0, 1},
      {"edge of the box, below", 464, 257, 0, 0, 0}, {"already dying", 464, 244, 5, 0, 5},
      {"level ending", 464, 244, 0, 3, 0},
  };
  Place(12, 29, 0, 0, 0);
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    state.SheepX = c.x;
    state.SheepY = c.y;
    state.DeathTimer = c.death;
    state.CompleteTimer = c.complete;
    UpdateObjects(state, events);
    EXPECT_EQ(state.DeathTimer, c.after);
  }
}

// Every field of every column from junk: extremes, random values and any kind number, plus chains
// and arms two billion long round a pivot on screen, over several frames with the sheep anywhere.
// Nothing may crash, trip the sanitizers or hang, and every sprite lands at a finite position.
TEST_F(WorldObjects, JunkColumnsNeitherCrashNorDrawWithoutBound) {
  std::mt19937 random(20240601);
  const auto junk = [&random]() {
    const int picks[] = {INT_MIN, INT_MAX, int(random() % 7) - 3, int(random() % 4000) - 2000};
    const unsigned pick = random() % 6;
    return pick < 4 ? picks[pick] : int(random());
  };
  const int longKinds[] = {3, 4, 5, 6, 16, 17};
  for (int round = 0; round < 4; ++round) {
    for (int w = 0; w < 30; ++w) {
      for (int& field : state.LevelColumns[size_t(w)]) field = junk();
      if (random() % 2) state.LevelColumns[size_t(w)][COL_KIND] = int(random() % 23) + 1;
    }
    for (int i = 0; i < 6; ++i) {
      TLevelColumn& col = state.LevelColumns[size_t(3 + i)];
      col[COL_KIND] = longKinds[i];
      col[COL_BASE_Y] = 200;
      col[COL_LENGTH] = INT_MAX;
    }
    for (int n = 0; n < 8; ++n) {
      state.SheepX = float(int(random() % 600) - 60);
      state.DeathTimer = 0;
      const std::vector<TFieldDraw> draws = Pass();
      EXPECT_LT(draws.size(), 30u * 600u);
      for (const TFieldDraw& d : draws) ASSERT_TRUE(std::isfinite(d.x) && std::isfinite(d.y));
    }
  }
}
