// A whole game of the built-in levels played by the rules alone: a careful player who looks ahead
// on copies of the state, skips a level it cannot pass and takes a pause now and then. Its input
// is recorded; played again from the start it must reach every level end in the same state, and
// it must do so in every build: the sanitizer build (and the clang build of the test command)
// play the input the plain build recorded and compare the states at every level end.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "careful_player.h"

namespace {

// One character a frame (the four inputs as bits), then one hash a line.
std::string Written(const TPlayedGame& t) {
  std::string text;
  for (const TFrameInput& i : t.inputs)
    text += char('a' + (i.left ? 1 : 0) + (i.jump ? 2 : 0) + (i.skip ? 4 : 0) + (i.pauseEnded ? 8 : 0));
  text += "\n";
  for (uint64_t h : t.levelEnds) {
    char line[24];
    std::snprintf(line, sizeof line, "%016llx\n", static_cast<unsigned long long>(h));
    text += line;
  }
  return text;
}

bool Read(const std::string& path, TPlayedGame& t) {
  std::ifstream in(path);
  std::string inputs;
  if (!std::getline(in, inputs)) return false;
  for (char c : inputs) {
    const int bits = c - 'a';
    t.inputs.push_back({(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0, (bits & 8) != 0});
  }
  for (std::string line; std::getline(in, line);) t.levelEnds.push_back(std::stoull(line, nullptr, 16));
  return true;
}

TEST(WholeGame, ARecordedInputReachesTheSameStatesInEveryBuild) {
  const TLevelSet levels = BuiltInLevels();
  ASSERT_FALSE(levels.Text(1).empty());
  const TPlayedGame played = PlayCarefully(levels, 60000);
  // Far into the game, with deaths, skips and pauses on the way.
  EXPECT_GT(played.end.LevelNumber, 40);
  EXPECT_GT(played.levelEnds.size(), 40u);
  const TPlayedGame again = Replay(levels, played.inputs);
  EXPECT_EQ(again.levelEnds, played.levelEnds);
  std::ofstream(RULES_TRACE_OUT) << Written(played);

  const std::string reference = RULES_REFERENCE_TRACE;
  if (reference.empty()) return;
  TPlayedGame recorded;
  ASSERT_TRUE(Read(reference, recorded)) << reference << " (run the plain build's tests first)";
  const TPlayedGame here = Replay(levels, recorded.inputs);
  ASSERT_EQ(here.levelEnds.size(), recorded.levelEnds.size());
  for (size_t i = 0; i < here.levelEnds.size(); ++i)
    ASSERT_EQ(here.levelEnds[i], recorded.levelEnds[i]) << "level end " << i + 1 << " differs from " << reference;
}

}  // namespace
