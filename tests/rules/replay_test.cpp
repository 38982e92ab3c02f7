// Replays: a recorded game read back from its text exactly, proven by playing it again, and not
// proven when one frame's input or the claimed result was changed, or on other levels; damaged
// texts are refused with a reason.
#include <gtest/gtest.h>

#include <string>

#include "careful_player.h"
#include "rules/replay.h"

namespace {

TReplay Recorded(const TLevelSet& levels, int frames) {
  const TPlayedGame game = PlayCarefully(levels, frames);
  TReplayRecorder recorder;
  recorder.Start(1, 1, 0, LevelSetHash(levels));
  for (const TFrameInput& input : game.inputs) recorder.Frame(input);
  return recorder.Finish(game.end, 1234567, "Ram of the hill");
}

TEST(Replay, ARecordedGameReadsBackAndIsProven) {
  const TLevelSet levels = BuiltInLevels();
  const TReplay replay = Recorded(levels, 4000);
  const std::string text = ReplayText(replay);
  EXPECT_LT(text.size(), 4000u);  // runs of one input: a few letters a second of play
  TReplay read;
  std::string why;
  ASSERT_TRUE(ParseReplay(text, read, why)) << why;
  EXPECT_EQ(ReplayText(read), text);
  EXPECT_EQ(read.name, replay.name);
  EXPECT_EQ(read.inputs.size(), replay.inputs.size());
  TReplayResult reached;
  ASSERT_TRUE(PlayReplay(read, levels, reached, why)) << why;
  EXPECT_EQ(reached, replay.result);
  EXPECT_EQ(ResultDifference(replay.result, reached), "");
  EXPECT_GT(reached.score, 0);
}

TEST(Replay, ChangedInputsClaimsOrLevelsAreNotProven) {
  const TLevelSet levels = BuiltInLevels();
  const TReplay replay = Recorded(levels, 2000);
  std::string why;
  TReplayResult reached;

  // The skip key held on one frame of the first level: it ends unpaid. (A frame's Left let go
  // may change nothing: the countdown during the payment can even out a frame's bonus.)
  TReplay skipped = replay;
  skipped.inputs[10].skip = true;
  ASSERT_TRUE(PlayReplay(skipped, levels, reached, why));
  EXPECT_LT(reached.score, replay.result.score);
  EXPECT_NE(ResultDifference(skipped.result, reached), "");

  TReplay raised = replay;
  raised.result.score += 1;
  ASSERT_TRUE(PlayReplay(raised, levels, reached, why));
  EXPECT_EQ(ResultDifference(raised.result, reached),
            "score " + std::to_string(replay.result.score) + " where it claims " + std::to_string(raised.result.score));

  TLevelSet other = levels;
  other.texts[37] = "1340";
  EXPECT_FALSE(PlayReplay(replay, other, reached, why));
  EXPECT_EQ(why, "of another level set");

  TReplay newer = replay;
  newer.rules = kRulesVersion + 1;
  EXPECT_FALSE(PlayReplay(newer, levels, reached, why));
  EXPECT_NE(why.find("rules version"), std::string::npos);
}

TEST(Replay, DamagedTextsAreRefusedWithTheirReason) {
  const std::string good = ReplayText(Recorded(BuiltInLevels(), 300));
  auto replaced = [&good](const std::string& from, const std::string& to) {
    std::string text = good;
    text.replace(text.find(from), from.size(), to);
    return text;
  };
  const struct {
    std::string text;
    const char* why;
  } cases[] = {
      {"", "not a replay"},
      {"Lambrisk replay 2\r\n", "a replay of another format (2)"},
      {good.substr(0, good.size() - 5), "cut short"},
      {replaced("inputs\r\n", "inputs\r\nz9\r\n"), "a damaged input line"},
      {replaced("inputs\r\n", "inputs\r\nb1\r\n"), "a damaged input line"},  // a count of 1 is never written
      {replaced("inputs\r\n", "inputs\r\nb99999999\r\n"), "longer than a replay can be"},
      {replaced("start world 1", "start world 21"), "no start"},
      {replaced("result score", "result points"), "no result"},
      {good + "more\r\n", "lines after its end"},
      {std::string(kReplayMostBytes + 1, 'a'), "larger than a replay can be"},
  };
  for (const auto& c : cases) {
    TReplay r;
    std::string why;
    EXPECT_FALSE(ParseReplay(c.text, r, why)) << c.why;
    EXPECT_EQ(why, c.why);
  }
}

}  // namespace
