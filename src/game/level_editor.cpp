#include "game/level_editor.h"

#include <algorithm>
#include <string>
#include <vector>

#include "audio/sound_effects.h"
#include "framework/screen_size.h"
#include "game/game_state.h"
#include "game/level_files.h"
#include "platform/clock.h"
#include "platform/draw_state.h"
#include "platform/font.h"
#include "platform/input.h"
#include "platform/random.h"
#include "ui/draw_helpers.h"
#include "ui/panel_state.h"

bool KeyLatch = false;
bool MouseLatch = true;

namespace {

enum TPadKey {
  PAD_1 = 97, PAD_2 = 98, PAD_3 = 99, PAD_4 = 100, PAD_6 = 102, PAD_8 = 104,
  PAD_PLUS = 107, PAD_MINUS = 109,
};
constexpr int kComma = 188, kSpace = 32;
const std::string kEmptyCell = "    ";

// The cell put in when a kind is chosen, by kind 1 to 23.
const char* const kDefaultCells[24] = {
    "    ", "1340", "2340", "3340", "4340", "5340", "6340", "7340", "8340", "9207", "A308", "B200",
    "C300", "D306", "E306", "F300", "G160", "H160", "I300", "J340", "K340", "L340", "M308", "N000"};

int Centre(int c) { return VirtualWidth / 2 + 32 * c - 384; }

std::string CellOf(int c) {
  const size_t at = size_t(c) * 4;
  return at < Game.LevelText.size() ? Game.LevelText.substr(at, 4) : "";
}

// The text again from its cells 0 to 26, so at most 108 characters.
void Rebuild(std::vector<std::string> cells) { Game.LevelText.clear(); for (const auto& c : cells) Game.LevelText += c; }

std::vector<std::string> Cells() {
  std::vector<std::string> cells;
  for (int c = 0; c <= 26; ++c) cells.push_back(CellOf(c));
  return cells;
}

// A random decimal digit from lo to hi.
char Digit(int lo, int hi) { return char('0' + Rand(lo, hi)); }

std::string RandomCell() {
  int k = Rand(48, 78);
  if (k < 49 || (k > 58 && k < 65) || k == 57 || k == 68 || k == 69 || k == 71 || k == 78) k = 48 + Rand(1, 8);
  const char kind = char(k);
  if (k >= 49 && k <= 56) return {kind, Digit(2, 8), Digit(2, 6), Digit(0, 7)};
  switch (kind) {
    case 'A': case 'M': return {kind, Digit(2, 5), Digit(0, 4), Digit(0, 9)};
    case 'B': case 'C': return {kind, Digit(1, 5), '0', Digit(0, 9)};
    case 'F': return {kind, Digit(1, 7), '0', Digit(0, 9)};
    case 'H': return {kind, Digit(1, 3), Digit(4, 7), Digit(0, 7)};
    case 'I': return {kind, Digit(1, 5), '0', Digit(0, 7)};
    case 'J': case 'K': case 'L': return {kind, Digit(2, 5), Digit(2, 5), Digit(0, 7)};
    default: return kEmptyCell;  // ":"
  }
}

// One generation (one key press, one frame of R) is seeded once from the clock; the cells inside
// it draw on from that seed. Seeding each cell afresh made every cell of a generation made within
// one millisecond the same cell.
void SeedFromClock() { SeedRnd(Millisecs()); }

void Discard(int draws) {
  for (int i = 0; i < draws; ++i) Rand(0, 1000);
}

// A random object in cell a, drawn on from the current seed.
void DrawRandomCell(int a) {
  Discard(26);
  std::string chosen;
  for (int c = 0; c <= 26; ++c) {
    std::string cell = RandomCell();
    if (c == a) chosen = cell;
  }
  if (a < 0 || a > 26) return;
  std::vector<std::string> cells = Cells();
  cells[size_t(a)] = chosen;
  Rebuild(cells);
}

bool Held(int key) { return KeyDown(key) != 0; }

// Generates the levels from first to last, each world's first level afresh and the others built
// on the one before, and saves each into the work file.
void GenerateLevels(int first, int last) {
  SeedFromClock();
  int style = 0;
  for (int level = first; level <= last; ++level) {
    const bool fresh = (level - 1) % 5 == 0;
    if (fresh) {
      style = Rand(0, 3);
      Game.LevelText = std::string(26 * 4, ' ');
    }
    Discard(101);
    GenerateLevel(fresh, style);
    SaveLevel(WorkFileName, level);
  }
}

void LevelButtons(bool takesInput) {
  struct TButton {
    int x, y, change;
    const char* label;
    int lx, ly;
  };
  static const TButton kButtons[] = {
      {90, 0, -5, "-", 100, 10}, {140, 0, -1, "-", 150, 10}, {90, 90, 5, "+", 100, 100}, {140, 90, 1, "+", 150, 100}};
  UseFont(2, 6);
  for (const TButton& b : kButtons) {
    Colour(255, 255, 255);
    if (takesInput && MouseOver(b.x, b.y, 40, 50)) {
      Colour(100, 180, 255);
      if (MouseDown(1) && !MouseLatch) {
        PlaySfx(99, 1.0f, 1.0f, 0.0f);
        SaveLevel(WorkFileName, Game.LevelNumber);
        Game.LevelNumber = std::clamp(Game.LevelNumber + b.change, 1, 100);
        Game.ReloadFlag = true;
        MouseLatch = true;
      }
    }
    // The "+5" label is always white.
    if (b.change == 5) Colour(255, 255, 255);
    TextAt(b.lx, b.ly, b.label, 0, 0);
  }
}

void Grid() {
  const int vw = VirtualWidth, vh = VirtualHeight;
  for (int k = 0; k <= 25; ++k) {
    const float x = float(vw / 2 + 32 * k - 400);
    Colour(0, 0, 0, 0.1f);
    DrawLine(x + 1, 0, x + 1, float(vh));
    Colour(255, 255, 255, 0.1f);
    DrawLine(x, 0, x, float(vh));
    if (k == 2 || k == 5 || k == 8 || k == 12 || k == 16 || k == 19 || k == 22) {
      SetAlpha(0.05f);
      DrawRect(x, 0, 32, float(vh));
    }
  }
}

void Generators() {
  if (KeyLatch) return;
  if (Held('J') && Held('P')) {
    const int first = (WorldOf(Game.LevelNumber) - 1) * 5 + 1;
    GenerateLevels(first, first + 4);
    Game.LevelNumber = first;
    Game.ReloadFlag = KeyLatch = true;
  }
  if (Held('W') && Held('G')) {
    GenerateLevels(1, 100);
    Game.LevelNumber = 1;
    Game.ReloadFlag = KeyLatch = true;
  }
  if (Held(kSpace)) {
    Game.LevelText = std::string(26 * 4, ' ');
    SeedFromClock();
    Discard(101);
    GenerateLevel(true, Rand(0, 3));
    SaveLevel(WorkFileName, Game.LevelNumber);
    KeyLatch = EditedFlag = true;
  }
}

void ColumnKeys(int c) {
  struct TKeyEdit {
    int key;
    int kind;  // 0 swap, 1 step
    int arg;   // swap: neighbour offset; step: position within the cell (2 speed .. 4 angle)
    int delta;
  };
  static const TKeyEdit kEdits[] = {{PAD_4, 0, -1, 0}, {PAD_6, 0, 1, 0},    {PAD_8, 1, 3, 1},
                                    {PAD_2, 1, 3, -1}, {PAD_PLUS, 1, 2, 1}, {PAD_MINUS, 1, 2, -1},
                                    {PAD_3, 1, 4, 1},  {PAD_1, 1, 4, -1}};
  for (const TKeyEdit& e : kEdits) {
    if (KeyLatch || !Held(e.key)) continue;
    if (e.kind == 0) SwapCells(c, c + e.arg);
    else StepCellChar(4 * c + e.arg, e.delta);
    KeyLatch = EditedFlag = true;
  }
}

void Column(int c, bool takesInput) {
  const int q = Centre(c), vh = VirtualHeight;
  if (takesInput && MouseOver(q - 16, 0, 31, vh / 2 + 254)) {
    Colour(0, 0, 80, 0.1f);
    DrawRect(float(q - 14), 0, 28, float(vh / 2 + 254));
    ColumnKeys(c);
    if (!MouseLatch && (MouseDown(1) || MouseDown(2))) {
      StepCellChar(4 * c + 1, MouseDown(1) ? 1 : -1);
      EditedFlag = MouseLatch = true;
    }
    if (Held('R')) {
      RandomiseCell(c);
      EditedFlag = true;
    }
  }
  for (int r = 0; r < 4; ++r) {
    const int y = vh / 2 + 32 * r + 270;
    Colour(255, 255, 255, 1.0f);
    if (takesInput && MouseOver(q - 14, y - 14, 28, 28)) {
      Colour(100, 180, 255);
      if (!MouseLatch && (MouseDown(1) || MouseDown(2))) {
        StepCellChar(4 * c + r + 1, MouseDown(1) ? 1 : -1);
        EditedFlag = MouseLatch = true;
      }
    }
    const size_t at = size_t(4 * c + r);
    const int code = at < Game.LevelText.size() ? static_cast<unsigned char>(Game.LevelText[at]) : ' ';
    const int kind = size_t(4 * c) < Game.LevelText.size() ? static_cast<unsigned char>(Game.LevelText[size_t(4 * c)]) : ' ';
    if (r == 0) TextAt(q, y, std::string(1, char(code)), 1, 1);
    else if (kind > 48) TextAt(q, y, std::to_string(code - 48), 1, 1);
  }
}

}  // namespace

void ResetEditorLatches() {
  KeyLatch = false;
  MouseLatch = true;
}

void StepCellChar(int index, int delta) {
  if (index < 1) return;
  const size_t at = size_t(index - 1);
  if (at >= Game.LevelText.size()) return;
  int ch = static_cast<unsigned char>(Game.LevelText[at]) + delta;
  if (index % 4 != 1) {
    // No upper limit, but a byte: past 255 the character stays at 255.
    Game.LevelText[at] = char(std::clamp(ch, 48, 255));
    return;
  }
  if (ch == 48) ch = 32;
  else if (ch == 33) ch = 49;
  else if (ch == 58) ch = 65;
  else if (ch == 64) ch = 57;
  else if (ch >= 79) ch = 32;
  int kind = 0;
  if (ch >= 49 && ch <= 57) kind = ch - 48;
  else if (ch >= 65 && ch <= 78) kind = ch - 55;
  const std::string cell = kDefaultCells[kind];
  for (size_t i = 0; i < 4 && at + i < Game.LevelText.size(); ++i) Game.LevelText[at + i] = cell[i];
}

void SwapCells(int a, int b) {
  if (a < 0) a = 24;
  if (b < 0) b = 24;
  if (b > 24) b = 0;
  if (a > 24) a = 0;
  std::vector<std::string> cells = Cells();
  std::swap(cells[size_t(a)], cells[size_t(b)]);
  Rebuild(cells);
}

void CopyCell(int a, int b) {
  if (a < 0 || a > 26 || b < 0 || b > 26) return;
  std::vector<std::string> cells = Cells();
  cells[size_t(b)] = cells[size_t(a)];
  Rebuild(cells);
}

void RandomiseCell(int a) {
  SeedFromClock();
  DrawRandomCell(a);
}

void GenerateLevel(bool first, int style) {
  if (style == 0) {
    const int count = first ? Rand(6, 12) : Rand(1, 3);
    for (int i = 0; i < count; ++i) {
      const int c = Rand(1, 24);
      Discard(101);
      DrawRandomCell(c);
    }
    return;
  }
  const int count = first ? Rand(3, 6) : Rand(1, 2);
  for (int i = 0; i < count; ++i) {
    const int c = Rand(0, 12);
    Discard(101);
    DrawRandomCell(c);
    CopyCell(c, 24 - c);
  }
}

void EditorStep() {
  ResetDrawing();
  Colour(255, 255, 255);
  UseFont(2, 4);
  // The small screens' face is wider: shrunk, "World " still ends before the number at 100.
  const int room = 86, width = TextWidth("World ");
  if (width > room) Scale(float(room) / float(width));
  TextAt(10, 50, "World ", 0, 0);
  Scale(1);
  TextAt(100, 50, std::to_string(WorldOf(Game.LevelNumber)) + " -", 0, 0);
  TextAt(150, 50, std::string(1, LevelLetter(Game.LevelNumber)), 0, 0);
  // The settings panel binds the keys pressed and takes the clicks made over it, and the level
  // buttons lie under its rows: while it is shown the editor leaves keys and mouse alone, and
  // what is still held when it goes acts only once let go.
  const bool takesInput = !PanelShown();
  if (!takesInput) HoldEditorLatches();
  if (takesInput && Held(kComma) && Game.LevelNumber > 1) {
    // The previous level copied into this one; it repeats while held, to the same result.
    LoadLevel(WorkFileName, Game.LevelNumber - 1);
    SaveLevel(WorkFileName, Game.LevelNumber);
    Game.ReloadFlag = true;
  }
  LevelButtons(takesInput);
  Grid();
  UseFont(2, 4);
  ResetDrawing();
  if (takesInput) Generators();
  for (int c = 0; c <= 24; ++c) Column(c, takesInput);
  Colour(255, 255, 255);
  const char* const rows[4] = {"Object", "Speed", "Depth", "Angle"};
  for (int r = 0; r < 4; ++r) TextAt(10, VirtualHeight / 2 + 32 * r + 270, rows[r], 0, 1);
}

void HoldEditorLatches() { KeyLatch = MouseLatch = true; }

void EditorLatchUpkeep() {
  static const int kLatchKeys[] = {PAD_1, PAD_2, PAD_3, PAD_4, PAD_6, PAD_8, PAD_PLUS, PAD_MINUS, kSpace};
  if (std::none_of(std::begin(kLatchKeys), std::end(kLatchKeys), Held)) KeyLatch = false;
  if (!MouseDown(1) && !MouseDown(2)) MouseLatch = false;
}
