// The editor's check (F5) and shown way (F6) against the real solver program: a level that can be
// finished is reported with the solver's frame count and walked in exactly that many frames, a
// blocked one has no route, an edit cancels a running check, and a missing solver is said so.
#include <gtest/gtest.h>

#include <unistd.h>

#include <string>

#include "base/program_state.h"
#include "framework/present_frame.h"
#include "game/game_session.h"
#include "game/game_state.h"
#include "game/level_check.h"
#include "game/level_files.h"
#include "game/level_files.h"
#include "platform/input.h"
#include "platform/key_codes.h"
#include "support/editor_session.h"
#include "ui/messages.h"

namespace {

struct TCheckedEditor : TEditorSession {
  TCheckedEditor() { LevelSolverPath = std::string(LAMBRISK_GAME_DIR) + "/level_solver"; }
  ~TCheckedEditor() {
    ResetLevelCheck();
    LevelSolverPath.clear();
  }
  // The level as the editor's edits leave it: in the work file and set up.
  static void Edit(const std::string& text) {
    Game.LevelText = text + std::string(117 - text.size(), ' ');
    SaveLevel(WorkFileName, Game.LevelNumber);
    SetupLevel(Game.LevelText);
  }
  static void Press(int key) {
    PostEvent({EVENT_KEYDOWN, key, 0, 0});
    PostEvent({EVENT_KEYUP, key, 0, 0});
  }
  // F5, then frames (the level going on) until the solver has answered; the answer's message.
  std::string Check() {
    Press(VK_F5);
    for (int i = 0; i < 3 && !LevelCheckRunning(); ++i) GameFrame();
    EXPECT_EQ(LevelCheckRunning() ? MessageList.back().txt : "Checking...", "Checking...");
    for (int i = 0; i < 20000 && LevelCheckRunning(); ++i) {
      GameFrame();
      usleep(1000);
    }
    return MessageList.empty() ? "" : MessageList.back().txt;
  }
};

TEST(LevelCheck, AFinishableLevelIsWalkedInTheFramesReported) {
  // Empty, then a pendulum that a straight walk runs into.
  for (const std::string& level : {std::string(), std::string(40, ' ') + "5340"}) {
    TCheckedEditor e;
    e.Edit(level);
    const std::string answer = e.Check();
    int frames = 0;
    ASSERT_EQ(std::sscanf(answer.c_str(), "Completable in %d frames", &frames), 1) << answer;
    if (level.empty()) {
      EXPECT_EQ(answer, "Completable in 190 frames (6.3 s)");
    }

    TCheckedEditor::Press(VK_F6);
    for (int i = 0; i < 3 && !RouteWalking(); ++i) GameFrame();
    ASSERT_TRUE(RouteWalking());
    int walked = 0;
    bool died = false, through = false;
    while (!through && walked < 2000) {
      const float before = Game.SheepX;
      GameFrame();
      ++walked;
      died = died || Game.DeathTimer > 0;
      through = before < 470.0f && Game.SheepX == 472.0f;
    }
    EXPECT_FALSE(died) << level;
    EXPECT_EQ(walked, frames) << level;
    GameFrame();
    EXPECT_FALSE(RouteWalking());
    EXPECT_FALSE(KeyDown(VK_LEFT));
  }
}

// A block on the ground before level 21, where the sheep cannot jump: nobody gets past it.
TEST(LevelCheck, ABlockedLevelHasNoRoute) {
  TCheckedEditor e;
  e.Edit(std::string(96, ' ') + "J340");
  EXPECT_EQ(e.Check(), "No route found in 40 s of play");
  // F6 has no way to show.
  TCheckedEditor::Press(VK_F6);
  GameFrame();
  GameFrame();
  EXPECT_FALSE(RouteWalking());
}

TEST(LevelCheck, AnEditCancelsTheCheckAndAMissingSolverIsSaid) {
  TCheckedEditor e;
  TCheckedEditor::Press(VK_F5);
  for (int i = 0; i < 3 && !LevelCheckRunning(); ++i) GameFrame();
  ASSERT_TRUE(LevelCheckRunning());
  e.Edit("1340");
  GameFrame();
  EXPECT_FALSE(LevelCheckRunning());
  for (const ment& m : MessageList) EXPECT_EQ(m.txt.find("Check"), std::string::npos) << m.txt;

  LevelSolverPath = e.game.Root() + "/no_such_solver";
  EXPECT_EQ(e.Check(), "Couldn't check this level");
}

}  // namespace
