// The standard layer and the printed names, with pads faked through the probe folder and the
// driver's answers the tests give: a standard pad, a Sony pad, a pad with no map.
#include "platform/input.h"
#include "platform/joystick.h"
#include "support/fake_joystick.h"
#include "ui/controls.h"
#include "ui/pad_layout.h"

#include <gtest/gtest.h>

namespace {

constexpr int kFull = 32767;

class PadLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetInput();
    SetDefaultControls();
  }
  void TearDown() override { ResetInput(); }

  // A live pad at device n, at rest, with the given answers (none for a pad without a map).
  int Pad(int n, const TJoyDriverAnswers* answers, int buttons) {
    if (answers) fake.Answers(n, *answers);
    return fake.PlugInAtRest(n, buttons);
  }
  void Send(int dev, std::vector<TJsRecord> records) {
    fake.Send(dev, records);
    PollSystem();
  }

  TFakeJoysticks fake;
};

// Every control of player 1 from its place on a standard pad, and nothing of player 2; Start is
// the layer's own. The stick needs more than a bound axis's 0.3 to count.
TEST_F(PadLayoutTest, AStandardPadPlaysItsPlayerByPosition) {
  const TJoyDriverAnswers standard = StandardPadAnswers();
  const int dev = Pad(0, &standard, 11);
  SetUpJoysticks();
  ASSERT_TRUE(PadLayerOn(1));
  EXPECT_EQ(FirstLayeredPad(), 1);
  struct TCase {
    const char* what;
    TJsRecord press, release;
    int control;
  } cases[] = {
      {"south", JsButton(0, true), JsButton(0, false), 10},
      {"east", JsButton(1, true), JsButton(1, false), 11},
      {"west (button 3)", JsButton(3, true), JsButton(3, false), 12},
      {"north (button 2)", JsButton(2, true), JsButton(2, false), 13},
      {"stick left", JsAxis(0, -kFull * 6 / 10), JsAxis(0, 0), 3},
      {"stick right", JsAxis(0, kFull), JsAxis(0, 0), 5},
      {"stick up", JsAxis(1, -kFull), JsAxis(1, 0), 0},
      {"hat down", JsAxis(7, kFull), JsAxis(7, 0), 8},
      {"hat left", JsAxis(6, -kFull), JsAxis(6, 0), 3},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    Send(dev, {c.press});
    for (int control : {0, 3, 5, 8, 10, 11, 12, 13}) EXPECT_EQ(PlayerControl(control, 1), control == c.control) << control;
    EXPECT_EQ(PlayerControl(c.control, 2), 0);
    EXPECT_FALSE(PadStartHeld());
    Send(dev, {c.release});
    EXPECT_EQ(PlayerControl(c.control, 1), 0);
  }
  Send(dev, {JsAxis(0, -kFull * 4 / 10)});
  EXPECT_EQ(PlayerControl(3, 1), 0);
  EXPECT_EQ(ControlDown(302), 1);  // the same push bound would hold
  Send(dev, {JsAxis(0, 0), JsButton(7, true)});
  EXPECT_TRUE(PadStartHeld());
  JoyEnabled[1] = 0;  // switched off on the panel
  EXPECT_FALSE(PadStartHeld());
  EXPECT_FALSE(PadLayerOn(1));
}

// Binding any input of the pad, to any player's slot, hands the whole pad to the bindings; a key
// or another pad's input does not; unbinding gives the pad back to the layer.
TEST_F(PadLayoutTest, BindingAnyOfItsInputsHandsThePadToTheBindings) {
  const TJoyDriverAnswers standard = StandardPadAnswers();
  const int first = Pad(0, &standard, 11);
  Pad(1, &standard, 11);
  SetUpJoysticks();
  Send(first, {JsButton(0, true)});
  ASSERT_EQ(PlayerControl(10, 1), 1);
  ControlTable[75] = 'Q';
  ControlTable[43] = 380;  // pad 2's south, for player 3's left
  EXPECT_EQ(PlayerControl(10, 1), 1);
  EXPECT_FALSE(PadLayerOn(2));
  ControlTable[53] = 331;  // pad 1's east, for player 3's right
  EXPECT_FALSE(PadLayerOn(1));
  EXPECT_EQ(PlayerControl(10, 1), 0);
  EXPECT_EQ(PlayerControl(13, 3), 0);
  ControlTable[53] = 0;
  EXPECT_EQ(PlayerControl(10, 1), 1);
  EXPECT_EQ(FirstLayeredPad(), 1);
}

// A pad whose driver gives no button map (an old kernel) has no layout: no layer, no printed
// names, so it waits for the panel as before.
TEST_F(PadLayoutTest, APadWithoutAMapStaysWithTheBindings) {
  const int dev = Pad(0, nullptr, 11);
  SetUpJoysticks();
  ASSERT_EQ(JoyTotal, 1);
  Send(dev, {JsButton(0, true), JsButton(7, true), JsAxis(0, -kFull)});
  EXPECT_FALSE(PadLayoutKnown(1));
  EXPECT_FALSE(PadLayerOn(1));
  EXPECT_EQ(PlayerControl(10, 1), 0);
  EXPECT_EQ(PlayerControl(3, 1), 0);
  EXPECT_FALSE(PadStartHeld());
  EXPECT_EQ(FirstLayeredPad(), 0);
  EXPECT_EQ(PrintedInputName(330), "");
  EXPECT_EQ(KeyName(330), "0");
}

// The names printed on the pad by position, whatever the button numbers; Sony's on a Sony pad
// (vendor 054c), whose Start sits at another number.
TEST_F(PadLayoutTest, NamesAsPrintedOnThePad) {
  const TJoyDriverAnswers standard = StandardPadAnswers(), sony = SonyPadAnswers();
  Pad(0, &standard, 11);
  fake.Vendor(1, "054c");
  const int ds = Pad(1, &sony, 13);
  Pad(2, nullptr, 11);
  SetUpJoysticks();
  ASSERT_EQ(JoyTotal, 3);
  // By the code each button sends, not its number (button 2 is the top one on both pads); by the
  // vendor for Sony's words; sticks and the hat by position; nothing for what has no print.
  const std::pair<int, const char*> names[] = {
      {330, "A"},        {332, "Y"},        {337, "Start"},        {341, ""},
      {380, "Cross"},    {382, "Triangle"}, {389, "Options"},      {323, "D-pad Left"},
      {302, "L-stick Left"}, {359, "R-stick Down"}, {305, ""},     {430, ""},
  };
  for (const auto& [code, name] : names) EXPECT_EQ(PrintedInputName(code), name) << code;
  EXPECT_EQ(PrintedSouthName(2), "Cross");
  Send(ds, {JsButton(7, true)});  // R2 on this pad
  EXPECT_FALSE(PadStartHeld());
  Send(ds, {JsButton(9, true)});
  EXPECT_TRUE(PadStartHeld());
}

}  // namespace
