#include "game/game_state.h"

int LevelNumber = 1;
int GameScore = 0;
int Lives = 3;
int Bonus = 999;
std::string WorkFileName = "WIP";
float FrameTimer = 0.0f;
int CompleteTimer = 0;
bool WalkLatch = false;
bool JumpLatch = false;
bool ReloadFlag = false;
bool EditedFlag = false;
int EndReason = END_RUNNING;
int GameBadges = 0;

float SheepX = 472.0f;
float SheepY = 249.0f;
float JumpPhase = 0.0f;
int JumpStep = 8;
int WalkFrame = 0;
int DeathTimer = 0;

int WorldOf(int level) { return (level + 4) / 5; }

char LevelLetter(int level) { return char(65 + (level - 1) % 5); }

bool SlowWorld(int level) {
  const int world = WorldOf(level);
  return world == 19 || world == 20;
}

void ResetGameState() {
  LevelNumber = 1;
  GameScore = 0;
  Lives = 3;
  Bonus = 999;
  WorkFileName = "WIP";
  FrameTimer = 0.0f;
  CompleteTimer = 0;
  WalkLatch = JumpLatch = ReloadFlag = EditedFlag = false;
  EndReason = END_RUNNING;
  GameBadges = 0;
  SheepX = 472.0f;
  SheepY = 249.0f;
  JumpPhase = 0.0f;
  JumpStep = 8;
  WalkFrame = 0;
  DeathTimer = 0;
}
