// The score server's proof of a score by its replay.
#include "score_replays.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>

namespace {

const char kLevelName[] = "Lambrisk.txt";
const size_t kLevelFileLongest = size_t(64) << 20;

std::string ProgramFolder() {
  char self[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return ".";
  const std::string path(self, size_t(n));
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

double ThreadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

}  // namespace

std::string BuiltInLevelFile() {
  const std::string folder = ProgramFolder();
  const std::string beside = folder + "/" + kLevelName;
  if (access(beside.c_str(), R_OK) == 0) return beside;
  const std::string installed = folder + "/" SERVER_DATA_FROM_PROGRAM "/" + kLevelName;
  char resolved[PATH_MAX];
  return realpath(installed.c_str(), resolved) ? resolved : installed;
}

bool ReadProofLevels(const std::string& file, TProofLevels& levels, std::string& error) {
  std::ifstream in(file, std::ios::binary);
  std::string bytes;
  char buffer[65536];
  while (in && bytes.size() <= kLevelFileLongest && (in.read(buffer, sizeof buffer) || in.gcount() > 0))
    bytes.append(buffer, size_t(in.gcount()));
  if (!in.eof() || bytes.size() > kLevelFileLongest) {
    error = "cannot read the levels " + file;
    return false;
  }
  levels.file = file;
  levels.levels = LevelSetOf(SplitLevelLines(bytes));
  bool any = false;
  for (int level = 1; level <= 100 && !any; ++level) any = !levels.levels.Text(level).empty();
  if (!any) {
    error = "no level in " + file;
    return false;
  }
  levels.hash = LevelSetHash(levels.levels);
  return true;
}

std::string ReplayMismatch(const std::string& text, const TServerRecord& record, uint64_t levelsHash,
                           TReplay& replay) {
  std::string why;
  if (!ParseReplay(text, replay, why)) return why;
  if (replay.rules != kRulesVersion)
    return "made by rules version " + std::to_string(replay.rules) + ", not " + std::to_string(kRulesVersion);
  if (replay.levels != levelsHash) return "of another level set";
  if (replay.world != record.Level || replay.mode != record.GameMode || replay.flags != record.GameFlags)
    return "a game from world " + std::to_string(replay.world) + " mode " + std::to_string(replay.mode) + " flags " +
           std::to_string(replay.flags) + ", not the record's";
  if (replay.stamp != record.Timestamp || replay.name != record.Name) return "the game of another record";
  return "";
}

std::string ReplayDisproof(const TReplay& replay, const TServerRecord& record, const TLevelSet& levels,
                           double cpuSeconds) {
  const double until = ThreadSeconds() + cpuSeconds;
  TReplayResult reached;
  std::string why;
  if (!PlayReplay(replay, levels, reached, why, [until] { return ThreadSeconds() < until; })) {
    if (why.rfind("stopped", 0) != 0) return why;
    char limit[32];
    std::snprintf(limit, sizeof limit, "%g", cpuSeconds);
    return why + ", over its time (" + limit + " s)";
  }
  const std::string diff = ResultDifference(replay.result, reached);
  if (!diff.empty()) return "its inputs reach " + diff;
  if (reached.score != record.Score)
    return "it reaches score " + std::to_string(reached.score) + ", not the record's " + std::to_string(record.Score);
  return "";
}
