// Fuzzes the level files: any bytes as a level file must load (a few levels, each set up, and the
// bytes themselves as a level text) without reading out of bounds. Saving a level into the file
// must keep every other line as it was, and the level must then read back as what was saved.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "base/game_paths.h"
#include "game/game_state.h"
#include "game/level_files.h"
#include "rules/level_set.h"

namespace {

// One temporary game folder for the whole run, removed at exit. Set-up echoes every level text
// on standard output, which would drown the fuzzer's own report.
const std::string& FilePath() {
  static const std::string path = [] {
    // In memory where there is such a folder: every input is written and saved through a rename.
    std::string templ = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    templ += "/lambrisk-fuzz-levels-XXXXXX";
    if (!mkdtemp(&templ[0]) || mkdir((templ + "/Levels").c_str(), 0700) != 0) std::abort();
    NoteGamePaths(templ);
    if (!std::freopen("/dev/null", "w", stdout)) std::abort();
    std::atexit([] {
      std::remove(LevelsPath("F.txt").c_str());
      std::remove(LevelsPath("F.txt.new").c_str());
      rmdir(LevelsPath("").c_str());
      rmdir(StartFolder.c_str());
    });
    return LevelsPath("F.txt");
  }();
  return path;
}

// The lines as the game reads them: LF or a zero byte ends one, CR is dropped, and the end test
// comes after the first line.
std::vector<std::string> ReadLines(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t i = 0;
  do {
    const size_t end = std::min(bytes.find_first_of(std::string("\n\0", 2), i), bytes.size());
    std::string line = bytes.substr(i, end - i);
    line.erase(std::remove(line.begin(), line.end(), '\r'), line.end());
    lines.push_back(std::move(line));
    i = end + 1;
  } while (i < bytes.size());
  return lines;
}

std::string ReadBytes(const std::string& path) {
  std::string bytes;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) std::abort();
  char buf[4096];
  size_t got;
  while ((got = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, got);
  std::fclose(f);
  return bytes;
}

std::string Trimmed(const std::string& text) {
  const size_t end = text.find_last_not_of(' ');
  return end == std::string::npos ? "" : text.substr(0, end + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& path = FilePath();
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f || std::fwrite(bytes.data(), 1, size, f) != size) std::abort();
  std::fclose(f);

  ResetGameState();
  for (int level : {1, 7, 42, 100}) {
    Game.LevelNumber = level;
    LoadLevel("F", level);
    if (Game.LevelText.size() < 117) std::abort();
  }
  SetupLevel(bytes);

  // The first byte picks the level, the second half of the input is its new text.
  const int level = size > 0 ? data[0] % 100 + 1 : 1;
  Game.LevelNumber = level;
  LoadLevel("F", level);
  const std::string before = Trimmed(Game.LevelText);
  Game.LevelText = bytes.substr(size / 2);
  const std::string saved = Game.LevelText.substr(0, 101);
  SaveLevel("F", level);
  if (Game.LevelText != bytes.substr(size / 2)) std::abort();

  // A text that breaks its line can't be checked line for line.
  if (saved.find_first_of(std::string("\"\r\n\0(", 5)) != std::string::npos) return 0;
  const std::vector<std::string> in = ReadLines(bytes);
  const std::string caseLine = CaseLine((level - 1) % 5 + 1, saved);
  const std::string out = ReadBytes(path);
  size_t at = 0;
  for (const std::string& line : in) {
    const size_t end = out.find("\r\n", at);
    if (end == std::string::npos) std::abort();
    const std::string written = out.substr(at, end - at);
    if (written != line && written != caseLine) std::abort();
    at = end + 2;
  }
  if (at != out.size()) std::abort();

  // With no group line rewritten the groups stay as they were, so the level reads back as saved,
  // or as before when the file has no line for it.
  for (size_t i = 0, start = 0; i < in.size(); ++i) {
    const size_t end = out.find("\r\n", start);
    if (out.compare(start, end - start, in[i]) != 0 && in[i].find("(grp==") != std::string::npos) return 0;
    start = end + 2;
  }
  LoadLevel("F", level);
  const std::string after = Trimmed(Game.LevelText);
  if (after != Trimmed(saved) && after != before) std::abort();
  return 0;
}
