#include "game/game_session.h"

#include <algorithm>
#include <cmath>

#include "audio/sound_effects.h"
#include "base/program_state.h"
#include "framework/common_assets.h"
#include "framework/present_frame.h"
#include "framework/screen_size.h"
#include "game/game_state.h"
#include "game/level_check.h"
#include "game/level_data.h"
#include "game/level_editor.h"
#include "game/level_files.h"
#include "game/progression.h"
#include "game/sheep.h"
#include "game/world_objects.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/draw_state.h"
#include "platform/input.h"
#include "ui/draw_helpers.h"
#include "ui/panel_state.h"

std::vector<int> BestTable;

namespace {
// Makes the game's score record; handed in by the layer that keeps the scores.
void (*record_step)(int) = nullptr;
}  // namespace

namespace {

constexpr int kSaveKey = 'S';

// The border strips of the level's world pair, each at its own offset.
void Borders() {
  ResetDrawing();
  Scale(2);
  const size_t pair = size_t((LevelNumber + 9) / 10);
  if (pair < TopBorders.size()) {
    for (int k = -2; k <= 2; ++k) {
      DrawSprite(TopBorders[pair], float(1024 * k + BorderOffsets[0]), 0, 0);
      DrawSprite(BottomBorders[pair], float(1024 * k + BorderOffsets[1]), 512, 0);
    }
  }
  Scale(1);
  Colour(255, 255, 255, 1.0f);
}

// The frame around the playfield: the ground band, the dark top and bottom, and the sides
// darkened more and more towards the screen's edges.
void PlayfieldFrame() {
  ResetDrawing();
  const float vw = float(VirtualWidth);
  const float half_w = float(VirtualWidth / 2), half_h = float(VirtualHeight / 2);
  Colour(255, 255, 255, 0.2f);
  DrawRect(0, half_h + 254, vw, half_h);
  Colour(0, 0, 0, 0.4f);
  DrawRect(0, 0, vw, half_h - 512);
  DrawRect(0, half_h + 256, vw, half_h);
  // Each side is 65 black rectangles of alpha 0.08, each 10 units narrower than the last, so a
  // 10-unit band is under n of them and keeps 0.92^n of its colour. Each band is drawn once at
  // the combined alpha instead: the same darkening, but a pixel is blended once rather than up
  // to 65 times, which a software renderer feels. The band edges are the rectangles' own. The
  // screen takes alpha in 255ths, 0.08 as 20/255, so a layer keeps 235/255 of the colour.
  const float height = half_h + 256, left_edge = half_w - 480, right_edge = half_w + 480;
  for (int n = 1; n <= 65; ++n) {
    Colour(0, 0, 0, 1.0f - std::pow(235.0f / 255.0f, float(n)));
    // Band n on the left ends where rectangle n - 1 ends; the last band reaches the screen's
    // edge. Past that edge there is nothing left to darken.
    const float left_x1 = left_edge - float(10 * (n - 1));
    const float left_x0 = n == 65 ? 0.0f : std::max(left_edge - float(10 * n), 0.0f);
    if (left_x1 > 0) DrawRect(left_x0, 0, left_x1 - left_x0, height);
    const float right_x0 = right_edge + float(10 * (n - 1));
    const float right_x1 = n == 65 ? vw : std::min(right_x0 + 10, vw);
    if (right_x0 < vw) DrawRect(right_x0, 0, right_x1 - right_x0, height);
  }
}

// "Game Over" in yellow with a dark rim and a white halo, left on screen.
void EndScreen() {
  Flip(-1);
  SetImageFont(ScreenFonts[5]);
  const int cx = VirtualWidth / 2, cy = VirtualHeight / 2;
  struct TLayer {
    int reach;
    float r, g, b;
  };
  for (const TLayer& layer : {TLayer{3, 255, 255, 255}, TLayer{2, 8, 8, 8}}) {
    for (int dx = -layer.reach; dx <= layer.reach; ++dx)
      for (int dy = -layer.reach; dy <= layer.reach; ++dy) {
        ResetDrawing();
        Colour(layer.r, layer.g, layer.b, 1.0f);
        TextAt(cx + dx, cy + dy, "Game Over", 1, 1);
      }
  }
  ResetDrawing();
  Colour(255, 255, 0, 1.0f);
  TextAt(cx, cy, "Game Over", 1, 1);
  Flip(-1);
}

void EditorTestWalkEnd() {
  if (SheepX >= 2.0f) return;
  SheepX = 472.0f;
  PlaySfx(LevelNumber % 10 == 0 ? 49 : 50, 1.0f, 1.0f, 0.0f);
  WalkLatch = true;
  ReloadFlag = true;
}

// An edit is saved before a reload of the same frame (the test walk reaching the left edge) reads
// the level back, so the edit is not lost.
void EndOfFrameReloads() {
  if (EditedFlag) {
    SaveLevel(WorkFileName, LevelNumber);
    if (!ReloadFlag) SetupLevel(LevelText);
    EditedFlag = false;
  }
  if (ReloadFlag) {
    LoadLevel(WorkFileName, LevelNumber);
    ReloadFlag = false;
  }
}

// The keys that chose Continue in the pause menu (Space, Z, Up, a pad's fire) are often still
// down when the game goes on: nothing held then may walk, jump or edit until it is let go.
void HoldInputsAfterPause() {
  WalkLatch = JumpLatch = true;
  HoldEditorLatches();
}

}  // namespace

void SetGameRecordStep(void (*record)(int endReason)) { record_step = record; }

void StartGame() {
  GameScore = 0;
  GameBadges = 0;
  if (BestTable.size() < 31) BestTable.resize(31);
  for (size_t i = 1; i <= 30; ++i) BestTable[i] = 0;
  PrepareWorkFile(GameMode);
  LevelNumber = StartWorld * 5 - 4;
  WorkFileName = "WIP";
  LoadLevel(WorkFileName, LevelNumber);
  Lives = 3;
  CompleteTimer = 0;
  WalkLatch = JumpLatch = false;
  ResetEditorLatches();
  ResetLevelCheck();
  ReloadFlag = EditedFlag = false;
  EndReason = END_RUNNING;
}

void SimulateFrame(void (*borders)(), void (*playfieldFrame)()) {
  FrameTimer = std::fmod(FrameTimer + 1.0f, 3600.0f);
  if (borders) borders();
  UpdateObjects();
  ResetDrawing();
  SheepStep();
  if (GameMode == 0) {
    EditorTestWalkEnd();
    // Read every frame, so an S pressed to bind a control on the settings panel is not kept.
    if (KeyHit(kSaveKey) && !PanelShown()) {
      SaveLevel(WorkFileName, LevelNumber);
      CopyFromWork("My Levels");
    }
  }
  if (playfieldFrame) playfieldFrame();
  SlideStep();
  if (GameMode == 1) LevelEndStep();
  if (GameMode == 0) EditorStep();
  EndOfFrameReloads();
  EditorLatchUpkeep();
}

bool GameFrame() {
  BeginFrame(1);
  SimulateFrame(Borders, PlayfieldFrame);
  if (GameMode == 0) LevelCheckFrame();
  const int paused = PresentFrame(GameMode == 0 ? 1 : 0);
  if (paused == 99) EndReason = END_QUIT;
  else if (paused != 0) HoldInputsAfterPause();
  if (EndReason == END_RUNNING) return true;
  EndScreen();
  return false;
}

void RunGame() {
  StartGame();
  while (GameFrame()) {
  }
  // Leaving the editor keeps its work, as closing the window in the middle of it does: the next
  // editor session starts again from "My Levels.txt".
  if (GameMode == 0) CopyFromWork("My Levels");
  ResetLevelCheck();
  Delay(1500);
  GameState = 0;
  if (record_step) record_step(EndReason);
}
