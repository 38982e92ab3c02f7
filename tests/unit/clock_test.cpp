// The clocks and the date and time texts.
#include <gtest/gtest.h>

#include <regex>

#include "platform/clock.h"

TEST(Clock, ManualClockMovesOnlyWhenSleptOn) {
  TManualClock clock;
  SetClock(&clock);
  const int start = Millisecs();
  EXPECT_EQ(Millisecs(), start);
  Delay(31);
  EXPECT_EQ(Millisecs(), start + 31);
  Delay(-5);  // a negative wait is no wait
  clock.Advance(1000);
  EXPECT_EQ(Millisecs(), start + 1031);
  SetClock(nullptr);
}

TEST(Clock, RealClockCountsUpFromTheStart) {
  const int before = Millisecs();
  EXPECT_GE(before, 0);
  Delay(5);
  EXPECT_GE(Millisecs(), before + 5);
}

TEST(Clock, DateAndTimeHaveTheirEnglishShapes) {
  EXPECT_TRUE(std::regex_match(CurrentDate(),
                               std::regex("[0-3][0-9] (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) [0-9]{4}")))
      << CurrentDate();
  EXPECT_TRUE(std::regex_match(CurrentTime(), std::regex("[0-2][0-9]:[0-5][0-9]:[0-6][0-9]"))) << CurrentTime();
}

TEST(Clock, TheManualClocksCalendarMovesWithIt) {
  TManualClock clock;
  SetClock(&clock);
  clock.Advance(5500);
  clock.SetLocalTime(2026, 12, 31, 23, 59, 59);
  EXPECT_EQ(CurrentDate() + " " + CurrentTime(), "31 Dec 2026 23:59:59");
  clock.Advance(500);
  EXPECT_EQ(CurrentDate() + " " + CurrentTime(), "01 Jan 2027 00:00:00");
  SetClock(nullptr);
}
