#include "rules/level_set.h"

#include "rules/level_cells.h"

namespace {

const std::string kGroupMark = "(grp==";

// The text without the characters of code 32 and below at both ends.
std::string Trimmed(const std::string& text) {
  size_t first = 0, last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= 32) ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= 32) --last;
  return text.substr(first, last - first);
}

}  // namespace

TLevelLines SplitLevelLines(const std::string& bytes) {
  TLevelLines lines;
  size_t i = 0;
  do {
    std::string line;
    for (; i < bytes.size(); ++i) {
      const char c = bytes[i];
      if (c == '\n' || c == '\0') {
        ++i;
        break;
      }
      if (c != '\r') line.push_back(c);
    }
    lines.push_back(std::move(line));
  } while (i < bytes.size());
  return lines;
}

int GroupOfLine(const std::string& line) {
  const size_t mark = line.find(kGroupMark);
  if (mark == std::string::npos) return -1;
  // Three characters at most, so the number can't overflow; no digits count as world 0.
  const std::string digits = line.substr(mark + kGroupMark.size(), 3);
  size_t i = 0;
  while (i < digits.size() && digits[i] == ' ') ++i;
  int world = 0;
  for (; i < digits.size() && digits[i] >= '0' && digits[i] <= '9'; ++i) world = world * 10 + (digits[i] - '0');
  return world;
}

bool IsCaseLine(const std::string& line, int n) {
  return line.find("case " + std::to_string(n)) != std::string::npos;
}

std::string LevelTextOfLine(const std::string& line) {
  // A line cut short before its closing quote holds no level: the rest of it is C source, whose
  // letters would decode as objects that nobody placed.
  const std::string trimmed = Trimmed(line);
  const size_t open = trimmed.find('"');
  const size_t close = open == std::string::npos ? open : trimmed.find('"', open + 1);
  return close == std::string::npos ? "" : trimmed.substr(open + 1, close - open - 1);
}

std::string CaseLine(int n, const std::string& levelText) {
  return std::string(16, ' ') + "case " + std::to_string(n) + ": strcpy(LevDat,\"" +
         levelText.substr(0, kStoredLevelLength) + "\"); break;";
}

std::string LevelTextIn(const TLevelLines& lines, int level) {
  const int world = WorldOf(level);
  const int n = (level - 1) % 5 + 1;
  std::string text;
  int group = 0;
  for (const std::string& line : lines) {
    const int g = GroupOfLine(line);
    if (g >= 0) group = g;
    if (group == world && IsCaseLine(line, n)) text = LevelTextOfLine(line);
  }
  return text;
}

const std::string& TLevelSet::Text(int level) const {
  return texts[level >= 1 && level <= 100 ? size_t(level) : 0];
}

TLevelSet LevelSetOf(const TLevelLines& lines) {
  TLevelSet set;
  for (int level = 1; level <= 100; ++level) set.texts[size_t(level)] = LevelTextIn(lines, level);
  return set;
}
