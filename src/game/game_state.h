// The state of the game being played, shared by the session loop, the level set-up, the objects,
// the sheep, the progression rules and the editor. All of it counts frames, not time.
#pragma once
#include <string>

extern int LevelNumber;           // current level, 1 to 100
extern int GameScore;
extern int Lives;                 // the game is over when it falls to -1
extern int Bonus;                 // 999 at every level set-up, one less a frame
extern std::string WorkFileName;  // "WIP": the level file the game reads and writes
extern float FrameTimer;          // frames since the level was set up, wrapping at 3600
extern int CompleteTimer;         // frames counted after the level-end bonus is used up
extern bool WalkLatch;            // Left must be let go before the sheep walks on
extern bool JumpLatch;            // Up and fire 1 must be let go before the next jump
extern bool ReloadFlag;           // load the current level again at the end of the frame
extern bool EditedFlag;           // save the edited level and set it up again at the frame's end
extern int EndReason;             // 0 running, 1 game over or all levels done, 99 quit
extern int GameBadges;            // badge mask handed to the score record

// The sheep, set at every level set-up.
extern float SheepX;     // 472 at the start; the level is passed below 2
extern float SheepY;     // recomputed every frame
extern float JumpPhase;  // 0 on the ground, 8 to 180 in a jump
extern int JumpStep;     // degrees a frame added to JumpPhase
extern int WalkFrame;    // 0 to 7; the sprite frame is WalkFrame / 2
extern int DeathTimer;   // 0 alive; 1 on the frame of a hit, then one more a frame

enum TEndReason { END_RUNNING = 0, END_GAME_OVER = 1, END_QUIT = 99 };

// The world of a level: levels 1 to 5 are world 1, 96 to 100 world 20.
int WorldOf(int level);
// "A" to "E": the level's letter inside its world.
char LevelLetter(int level);
// Worlds 19 and 20 walk slowly and jump long and high.
bool SlowWorld(int level);

// Every value above back to its start (tests).
void ResetGameState();
