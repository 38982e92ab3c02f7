// The game loop played frame by frame: walking and the level end, a death and its restart, the
// lives, the bonus payment, the saved world, the J skip, the jump, and the end of a game.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "audio/sound_effects.h"
#include "base/program_state.h"
#include "framework/present_frame.h"
#include "game/game_session.h"
#include "game/game_state.h"
#include "game/level_files.h"
#include "platform/input.h"
#include "platform/key_codes.h"
#include "platform/stream.h"
#include "support/headless_game.h"
#include "support/sound_fixtures.h"
#include "ui/panel_state.h"
#include "ui/messages.h"

namespace {

struct TGame {
  THeadlessGame game;
  explicit TGame(int world = 1) {
    // The effects the rules play, so the tests can tell which played and when.
    const std::string wav = game.Root() + "/Files/003/effect.wav";
    WriteBytes(wav, MakeWav(1, 22050, Tone(100, 1, 22050, 440, 8000)));
    for (int n : {3, 7, 8, 49, 50}) SfxTable[size_t(n)] = LoadSound(wav, 0);
    GameState = 1;
    GameMode = 1;
    StartWorld = world;
    StartGame();
  }
  static void Hold(int key, bool down) {
    PostEvent({down ? EVENT_KEYDOWN : EVENT_KEYUP, key, 0, 0});
    PollSystem();
  }
  // Effect numbers played by one frame.
  std::vector<int> Frame() {
    const int first = NextSfxSlot;
    GameFrame();
    std::vector<int> played;
    for (int slot = first + 1; slot <= NextSfxSlot; ++slot)
      for (int n = 1; n < 200; ++n)
        if (SfxTable[size_t(n)] && ChannelTable[size_t(slot)] &&
            static_cast<TRecordedChannel&>(*ChannelTable[size_t(slot)]).sound == SfxTable[size_t(n)].get())
          played.push_back(n);
    return played;
  }
  int Messages(const std::string& text) const {
    int n = 0;
    for (const ment& m : MessageList) n += m.txt == text;
    return n;
  }
};

bool Has(const std::vector<int>& played, int effect) {
  return std::find(played.begin(), played.end(), effect) != played.end();
}

TEST(GameSession, StartingFromWorldThreeBeginsAtLevelElevenWithThreeLives) {
  TGame g(3);
  EXPECT_EQ(Game.LevelNumber, 11);
  EXPECT_EQ(Game.Lives, 3);
  g.Frame();
  EXPECT_NE(g.game.driver().FindText("World 3-A", FrameCount() - 1), nullptr);
}

// From 472 at 2.5 a frame the sheep is at 2.0 after 188 frames, not yet through; the 189th
// frame ends the level once, with its message.
TEST(GameSession, HoldingLeftPassesTheLevelOnFrame189) {
  TGame g;
  TGame::Hold(VK_LEFT, true);
  for (int i = 0; i < 188; ++i) g.Frame();
  EXPECT_FLOAT_EQ(Game.SheepX, 2.0f);
  EXPECT_EQ(g.Messages("Level Complete"), 0);
  EXPECT_TRUE(Has(g.Frame(), 50));
  EXPECT_EQ(g.Messages("Level Complete"), 1);
  g.Frame();
  EXPECT_EQ(g.Messages("Level Complete"), 1);
}

// A hit on frame t: the death sound on t, the life lost on t + 28, the level again on t + 29,
// with its frame timer from 0. Four deaths from world 1 end the game.
TEST(GameSession, ADeathCostsALifeAndRestartsTheLevel) {
  TGame g;
  for (int death = 1; death <= 4; ++death) {
    SetupLevel("C300");  // a spike under column 3, dangerous at once
    Game.SheepX = 50.0f;
    EXPECT_TRUE(Has(g.Frame(), 7)) << death;
    EXPECT_EQ(Game.DeathTimer, 2);
    for (int t = 1; t < 28; ++t) g.Frame();
    EXPECT_EQ(Game.Lives, 3 - death + 1);
    g.Frame();
    EXPECT_EQ(Game.Lives, 3 - death);
    if (death == 4) {
      EXPECT_EQ(Game.EndReason, END_GAME_OVER);
      break;
    }
    EXPECT_NE(g.game.driver().FindText("Lives : " + std::to_string(Game.Lives), FrameCount() - 1), nullptr);
    g.Frame();
    EXPECT_EQ(Game.DeathTimer, 0);
    EXPECT_EQ(Game.SheepX, 472.0f);
    EXPECT_EQ(Game.FrameTimer, 0.0f);
  }
}

// A bonus of 25 with 3 lives: 10, 10, 1 and 0 points a frame, each worth 3; the next level
// comes on the 21st frame that finds the bonus empty.
TEST(GameSession, TheBonusIsPaidTenAFrameTimesTheLives) {
  TGame g;
  Game.SheepX = 0.5f;
  Game.Bonus = 25;
  const int expected_score[4] = {30, 60, 63, 63};
  for (int frame = 0; frame < 4; ++frame) {
    g.Frame();
    EXPECT_EQ(Game.GameScore, expected_score[frame]) << frame;
  }
  EXPECT_EQ(Game.CompleteTimer, 1);
  for (int frame = 0; frame < 19; ++frame) g.Frame();
  EXPECT_EQ(Game.LevelNumber, 1);
  g.Frame();
  EXPECT_EQ(Game.LevelNumber, 2);
  EXPECT_TRUE(Game.WalkLatch);
  EXPECT_EQ(Game.SheepX, 472.0f);
  EXPECT_EQ(g.Messages("Level Complete"), 1);
}

// Level ends that finish a world: an extra life each; level 20 unlocks the jump; J skips without
// payment; the slow worlds' first end frame lies above 1, so their end runs twice.
TEST(GameSession, LevelEndsAndTheirMessages) {
  struct TCase {
    int level;
    float x;
    bool skip;
    int lives_after;
    int world_messages;
    int jump_messages;
  } cases[] = {
      {5, 0.5f, false, 4, 1, 0},   {20, 0.5f, false, 4, 1, 1}, {3, 0.5f, false, 3, 0, 0},
      {10, 300.0f, true, 4, 1, 0}, {95, 1.6f, false, 5, 2, 0},
  };
  for (const TCase& c : cases) {
    TGame g;
    Game.LevelNumber = c.level;
    SetupLevel("");
    Game.SheepX = c.x;
    if (c.skip) TGame::Hold('J', true);
    g.Frame();
    g.Frame();
    if (c.skip) TGame::Hold('J', false);
    EXPECT_EQ(Game.Lives, c.lives_after) << c.level;
    EXPECT_EQ(g.Messages("World Complete"), c.world_messages) << c.level;
    EXPECT_EQ(g.Messages("Jump Button Unlocked"), c.jump_messages) << c.level;
    if (c.skip) {
      EXPECT_EQ(Game.GameScore, 0);
    }
  }
  // J pressed over the settings panel binds a control and skips nothing.
  TGame g;
  SetupLevel("");
  Game.SheepX = 300.0f;
  PanelOpen = 1;
  PanelOffset = 20;
  TGame::Hold('J', true);
  g.Frame();
  TGame::Hold('J', false);
  EXPECT_EQ(Game.SheepX, 300.0f);
}

TEST(GameSession, EnteringANewWorldSavesItAtOnce) {
  TGame g;
  StartWorldLimit = 4;
  Game.LevelNumber = 21;
  SetupLevel("");
  g.Frame();
  EXPECT_EQ(StartWorldLimit, 5);
  TStreamPtr in = ReadFile(g.game.Root() + "/Files/003/zivazo.dat");
  ASSERT_TRUE(in);
  EXPECT_EQ(in->Size(), 4);
  EXPECT_EQ(in->ReadInt(), 5);
}

// No jump before level 21; from there Up held jumps once, 22 frames off the ground, and must
// be let go before the next.
TEST(GameSession, TheJumpIsUnlockedAfterLevelTwentyAndNotRepeatedWhileHeld) {
  TGame g;
  Game.LevelNumber = 20;
  SetupLevel("");
  TGame::Hold(VK_UP, true);
  g.Frame();
  EXPECT_EQ(Game.JumpPhase, 0.0f);
  Game.LevelNumber = 21;
  SetupLevel("");
  TGame::Hold(VK_UP, false);
  TGame::Hold(VK_UP, true);
  EXPECT_TRUE(Has(g.Frame(), 8));
  int airborne = 0;
  while (Game.JumpPhase > 0.0f && airborne < 100) {
    g.Frame();
    ++airborne;
  }
  EXPECT_EQ(airborne, 22);
  for (int i = 0; i < 10; ++i) g.Frame();
  EXPECT_EQ(Game.JumpPhase, 0.0f);
  TGame::Hold(VK_UP, false);
  g.Frame();
  TGame::Hold(VK_UP, true);
  g.Frame();
  EXPECT_GT(Game.JumpPhase, 0.0f);
}

TEST(GameSession, CompletingLevelOneHundredEndsTheGame) {
  TGame g;
  Game.LevelNumber = 100;
  SetupLevel("");
  Game.SheepX = 0.5f;
  Game.Bonus = 0;
  bool running = true;
  int frames = 0;
  while (running && frames < 40) {
    running = GameFrame();
    ++frames;
  }
  EXPECT_FALSE(running);
  EXPECT_EQ(Game.EndReason, END_GAME_OVER);
  EXPECT_EQ(frames, 21);
  EXPECT_NE(g.game.driver().FindText("Game Over"), nullptr);
}

}  // namespace

// Once the sheep is past the left edge nothing may hit it: a chaser catching it off screen while
// the bonus is paid used to replay the finished level, or (hit in the last 28 frames of the
// payment) leave the level end half-counted so the sheep could never walk again.
TEST(GameSession, NothingHitsTheSheepDuringTheLevelEnd) {
  // Caught about 30 frames in: with 999 the payment runs on long after, with 500 it ends
  // between 9 and 28 frames after the hit.
  for (int bonus : {999, 500}) {
    TGame g;
    SetupLevel("N000");  // a chaser at x 48, after the sheep at once
    Game.SheepX = 1.5f;
    Game.Bonus = bonus;
    bool hit = false;
    for (int frame = 0; frame < 400 && Game.LevelNumber == 1; ++frame) {
      g.Frame();
      hit = hit || Game.DeathTimer > 0;
    }
    EXPECT_FALSE(hit) << bonus;
    EXPECT_EQ(Game.LevelNumber, 2) << bonus;
    EXPECT_EQ(Game.CompleteTimer, 0) << bonus;
  }
  // A death that runs out during a level end (a hit sheep still slides on ice) starts the level
  // afresh, its end count too.
  TGame g;
  Game.DeathTimer = 30;
  Game.CompleteTimer = 7;
  g.Frame();
  EXPECT_EQ(Game.CompleteTimer, 0);
  EXPECT_EQ(Game.SheepX, 472.0f);
}
