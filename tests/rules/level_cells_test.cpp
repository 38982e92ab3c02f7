// Decoding a level's cells and building its object columns.
#include <gtest/gtest.h>

#include "rules/game_rules.h"

namespace {

TEST(LevelData, CellsDecodeWithTheirDefaults) {
  const struct { const char* text; int cell; bool empty; int kind, speed, depth, angle; } cases[] = {
      {"1   ", 0, false, 1, 3, 4, 0},
      {"    1", 1, false, 1, 3, 4, 20},       // a missing angle is 20 a cell
      {"C005", 0, false, 12, 0, 0, 30},       // kind 12 counts 6 a step
      {"A005", 0, false, 10, 0, 0, 225},      // the others 45
      {"0340", 0, false, 0, 3, 4, 0},         // "0" is kind 0, not empty
      {"$9:;", 0, true, 0, 9, 10, 11 * 45},   // "$" is still empty; digits go on past 9
      {"%\"#$", 0, false, -11, 3, 4, 0},      // the first code above "$"
      {"N", 3, true, 0, 3, 4, 60}};           // past the end of the text
  for (const auto& c : cases) {
    const TCell cell = DecodeCell(c.text, c.cell);
    EXPECT_EQ(cell.empty, c.empty) << c.text;
    if (!c.empty) {
      EXPECT_EQ(cell.kind, c.kind) << c.text;
    }
    EXPECT_EQ(cell.speed, c.speed) << c.text;
    EXPECT_EQ(cell.depth, c.depth) << c.text;
    EXPECT_EQ(cell.angle, c.angle) << c.text;
  }
}

TEST(LevelData, SetupPlacesOnlyTheCellsTheTextHolds) {
  TRulesState s;
  s.LevelNumber = 7;
  s.LevelColumns[20][COL_KIND] = 5;  // left over from an earlier level
  SetupLevel(s, "1   0340    2");
  EXPECT_EQ(s.LevelText.size(), 117u);
  const TLevelColumn first = {1, 0, 192, 3, 64, 0, 3, 0, 0, 0};
  const TLevelColumn zero = {0, 0, 192, 3, 64, 0, 3, 0, 0, 0};  // placed, but does nothing
  const TLevelColumn bouncer = {2, 60, 256, 3, 64, 0, 3, 0, 0, 0};
  EXPECT_EQ(s.LevelColumns[3], first);
  EXPECT_EQ(s.LevelColumns[4], zero);
  EXPECT_EQ(s.LevelColumns[6], bouncer);
  for (int column : {5, 7, 20, 28}) EXPECT_EQ(s.LevelColumns[size_t(column)], TLevelColumn{}) << column;

  const auto offsets = s.BorderOffsets;
  s.SheepX = 10.0f;
  SetupLevel(s, "1   0340    2");
  EXPECT_EQ(s.BorderOffsets, offsets);
  EXPECT_EQ(s.SheepX, 472.0f);
}

}  // namespace
