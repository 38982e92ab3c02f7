// A slower game through the real screens: its frames paced at its speed while the title, the
// editor and the pause menu keep 30 a second; a game started at 70 % from the title keeps its
// flags in its record and its replay, which replay_check proves and the Hiscore tab ranks apart;
// watching it keeps its pace; the online table fetched is the speed's own.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "base/game_speed.h"
#include "base/program_state.h"
#include "base/settings.h"
#include "framework/setup_file.h"
#include "frontend/title_screen.h"
#include "game/game_session.h"
#include "game/replay_player.h"
#include "platform/clock.h"
#include "platform/input.h"
#include "platform/key_codes.h"
#include "scores/online_scores.h"
#include "scores/replay_files.h"
#include "scores/score_file.h"
#include "scores/score_records.h"
#include "scores/scramble.h"
#include "support/headless_game.h"
#include "support/loopback_server.h"

namespace {

// The length of every frame shown while it listens, with the screen state it was shown in: a
// flip polls the input, which pumps this.
class TFrameTimes : public TEventSource {
 public:
  TFrameTimes() { AddEventSource(this); }
  ~TFrameTimes() override { RemoveEventSource(this); }
  void Pump() override {
    if (FrameCount() == frame_) return;
    if (frame_ >= 0) lengths.push_back({state_, Millisecs() - at_});
    frame_ = FrameCount(), at_ = Millisecs(), state_ = GameState;
  }
  // The lengths of the frames shown in this state (0 title, 1 game, 2 pause menu).
  std::vector<int> In(int state) const {
    std::vector<int> out;
    for (const auto& [s, ms] : lengths)
      if (s == state) out.push_back(ms);
    return out;
  }
  std::vector<std::pair<int, int>> lengths;

 private:
  int frame_ = -1, at_ = 0, state_ = 0;
};

// Every frame the same length, but the first and the last: the first starts when the listening
// did, the last ends in another screen's frame.
void ExpectAll(const std::vector<int>& lengths, int ms, const std::string& what) {
  ASSERT_GT(lengths.size(), 3u) << what;
  size_t i = 1;
  while (i + 1 < lengths.size() && lengths[i] == ms) ++i;
  if (i + 1 < lengths.size()) ADD_FAILURE() << what << ": frame " << i << " lasted " << lengths[i] << " ms, not " << ms;
}

std::string EmptyLevels() {
  std::string file;
  for (int world = 1; world <= 20; ++world) {
    file += "(grp==" + std::to_string(world) + ")\r\n";
    for (int n = 1; n <= 5; ++n) file += "case " + std::to_string(n) + ": \"\"\r\n";
  }
  return file;
}

// Frames last 1000 / rate - 2 ms, in whole milliseconds of 1 ms sleeps: 32 at 30 a second, 38 at
// 25.5, 46 at 21 and 59 at 16.5. The editor, with the same flags, keeps 32.
TEST(GameSpeed, EachSpeedPacesAGamesFramesAndOnlyThem) {
  THeadlessGame game;
  const int expected[kGameSpeeds] = {32, 38, 46, 59};
  for (int speed = 0; speed < kGameSpeeds; ++speed) {
    for (int mode : {1, 0}) {
      SCOPED_TRACE("speed " + std::to_string(speed) + " mode " + std::to_string(mode));
      GameFlags = GameSpeedFlags(speed);
      GameMode = mode;
      GameState = 1;
      StartGame();
      TFrameTimes times;
      for (int i = 0; i < 8; ++i) ASSERT_TRUE(GameFrame());
      ExpectAll(times.In(1), mode == 1 ? expected[speed] : 32, "game");
      GameState = 0;
    }
  }
}

// A game started from the title at 70 %: walk the first empty level, pause and quit, keep the name.
class SlowGameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(game.Root() + "/Levels");
    levels = game.Root() + "/Levels/Lambrisk.txt";
    TTempDir::Write(levels, EmptyLevels());
    TTempDir::Write(game.Root() + "/Files/003/blank.txt", EmptyLevels());
    Settings[SET_GAME_SPEED] = 2;
    const int t = Millisecs();
    for (auto [key, down, up] : {std::tuple{VK_RETURN, 0, 100}, {VK_LEFT, 500, 12000}, {VK_ESCAPE, 12500, 12600},
                                 {VK_DOWN, 12900, 13000}, {VK_SPACE, 13300, 13400}, {VK_RETURN, 16000, 16100}}) {
      game.script().AtTime(t + down, {EVENT_KEYDOWN, key, 0, 0});
      game.script().AtTime(t + up, {EVENT_KEYUP, key, 0, 0});
    }
    for (int i = 0; i < 40 && LocalScores.empty(); ++i) ASSERT_TRUE(TitleFrame());
    ASSERT_EQ(LocalScores.size(), 1u);
    record = LocalScores[0];
  }

  THeadlessGame game;
  TFrameTimes times;
  std::string levels;
  TScoresPtr record;
};

TEST_F(SlowGameTest, ItsRecordAndReplayCarryItsFlagsAndReplayCheckProvesIt) {
  std::vector<int> walking = times.In(1);
  walking.resize(100);  // before the pause
  ExpectAll(walking, 46, "the game");
  ExpectAll(times.In(2), 32, "the pause menu");
  EXPECT_EQ(record->GameFlags, 4);
  EXPECT_GT(record->Score, 0);
  TReplay replay;
  std::string why;
  ASSERT_TRUE(LoadReplay(*record, replay, why)) << why;
  EXPECT_EQ(replay.flags, 4);
  const std::string command = std::string(LAMBRISK_GAME_DIR) + "/replay_check --levels '" + levels + "' '" +
                              ReplayPath(*record) + "' 2>&1";
  FILE* out = popen(command.c_str(), "r");
  ASSERT_NE(out, nullptr);
  std::string line;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, out)) line += buffer;
  const int status = pclose(out);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << line;
  EXPECT_NE(line.find("world 1 mode 1 flags 4 score " + std::to_string(record->Score)), std::string::npos) << line;
  EXPECT_NE(line.find(" proven"), std::string::npos) << line;

  // Watched again, it keeps its pace.
  TFrameTimes watched;
  ASSERT_TRUE(WatchReplay(replay, why)) << why;
  std::vector<int> frames = watched.In(0);
  frames.resize(replay.inputs.size() - 1);  // the end screen's flips come after
  ExpectAll(frames, 46, "the watched game");
}

// The Hiscore tab shows the table of the chosen speed and says which it is; the record waits in
// its own table while another speed's is shown.
TEST_F(SlowGameTest, TheHiscoreTabFollowsTheChosenSpeed) {
  const std::string row = "00000000000" + std::to_string(record->Score);
  const std::string score = row.substr(row.size() - 12);
  auto shows = [this](const std::string& text) { return game.driver().FindText(text, FrameCount() - 1) != nullptr; };
  for (int i = 0; i < 20; ++i) ASSERT_TRUE(TitleFrame());
  EXPECT_TRUE(shows("Game Speed 70 %"));
  EXPECT_TRUE(shows(score));
  for (int speed : {0, 1, 3}) {
    Settings[SET_GAME_SPEED] = speed;
    ASSERT_TRUE(TitleFrame());
    EXPECT_TRUE(shows("Game Speed " + std::to_string(GameSpeedPercent(speed)) + " %"));
    EXPECT_FALSE(shows(score)) << speed;
  }
  EXPECT_EQ(LocalScores.size(), 1u);
}

// Online, the table fetched at 70 % from world 1 is number 4101, and only its entries are
// replaced by the fetch.
TEST_F(SlowGameTest, TheOnlineTableIsTheSpeedsOwn) {
  TScriptedHttpServer server([](const std::string&) { return std::string("HTTP/1.0 200 OK\n\n9|Ram|0|1|1|1|4|0\n0"); });
  ScoreServer = server.Name();
  BuildScrambleKey();
  UserName = "Shepherd";
  Password = "woolly";
  LoggedIn = true;
  auto full = std::make_shared<TScores>();
  full->GameMode = ~1, full->Level = 1, full->GameFlags = 0;
  OnlineScores.push_back(full);
  GameFlags = 4;
  for (int i = 0; i < 2; ++i) {
    RefreshState = 1;
    RefreshStep(400, 335);
    RefreshStep(400, 335);
  }
  bool fetched = false;
  for (const std::string& r : server.Requests()) fetched |= r.find("/enscore/tables/3/4101.txt") != std::string::npos;
  EXPECT_TRUE(fetched);
  ASSERT_EQ(OnlineScores.size(), 2u);  // the full-speed entry, and one copy of the fetched one
  EXPECT_EQ(OnlineScores[0]->GameFlags + OnlineScores[1]->GameFlags, 4);
}

}  // namespace
