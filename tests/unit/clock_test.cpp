// The clocks and the date and time texts.
#include <gtest/gtest.h>

#include "platform/clock.h"
#include "support/text_shape.h"

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
  const std::string date = CurrentDate();
  EXPECT_TRUE(HasShape(date, "99 Aaa 9999")) << date;
  EXPECT_NE(std::string("JanFebMarAprMayJunJulAugSepOctNovDec").find(date.substr(3, 3)), std::string::npos) << date;
  EXPECT_TRUE(HasShape(CurrentTime(), "99:99:99")) << CurrentTime();
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
