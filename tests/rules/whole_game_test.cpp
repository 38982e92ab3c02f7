// A whole game of the built-in levels played by the rules alone: a careful player who looks ahead
// on copies of the state, skips a level it cannot pass and takes a pause now and then. It is
// recorded as a replay; played again from the start it must reach every level end in the same
// state, and it must do so in every build: the sanitizer build (and the clang build of the test
// command) prove the replay the plain build recorded and compare the states at every level end.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "careful_player.h"
#include "rules/replay.h"

namespace {

// The replay, then a line "hashes" and the state's hash at each level end, one a line.
std::string Written(const TReplay& replay, const TPlayedGame& game) {
  std::string text = ReplayText(replay) + "hashes\n";
  for (uint64_t h : game.levelEnds) {
    char line[24];
    std::snprintf(line, sizeof line, "%016llx\n", static_cast<unsigned long long>(h));
    text += line;
  }
  return text;
}

bool Read(const std::string& path, TReplay& replay, std::vector<uint64_t>& hashes, std::string& why) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  const std::string text = bytes.str();
  const size_t mark = text.find("hashes\n");
  if (!in || mark == std::string::npos) return why = "no trace", false;
  std::istringstream lines(text.substr(mark + 7));
  for (std::string line; std::getline(lines, line);) hashes.push_back(std::stoull(line, nullptr, 16));
  return ParseReplay(text.substr(0, mark), replay, why);
}

TEST(WholeGame, ARecordedGameReachesTheSameStatesInEveryBuild) {
  const TLevelSet levels = BuiltInLevels();
  ASSERT_FALSE(levels.Text(1).empty());
  const TPlayedGame played = PlayCarefully(levels, 60000);
  // Far into the game, with deaths, skips and pauses on the way.
  EXPECT_GT(played.end.LevelNumber, 40);
  EXPECT_GT(played.levelEnds.size(), 40u);
  const TPlayedGame again = Replay(levels, played.inputs);
  EXPECT_EQ(again.levelEnds, played.levelEnds);
  TReplayRecorder recorder;
  recorder.Start(1, 1, 0, LevelSetHash(levels));
  for (const TFrameInput& input : played.inputs) recorder.Frame(input);
  std::ofstream(RULES_TRACE_OUT, std::ios::binary) << Written(recorder.Finish(played.end, 0, "careful"), played);

  const std::string reference = RULES_REFERENCE_TRACE;
  if (reference.empty()) return;
  TReplay recorded;
  std::vector<uint64_t> hashes;
  std::string why;
  ASSERT_TRUE(Read(reference, recorded, hashes, why)) << reference << ": " << why << " (run the plain build's tests first)";
  TReplayResult reached;
  ASSERT_TRUE(PlayReplay(recorded, levels, reached, why)) << why;
  EXPECT_EQ(ResultDifference(recorded.result, reached), "");
  const TPlayedGame here = Replay(levels, recorded.inputs);
  ASSERT_EQ(here.levelEnds.size(), hashes.size());
  for (size_t i = 0; i < hashes.size(); ++i)
    ASSERT_EQ(here.levelEnds[i], hashes[i]) << "level end " << i + 1 << " differs from " << reference;
}

}  // namespace
