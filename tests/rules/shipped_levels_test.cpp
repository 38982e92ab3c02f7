// The built-in levels as designed: every level is there at its full 101 characters, and each of
// the 23 kinds is first met in a level that holds it alone. That each level can be completed is
// proved by the level solver's test over the same file.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>

#include "rules/level_cells.h"
#include "rules/level_set.h"

namespace {

TEST(ShippedLevels, EveryKindIsFirstMetOnItsOwn) {
  std::ifstream in(std::string(LAMBRISK_SOURCE_DIR) + "/data/levels/Lambrisk.txt", std::ios::binary);
  ASSERT_TRUE(in);
  std::set<int> met;
  int levels = 0, world = 0;
  for (std::string line; std::getline(in, line);) {
    if (GroupOfLine(line) >= 0) world = GroupOfLine(line);
    if (line.find("case ") == std::string::npos || world < 1) continue;
    ++levels;
    const std::string text = LevelTextOfLine(line);
    EXPECT_EQ(text.size(), 101u) << "world " << world << ": " << line;
    std::set<int> kinds;
    for (int c = 0; c < 26; ++c) {
      const TCell cell = DecodeCell(text, c);
      if (!cell.empty) kinds.insert(cell.kind);
    }
    for (int kind : kinds) {
      if (met.count(kind)) continue;
      EXPECT_EQ(kinds.size(), 1u) << "kind " << kind << " is first met beside others in world " << world;
      met.insert(kind);
    }
  }
  EXPECT_EQ(levels, 100);
  EXPECT_EQ(met.size(), 23u);
  EXPECT_EQ(*met.begin(), 1);
  EXPECT_EQ(*met.rbegin(), 23);
}

}  // namespace
