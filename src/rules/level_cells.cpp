#include "rules/level_cells.h"

namespace {

int CodeAt(const std::string& text, size_t i) {
  return i < text.size() ? static_cast<unsigned char>(text[i]) : ' ';
}

}  // namespace

TCell DecodeCell(const std::string& text, int c) {
  TCell cell;
  const size_t at = size_t(c) * 4;
  const int k = CodeAt(text, at);
  const int speed = CodeAt(text, at + 1);
  const int depth = CodeAt(text, at + 2);
  const int angle = CodeAt(text, at + 3);
  cell.empty = k <= 36;
  cell.kind = cell.empty ? 0 : k <= 64 ? k - 48 : k - 55;
  cell.speed = speed > 36 ? speed - 48 : 3;
  cell.depth = depth > 36 ? depth - 48 : 4;
  if (angle > 36) cell.angle = (angle - 48) * (cell.kind == 12 ? 6 : 45);
  else cell.angle = c * 20;
  return cell;
}

void PlaceObject(TLevelColumns& columns, int column, int kind, int speed, int length, int angle, int look) {
  if (column < 0 || column >= int(columns.size())) return;
  TLevelColumn& col = columns[size_t(column)];
  col.fill(0);
  col[COL_KIND] = kind;
  col[COL_PHASE] = angle;
  col[COL_BASE_Y] = (kind == 2 || kind == 7 || kind == 8) ? 256 : 256 - length;
  col[COL_SPIN] = speed;
  col[COL_LENGTH] = length;
  col[COL_LOOK] = look;
  col[COL_SPEED] = speed;
}

std::string PaddedLevelText(const std::string& text) {
  std::string padded = text;
  if (padded.size() < kPaddedLevelLength) padded.append(kPaddedLevelLength - padded.size(), ' ');
  return padded;
}

int WorldOf(int level) { return (level + 4) / 5; }

char LevelLetter(int level) { return char(65 + (level - 1) % 5); }

bool SlowWorld(int level) {
  const int world = WorldOf(level);
  return world == 19 || world == 20;
}
