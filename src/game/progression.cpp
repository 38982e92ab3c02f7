#include "game/progression.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "audio/sound_effects.h"
#include "base/game_paths.h"
#include "base/program_state.h"
#include "framework/screen_size.h"
#include "game/game_state.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/stream.h"
#include "ui/draw_helpers.h"
#include "ui/messages.h"
#include "ui/panel_state.h"

namespace {

constexpr int kSkipKey = 'J';

void HeadsUpTexts() {
  UseFont(1, 5);
  const int vw = VirtualWidth, vh = VirtualHeight;
  Colour(255, 255, 255, 0.5f);
  TextAt(vw / 2, vh - 150, "World " + std::to_string(WorldOf(LevelNumber)) + "-" + LevelLetter(LevelNumber), 1, 1);
  Colour(0, 0, 0, 0.5f);
  TextAt(vw / 2, vh - 100, "Lives : " + std::to_string(std::max(Lives, 0)), 1, 1);
  TextAt(int(0.75f * float(vw)), vh - 50, "Bonus : " + std::to_string(Bonus), 1, 1);
  TextAt(int(0.25f * float(vw)), vh - 50, "Score : " + std::to_string(GameScore), 1, 1);
}

void Announce() {
  const int tens = LevelNumber % 10;
  if (tens == 0 || tens == 5) {
    PlaySfx(49, 1.0f, 1.0f, 0.0f);
    PostMessage("World Complete");
    PostMessage("Extra Life");
    ++Lives;
    if (LevelNumber == 20) PostMessage("Jump Button Unlocked");
  } else {
    PlaySfx(50, 1.0f, 1.0f, 0.0f);
    PostMessage("Level Complete");
  }
}

// Up to 10 bonus points a frame, each worth the lives left.
void PayBonus() {
  int taken = 0;
  for (int v = 1; v <= 4; ++v) {
    if (Bonus >= v) {
      taken += v;
      Bonus -= v;
    }
  }
  GameScore += Lives * taken;
}

void LevelEnd() {
  if (SheepX > -1.0f) Announce();
  SheepX -= 2.0f;
  PayBonus();
  if (Bonus >= 1) return;
  Bonus = 0;
  if (++CompleteTimer <= 20) return;
  SheepX = 472.0f;
  ++LevelNumber;
  CompleteTimer = 0;
  WalkLatch = true;
  ReloadFlag = true;
  if (LevelNumber > 100) EndReason = END_GAME_OVER;
}

}  // namespace

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

void ProgressBookkeeping() {
  if (DeathTimer == 30 && --Lives == -1) EndReason = END_GAME_OVER;
  const int world = WorldOf(LevelNumber);
  if (world > StartWorldLimit) {
    // The title's chooser grows at once, whether or not the file could be written.
    SaveWorldReached(world);
    StartWorldLimit = world;
  }
}

void LevelEndStep() {
  HeadsUpTexts();
  if (Bonus > 0) --Bonus;
  // J pressed over a control button of the settings panel binds it; it skips no level then.
  if (KeyDown(kSkipKey) && SheepX > 1.0f && !PanelShown()) {
    SheepX = 1.0f;
    Bonus = 0;
  }
  if (SheepX < 2.0f) LevelEnd();
}
