// A level's text: a row of 4-character cells (kind, speed, depth, angle), one per object position
// along the sheep's path, and the table of object columns built from it.
#pragma once
#include <array>
#include <string>

// Set-up pads a level's text with spaces to this length, so every cell it reads is inside it.
constexpr size_t kPaddedLevelLength = 117;
// Set-up reads cells 0 to 25.
constexpr int kSetupCells = 26;
// The level files keep a level's first 101 characters: cells 0 to 24 and cell 25's kind.
constexpr size_t kStoredLevelLength = 101;

// Column n holds the object whose base x is 16 n; cell c goes to column c + 3.
enum TColumnField {
  COL_KIND = 0,        // 0 no object
  COL_PHASE = 1,       // moving angle or position counter
  COL_BASE_Y = 2,      // 256 - length; 256 for kinds 2, 7 and 8
  COL_SPIN = 3,        // rotation multiplier of a drawn ball
  COL_LENGTH = 4,      // depth * 16: radius, chain length or travel
  COL_LOOK = 5,        // added in steps of 32 to a ball's sprite frames
  COL_SPEED = 6,       // added to the phase every frame (velocity for the chaser)
  COL_SOUND_STATE = 7, // which warning or passing sound has played
};
using TLevelColumn = std::array<int, 10>;
using TLevelColumns = std::array<TLevelColumn, 36>;
// The columns the object pass runs over: 0 to 29.
constexpr int kObjectColumns = 30;

struct TCell {
  bool empty = true;  // kind character of code 36 or less
  int kind = 0;       // "1".."9" 1 to 9, "A".."N" 10 to 23; "0" is kind 0, placed but idle
  int speed = 3;
  int depth = 4;      // the object's length is depth * 16
  int angle = 0;      // degrees
};

// Decodes cell c of text (characters 4c to 4c + 3; missing characters read as spaces).
TCell DecodeCell(const std::string& text, int c);
// Writes the ten fields of a column; a column outside the table is left alone.
void PlaceObject(TLevelColumns& columns, int column, int kind, int speed, int length, int angle, int look);
// The text padded with spaces to kPaddedLevelLength.
std::string PaddedLevelText(const std::string& text);

// The world of a level: levels 1 to 5 are world 1, 96 to 100 world 20.
int WorldOf(int level);
// "A" to "E": the level's letter inside its world.
char LevelLetter(int level);
// Worlds 19 and 20 walk slowly and jump long and high.
bool SlowWorld(int level);
