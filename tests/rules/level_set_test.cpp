// The level files' lines as levels: group lines, case lines, their texts, and the lines of raw
// bytes as the game's line reader splits them.
#include <gtest/gtest.h>

#include <string>

#include "rules/level_set.h"

namespace {

TEST(LevelLines, GroupNumbersAndLevelTexts) {
  const struct { const char* line; int group; } groups[] = {
      {"    if (grp==7)", 7}, {"(grp==12)", 12}, {"(grp==  3)", 3}, {"(grp==", 0},
      {"(grp==x12", 0},     {"(grp==99999999999", 999}, {"if (grp=7)", -1}, {"", -1}};
  for (const auto& g : groups) EXPECT_EQ(GroupOfLine(g.line), g.group) << g.line;

  const struct { const char* line; const char* text; } texts[] = {
      {"  case 1: strcpy(LevDat,\"1340    2\"); break;  ", "1340    2"}, {"case 1: \"a\" \"b\"", "a"},
      {"case 1: \"13", ""}, {"case 1: 1340", ""}};  // cut short: no level
  for (const auto& t : texts) EXPECT_EQ(LevelTextOfLine(t.line), t.text) << t.line;

  EXPECT_EQ(CaseLine(3, "1340"), "                case 3: strcpy(LevDat,\"1340\"); break;");
}

TEST(LevelLines, BytesSplitAsTheGameReadsLines) {
  const struct { std::string bytes; TLevelLines lines; } cases[] = {
      {"", {""}},
      {"a", {"a"}},
      {"a\n", {"a"}},
      {"a\r\n\r\nb", {"a", "", "b"}},
      {std::string("a\0b\rc", 5), {"a", "bc"}},  // a zero byte ends a line, CR is dropped
  };
  for (const auto& c : cases) EXPECT_EQ(SplitLevelLines(c.bytes), c.lines) << c.bytes;
}

}  // namespace
