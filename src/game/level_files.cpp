// Reading and writing the level files under "Levels/". A level file is only ever replaced whole:
// the new lines go to a temporary file beside it, which is then renamed over it, so a crash or a
// full disk mid-save leaves the old file as it was.
#include "game/level_files.h"

#include <map>
#include <vector>

#include "base/debug_log.h"
#include "base/game_paths.h"
#include "base/program_state.h"
#include "game/game_state.h"
#include "platform/files.h"
#include "platform/stream.h"
#include "rules/level_set.h"
#include "ui/messages.h"

namespace {

using TLines = std::vector<std::string>;

const std::string kWorkFile = "WIP.txt";

std::string LevelFilePath(const std::string& name) { return LevelsPath(name + ".txt"); }

// The file's lines. The end test follows the first read, so an empty file still gives one empty
// line, as the game's copies always have.
bool ReadLines(const std::string& path, TLines& lines) {
  TStreamPtr in = ReadFile(path);
  if (!in) {
    LogLine("\tCan't read " + path);
    return false;
  }
  lines.clear();
  do {
    lines.push_back(in->ReadLine());
  } while (!in->Eof());
  in->Close();
  return true;
}

// Writes the lines beside path and renames them over it; on any failure path stays as it was.
bool ReplaceFile(const std::string& path, const TLines& lines) {
  const std::string temporary = path + ".new";
  bool written = false;
  if (TStreamPtr out = WriteFile(temporary)) {
    written = true;
    for (const std::string& line : lines) written = written && out->WriteLine(line);
    written = written && out->Flush();
    out->Close();
    written = written && RenameFile(temporary, path);
    if (!written) DeleteFile(temporary);
  }
  if (!written) LogLine("\tCan't write " + path);
  return written;
}

enum TCopyResult { COPY_DONE, COPY_NO_SOURCE, COPY_NOT_WRITTEN };

// Line by line, so the copy is always CR LF whatever the source's line ends were.
TCopyResult CopyLines(const std::string& from, const std::string& to) {
  TLines lines;
  if (!ReadLines(from, lines)) return COPY_NO_SOURCE;
  return ReplaceFile(to, lines) ? COPY_DONE : COPY_NOT_WRITTEN;
}

std::string FileName(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A failed copy that the player depends on is named on screen: otherwise the game would just
// show empty levels, or the player's work would silently stay unsaved.
TCopyResult CopyAndSay(const std::string& from, const std::string& to) {
  const TCopyResult result = CopyLines(from, to);
  if (result == COPY_NO_SOURCE) PostMessage("Can't read " + FileName(from));
  if (result == COPY_NOT_WRITTEN) PostMessage("Can't write " + FileName(to));
  return result;
}

// The level text of each (world, position) in the lines, the last line of each winning, as
// LoadLevel reads them; key world * 10 + position.
std::map<int, std::string> LevelsOfLines(const TLines& lines) {
  std::map<int, std::string> levels;
  int group = 0;
  for (const std::string& line : lines) {
    const int g = GroupOfLine(line);
    if (g >= 0) group = g;
    for (int n = 1; n <= 5; ++n)
      if (IsCaseLine(line, n)) levels[group * 10 + n] = LevelTextOfLine(line);
  }
  return levels;
}

// The editor saves a level by rewriting its case line, so an own file that lacks lines of
// "blank.txt" (cut short, emptied, or not a level file at all) could never take those levels.
// Such a file is kept as "My Levels.bak" and the work file starts from "blank.txt" with every
// level the player's file did hold carried over. False when the own file is fit to edit as it is.
bool RebuildOwnLevels(const std::string& ownLevels) {
  TLines blank, own;
  if (!ReadLines(GamePath("blank.txt"), blank)) return false;
  const bool readable = ReadLines(ownLevels, own);
  const std::map<int, std::string> have = LevelsOfLines(own);
  bool complete = readable;
  for (const auto& level : LevelsOfLines(blank)) complete = complete && have.count(level.first) > 0;
  if (complete) return false;
  if (readable) CopyLines(ownLevels, LevelsPath("My Levels.bak"));
  LogLine("\t" + FileName(ownLevels) + " lacks level lines: kept as My Levels.bak, edited from blank.txt");
  int group = 0;
  for (std::string& line : blank) {
    const int g = GroupOfLine(line);
    if (g >= 0) group = g;
    for (int n = 1; n <= 5; ++n) {
      const auto kept = have.find(group * 10 + n);
      if (IsCaseLine(line, n) && kept != have.end() && !kept->second.empty()) line = CaseLine(n, kept->second);
    }
  }
  if (!ReplaceFile(LevelsPath(kWorkFile), blank)) PostMessage("Can't write " + kWorkFile);
  return true;
}

}  // namespace

void SetupLevel(const std::string& text) {
  StandardIOLine("\"" + text + "\"");
  SetupLevel(Game, text);
}

TLevelSet ReadLevelSet(const std::string& name) {
  TLines lines;
  return ReadLines(LevelFilePath(name), lines) ? LevelSetOf(lines) : TLevelSet{};
}

void LoadLevel(const std::string& name, int level) {
  TLines lines;
  const std::string text = ReadLines(LevelFilePath(name), lines) ? LevelTextIn(lines, level) : "";
  SetupLevel(PaddedLevelText(text));
}

void SaveLevel(const std::string& name, int level) {
  const int world = WorldOf(level);
  const int n = (level - 1) % 5 + 1;
  const std::string caseLine = CaseLine(n, Game.LevelText);
  const std::string path = LevelFilePath(name);
  TLines lines;
  if (!ReadLines(path, lines)) return;
  int group = 0;
  for (std::string& line : lines) {
    const int g = GroupOfLine(line);
    if (g >= 0) group = g;
    if (group == world && IsCaseLine(line, n)) line = caseLine;
  }
  ReplaceFile(path, lines);
}

void CopyToWork(const std::string& name) { CopyLines(LevelFilePath(name), LevelsPath(kWorkFile)); }

void CopyFromWork(const std::string& name) {
  // The player's own levels are saved this way: a failure must not go unseen.
  const std::string target = LevelFilePath(name);
  TLines work, previous;
  if (!ReadLines(LevelsPath(kWorkFile), work)) {
    PostMessage("Can't read " + kWorkFile);
    return;
  }
  // One step back: the file about to be replaced is kept as name.bak (a stray generator key can
  // replace every level at once). A copy that changes nothing keeps the step for later.
  if (FileType(target) == FILETYPE_FILE && ReadLines(target, previous)) {
    if (previous == work) return;
    if (!ReplaceFile(LevelsPath(name + ".bak"), previous)) PostMessage("Can't write " + name + ".bak");
  }
  if (!ReplaceFile(target, work)) PostMessage("Can't write " + FileName(target));
}

void PrepareWorkFile(int mode) {
  const std::string ownLevels = LevelFilePath("My Levels");
  if (FileType(ownLevels) == FILETYPE_NONE) CopyAndSay(GamePath("blank.txt"), ownLevels);
  if (mode == 0 && RebuildOwnLevels(ownLevels)) return;
  // A normal game copies the player's levels first and the built-in ones over them.
  if (mode == 1) CopyToWork("My Levels");
  const std::string source = mode == 1 ? LevelFilePath(GameTitle) : ownLevels;
  // A source that can't be read leaves an empty work file, so the game plays empty levels rather
  // than whatever an earlier game left there.
  if (CopyAndSay(source, LevelsPath(kWorkFile)) == COPY_NO_SOURCE)
    ReplaceFile(LevelsPath(kWorkFile), TLines{""});
}
