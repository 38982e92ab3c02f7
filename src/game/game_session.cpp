// The game session: the rules stepped once a frame on the game's state, their picture drawn,
// their sounds played and messages posted, and around them what only the game does: the level
// files, the saved world, the editor and its check, the pause menu's end.
#include "game/game_session.h"

#include "audio/sound_effects.h"
#include "base/game_speed.h"
#include "base/program_state.h"
#include "framework/present_frame.h"
#include "game/game_state.h"
#include "game/level_check.h"
#include "game/level_editor.h"
#include "game/level_files.h"
#include "game/playfield_drawing.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/stream.h"
#include "base/game_paths.h"
#include "rules/replay.h"
#include "ui/controls.h"
#include "ui/draw_helpers.h"
#include "ui/messages.h"
#include "ui/panel_state.h"

namespace {

constexpr int kSaveKey = 'S', kSkipKey = 'J';
constexpr int kLeft = 3, kUp = 0, kFire1 = 10;

// Makes the game's score record; handed in by the layer that keeps the scores.
void (*record_step)(int) = nullptr;
// The pause menu's Continue came at the end of the last frame: its keys may still be held.
bool pause_ended = false;
// The events of the frame being played; kept, so their lists keep their room.
TFrameEvents events;
// A game (mode 1) records every frame's input, from its first frame to its end.
TReplayRecorder recorder;
// A game's frames are paced at its speed; an editing session keeps the full rate.
double frame_rate = kFullFrameRate;

TFrameInput ReadInput() {
  TFrameInput input;
  input.left = PlayerControl(kLeft, 1) != 0;
  input.jump = PlayerControl(kUp, 1) != 0 || PlayerControl(kFire1, 1) != 0;
  // J pressed over a control button of the settings panel binds it; it skips no level then.
  input.skip = KeyDown(kSkipKey) && !PanelShown();
  input.pauseEnded = pause_ended;
  return input;
}

// What the rules told of the frame, in the order they told it.
void PlayEvents() {
  for (const TSoundEvent& s : events.sounds) PlaySfx(s.effect, s.rate, s.volume, s.pan);
  for (TRulesMessage m : events.messages) PostMessage(MessageText(m));
  // The title's chooser grows at once, whether or not the file could be written.
  if (events.worldReached > 0) {
    SaveWorldReached(events.worldReached);
    StartWorldLimit = events.worldReached;
  }
  if (events.restarted) StandardIOLine("\"" + Game.LevelText + "\"");
}

// An edit is saved before a reload of the same frame (the test walk reaching the left edge) reads
// the level back, so the edit is not lost.
void EndOfFrameReloads() {
  if (EditedFlag) {
    SaveLevel(WorkFileName, Game.LevelNumber);
    if (!Game.ReloadFlag) SetupLevel(Game.LevelText);
    EditedFlag = false;
  }
  if (Game.ReloadFlag) {
    LoadLevel(WorkFileName, Game.LevelNumber);
    Game.ReloadFlag = false;
  }
}

}  // namespace

void SetGameRecordStep(void (*record)(int endReason)) { record_step = record; }

bool SaveWorldReached(int world) {
  // Written aside and renamed over the old file, so a crash never leaves a short one behind.
  const std::string temporary = GamePath("zivazo.tmp");
  TStreamPtr out = WriteFile(temporary);
  if (!out) return false;
  const bool written = out->WriteInt(world) && out->Flush();
  out->Close();
  if (written && RenameFile(temporary, GamePath("zivazo.dat"))) return true;
  DeleteFile(temporary);
  return false;
}

void StartGame() {
  GameBadges = 0;
  BestTable.assign(31, 0);
  PrepareWorkFile(GameMode);
  WorkFileName = "WIP";
  recorder.Start(StartWorld, GameMode, GameFlags, GameMode == 1 ? LevelSetHash(ReadLevelSet(WorkFileName)) : 0);
  StartGame(Game, GameMode, StartWorld, StartWorldLimit, "");
  LoadLevel(WorkFileName, Game.LevelNumber);
  ResetEditorLatches();
  ResetLevelCheck();
  EditedFlag = false;
  pause_ended = false;
  frame_rate = GameMode == 1 ? GameFrameRate(GameFlags) : kFullFrameRate;
}

bool GameFrame() {
  BeginFrame(1);
  DrawBorders(Game);
  const TFrameInput input = ReadInput();
  if (GameMode == 1) recorder.Frame(input);
  StepFrame(Game, input, events);
  pause_ended = false;
  DrawObjectsAndSheep(events.picture);
  // Read every frame, so an S pressed to bind a control on the settings panel is not kept.
  if (GameMode == 0 && KeyHit(kSaveKey) && !PanelShown()) {
    SaveLevel(WorkFileName, Game.LevelNumber);
    CopyFromWork("My Levels");
  }
  DrawPlayfieldFrame();
  if (GameMode == 1) DrawHeadsUpTexts(events.picture);
  PlayEvents();
  if (GameMode == 0) EditorStep();
  EndOfFrameReloads();
  EditorLatchUpkeep();
  if (GameMode == 0) LevelCheckFrame();
  const int paused = PresentFrame(GameMode == 0 ? 1 : 0, frame_rate);
  if (paused == 99) {
    Game.EndReason = END_QUIT;
  } else if (paused != 0) {
    pause_ended = true;
    HoldEditorLatches();
  }
  if (Game.EndReason == END_RUNNING) return true;
  DrawEndScreen();
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
  if (record_step) record_step(Game.EndReason);
}

const TReplay* FinishedReplay(int64_t stamp, const std::string& name) {
  if (recorder.Replay().mode != 1 || recorder.Replay().inputs.empty()) return nullptr;
  return &recorder.Finish(Game, stamp, name);
}

void ResetGameSession() {
  pause_ended = false;
  events = TFrameEvents{};
  recorder = TReplayRecorder{};
  frame_rate = kFullFrameRate;
}
