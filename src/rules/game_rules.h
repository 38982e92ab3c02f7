// The game's rules, apart from any screen: one state record holding everything a frame changes,
// and one step that takes it and one frame's input to the next frame, telling what happened on
// the way (sounds, messages, a death, a level end, the world reached, the end of the game) and
// what the frame shows where the frame shows it. All of it counts frames, not time, and the same
// state and input always give the same next state, bit for bit, so a copy of the record is a copy
// of the game: the level solver branches its search by copying it, and a recorded input replays
// a game exactly.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "rules/level_cells.h"
#include "rules/random_generator.h"

enum TEndReason { END_RUNNING = 0, END_GAME_OVER = 1, END_QUIT = 99 };

struct TRulesState {
  int GameMode = 1;               // 1 a game, 0 the level editor: no lives, no bonus, no level end
  int LevelNumber = 1;            // current level, 1 to 100
  int GameScore = 0;              // only the level-end payment adds to it
  int Lives = 3;                  // the game is over when it falls to -1
  int Bonus = 999;                // 999 at every level set-up, one less a frame
  float FrameTimer = 0.0f;        // frames since the level was set up, wrapping at 3600
  int CompleteTimer = 0;          // frames counted after the level-end bonus is used up
  bool WalkLatch = false;         // Left must be let go before the sheep walks on
  bool JumpLatch = false;         // Up and fire 1 must be let go before the next jump
  bool ReloadFlag = false;        // the level LevelNumber is to be set up at the end of the frame
  int EndReason = END_RUNNING;    // 0 running, 1 game over or all levels done, 99 quit
  int StartWorldLimit = 1;        // highest world reached so far; entering a higher one tells
  // The sheep, set at every level set-up.
  float SheepX = 472.0f;          // 472 at the start; the level is passed below 2
  float SheepY = 249.0f;          // recomputed every frame
  float JumpPhase = 0.0f;         // 0 on the ground, 8 to 180 in a jump
  int JumpStep = 8;               // degrees a frame added to JumpPhase
  int WalkFrame = 0;              // 0 to 7; the sprite frame is WalkFrame / 2
  int DeathTimer = 0;             // 0 alive; 1 on the frame of a hit, then one more a frame
  // The level.
  std::string LevelText;          // the level's cells as set up, padded to 117
  TLevelColumns LevelColumns{};   // the objects, by column
  std::array<int, 2> BorderOffsets{};  // of the top and bottom border strips, 0 to 512
  TRandom Random;                 // reseeded by LevelNumber at every set-up
};

// One frame's input to the rules.
struct TFrameInput {
  bool left = false;        // Left held: walk
  bool jump = false;        // Up or fire 1 held: jump (from level 21)
  bool skip = false;        // the level-skip key held: the level ends at once, unpaid
  bool pauseEnded = false;  // the pause menu closed since the last frame: what is held waits
};

struct TSoundEvent {
  int effect = 0;
  float rate = 1.0f;    // 1 the recorded pitch
  float volume = 1.0f;  // 0 to 1
  float pan = 0.0f;     // -1 left to 1 right
};

enum TRulesMessage { MSG_WORLD_COMPLETE, MSG_EXTRA_LIFE, MSG_JUMP_UNLOCKED, MSG_LEVEL_COMPLETE };
// The floating message's text: "World Complete", "Extra Life", "Jump Button Unlocked", "Level
// Complete".
const char* MessageText(TRulesMessage message);

// What the frame shows, taken at the points where the frame draws it: the objects right after
// they moved (a death may set the level up again later in the same frame), the sheep before it
// walks, and the heads-up values before the bonus counts down.
struct TFramePicture {
  TLevelColumns columns{};                // after the object pass
  std::array<float, kObjectColumns> eruptionScale{};  // kind 11's drawn width this frame
  std::array<signed char, kObjectColumns> warning{};  // -1 a sign on the left, 1 on the right
  float sheepX = 0.0f, sheepY = 0.0f;     // whole units
  int sheepFrame = 0;                     // sprite frame
  float sheepAngle = 0.0f;                // degrees: a dead sheep spins
  bool startMarker = false;               // blinking until the sheep sets off
  int level = 1, lives = 0, bonus = 0, score = 0;  // the heads-up texts' values (a game only)
};

struct TFrameEvents {
  bool wantPicture = true;        // false skips taking the picture (programs that draw nothing)
  std::vector<TSoundEvent> sounds;      // in the order they play
  std::vector<TRulesMessage> messages;  // in the order they are posted
  bool hit = false;               // the sheep was hit
  bool lifeLost = false;
  bool restarted = false;         // the level was set up again after a death
  bool levelDone = false;         // the level end is over: LevelNumber is the next level's
  int worldReached = 0;           // a world above StartWorldLimit was entered (it is saved)
  bool gameEnded = false;         // EndReason became other than 0
  TFramePicture picture;
};

// Sets the level up from its text: the generator reseeded by LevelNumber (50 draws discarded),
// the frame timer, the border offsets, the columns, the sheep and the bonus back to their start,
// then the objects of cells 0 to 25 placed.
void SetupLevel(TRulesState& state, const std::string& text);
// The start of a game of mode from world: score 0, lives 3, level world * 5 - 4 set up from its
// text, every flag and latch clear.
void StartGame(TRulesState& state, int mode, int world, int startWorldLimit, const std::string& firstLevelText);
// One frame: the frame timer, the objects, the sheep, the editor's test-walk end (mode 0), the
// slide of the icy worlds, and in a game the bonus and the level end. A level end that is over
// leaves ReloadFlag set: the caller sets the next level up from its text before the next frame.
void StepFrame(TRulesState& state, const TFrameInput& input, TFrameEvents& events);

// The walking step a frame in the current world.
float WalkStep(const TRulesState& state);
// Whether an object touching the sheep now kills it: the sheep has set off, is alive, and has not
// reached the left edge, where the level end begins.
bool SheepCanBeHit(const TRulesState& state);
// The object pass alone (tests): every column's object moves, sounds and is tested against the
// sheep.
void UpdateObjects(TRulesState& state, TFrameEvents& events);
