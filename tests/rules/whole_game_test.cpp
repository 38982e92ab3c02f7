// A whole game of the built-in levels played by the rules alone: a careful player who looks ahead
// on copies of the state, skips a level it cannot pass and takes a pause now and then. Its input
// is recorded; played again from the start it must reach every level end in the same state, and
// it must do so in every build: the sanitizer build (and the clang build of the test command)
// play the input the plain build recorded and compare the states at every level end.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "rules/game_rules.h"
#include "rules/level_set.h"
#include "rules/state_hash.h"

namespace {

struct TTrace {
  std::vector<TFrameInput> inputs;   // one a frame
  std::vector<uint64_t> levelEnds;   // the state's hash at every level end, and at the game's end
  int lastLevel = 0;
};

TLevelSet BuiltInLevels() {
  std::ifstream in(std::string(LAMBRISK_SOURCE_DIR) + "/data/levels/Lambrisk.txt", std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return LevelSetOf(SplitLevelLines(bytes.str()));
}

// One frame as a game plays it: the step, then the next level set up when the last one is over.
void Frame(TRulesState& s, const TLevelSet& levels, const TFrameInput& input, TFrameEvents& events, TTrace& trace) {
  StepFrame(s, input, events);
  if (s.ReloadFlag) {
    SetupLevel(s, levels.Text(s.LevelNumber));
    s.ReloadFlag = false;
  }
  if (events.levelDone || events.gameEnded) trace.levelEnds.push_back(StateHash(s));
  trace.lastLevel = s.LevelNumber;
}

// Whether holding input for frames frames from s is survived.
bool Survives(TRulesState s, const TLevelSet& levels, const TFrameInput& input, int frames) {
  TFrameEvents events;
  events.wantPicture = false;
  TTrace ignored;
  for (int i = 0; i < frames && s.EndReason == END_RUNNING; ++i) {
    Frame(s, levels, input, events, ignored);
    if (s.DeathTimer > 0) return false;
  }
  return true;
}

TTrace PlayCarefully(const TLevelSet& levels) {
  TTrace trace;
  TRulesState s;
  StartGame(s, 1, 1, 1, levels.Text(1));
  TFrameEvents events;
  events.wantPicture = false;
  TFrameInput input;
  int onLevel = 0, level = s.LevelNumber;
  for (int frame = 0; frame < 60000 && s.EndReason == END_RUNNING; ++frame) {
    if (s.LevelNumber != level) level = s.LevelNumber, onLevel = 0;
    if (frame % 3 == 0) {
      // A level's first try walks on blindly where its number is a multiple of 4: deaths too.
      const bool blind = level % 4 == 0 && s.Lives >= 3;
      const TFrameInput choices[] = {{true, false, false, false}, {false, false, false, false},
                                     {true, true, false, false}, {false, true, false, false}};
      input = choices[0];
      for (const TFrameInput& c : choices)
        if (blind || Survives(s, levels, c, 12)) {
          input = c;
          break;
        }
      // A level that takes too long is skipped.
      input.skip = ++onLevel > 300;
    }
    TFrameInput now = input;
    now.pauseEnded = frame % 700 == 699;
    trace.inputs.push_back(now);
    Frame(s, levels, now, events, trace);
  }
  return trace;
}

TTrace Replay(const TLevelSet& levels, const std::vector<TFrameInput>& inputs) {
  TTrace trace;
  TRulesState s;
  StartGame(s, 1, 1, 1, levels.Text(1));
  TFrameEvents events;
  for (const TFrameInput& input : inputs) {
    trace.inputs.push_back(input);
    Frame(s, levels, input, events, trace);
  }
  return trace;
}

// One character a frame (the four inputs as bits), then one hash a line.
std::string Written(const TTrace& t) {
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

bool Read(const std::string& path, TTrace& t) {
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
  const TTrace played = PlayCarefully(levels);
  // Far into the game, with deaths, skips and pauses on the way.
  EXPECT_GT(played.lastLevel, 40);
  EXPECT_GT(played.levelEnds.size(), 40u);
  const TTrace again = Replay(levels, played.inputs);
  EXPECT_EQ(again.levelEnds, played.levelEnds);
  std::ofstream(RULES_TRACE_OUT) << Written(played);

  const std::string reference = RULES_REFERENCE_TRACE;
  if (reference.empty()) return;
  TTrace recorded;
  ASSERT_TRUE(Read(reference, recorded)) << reference << " (run the plain build's tests first)";
  const TTrace here = Replay(levels, recorded.inputs);
  ASSERT_EQ(here.levelEnds.size(), recorded.levelEnds.size());
  for (size_t i = 0; i < here.levelEnds.size(); ++i)
    ASSERT_EQ(here.levelEnds[i], recorded.levelEnds[i]) << "level end " << i + 1 << " differs from " << reference;
}

}  // namespace
