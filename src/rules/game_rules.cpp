// The frame's rules in their order, the level set-up and the start of a game.
#include "rules/game_rules.h"

#include <cmath>

#include "rules/frame_steps.h"

namespace {

// In the editor the test walk ends at the left edge: the level starts again.
void EditorTestWalkEnd(TRulesState& s, TFrameEvents& events) {
  if (s.SheepX >= 2.0f) return;
  s.SheepX = 472.0f;
  events.sounds.push_back({s.LevelNumber % 10 == 0 ? 49 : 50, 1.0f, 1.0f, 0.0f});
  s.WalkLatch = true;
  s.ReloadFlag = true;
}

}  // namespace

const char* MessageText(TRulesMessage message) {
  switch (message) {
    case MSG_WORLD_COMPLETE: return "World Complete";
    case MSG_EXTRA_LIFE: return "Extra Life";
    case MSG_JUMP_UNLOCKED: return "Jump Button Unlocked";
    case MSG_LEVEL_COMPLETE: break;
  }
  return "Level Complete";
}

void SetupLevel(TRulesState& s, const std::string& text) {
  // The same level always gets the same random values.
  s.Random.Seed(s.LevelNumber);
  for (int i = 0; i < 50; ++i) s.Random.Int(0, 1000);
  s.LevelText = PaddedLevelText(text);
  s.FrameTimer = 0.0f;
  s.BorderOffsets[0] = s.Random.Int(0, 512);
  s.BorderOffsets[1] = s.Random.Int(0, 512);
  for (int w = 0; w < kObjectColumns; ++w) s.LevelColumns[size_t(w)].fill(0);
  s.SheepX = 472.0f;
  s.SheepY = 249.0f;
  s.WalkFrame = 0;
  s.Bonus = 999;
  s.JumpPhase = 0.0f;
  s.DeathTimer = 0;
  for (int c = 0; c < kSetupCells; ++c) {
    const TCell cell = DecodeCell(s.LevelText, c);
    if (!cell.empty) PlaceObject(s.LevelColumns, c + 3, cell.kind, cell.speed, cell.depth * 16, cell.angle, 0);
  }
}

void StartGame(TRulesState& s, int mode, int world, int startWorldLimit, const std::string& firstLevelText) {
  s = TRulesState{};
  s.GameMode = mode;
  s.StartWorldLimit = startWorldLimit;
  s.LevelNumber = world * 5 - 4;
  SetupLevel(s, firstLevelText);
}

void StepFrame(TRulesState& s, const TFrameInput& input, TFrameEvents& events) {
  events.sounds.clear();
  events.messages.clear();
  events.hit = events.lifeLost = events.restarted = events.levelDone = events.gameEnded = false;
  events.worldReached = 0;
  const bool running = s.EndReason == END_RUNNING;
  // The keys that chose Continue in the pause menu are often still down when the game goes on:
  // nothing held then may walk or jump until it is let go.
  if (input.pauseEnded) s.WalkLatch = s.JumpLatch = true;

  s.FrameTimer = std::fmod(s.FrameTimer + 1.0f, 3600.0f);
  UpdateObjects(s, events);
  SheepStep(s, input, events);
  if (s.GameMode == 0) EditorTestWalkEnd(s, events);
  SlideStep(s, input);
  if (s.GameMode == 1) LevelEndStep(s, input, events);
  events.gameEnded = running && s.EndReason != END_RUNNING;
}
