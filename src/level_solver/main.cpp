// level_solver: proves that levels of a level file can be completed, by the game's own rules.
//
//   level_solver LEVELFILE [--levels FIRST-LAST] [--cap N] [--runs N] [--check] [--route]
//
// For each level: whether it can be completed, the fewest frames to the start of its level end,
// and how many of the random human-like players get through (difficulty 0 to 8, see solver.h).
// Every route found is played again from the level's start before it counts. --check skips the
// random players and searches narrow first (completability only, for the test run). The exit
// status is 1 when a level cannot be completed. The report goes to standard error.
//
// --route searches as --check does and writes, for each level, its answer on standard output,
// for the level editor to read and show:
//   level N            the level number
//   frames F           fewest frames from the level's start until the sheep passes the left edge
//   route IIII...      the inputs of those F frames, one character a frame: "." nothing held,
//                      "L" Left, "U" the jump, "B" both
// or, when no route was found within the frame and state limits:
//   level N
//   no route
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "level_sim.h"
#include "solver.h"

namespace {

void WriteAnswer(const TLevelReport& r) {
  std::printf("level %d\n", r.level);
  if (!r.completable) {
    std::printf("no route\n");
  } else {
    std::string inputs;
    for (unsigned char input : r.route) inputs += ".LUB"[input & 3];
    std::printf("frames %d\nroute %s\n", r.frames, inputs.c_str());
  }
  std::fflush(stdout);
}

int Usage() {
  std::fprintf(stderr, "usage: level_solver LEVELFILE [--levels FIRST-LAST] [--cap N] [--runs N] [--check] [--route]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string file = argv[1];
  TSolveOptions options;
  int first = 1, last = 100;
  bool route = false;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--check") options.randomRuns = 0, options.quickFirst = true;
    else if (arg == "--route") options.randomRuns = 0, options.quickFirst = true, route = true;
    else if (arg == "--cap" && hasValue) options.cap = std::atoi(argv[++i]);
    else if (arg == "--runs" && hasValue) options.randomRuns = std::atoi(argv[++i]);
    else if (arg == "--levels" && hasValue && std::sscanf(argv[++i], "%d-%d", &first, &last) >= 1) {
      if (last < first) last = first;
    } else return Usage();
  }
  if (first < 1 || last > 100 || options.cap < 1 || options.randomRuns < 0) return Usage();
  TLevelSet levels;
  if (!ReadLevelSet(file, levels)) {
    std::fprintf(stderr, "cannot read %s\n", file.c_str());
    return 2;
  }

  TLevelSim sim(levels);
  int failures = 0;
  const auto started = std::chrono::steady_clock::now();
  for (int level = first; level <= last; ++level) {
    const auto t0 = std::chrono::steady_clock::now();
    const TLevelReport r = SolveLevel(sim, level, options);
    if (r.replayFailed) std::fprintf(stderr, "level %s: the route found does not replay\n", LevelLabel(level).c_str());
    failures += !r.completable;
    if (route) WriteAnswer(r);
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    std::fprintf(stderr, "%-5s %-10s %s frames %4d  random %3d  careful %3d of %-3d  difficulty %.1f  (%d states, %.0f ms)\n",
                 LevelLabel(level).c_str(), KindChars(r).c_str(), r.completable ? "ok  " : "FAIL", r.frames,
                 r.randomPassed, r.carefulPassed, r.randomRuns, r.difficulty, r.states, ms);
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::fprintf(stderr, "%d of %d levels completable in %.1f s\n", last - first + 1 - failures, last - first + 1,
               seconds);
  return failures ? 1 : 0;
}
