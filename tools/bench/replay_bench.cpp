// Replay benchmark: how fast the rules play a recorded game, which is what proving a submitted
// score costs the score server. Records a 20-minute game that visits every built-in level (it
// stands at each level's start while the objects move, then skips it), writes it as a replay,
// then times reading the replay back and proving it, and prints the frames played per second on
// one core. Rules only: no window.
//
//   replay_bench [LEVELFILE] [--rounds N]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "rules/replay.h"

namespace {

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Stands 335 frames at each level's start, then holds the skip key for a frame.
TReplay TwentyMinutes(const TLevelSet& levels) {
  TReplayRecorder recorder;
  recorder.Start(1, 1, 0, LevelSetHash(levels));
  TRulesState s;
  TReplay start;
  StartReplayedGame(s, start, levels);
  TFrameEvents events;
  events.wantPicture = false;
  for (int frame = 0; frame < 36000 && s.EndReason == END_RUNNING; ++frame) {
    TFrameInput input;
    input.skip = frame % 336 == 335;
    recorder.Frame(input);
    ReplayFrame(s, levels, input, events);
  }
  return recorder.Finish(s, 0, "bench");
}

}  // namespace

int main(int argc, char** argv) {
  std::string file = std::string(LAMBRISK_SOURCE_DIR) + "/data/levels/Lambrisk.txt";
  int rounds = 5;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--rounds" && i + 1 < argc) rounds = std::max(1, std::atoi(argv[++i]));
    else file = arg;
  }
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", file.c_str());
    return 2;
  }
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const TLevelSet levels = LevelSetOf(SplitLevelLines(bytes));
  const TReplay recorded = TwentyMinutes(levels);
  const std::string text = ReplayText(recorded);
  std::printf("replay: %lld frames (%.1f minutes at 30 a second), level %d reached, %zu bytes\n",
              static_cast<long long>(recorded.result.frames), double(recorded.result.frames) / 1800.0,
              recorded.result.level, text.size());
  std::vector<double> times;
  for (int r = 0; r < rounds; ++r) {
    const double t0 = Now();
    TReplay replay;
    TReplayResult reached;
    std::string why;
    const bool proven = ParseReplay(text, replay, why) && PlayReplay(replay, levels, reached, why) &&
                        ResultDifference(replay.result, reached).empty();
    times.push_back(Now() - t0);
    if (!proven) {
      std::fprintf(stderr, "not proven: %s\n", why.c_str());
      return 1;
    }
  }
  std::sort(times.begin(), times.end());
  const double median = times[times.size() / 2];
  std::printf("proving it (read and played, median of %d): %.3f s, %.0f frames a second on one core (fastest %.3f s, slowest %.3f s)\n",
              rounds, median, double(recorded.result.frames) / median, times.front(), times.back());
  return 0;
}
