// Controls: key names, held tests and the input scan, with joysticks faked through the probe
// folder so the whole path from device events to control codes is exercised.
#include "platform/input.h"
#include "platform/joystick.h"
#include "support/fake_joystick.h"
#include "ui/controls.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <cstdio>

namespace {

constexpr int kFull = 32767;

int Raw(float v) { return int(v * kFull); }

void Key(int id, int key) {
  PostEvent({id, key, 0, 0});
  PollSystem();
}

// Every button 0..buttons-1 released and every axis at the given raw value, as a device
// reports itself when opened.
std::vector<TJsRecord> InitialState(int buttons, std::vector<int> axes) {
  std::vector<TJsRecord> out;
  for (int b = 0; b < buttons; ++b) out.push_back(JsButton(b, false, true));
  for (size_t a = 0; a < axes.size(); ++a) out.push_back(JsAxis(int(a), axes[a], true));
  return out;
}

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetInput();
    SetDefaultControls();
  }
  void TearDown() override { ResetInput(); }

  // One live joystick at rest (hat centred), set up as at start-up.
  int OneJoystick(int buttons = 12) {
    int dev = fake.Live("input/js0");
    fake.Send(dev, InitialState(buttons, {0, 0, 0, 0, 0, 0, 0, 0}));
    SetUpJoysticks();
    return dev;
  }
  void Send(int dev, std::vector<TJsRecord> records) {
    fake.Send(dev, records);
    PollSystem();
  }

  TFakeJoysticks fake;
};

TEST(KeyNameTest, NamedKeys) {
  EXPECT_EQ(KeyName(0), "Pause");
  EXPECT_EQ(KeyName(1), "Left Mousebutton");
  EXPECT_EQ(KeyName(3), "Middle Mousebutton");
  EXPECT_EQ(KeyName(8), "Backspace");
  EXPECT_EQ(KeyName(12), "Clear");
  EXPECT_EQ(KeyName(13), "Return");
  EXPECT_EQ(KeyName(19), "Pause");
  EXPECT_EQ(KeyName(20), "CapsLock");
  EXPECT_EQ(KeyName(27), "Escape");
  EXPECT_EQ(KeyName(32), "Space");
  EXPECT_EQ(KeyName(33), "Page Up");
  EXPECT_EQ(KeyName(36), "Home");
  EXPECT_EQ(KeyName(37), "Left");
  EXPECT_EQ(KeyName(40), "Down");
  EXPECT_EQ(KeyName(41), "Select");
  EXPECT_EQ(KeyName(46), "Delete");
  EXPECT_EQ(KeyName(48), "0");
  EXPECT_EQ(KeyName(57), "9");
  EXPECT_EQ(KeyName(65), "A");
  EXPECT_EQ(KeyName(90), "Z");
  EXPECT_EQ(KeyName(91), "Sys Left");
  EXPECT_EQ(KeyName(92), "Sys Right");
  EXPECT_EQ(KeyName(96), "0");
  EXPECT_EQ(KeyName(100), "4");
  EXPECT_EQ(KeyName(105), "9");
  EXPECT_EQ(KeyName(106), "*");
  EXPECT_EQ(KeyName(107), "+");
  EXPECT_EQ(KeyName(109), "-");
  EXPECT_EQ(KeyName(111), "/");
  EXPECT_EQ(KeyName(112), "F1");
  EXPECT_EQ(KeyName(123), "F12");
  EXPECT_EQ(KeyName(144), "NumLock");
  EXPECT_EQ(KeyName(145), "ScrollLock");
  EXPECT_EQ(KeyName(160), "LShift");
  EXPECT_EQ(KeyName(165), "RAlt");
  EXPECT_EQ(KeyName(173), "Mute");
  EXPECT_EQ(KeyName(175), "Volume Up");
  EXPECT_EQ(KeyName(186), ";");
  EXPECT_EQ(KeyName(192), "'");
  EXPECT_EQ(KeyName(219), "[");
  EXPECT_EQ(KeyName(220), "\\");
  EXPECT_EQ(KeyName(223), "`");
  EXPECT_EQ(KeyName(226), "\\");
}

TEST(KeyNameTest, OtherCodesAreNamedAsJoystickInputs) {
  EXPECT_EQ(KeyName(300), "Y-");
  EXPECT_EQ(KeyName(303), "X+");
  EXPECT_EQ(KeyName(311), "R+");
  EXPECT_EQ(KeyName(320), "Up");
  EXPECT_EQ(KeyName(323), "Left");
  EXPECT_EQ(KeyName(325), "Right");
  EXPECT_EQ(KeyName(328), "Down");
  EXPECT_EQ(KeyName(321), "-9");
  EXPECT_EQ(KeyName(330), "0");
  EXPECT_EQ(KeyName(331), "1");
  EXPECT_EQ(KeyName(399), "19");
  // Unlisted keys fall through to the same naming.
  EXPECT_EQ(KeyName(14), "-16");
  EXPECT_EQ(KeyName(108), "V-");
  EXPECT_EQ(KeyName(255), "Z+");
  EXPECT_EQ(KeyName(47), "17");
}

TEST(JoystickThresholdTest, AxisDirectionsLeaveADeadZoneAroundRest) {
  EXPECT_TRUE(AxisDirectionHeld(1, 0.36f, 0.05f));
  EXPECT_FALSE(AxisDirectionHeld(1, 0.34f, 0.05f));
  EXPECT_FALSE(AxisDirectionHeld(0, 0.36f, 0.05f));
  EXPECT_TRUE(AxisDirectionHeld(0, -0.26f, 0.05f));
  EXPECT_FALSE(AxisDirectionHeld(0, -0.24f, 0.05f));
  EXPECT_TRUE(AxisDirectionHeld(11, 0.0f, -0.5f));  // a stick resting off-centre
}

TEST(JoystickThresholdTest, HatDirectionsOverlapAtTheDiagonals) {
  EXPECT_TRUE(HatDirectionHeld(20, 0.9f));
  EXPECT_TRUE(HatDirectionHeld(20, 0.0f));
  EXPECT_TRUE(HatDirectionHeld(20, 0.19f));
  EXPECT_FALSE(HatDirectionHeld(20, 0.2f));
  EXPECT_FALSE(HatDirectionHeld(20, 0.8f));
  EXPECT_TRUE(HatDirectionHeld(20, 0.81f));
  EXPECT_FALSE(HatDirectionHeld(20, -1.0f));
  EXPECT_TRUE(HatDirectionHeld(25, 0.25f));
  EXPECT_FALSE(HatDirectionHeld(25, 0.45f));
  EXPECT_FALSE(HatDirectionHeld(25, 0.1f));
  EXPECT_TRUE(HatDirectionHeld(28, 0.5f));
  EXPECT_FALSE(HatDirectionHeld(28, 0.3f));
  EXPECT_FALSE(HatDirectionHeld(28, 0.7f));
  EXPECT_TRUE(HatDirectionHeld(23, 0.75f));
  EXPECT_FALSE(HatDirectionHeld(23, 0.6f));
  EXPECT_FALSE(HatDirectionHeld(23, 0.9f));
  EXPECT_FALSE(HatDirectionHeld(23, -1.0f));
  // The diagonal up-right belongs to both its directions, not to the others.
  EXPECT_TRUE(HatDirectionHeld(20, 0.125f));
  EXPECT_TRUE(HatDirectionHeld(25, 0.125f));
  EXPECT_FALSE(HatDirectionHeld(23, 0.125f));
  EXPECT_FALSE(HatDirectionHeld(28, 0.125f));
  EXPECT_FALSE(HatDirectionHeld(21, 0.25f));
}

TEST_F(ControlsTest, KeyboardControlsWithDefaultBindings) {
  EXPECT_EQ(PlayerControl(0, 1), 0);
  Key(EVENT_KEYDOWN, 38);
  EXPECT_EQ(PlayerControl(0, 1), 1);
  EXPECT_EQ(PlayerControl(8, 1), 0);
  EXPECT_EQ(PlayerControl(0, 2), 0);  // player 2 starts unbound
  Key(EVENT_KEYUP, 38);
  EXPECT_EQ(PlayerControl(0, 1), 0);
  Key(EVENT_KEYDOWN, 90);
  EXPECT_EQ(PlayerControl(10, 1), 1);
  ControlTable[20] = 90;
  EXPECT_EQ(PlayerControl(0, 2), 1);
  EXPECT_EQ(PlayerControl(0, 6), 0);  // no such player: no slot to read
  EXPECT_EQ(PlayerControl(-5, 1), 0);
}

TEST_F(ControlsTest, CodesThatAreNeverHeld) {
  SetUpJoysticks();
  Key(EVENT_KEYDOWN, 8);
  Key(EVENT_KEYDOWN, 9);
  Key(EVENT_KEYDOWN, 0);
  EXPECT_EQ(ControlDown(8), 0);  // Backspace and Tab are kept for the panel
  EXPECT_EQ(ControlDown(9), 0);
  EXPECT_EQ(ControlDown(0), 0);
  EXPECT_EQ(ControlDown(270), 0);
  EXPECT_EQ(ControlDown(330), 0);  // no joystick
  EXPECT_EQ(ControlDown(-7), 0);
  Key(EVENT_KEYDOWN, 10);
  EXPECT_EQ(ControlDown(10), 1);
}

TEST_F(ControlsTest, SetUpReadsEachJoystickAtRest) {
  for (int n = 0; n < 6; ++n) {
    fake.Recording("input/js" + std::to_string(n),
                   InitialState(n + 1, {Raw(0.1f), Raw(0.2f), Raw(0.3f), Raw(0.4f), Raw(0.5f),
                                        Raw(0.6f), 0, n == 1 ? kFull : 0}));
  }
  SetUpJoysticks();
  ASSERT_EQ(JoyTotal, 4);
  for (int j = 1; j <= 4; ++j) {
    SCOPED_TRACE(j);
    EXPECT_EQ(JoyNames[size_t(j)], "Joystick " + std::to_string(j - 1));
    EXPECT_EQ(JoyButtons[size_t(j)], j);
    EXPECT_EQ(JoyEnabled[size_t(j)], 1);
    EXPECT_EQ(JoyHasHat[size_t(j)], j == 2 ? 0 : 1);  // joystick 2's hat is pushed at start
    // Kept X, Y, Z, U, V, R; the device's axes 3, 4, 5 are U, V, R.
    const float expected[6] = {0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f};
    for (int r = 0; r < 6; ++r) EXPECT_NEAR(JoyRest[size_t(j)][size_t(r)], expected[r], 1e-4);
  }
  EXPECT_EQ(JoyEnabled[0], 0);

  ResetJoysticks();
  fake.Recording("input/js0", {});
  for (int n = 1; n < 6; ++n) std::remove((fake.Root() + "/input/js" + std::to_string(n)).c_str());
  SetUpJoysticks();
  EXPECT_EQ(JoyTotal, 1);
  EXPECT_EQ(JoyButtons[1], 0);
  EXPECT_EQ(JoyEnabled[2], 0);  // tables of joysticks now gone are cleared
  EXPECT_EQ(JoyNames[2], "");
}

TEST_F(ControlsTest, AxisDirectionsAgainstTheRestingPosition) {
  int dev = fake.Live("input/js0");
  fake.Send(dev, InitialState(2, {0, Raw(0.05f), 0, 0, 0, 0, 0, 0}));
  SetUpJoysticks();
  ASSERT_EQ(JoyTotal, 1);
  Send(dev, {JsAxis(1, Raw(0.36f))});
  EXPECT_EQ(ControlDown(301), 1);
  EXPECT_EQ(ControlDown(300), 0);
  Send(dev, {JsAxis(1, Raw(0.34f))});
  EXPECT_EQ(ControlDown(301), 0);
  Send(dev, {JsAxis(1, Raw(-0.26f))});
  EXPECT_EQ(ControlDown(300), 1);
}

TEST_F(ControlsTest, EachAxisDirectionFollowsItsAxis) {
  int dev = OneJoystick();
  // Input k and the device axis that moves it (axes 3, 4, 5 are U, V, R).
  const int device_axis[6] = {1, 0, 2, 3, 4, 5};
  for (int k = 0; k < 12; ++k) {
    SCOPED_TRACE(k);
    int axis = device_axis[k / 2];
    Send(dev, {JsAxis(axis, k % 2 ? kFull : -kFull)});
    EXPECT_EQ(ControlDown(300 + k), 1);
    EXPECT_EQ(ControlDown(300 + (k ^ 1)), 0);
    EXPECT_EQ(ScanControl(), 300 + k);
    Send(dev, {JsAxis(axis, 0)});
    EXPECT_EQ(ControlDown(300 + k), 0);
  }
  EXPECT_EQ(ScanControl(), 0);
}

TEST_F(ControlsTest, HatAndButtons) {
  int dev = OneJoystick(20);
  Send(dev, {JsAxis(6, kFull), JsAxis(7, kFull)});  // down-right
  EXPECT_EQ(ControlDown(325), 1);
  EXPECT_EQ(ControlDown(328), 1);
  EXPECT_EQ(ControlDown(320), 0);
  EXPECT_EQ(ControlDown(323), 0);
  EXPECT_EQ(ScanControl(), 0);  // diagonals do not bind
  Send(dev, {JsAxis(6, 0), JsAxis(7, -kFull)});
  EXPECT_EQ(ControlDown(320), 1);
  EXPECT_EQ(ScanControl(), 320);
  Send(dev, {JsAxis(6, -kFull), JsAxis(7, 0)});
  EXPECT_EQ(ScanControl(), 323);
  Send(dev, {JsAxis(6, kFull)});
  EXPECT_EQ(ScanControl(), 325);
  Send(dev, {JsAxis(6, 0), JsAxis(7, kFull)});
  EXPECT_EQ(ScanControl(), 328);
  Send(dev, {JsAxis(7, 0)});

  Send(dev, {JsButton(3, true)});
  EXPECT_EQ(ControlDown(333), 1);
  EXPECT_EQ(ControlDown(332), 0);
  EXPECT_EQ(ScanControl(), 333);
  Send(dev, {JsButton(3, false), JsButton(19, true)});
  EXPECT_EQ(ControlDown(349), 1);
  EXPECT_EQ(ScanControl(), 0);  // button 19 has no code of its own to bind
  EXPECT_EQ(ControlDown(321), 0);
  EXPECT_EQ(ControlDown(315), 0);
}

TEST_F(ControlsTest, HatPushedAtStartUpIsIgnored) {
  int dev = fake.Live("input/js0");
  fake.Send(dev, InitialState(2, {0, 0, 0, 0, 0, 0, 0, kFull}));
  SetUpJoysticks();
  ASSERT_EQ(JoyHasHat[1], 0);
  EXPECT_EQ(ControlDown(328), 0);
  Send(dev, {JsAxis(7, -kFull)});
  EXPECT_EQ(ControlDown(320), 0);
  EXPECT_EQ(ScanControl(), 0);
}

TEST_F(ControlsTest, DisabledOrMissingJoysticksAreNeverHeld) {
  int dev = OneJoystick();
  Send(dev, {JsButton(0, true)});
  ASSERT_EQ(ControlDown(330), 1);
  EXPECT_EQ(ControlDown(380), 0);  // joystick 2 absent
  EXPECT_EQ(ControlDown(480), 0);  // beyond joystick 4
  JoyEnabled[1] = 0;
  EXPECT_EQ(ControlDown(330), 0);
  EXPECT_EQ(ScanControl(), 0);
}

// A stick whose axis rests off centre, pulled out while pushed: nothing of it reads as held.
TEST_F(ControlsTest, APulledOutJoystickReadsReleased) {
  int dev = fake.Live("input/js0");
  fake.Send(dev, InitialState(4, {0, -kFull, 0, 0, 0, 0, 0, 0}));
  SetUpJoysticks();
  Send(dev, {JsButton(1, true), JsAxis(1, kFull)});
  ASSERT_EQ(ControlDown(331), 1);
  CloseJoystick(0);
  for (int code = 300; code < 350; ++code) EXPECT_EQ(ControlDown(code), 0) << code;
  EXPECT_EQ(ScanControl(), 0);
}

// Joysticks plugged in while the game runs join the list within a second of polls; one pulled
// out reads released, and plugged in again is read anew in its old place, keeping its switch.
TEST_F(ControlsTest, JoysticksPluggedInLaterJoinAndComeBackToTheirPlace) {
  SetUpJoysticks();
  ASSERT_EQ(JoyTotal, 0);
  auto aSecond = [] {
    for (int i = 0; i < 30; ++i) {
      PollSystem();
      FollowJoysticks();
    }
  };
  fake.Recording("input/js2", InitialState(3, {0, kFull, 0, 0, 0, 0, 0, 0}));
  aSecond();
  ASSERT_EQ(JoyTotal, 1);
  EXPECT_EQ(JoyNames[1], "Joystick 2");
  EXPECT_EQ(JoyButtons[1], 3);
  EXPECT_FLOAT_EQ(JoyRest[1][1], 1.0f);
  EXPECT_EQ(JoyEnabled[1], 1);

  JoyEnabled[1] = 0;
  CloseJoystick(0);
  std::filesystem::remove(fake.Root() + "/input/js2");
  aSecond();
  EXPECT_FALSE(JoyConnected(0));
  fake.Recording("input/js2", InitialState(5, {0, 0, 0, 0, 0, 0, 0, 0}));
  fake.Recording("input/js0", InitialState(2, {0, 0, 0, 0, 0, 0, 0, 0}));
  aSecond();
  ASSERT_EQ(JoyTotal, 2);
  EXPECT_TRUE(JoyConnected(0));
  EXPECT_EQ(JoyButtons[1], 5);
  EXPECT_FLOAT_EQ(JoyRest[1][1], 0.0f);
  EXPECT_EQ(JoyEnabled[1], 0);
  EXPECT_EQ(JoyNames[2], "Joystick 0");
  EXPECT_EQ(JoyEnabled[2], 1);
}

TEST_F(ControlsTest, ScanPrefersTheLowestKeyAndStopsForHotKeys) {
  int dev = OneJoystick();
  Send(dev, {JsButton(0, true)});
  EXPECT_EQ(ScanControl(), 330);
  Key(EVENT_KEYDOWN, 90);
  Key(EVENT_KEYDOWN, 65);
  EXPECT_EQ(ScanControl(), 65);
  Key(EVENT_KEYDOWN, 123);
  EXPECT_EQ(ScanControl(), 0);
  Key(EVENT_KEYUP, 123);
  Key(EVENT_KEYDOWN, 122);
  EXPECT_EQ(ScanControl(), 0);
  Key(EVENT_KEYUP, 122);
  Key(EVENT_KEYDOWN, 8);
  EXPECT_EQ(ScanControl(), 8);
}

TEST_F(ControlsTest, ScanGoesOnToTheSecondJoystick) {
  fake.Recording("input/js0", InitialState(4, {0, 0, 0, 0, 0, 0, 0, 0}));
  int dev = fake.Live("input/js1");
  fake.Send(dev, InitialState(4, {0, 0, 0, 0, 0, 0, 0, 0}));
  SetUpJoysticks();
  ASSERT_EQ(JoyTotal, 2);
  Send(dev, {JsButton(2, true), JsAxis(0, kFull)});
  EXPECT_EQ(ScanControl(), 353);  // X+ comes before the buttons
  Send(dev, {JsAxis(0, 0)});
  EXPECT_EQ(ScanControl(), 382);
  EXPECT_EQ(ControlDown(332), 0);
  EXPECT_EQ(ControlDown(382), 1);
}

}  // namespace
