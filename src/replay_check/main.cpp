// replay_check: proves recorded games by playing them again through the game's rules, with no
// window.
//
//   replay_check [--levels LEVELFILE] REPLAY...
//
// The levels are the built-in "Levels/Lambrisk.txt" beside the program (the game folder), or in
// the installed game's data ("../../share/lambrisk/Levels/" from it), unless --levels names
// another file. For each replay one line: its file, start world, mode and flags, what its inputs
// reached ("score S level L lives V frames F"), then "proven" when that is exactly the result
// its header claims, or what differs, or why it cannot be played. The exit status is 0 when every
// replay is proven, 1 when one reached another result, 2 when one cannot be read or is of
// another format, rules version or level set (or the levels cannot be read).
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "rules/replay.h"

namespace {

bool ReadBytes(const std::string& path, std::string& bytes, size_t most) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.clear();
  char buffer[65536];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    bytes.append(buffer, size_t(in.gcount()));
    if (bytes.size() > most) return true;  // the parser refuses it for its size
  }
  return !in.bad();
}

// The folder of this program, where the game folder's "Levels/" lies beside it.
std::string ProgramFolder() {
  char self[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return ".";
  const std::string path(self, size_t(n));
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

int Usage() {
  std::fprintf(stderr, "usage: replay_check [--levels LEVELFILE] REPLAY...\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string levelFile = ProgramFolder() + "/Levels/Lambrisk.txt";
  if (!std::ifstream(levelFile)) levelFile = ProgramFolder() + "/../../share/lambrisk/Levels/Lambrisk.txt";
  int first = 1;
  if (argc > 2 && std::string(argv[1]) == "--levels") {
    levelFile = argv[2];
    first = 3;
  }
  if (first >= argc) return Usage();
  std::string bytes;
  if (!ReadBytes(levelFile, bytes, size_t(64) << 20)) {
    std::fprintf(stderr, "replay_check: cannot read the levels %s\n", levelFile.c_str());
    return 2;
  }
  const TLevelSet levels = LevelSetOf(SplitLevelLines(bytes));

  int status = 0;
  for (int i = first; i < argc; ++i) {
    const std::string path = argv[i];
    TReplay replay;
    std::string why;
    if (!ReadBytes(path, bytes, kReplayMostBytes)) {
      std::printf("%s: cannot be read\n", path.c_str());
      status = 2;
      continue;
    }
    if (!ParseReplay(bytes, replay, why)) {
      std::printf("%s: %s\n", path.c_str(), why.c_str());
      status = 2;
      continue;
    }
    std::printf("%s: world %d mode %d flags %d ", path.c_str(), replay.world, replay.mode, replay.flags);
    TReplayResult reached;
    if (!PlayReplay(replay, levels, reached, why)) {
      std::printf("%s\n", why.c_str());
      // A game cut short by its own end reached something other than its header says.
      status = std::max(status, why == "the game ended before its inputs did" ? 1 : 2);
      continue;
    }
    const std::string diff = ResultDifference(replay.result, reached);
    std::printf("score %lld level %d lives %d frames %lld %s\n", static_cast<long long>(reached.score), reached.level,
                reached.lives, static_cast<long long>(reached.frames), diff.empty() ? "proven" : ("differs: " + diff).c_str());
    if (!diff.empty()) status = std::max(status, 1);
  }
  return status;
}
