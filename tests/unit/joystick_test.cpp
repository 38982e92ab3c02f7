// The joystick reader against recorded and live event streams in a redirected probe folder.
#include "platform/input.h"
#include "platform/joystick.h"
#include "support/fake_joystick.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class JoystickTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetInput(); }
  void TearDown() override { ResetInput(); }
  TFakeJoysticks fake;
};

TEST_F(JoystickTest, NoDevicesMeansNoJoysticksAndNeutralReadings) {
  EXPECT_EQ(JoyCount(), 0);
  EXPECT_EQ(JoyName(0), "");
  EXPECT_EQ(JoyButtonMask(0), 0u);
  EXPECT_EQ(JoyButtonDown(0, 0), 0);
  EXPECT_EQ(JoyAxis(JOY_AXIS_X, 0), 0.0f);
  EXPECT_EQ(JoyHat(0), -1.0f);
  EXPECT_FALSE(JoyConnected(0));
  PollSystem();  // nothing registered, nothing to read
}

TEST_F(JoystickTest, RecordedInitialStateIsReadAtProbe) {
  fake.Recording("input/js0", {
                                  JsButton(0, false, true),
                                  JsButton(1, true, true),
                                  JsButton(2, false, true),
                                  JsAxis(0, 32767, true),
                                  JsAxis(1, -32768, true),  // one past full scale: clamped
                                  JsAxis(2, 0, true),
                                  JsAxis(3, 16384, true),
                                  JsAxis(4, -8192, true),
                                  JsAxis(5, 3277, true),
                                  JsAxis(6, 0, true),
                                  JsAxis(7, 0, true),
                              });
  ASSERT_EQ(JoyCount(), 1);
  EXPECT_TRUE(JoyConnected(0));
  // A plain file answers no joystick ioctl: the name falls back to the device number.
  EXPECT_EQ(JoyName(0), "Joystick 0");
  EXPECT_EQ(JoyButtonMask(0), 0b111u);
  EXPECT_EQ(JoyButtonDown(0, 0), 0);
  EXPECT_EQ(JoyButtonDown(1, 0), 1);
  EXPECT_EQ(JoyButtonDown(2, 0), 0);
  EXPECT_FLOAT_EQ(JoyAxis(JOY_AXIS_X, 0), 1.0f);
  EXPECT_FLOAT_EQ(JoyAxis(JOY_AXIS_Y, 0), -1.0f);
  EXPECT_FLOAT_EQ(JoyAxis(JOY_AXIS_Z, 0), 0.0f);
  // Without an axis map, axes 3, 4, 5 are the usual RX, RY, RZ: U, V and R.
  EXPECT_NEAR(JoyAxis(JOY_AXIS_U, 0), 0.5f, 1e-4);
  EXPECT_NEAR(JoyAxis(JOY_AXIS_V, 0), -0.25f, 1e-4);
  EXPECT_NEAR(JoyAxis(JOY_AXIS_R, 0), 0.1f, 1e-4);
  EXPECT_EQ(JoyHat(0), -1.0f);
  // Out-of-range queries stay quiet.
  EXPECT_EQ(JoyAxis(6, 0), 0.0f);
  EXPECT_EQ(JoyAxis(-1, 0), 0.0f);
  EXPECT_EQ(JoyButtonDown(-1, 0), 0);
  EXPECT_EQ(JoyButtonDown(256, 0), 0);
  // A recording has nothing more to give; polling leaves the state alone.
  PollSystem();
  EXPECT_EQ(JoyButtonDown(1, 0), 1);
  EXPECT_FLOAT_EQ(JoyAxis(JOY_AXIS_X, 0), 1.0f);
}

TEST_F(JoystickTest, ProbeFindsPortsInOrderAndPrefersTheInputFolder) {
  fake.Recording("input/js3", {JsButton(0, false, true)});
  fake.Recording("js1", {JsButton(0, false, true), JsButton(1, false, true)});
  fake.Recording("input/js1", {JsButton(0, false, true)});
  fake.Recording("js9", {});  // beyond the eight ports probed
  std::filesystem::create_directories(fake.Root() + "/input/js5");  // a folder is no device
  ASSERT_EQ(JoyCount(), 2);
  EXPECT_EQ(JoyName(0), "Joystick 1");
  EXPECT_EQ(JoyButtonMask(0), 0b1u);  // input/js1, not js1
  EXPECT_EQ(JoyName(1), "Joystick 3");
  EXPECT_EQ(JoyName(2), "");
}

TEST_F(JoystickTest, EightPortsAtMost) {
  for (int n = 0; n < 10; ++n) fake.Recording("input/js" + std::to_string(n), {});
  EXPECT_EQ(JoyCount(), 8);
  EXPECT_EQ(JoyName(7), "Joystick 7");
}

TEST_F(JoystickTest, LiveEventsArriveWhenTheInputLayerPolls) {
  int dev = fake.Live("input/js0");
  fake.Send(dev, {JsButton(0, false, true), JsButton(4, false, true), JsAxis(0, 0, true)});
  ASSERT_EQ(JoyCount(), 1);
  EXPECT_EQ(JoyButtonMask(0), 0b10001u);

  fake.Send(dev, {JsButton(4, true), JsAxis(0, -16384)});
  EXPECT_EQ(JoyButtonDown(4, 0), 0);  // not before the poll
  PollSystem();
  EXPECT_EQ(JoyButtonDown(4, 0), 1);
  EXPECT_NEAR(JoyAxis(JOY_AXIS_X, 0), -0.5f, 1e-4);

  fake.Send(dev, {JsButton(4, false)});
  PollSystem();
  EXPECT_EQ(JoyButtonDown(4, 0), 0);
  PollSystem();  // an empty device is simply not ready
  EXPECT_TRUE(JoyConnected(0));
}

TEST_F(JoystickTest, EventSplitAcrossReadsIsAppliedOnceComplete) {
  int dev = fake.Live("input/js0");
  ASSERT_EQ(JoyCount(), 1);
  TJsRecord press = JsButton(9, true);
  std::string bytes(reinterpret_cast<const char*>(&press), sizeof press);
  fake.SendBytes(dev, bytes.substr(0, 5));
  PollSystem();
  EXPECT_EQ(JoyButtonDown(9, 0), 0);
  fake.SendBytes(dev, bytes.substr(5));
  PollSystem();
  EXPECT_EQ(JoyButtonDown(9, 0), 1);
  EXPECT_EQ(JoyButtonMask(0), 1u << 9);
}

TEST_F(JoystickTest, HatFromItsTwoAxes) {
  int dev = fake.Live("input/js0");
  ASSERT_EQ(JoyCount(), 1);
  struct Case {
    int x, y;
    float turn;
  };
  const Case cases[] = {
      {0, -32767, 0.0f},      {32767, -32767, 0.125f}, {32767, 0, 0.25f},
      {32767, 32767, 0.375f}, {0, 32767, 0.5f},        {-32767, 32767, 0.625f},
      {-32767, 0, 0.75f},     {-32767, -32767, 0.875f}, {0, 0, -1.0f},
      {100, -200, -1.0f},  // drift near the centre is still centred
  };
  for (const Case& c : cases) {
    fake.Send(dev, {JsAxis(6, c.x), JsAxis(7, c.y)});
    PollSystem();
    EXPECT_EQ(JoyHat(0), c.turn) << "hat x " << c.x << " y " << c.y;
  }
}

TEST_F(JoystickTest, JunkRecordsAreIgnored) {
  fake.Recording("input/js0", {
                                  JsAxis(200, 32767, true),  // no such axis
                                  JsAxis(9, 32767, true),    // beyond the usual eight
                                  {0, 1, 0x40, 0},           // unknown event type
                                  JsButton(255, true),       // beyond the mask, still held
                                  JsAxis(1, 16384),
                              });
  ASSERT_EQ(JoyCount(), 1);
  EXPECT_EQ(JoyAxis(JOY_AXIS_X, 0), 0.0f);
  EXPECT_NEAR(JoyAxis(JOY_AXIS_Y, 0), 0.5f, 1e-4);
  EXPECT_EQ(JoyHat(0), -1.0f);
  EXPECT_EQ(JoyButtonMask(0), 0u);
  EXPECT_EQ(JoyButtonDown(0, 0), 0);
  EXPECT_EQ(JoyButtonDown(255, 0), 1);
}

TEST_F(JoystickTest, DeviceThatFailsToReadIsDisconnectedQuietly) {
  // Reading the start of a process's own memory file fails, as a vanished device does.
  std::filesystem::create_directories(fake.Root() + "/input");
  std::filesystem::create_symlink("/proc/self/mem", fake.Root() + "/input/js0");
  fake.Recording("input/js1", {JsButton(0, true, true)});
  ASSERT_EQ(JoyCount(), 2);
  EXPECT_FALSE(JoyConnected(0));
  EXPECT_EQ(JoyHat(0), -1.0f);
  EXPECT_EQ(JoyButtonDown(0, 0), 0);
  EXPECT_TRUE(JoyConnected(1));
  PollSystem();
  EXPECT_FALSE(JoyConnected(0));
  EXPECT_EQ(JoyButtonDown(0, 1), 1);
}

// What the driver says of each device: a pad's button codes and its vendor from sysfs are kept,
// an answered axis map places the axes, a device without answers (an old kernel) has no codes,
// and one with no button of a game controller's takes no port, now or when looked for again.
TEST_F(JoystickTest, TheDriversMapsAndTheVendorAreKeptAndNoControllerTakesAPort) {
  fake.Answers(0, AccelerometerAnswers());
  fake.Recording("input/js0", {JsAxis(0, 100, true), JsAxis(1, -40, true), JsAxis(2, 16000, true)});
  fake.Answers(1, SonyPadAnswers());
  fake.Vendor(1, "054c");
  const int sony = fake.Live("input/js1");
  fake.Recording("input/js2", {JsButton(0, false, true)});
  TJoyDriverAnswers hatFirst = StandardPadAnswers("Hat First");
  hatFirst.axis_map = {0x10, 0x11, 0x00, 0x01};  // ABS_HAT0X, ABS_HAT0Y, ABS_X, ABS_Y
  fake.Answers(3, hatFirst);
  fake.Vendor(3, "junk");
  const int hats = fake.Live("input/js3");

  ASSERT_EQ(JoyCount(), 3);
  EXPECT_EQ(JoyName(0), "Sony Interactive Entertainment Wireless Controller");
  EXPECT_EQ(JoyVendor(0), 0x054c);
  EXPECT_EQ(JoyButtonMask(0), (1u << 13) - 1);
  EXPECT_EQ(JoyButtonCode(0, 0), PAD_SOUTH);
  EXPECT_EQ(JoyButtonCode(3, 0), PAD_WEST);
  EXPECT_EQ(JoyButtonCode(9, 0), PAD_START);
  EXPECT_EQ(JoyButtonCode(13, 0), -1);
  EXPECT_EQ(JoyName(1), "Joystick 2");
  EXPECT_EQ(JoyButtonCode(0, 1), -1);
  EXPECT_EQ(JoyVendor(1), 0);
  EXPECT_EQ(JoyVendor(2), 0);  // not a hexadecimal number

  fake.Send(hats, {JsAxis(0, -32767), JsAxis(2, 16384)});
  fake.Send(sony, {JsButton(9, true)});
  for (int i = 0; i < 31; ++i) PollSystem();  // a rescan on the way
  EXPECT_EQ(JoyCount(), 3);
  EXPECT_EQ(JoyHat(2), 0.75f);
  EXPECT_NEAR(JoyAxis(JOY_AXIS_X, 2), 0.5f, 1e-4);
  EXPECT_EQ(JoyButtonDown(9, 0), 1);
}

TEST_F(JoystickTest, ResetProbesAgain) {
  ASSERT_EQ(JoyCount(), 0);
  fake.Recording("input/js0", {});
  EXPECT_EQ(JoyCount(), 0);  // found only at the first query
  ResetJoysticks();
  EXPECT_EQ(JoyCount(), 1);
}

}  // namespace
