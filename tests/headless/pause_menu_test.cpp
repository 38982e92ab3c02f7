// The pause menu reached the way a game reaches it: Escape during PresentFrame with GameState 1.
// The menu's own waits show no frames, so the script keys its events on the clock.
#include <gtest/gtest.h>

#include "base/program_state.h"
#include "framework/present_frame.h"
#include "framework/screen_size.h"
#include "framework/setup_file.h"
#include "platform/input.h"
#include "platform/key_codes.h"
#include "support/headless_game.h"

namespace {


// Presses key from ms to ms + 100 on the clock.
void PressAtTime(TScriptedInput& script, int ms, int key) {
  script.AtTime(ms, {EVENT_KEYDOWN, key, 0, 0}).AtTime(ms + 100, {EVENT_KEYUP, key, 0, 0});
}

// Plays game frames until one returns a pause result; returns it (0 when none came).
int PlayUntilPauseResult(THeadlessGame& game) {
  for (int i = 0; i < 200; ++i)
    if (int result = game.Frame()) return result;
  return 0;
}

class PauseMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GameState = 1;
    PressAtTime(game.script(), 100, VK_ESCAPE);  // opens the menu
  }
  THeadlessGame game;
};

TEST_F(PauseMenuTest, EscapeOnContinueReturnsOneAndTheGameGoesOn) {
  PressAtTime(game.script(), 1000, VK_ESCAPE);
  EXPECT_EQ(PlayUntilPauseResult(game), 1);
  EXPECT_EQ(GameState, 1);
  EXPECT_GE(game.clock().NowMs(), 1100);  // left only once Escape was let go again
}

TEST_F(PauseMenuTest, EscapeOnQuitReturnsNinetyNine) {
  PressAtTime(game.script(), 500, VK_DOWN);
  PressAtTime(game.script(), 1000, VK_ESCAPE);
  EXPECT_EQ(PlayUntilPauseResult(game), 99);
  EXPECT_EQ(GameState, 1);
}

TEST_F(PauseMenuTest, TheFireKeyChoosesTheHighlightedItem) {
  PressAtTime(game.script(), 500, VK_DOWN);
  PressAtTime(game.script(), 1000, VK_SPACE);
  EXPECT_EQ(PlayUntilPauseResult(game), 99);
  const int64_t at = game.clock().NowMs();
  EXPECT_GE(at, 1000);
  EXPECT_LT(at, 1100);  // chosen while the key went down, not when it came up
}

TEST_F(PauseMenuTest, UpFromContinueWrapsToQuit) {
  PressAtTime(game.script(), 500, VK_UP);
  PressAtTime(game.script(), 1000, VK_ESCAPE);
  EXPECT_EQ(PlayUntilPauseResult(game), 99);
}

TEST_F(PauseMenuTest, DownFromQuitWrapsToContinue) {
  PressAtTime(game.script(), 500, VK_DOWN);
  PressAtTime(game.script(), 800, VK_DOWN);
  PressAtTime(game.script(), 1100, VK_ESCAPE);
  EXPECT_EQ(PlayUntilPauseResult(game), 1);
}

TEST_F(PauseMenuTest, TheHighlightFollowsTheCursor) {
  PressAtTime(game.script(), 500, VK_DOWN);
  PressAtTime(game.script(), 1000, VK_ESCAPE);
  PlayUntilPauseResult(game);
  const TRecordingDriver& d = game.driver();
  const int first = d.FindText("Continue")->frame;
  const TDrawRecord* before = d.FindText("Continue", first);
  const TDrawRecord* after = d.FindText("Quit", d.flips - 2);
  ASSERT_NE(before, nullptr);
  ASSERT_NE(after, nullptr);
  const float left = float(int(0.1 * VirtualWidth));
  EXPECT_FLOAT_EQ(before->x, float(int(0.1 * VirtualWidth + 20 + 10)));
  EXPECT_EQ(before->state.color_blue, 0);  // yellow
  EXPECT_FLOAT_EQ(after->x, float(int(0.1 * VirtualWidth + 20 + 10)));
  EXPECT_EQ(after->state.color_blue, 0);
  EXPECT_FLOAT_EQ(d.FindText("Quit", first)->x, left + 10);
  EXPECT_EQ(d.FindText("Quit", first)->state.color_blue, 255);
  EXPECT_FLOAT_EQ(d.FindText("Continue", first)->y, float(int(0.375 * VirtualHeight) + 60));
  EXPECT_FLOAT_EQ(d.FindText("Quit", first)->y, float(int(0.375 * VirtualHeight) + 120));
}

TEST_F(PauseMenuTest, TheMenuShowsTheGrabbedFrameAtTheRealSize) {
  PressAtTime(game.script(), 1000, VK_ESCAPE);
  PlayUntilPauseResult(game);
  const TRecordingDriver& d = game.driver();
  const int first = d.FindText("Continue")->frame;
  const auto images = d.Find(TDrawKind::Image, first);
  ASSERT_FALSE(images.empty());
  // The image itself is gone with the menu; its corners, handle at the centre, give its size.
  const TDrawRecord& frame = *images.front();
  EXPECT_FLOAT_EQ(frame.x0, -CurrentWidth / 2.0f);
  EXPECT_FLOAT_EQ(frame.x1 - frame.x0, float(CurrentWidth));
  EXPECT_FLOAT_EQ(frame.y1 - frame.y0, float(CurrentHeight));
  EXPECT_FLOAT_EQ(frame.x, float(VirtualWidth / 2));
  EXPECT_FLOAT_EQ(frame.y, float(VirtualHeight / 2));
  EXPECT_EQ(d.Count(TDrawKind::Grab), 1);
}

TEST_F(PauseMenuTest, AFireKeyHeldWhenTheMenuOpensDoesNothing) {
  game.script().AtTime(50, {EVENT_KEYDOWN, VK_SPACE, 0, 0}).AtTime(600, {EVENT_KEYUP, VK_SPACE, 0, 0});
  PressAtTime(game.script(), 1000, VK_ESCAPE);
  EXPECT_EQ(PlayUntilPauseResult(game), 1);
  EXPECT_GE(game.clock().NowMs(), 1000);  // still open after the fire key went up
}

TEST_F(PauseMenuTest, TimeInTheMenuIsAddedToTheGameClock) {
  GameClockStart = 5000;
  PressAtTime(game.script(), 2000, VK_ESCAPE);
  int64_t opened_at = 0;
  int result = 0;
  for (int i = 0; i < 200 && result == 0; ++i) {
    opened_at = game.clock().NowMs();
    result = game.Frame();
  }
  ASSERT_EQ(result, 1);
  const int64_t spent = game.clock().NowMs() - opened_at;
  // The menu ran from the start of this frame to Escape's release at 2100; what follows in the
  // same frame is at most its pacing.
  EXPECT_GE(GameClockStart - 5000, 2100 - opened_at);
  EXPECT_LE(GameClockStart - 5000, spent);
  EXPECT_GE(GameClockStart - 5000, spent - 34);
}

TEST_F(PauseMenuTest, TheScatteredTitlesAreTheSameEveryMenuFrame) {
  PressAtTime(game.script(), 1000, VK_ESCAPE);
  PlayUntilPauseResult(game);
  const TRecordingDriver& d = game.driver();
  const int first = d.FindText("Continue")->frame;
  auto titles = [&](int frame) {
    std::vector<const TDrawRecord*> out;
    for (const TDrawRecord* r : d.Find(TDrawKind::Text, frame))
      if (r->text == TitleLine) out.push_back(r);
    return out;
  };
  const auto a = titles(first), b = titles(first + 1);
  ASSERT_EQ(a.size(), 180u);
  ASSERT_EQ(b.size(), 180u);
  int moved = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    EXPECT_FLOAT_EQ(a[i]->x, b[i]->x) << i;
    EXPECT_FLOAT_EQ(a[i]->y, b[i]->y) << i;
    EXPECT_EQ(a[i]->state.color_red, b[i]->state.color_red) << i;
    EXPECT_EQ(a[i]->state.color_green, b[i]->state.color_green) << i;
    EXPECT_EQ(a[i]->state.color_blue, b[i]->state.color_blue) << i;
    EXPECT_FLOAT_EQ(a[i]->state.color_alpha, 0.4f);
    if (i > 0 && a[i]->x != a[0]->x) ++moved;
  }
  EXPECT_GT(moved, 100);  // a scatter, not one place
}

TEST_F(PauseMenuTest, AltF4InTheMenuEndsTheProgramThroughTheFarewell) {
  game.script().AtTime(600, {EVENT_KEYDOWN, 165, 0, 0}).AtTime(700, {EVENT_KEYDOWN, 115, 0, 0});
  EXPECT_EQ(RunInChild([&] { PlayUntilPauseResult(game); }), 0);
  const std::string log = game.Log();
  EXPECT_NE(log.find("Closing Up\r\n"), std::string::npos);
  EXPECT_FALSE(game.ReadFile("Files/Setup.ini").empty());
}

// Losing the focus in a game opens the menu as Escape does, unless the setup turned that off; a
// loss on the title screen is not kept for the next game.
TEST(PauseOnFocusLoss, OpensTheMenuInAGameOnly) {
  for (int setting : {1, 0}) {
    THeadlessGame game;
    PauseOnFocusLoss = setting;
    GameState = 0;
    game.script().AtTime(100, {EVENT_APPSUSPEND, 0, 0, 0}).AtTime(150, {EVENT_APPRESUME, 0, 0, 0});
    EXPECT_EQ(PlayUntilPauseResult(game), 0);
    GameState = 1;
    for (int i = 0; i < 5; ++i) EXPECT_EQ(game.Frame(), 0);
    const int now = game.clock().NowMs();
    game.script().AtTime(now + 100, {EVENT_APPSUSPEND, 0, 0, 0}).AtTime(now + 120, {EVENT_APPRESUME, 0, 0, 0});
    if (setting) PressAtTime(game.script(), now + 1000, VK_ESCAPE);  // Continue
    EXPECT_EQ(PlayUntilPauseResult(game), setting) << setting;
    if (setting) {
      EXPECT_GE(game.clock().NowMs(), now + 1000);
    }
  }
}

}  // namespace
