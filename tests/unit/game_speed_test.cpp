// The game speeds' flags against the online tables: every speed's record is one the server takes,
// and no two tables of any mode, start world and speed share a number.
#include <gtest/gtest.h>

#include <set>

#include "base/game_speed.h"
#include "protocol/online_requests.h"
#include "protocol/score_line.h"

namespace {

TEST(GameSpeedTest, EveryTableHasANumberOfItsOwnAndTheServerTakesEverySpeed) {
  std::set<int64_t> numbers;
  for (int speed = 0; speed < kGameSpeeds; ++speed) {
    const int flags = GameSpeedFlags(speed);
    EXPECT_EQ(GameSpeedOfFlags(flags), speed);
    TRecordFields r;
    r.Name = "Ewe";
    r.Level = 7;
    r.GameMode = 1;
    r.GameFlags = flags;
    TRecordFields read;
    EXPECT_TRUE(ParseSubmission(RecordLine(r, SubmitMark), read)) << flags;
    for (int mode = 0; mode <= 1; ++mode)
      for (int world = 1; world <= 20; ++world) numbers.insert(TableNumber(mode, world, flags));
  }
  EXPECT_EQ(numbers.size(), size_t(kGameSpeeds * 2 * 20));
  // A record of unknown flags (a later version's, or an edited file) paces as full speed.
  EXPECT_EQ(GameFrameRate(1), kFullFrameRate);
  EXPECT_EQ(GameFrameRate(8), kFullFrameRate);
}

}  // namespace
