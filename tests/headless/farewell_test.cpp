// The farewell's waits, run in a child on the manual clock: an exit hook writes the time the
// process ended, so the parent can tell which input ended it.
#include <gtest/gtest.h>

#include <fstream>

#include "framework/farewell.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/input.h"
#include "support/headless_game.h"

namespace {

const int kEscape = 27, kSpace = 32;

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
      .AtTime(0, {EVENT_KEYDOWN, kEscape, 0, 0})
      .AtTime(500, {EVENT_KEYUP, kEscape, 0, 0})
      .AtTime(5000, {EVENT_KEYDOWN, kSpace, 0, 0});
  const int ended = FarewellEndsAt(game);
  EXPECT_GE(ended, 5000);
  EXPECT_LT(ended, 5050);
  EXPECT_FALSE(game.ReadFile("Files/Setup.ini").empty());
}

TEST(Farewell, AKeyHeldPastTheReleaseWaitEndsItAtOnce) {
  THeadlessGame game;
  game.script().AtTime(0, {EVENT_KEYDOWN, kSpace, 0, 0});
  const int ended = FarewellEndsAt(game);
  EXPECT_GE(ended, 120 * 16);  // the whole release wait
  EXPECT_LT(ended, 120 * 16 + 50);
}

TEST(Farewell, ClosingTheWindowWhileItWaitsEndsIt) {
  THeadlessGame game;
  game.script().AtTime(3000, {EVENT_APPTERMINATE, 0, 0, 0});
  const int ended = FarewellEndsAt(game);
  EXPECT_GE(ended, 3000);
  EXPECT_LT(ended, 3050);
}

}  // namespace
