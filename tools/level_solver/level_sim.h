// The game's own frames run headless for the level solver: a draw driver that draws nothing, no
// sound, the level file as the work file in a folder of its own, and the whole per-level state
// saved and restored so a search can branch. Every frame is SimulateFrame, the same rules in the
// same order as the game's frame; only the drawing steps are left out.
#pragma once
#include <array>
#include <string>

#include "game/level_data.h"

// Everything a level's frames change. The level text and the border offsets are set once by the
// set-up and never change inside a level, so they are not kept.
struct TSimState {
  int levelNumber, gameScore, lives, bonus, completeTimer, endReason;
  float frameTimer;
  bool walkLatch, jumpLatch, reloadFlag;
  float sheepX, sheepY, jumpPhase;
  int jumpStep, walkFrame, deathTimer;
  int rnd;
  std::array<TLevelColumn, 36> columns;
};

// Which of the player's controls are held during a frame.
enum TInput : unsigned char { INPUT_NONE = 0, INPUT_LEFT = 1, INPUT_UP = 2 };

class TLevelSim {
 public:
  // Copies the level file into a fresh folder of its own as the game's work file.
  explicit TLevelSim(const std::string& levelFile);
  ~TLevelSim();
  TLevelSim(const TLevelSim&) = delete;
  TLevelSim& operator=(const TLevelSim&) = delete;

  // Starts level (1 to 100) as a game reaches it from the one before: loaded from the work
  // file, Left to be let go before the sheep walks.
  void StartLevel(int level);
  // The level's text as loaded (its first 101 characters).
  std::string Text() const;
  // One game frame with the given controls held.
  void Step(unsigned input);

  TSimState Save() const;
  void Restore(const TSimState& state);
  // A hash of what decides the rest of the level: the sheep's position, jump and latches, and
  // every object. The walk animation and the random generator only pick sprites and pitches.
  static unsigned long long Key(const TSimState& state);

 private:
  std::string root_;
  unsigned held_ = 0;
};
