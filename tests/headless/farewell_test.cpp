// The farewell's waits, run in a child on the manual clock: an exit hook writes the time the
// process ended, so the parent can tell which input ended it.
#include <gtest/gtest.h>

#include <csignal>
#include <fstream>

#include "framework/display_modes.h"
#include "frontend/farewell.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/key_codes.h"
#include "platform/quit_signals.h"
#include "support/headless_game.h"

namespace {


void WriteExitTime() { std::ofstream("exit_ms") << Millisecs(); }

// Runs the farewell in a child; returns the clock's time when the process ended (-1 on failure).
int FarewellEndsAt(THeadlessGame& game) {
  const int code = RunInChild([] {
    AddExitHook(WriteExitTime);
    Farewell();
  });
  EXPECT_EQ(code, 0);
  const std::string ms = game.ReadFile("Files/003/exit_ms");
  return ms.empty() ? -1 : std::stoi(ms);
}

TEST(Farewell, WaitsForANewKeyOnceTheQuittingKeyIsLetGo) {
  THeadlessGame game;
  game.script()
      .AtTime(0, {EVENT_KEYDOWN, VK_ESCAPE, 0, 0})
      .AtTime(500, {EVENT_KEYUP, VK_ESCAPE, 0, 0})
      .AtTime(5000, {EVENT_KEYDOWN, VK_SPACE, 0, 0});
  const int ended = FarewellEndsAt(game);
  EXPECT_GE(ended, 5000);
  EXPECT_LT(ended, 5050);
  EXPECT_FALSE(game.ReadFile("Files/Setup.ini").empty());
}

TEST(Farewell, AKeyHeldPastTheReleaseWaitEndsItAtOnce) {
  THeadlessGame game;
  game.script().AtTime(0, {EVENT_KEYDOWN, VK_SPACE, 0, 0});
  const int ended = FarewellEndsAt(game);
  EXPECT_GE(ended, 120 * 16);  // the whole release wait
  EXPECT_LT(ended, 120 * 16 + 50);
}

// Closing the window ends the wait for a key, and a close made while a key from quitting is
// still held is not lost: the program ends then, not at the next key.
TEST(Farewell, ClosingTheWindowWhileItWaitsEndsIt) {
  for (int held : {0, 1}) {
    THeadlessGame game;
    if (held) game.script().AtTime(0, {EVENT_KEYDOWN, VK_ESCAPE, 0, 0});
    game.script().AtTime(held ? 500 : 3000, {EVENT_APPTERMINATE, 0, 0, 0});
    const int ended = FarewellEndsAt(game);
    EXPECT_GE(ended, held ? 500 : 3000) << held;
    EXPECT_LT(ended, held ? 550 : 3050) << held;
  }
}

// Interrupted by a signal in the middle of a game, the program saves, logs its goodbye and ends
// with 0 at the next frame's end, without waiting for a key nobody will press.
TEST(Farewell, ATerminateSignalClosesInAnOrderlyWayWithinAFrame) {
  THeadlessGame game;
  const int code = RunInChild([&game] {
    AddExitHook(WriteExitTime);
    InstallQuitSignals();
    std::raise(SIGTERM);
    for (;;) game.Frame();
  });
  EXPECT_EQ(code, 0);
  EXPECT_LT(std::stoi(game.ReadFile("Files/003/exit_ms")), 100);
  EXPECT_FALSE(game.ReadFile("Files/Setup.ini").empty());
  const std::string log = game.Log();
  const std::string last = "Play again, soon!!\r\n";
  ASSERT_GE(log.size(), last.size());
  EXPECT_EQ(log.substr(log.size() - last.size()), last);
}

// Alt+F4 held while the display step runs its engine test leaves through the farewell, which
// removes the guard file: an orderly exit must not look like a crash at the next start.
TEST(Farewell, LeavingDuringTheDisplayStepLeavesNoGuardFile) {
  THeadlessGame game;
  game.script().AtTime(0, {EVENT_KEYDOWN, VK_LEFT_ALT, 0, 0}).AtTime(0, {EVENT_KEYDOWN, VK_F4, 0, 0});
  EXPECT_EQ(RunInChild([] { ApplyDisplayMode(); }), 0);
  EXPECT_NE(game.Log().find("Starting Engine Test"), std::string::npos);
  EXPECT_NE(game.Log().find("Play again, soon!!"), std::string::npos);
  EXPECT_EQ(FileType(game.Root() + "/Files/003/crash.dat"), FILETYPE_NONE);
}

}  // namespace
