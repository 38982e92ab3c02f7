// Watching a recorded game: its inputs played through the rules on the real game screen, with its
// sounds and messages, under a blinking "Replay" mark; Right held plays it four times as fast,
// and any other key or a click ends it.
#include "game/replay_player.h"

#include "audio/sound_effects.h"
#include "base/game_speed.h"
#include "base/program_state.h"
#include "framework/present_frame.h"
#include "framework/screen_size.h"
#include "game/level_files.h"
#include "game/playfield_drawing.h"
#include "platform/clock.h"
#include "platform/input.h"
#include "platform/key_codes.h"
#include "ui/controls.h"
#include "ui/draw_helpers.h"
#include "ui/messages.h"

namespace {

constexpr int kFastFrames = 4;
constexpr int kRight = 5;  // player 1's Right control

// Right (the arrow, or whatever Right is bound to) speeds the replay up; the keys that keep their
// own jobs on every screen (the settings panel, screenshots, the overlay) and the modifiers
// (Shift, Control, Alt on either side) never end it.
bool EndsTheReplay(int key) {
  if (key == ControlTable[kRight]) return false;
  switch (key) {
    case VK_RIGHT: case VK_TAB: case VK_F11: case VK_F12: case 16: case 17: case 18:
    case 160: case 161: case 162: case 163: case VK_LEFT_ALT: case VK_RIGHT_ALT:
      return false;
    default:
      return true;
  }
}

bool StopAsked() {
  bool stop = MouseHit(1) > 0 || MouseHit(2) > 0;
  for (int key = 8; key <= 254; ++key)
    if (EndsTheReplay(key) && KeyHit(key) > 0) stop = true;
  return stop;
}

void DrawReplayMark() {
  ResetDrawing();
  UseFont(1, 6);
  Colour(255, 255, 0, Millis() % 1000 < 600 ? 1.0f : 0.4f);
  TextAt(VirtualWidth / 2, 40, "Replay", 1, 1);
}

}  // namespace

bool WatchReplay(const TReplay& replay, std::string& why) {
  const TLevelSet levels = ReadLevelSet(GameTitle);
  TReplayResult ignored;
  // Only a replay that the rules can play on these levels shows the game it recorded.
  if (!PlayReplay(replay, levels, ignored, why)) return false;
  TRulesState state;
  StartReplayedGame(state, replay, levels);
  TFrameEvents events;
  FlushKeys();
  FlushMouse();
  size_t next = 0;
  bool stopped = false;
  while (next < replay.inputs.size() && !stopped) {
    BeginFrame(1);
    DrawBorders(state);
    const int steps = KeyDown(VK_RIGHT) || PlayerControl(kRight, 1) ? kFastFrames : 1;
    for (int k = 0; k < steps && next < replay.inputs.size(); ++k) {
      ReplayFrame(state, levels, replay.inputs[next++], events);
      for (const TSoundEvent& s : events.sounds) PlaySfx(s.effect, s.rate, s.volume, s.pan);
      for (TRulesMessage m : events.messages) PostMessage(MessageText(m));
    }
    DrawObjectsAndSheep(events.picture);
    DrawPlayfieldFrame();
    DrawHeadsUpTexts(events.picture);
    DrawReplayMark();
    // At the speed it was played at: the frames are the same, only their pace differs.
    PresentFrame(0, GameFrameRate(replay.flags));
    stopped = StopAsked();
  }
  if (!stopped) {
    DrawEndScreen();
    Delay(1500);
  }
  // What was pressed to end it, or while "Game Over" showed, is not the title's to act on.
  MessageList.clear();
  DrainEvents();
  FlushKeys();
  FlushMouse();
  return true;
}
