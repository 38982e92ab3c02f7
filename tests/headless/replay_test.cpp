// A game played through the real loop leaves a replay beside its record: walking, a death, the
// skip key, a jump and a pause in it. The shipped replay_check proves it (and not an edited one,
// nor on other levels); watching it plays the game again on the game screen to the same score;
// a record the list drops takes its replay with it.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "audio/sound_effects.h"
#include "base/program_state.h"
#include "game/game_session.h"
#include "game/replay_player.h"
#include "platform/input.h"
#include "platform/key_codes.h"
#include "rules/replay.h"
#include "scores/replay_files.h"
#include "scores/score_file.h"
#include "scores/score_records.h"
#include "platform/sound.h"
#include "support/headless_game.h"
#include "support/sound_fixtures.h"

namespace {

// Level 21 (world 5's first, where the jump works) has a stomper in the path, which only a jump
// passes; every other level is empty.
std::string LevelFile() {
  std::string file;
  for (int world = 1; world <= 20; ++world) {
    file += "(grp==" + std::to_string(world) + ")\r\n";
    for (int n = 1; n <= 5; ++n)
      file += "case " + std::to_string(n) + ": \"" + (world == 5 && n == 1 ? std::string(48, ' ') + "J340" : "") + "\"\r\n";
  }
  return file;
}

// replay_check's line and exit status for a replay file.
std::pair<std::string, int> Check(const std::string& levels, const std::string& replay) {
  const std::string command =
      std::string(LAMBRISK_GAME_DIR) + "/replay_check --levels '" + levels + "' '" + replay + "' 2>&1";
  FILE* out = popen(command.c_str(), "r");
  std::string text;
  char buffer[512];
  while (out && std::fgets(buffer, sizeof buffer, out)) text += buffer;
  const int status = out ? pclose(out) : -1;
  return {text, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

class ReplayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(game.Root() + "/Levels");
    levels = game.Root() + "/Levels/Lambrisk.txt";
    TTempDir::Write(levels, LevelFile());
    TTempDir::Write(game.Root() + "/Files/003/blank.txt", LevelFile());
    for (int n : {3, 7, 8, 49, 50}) {
      const std::string name = "00" + std::to_string(n);
      SfxTable[size_t(n)] = LoadSound(name.substr(name.size() - 3) + ".wav", 0);
    }
    PlayAGame();
  }

  void Key(int ms, int key, bool down) { game.script().AtTime(ms, {down ? EVENT_KEYDOWN : EVENT_KEYUP, key, 0, 0}); }
  void Press(int ms, int key) {
    Key(ms, key, true);
    Key(ms + 100, key, false);
  }

  // From world 5: walk into the stomper and die, skip the level, walk the next with a jump, a
  // pause and Continue on the way, then quit through the pause menu and keep the name.
  void PlayAGame() {
    Key(100, VK_LEFT, true);
    Key(4500, VK_LEFT, false);
    Press(5000, 'J');
    Key(7000, VK_LEFT, true);
    Press(8000, VK_UP);
    Press(10000, VK_ESCAPE);
    Press(11000, VK_SPACE);
    Key(11500, VK_LEFT, false);
    Key(12000, VK_LEFT, true);
    Press(20000, VK_ESCAPE);
    Press(20300, VK_DOWN);
    Press(20600, VK_SPACE);
    Press(23000, VK_RETURN);
    GameState = 1;
    GameMode = 1;
    StartWorld = StartWorldLimit = 5;
    RunGame();
    ASSERT_EQ(LocalScores.size(), 1u);
    record = LocalScores[0];
  }

  THeadlessGame game{{800, 600, true, nullptr}};
  std::string levels;
  TScoresPtr record;
};

TEST_F(ReplayTest, AGameLeavesAReplayThatReplayCheckProves) {
  EXPECT_EQ(record->Quit, 1);
  EXPECT_GT(record->Score, 0);
  ASSERT_TRUE(HasReplay(*record));
  TReplay replay;
  std::string why;
  ASSERT_TRUE(LoadReplay(*record, replay, why)) << why;
  EXPECT_EQ(replay.world, 5);
  EXPECT_EQ(replay.name, record->Name);
  EXPECT_EQ(replay.result.score, record->Score);
  EXPECT_EQ(replay.result.level, 23);  // 21 skipped after the death, 22 walked
  // The skip and the end of the pause are in it.
  bool skipped = false, paused = false;
  for (const TFrameInput& i : replay.inputs) skipped |= i.skip, paused |= i.pauseEnded;
  EXPECT_TRUE(skipped && paused);

  const auto [line, status] = Check(levels, ReplayPath(*record));
  EXPECT_EQ(status, 0) << line;
  EXPECT_NE(line.find("world 5 mode 1 flags 0 score " + std::to_string(record->Score) + " level 23 lives 2"),
            std::string::npos) << line;
  EXPECT_NE(line.find(" proven"), std::string::npos) << line;

  // Its claimed score raised by one, or other levels, or no replay at all.
  std::string text = TTempDir::Read(ReplayPath(*record));
  const std::string claim = "result score " + std::to_string(record->Score);
  text.replace(text.find(claim), claim.size(), "result score " + std::to_string(record->Score + 1));
  TTempDir::Write(game.Root() + "/raised.txt", text);
  const auto raised = Check(levels, game.Root() + "/raised.txt");
  EXPECT_EQ(raised.second, 1) << raised.first;
  EXPECT_NE(raised.first.find("differs: score " + std::to_string(record->Score)), std::string::npos) << raised.first;
  TTempDir::Write(game.Root() + "/other.txt", "(grp==1)\r\ncase 1: \"1340\"\r\n");
  const auto other = Check(game.Root() + "/other.txt", ReplayPath(*record));
  EXPECT_EQ(other.second, 2) << other.first;
  EXPECT_NE(other.first.find("of another level set"), std::string::npos) << other.first;
  TTempDir::Write(game.Root() + "/junk.txt", "junk");
  EXPECT_EQ(Check(levels, game.Root() + "/junk.txt").second, 2);
}

TEST_F(ReplayTest, WatchingPlaysTheGameAgainOnTheScreen) {
  TReplay replay;
  std::string why;
  ASSERT_TRUE(LoadReplay(*record, replay, why)) << why;
  const int flips = game.driver().flips;
  const int firstSlot = NextSfxSlot;
  ASSERT_TRUE(WatchReplay(replay, why)) << why;
  // A frame a frame of the game, "Replay" over it, and at the end the score the record holds.
  EXPECT_GE(game.driver().flips - flips, int(replay.inputs.size()));
  EXPECT_NE(game.driver().FindText("Replay", flips + 10), nullptr);
  const TDrawRecord* last = nullptr;
  for (const TDrawRecord& r : game.driver().records)
    if (r.kind == TDrawKind::Text && r.text.rfind("Score : ", 0) == 0) last = &r;
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(last->text, "Score : " + std::to_string(record->Score));
  // Its sounds played: the death's among them.
  bool died = false;
  for (int slot = firstSlot + 1; slot <= NextSfxSlot; ++slot)
    died |= static_cast<TRecordedChannel&>(*ChannelTable[size_t(slot)]).sound == SfxTable[7].get();
  EXPECT_TRUE(died);

  // Any key but Right ends it at once.
  Press(Millisecs() + 500, 'X');
  const int before = game.driver().flips;
  ASSERT_TRUE(WatchReplay(replay, why));
  EXPECT_LT(game.driver().flips - before, 40);
}

TEST_F(ReplayTest, ARecordTheListDropsTakesItsReplayAlong) {
  const std::string path = ReplayPath(*record);
  ASSERT_TRUE(HasReplay(*record));
  LocalScores.clear();
  ASSERT_TRUE(SaveScores());
  EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
