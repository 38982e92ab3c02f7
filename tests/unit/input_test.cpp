// The event layer: how events fold into the polled key, mouse and window state.
#include <gtest/gtest.h>

#include "platform/input.h"
#include "platform/scripted_input.h"

namespace {

class InputTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetInput(); }
  void TearDown() override { ResetInput(); }
  static void Post(int id, int data, int x = 0, int y = 0) { PostEvent({id, data, x, y}); }
};

TEST_F(InputTest, EventNames) {
  EXPECT_EQ(EventName(EVENT_APPSUSPEND), "AppSuspend");
  EXPECT_EQ(EventName(EVENT_KEYCHAR), "KeyChar");
  EXPECT_EQ(EventName(EVENT_MOUSEWHEEL), "MouseWheel");
  EXPECT_EQ(EventName(12), "Unknown");
}

TEST_F(InputTest, EventsTakeEffectAtThePoll) {
  Post(EVENT_KEYDOWN, 37);
  EXPECT_EQ(KeyDown(37), 0);
  PollSystem();
  EXPECT_EQ(KeyDown(37), 1);
}

TEST_F(InputTest, HeldKeyCountsOneHitAndAReleasedPressASecond) {
  Post(EVENT_KEYDOWN, 65);
  Post(EVENT_KEYDOWN, 65);  // auto-repeat while held
  Post(EVENT_KEYDOWN, 65);
  PollSystem();
  EXPECT_EQ(KeyHit(65), 1);
  EXPECT_EQ(KeyHit(65), 0);  // reading resets the count
  Post(EVENT_KEYUP, 65);
  Post(EVENT_KEYDOWN, 65);
  PollSystem();
  EXPECT_EQ(KeyDown(65), 1);
  EXPECT_EQ(KeyHit(65), 1);
}

// A tap whose press and release arrive between two frames is still seen held for one frame, and
// what follows the release waits with it.
TEST_F(InputTest, ATapInOnePollIsHeldUntilTheNext) {
  for (auto [down, up] : {std::pair{EVENT_KEYDOWN, EVENT_KEYUP}, {EVENT_MOUSEDOWN, EVENT_MOUSEUP}}) {
    const int code = down == EVENT_KEYDOWN ? 90 : 1;
    auto held = [&] { return down == EVENT_KEYDOWN ? KeyDown(code) : MouseDown(code); };
    Post(down, code);
    Post(up, code);
    Post(EVENT_KEYDOWN, 88);
    PollSystem();
    EXPECT_EQ(held(), 1);
    EXPECT_EQ(KeyDown(88), 0);
    PollSystem();
    EXPECT_EQ(held(), 0);
    EXPECT_EQ(KeyDown(88), 1);
    Post(EVENT_KEYUP, 88);
    PollSystem();
  }
}

TEST_F(InputTest, OutOfRangeCodesAreIgnored) {
  Post(EVENT_KEYDOWN, 256);
  Post(EVENT_KEYDOWN, -1);
  Post(EVENT_MOUSEDOWN, 4);
  PollSystem();
  EXPECT_EQ(KeyDown(256), 0);
  EXPECT_EQ(KeyDown(-1), 0);
  EXPECT_EQ(MouseDown(4), 0);
}

TEST_F(InputTest, CharacterQueueHolds255AndDropsThe256th) {
  for (int i = 0; i < 256; ++i) Post(EVENT_KEYCHAR, 'a' + i % 26);
  PollSystem();
  int count = 0;
  while (int c = GetChar()) {
    EXPECT_EQ(c, 'a' + count % 26);
    ++count;
  }
  EXPECT_EQ(count, 255);
  Post(EVENT_KEYCHAR, 233);  // a Latin-1 letter still fits once the queue drained
  PollSystem();
  EXPECT_EQ(GetChar(), 233);
  EXPECT_EQ(GetChar(), 0);
}

TEST_F(InputTest, MouseButtonsPositionAndWheel) {
  Post(EVENT_MOUSEDOWN, 1);
  Post(EVENT_MOUSEDOWN, 1);
  PollSystem();
  Post(EVENT_MOUSEUP, 1);
  Post(EVENT_MOUSEDOWN, 2);
  Post(EVENT_MOUSEMOVE, 0, 640, 480);
  Post(EVENT_MOUSEWHEEL, 1);
  Post(EVENT_MOUSEWHEEL, 1);
  Post(EVENT_MOUSEWHEEL, -3);
  PollSystem();
  EXPECT_EQ(MouseDown(1), 0);
  EXPECT_EQ(MouseHit(1), 1);
  EXPECT_EQ(MouseDown(2), 1);
  EXPECT_EQ(MouseHit(2), 1);
  EXPECT_EQ(MouseHit(2), 0);
  EXPECT_EQ(MouseX(), 640);
  EXPECT_EQ(MouseY(), 480);
  EXPECT_EQ(MouseZ(), -1);
}

TEST_F(InputTest, SuspendFlushesAndTerminateResetsWhenRead) {
  Post(EVENT_KEYDOWN, 9);
  Post(EVENT_MOUSEDOWN, 1);
  Post(EVENT_KEYCHAR, 'x');
  Post(EVENT_APPSUSPEND, 0);
  PollSystem();
  EXPECT_EQ(AppSuspended(), 1);
  EXPECT_EQ(KeyDown(9), 0);
  EXPECT_EQ(KeyHit(9), 0);
  EXPECT_EQ(MouseDown(1), 0);
  EXPECT_EQ(GetChar(), 0);
  Post(EVENT_APPRESUME, 0);
  Post(EVENT_APPTERMINATE, 0);
  PollSystem();
  EXPECT_EQ(AppSuspended(), 0);
  EXPECT_EQ(AppTerminate(), 1);
  EXPECT_EQ(AppTerminate(), 0);
}

TEST_F(InputTest, ScriptPostsEventsWhenTheirFrameIsShown) {
  TScriptedInput script;
  script.KeyUpAt(3, 37).KeyDownAt(1, 37).CloseAt(5);
  AddEventSource(&script);
  PollSystem();
  EXPECT_EQ(KeyDown(37), 0);
  CountFrame();
  PollSystem();
  EXPECT_EQ(KeyDown(37), 1);
  CountFrame();
  CountFrame();
  PollSystem();
  EXPECT_EQ(KeyDown(37), 0);
  EXPECT_FALSE(script.Finished());
  CountFrame();
  CountFrame();
  PollSystem();
  EXPECT_EQ(AppTerminate(), 1);
  EXPECT_TRUE(script.Finished());
  RemoveEventSource(&script);
}

TEST_F(InputTest, WaitKeyReturnsTheFirstHitKey) {
  TScriptedInput script;
  script.KeyDownAt(0, 88).KeyDownAt(0, 66);
  AddEventSource(&script);
  EXPECT_EQ(WaitKey(), 66);  // scanned upward from code 1
  RemoveEventSource(&script);
}

}  // namespace
