// A level: a row of 4-character cells (kind, speed, depth, angle), one per object position along
// the sheep's path, and the table of moving objects built from it.
#pragma once
#include <array>
#include <string>

extern std::string LevelText;  // the level's cells; padded with spaces to 117 at set-up

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
extern std::array<TLevelColumn, 36> LevelColumns;
// The horizontal offsets of the top and bottom border strips, 0 to 512, drawn per level.
extern std::array<int, 2> BorderOffsets;

struct TCell {
  bool empty = true;  // kind character of code 36 or less
  int kind = 0;       // "1".."9" 1 to 9, "A".."N" 10 to 23; "0" is kind 0, placed but idle
  int speed = 3;
  int depth = 4;      // the object's length is depth * 16
  int angle = 0;      // degrees
};

// Decodes cell c of text (characters 4c to 4c + 3; missing characters read as spaces).
TCell DecodeCell(const std::string& text, int c);
// Writes the ten fields of a column.
void PlaceObject(int column, int kind, int speed, int length, int angle, int look);
// Builds the level from text: reseeds the random generator by LevelNumber, prints the text in
// double quotes on standard output, resets the frame timer, the border offsets, the columns, the
// sheep and the bonus, then places the objects of cells 0 to 25.
void SetupLevel(const std::string& text);
