#include "game/level_data.h"

#include "game/game_state.h"
#include "platform/files.h"
#include "platform/random.h"

std::string LevelText;
std::array<TLevelColumn, 36> LevelColumns{};
std::array<int, 2> BorderOffsets{};

namespace {

// Set-up reads cells 0 to 25; the padding keeps every one of them inside the text.
constexpr size_t kPaddedLength = 117;
constexpr int kSetupCells = 26;

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

void PlaceObject(int column, int kind, int speed, int length, int angle, int look) {
  if (column < 0 || column >= int(LevelColumns.size())) return;
  TLevelColumn& col = LevelColumns[size_t(column)];
  col.fill(0);
  col[COL_KIND] = kind;
  col[COL_PHASE] = angle;
  col[COL_BASE_Y] = (kind == 2 || kind == 7 || kind == 8) ? 256 : 256 - length;
  col[COL_SPIN] = speed;
  col[COL_LENGTH] = length;
  col[COL_LOOK] = look;
  col[COL_SPEED] = speed;
}

void SetupLevel(const std::string& text) {
  // The same level always gets the same random values.
  SeedRnd(LevelNumber);
  for (int i = 0; i < 50; ++i) Rand(0, 1000);
  StandardIOLine("\"" + text + "\"");
  LevelText = text;
  if (LevelText.size() < kPaddedLength) LevelText.append(kPaddedLength - LevelText.size(), ' ');

  FrameTimer = 0.0f;
  BorderOffsets[0] = Rand(0, 512);
  BorderOffsets[1] = Rand(0, 512);
  for (int w = 0; w < 30; ++w) LevelColumns[size_t(w)].fill(0);
  SheepX = 472.0f;
  SheepY = 249.0f;
  WalkFrame = 0;
  Bonus = 999;
  JumpPhase = 0.0f;
  DeathTimer = 0;
  for (int c = 0; c < kSetupCells; ++c) {
    const TCell cell = DecodeCell(LevelText, c);
    if (!cell.empty) PlaceObject(c + 3, cell.kind, cell.speed, cell.depth * 16, cell.angle, 0);
  }
}
