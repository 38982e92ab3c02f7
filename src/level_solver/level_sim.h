// A level played by the rules alone, for the level solver: a level file's levels, and the rules'
// state stepped frame by frame with the player's controls. The state is one value, so a search
// branches by copying it.
#pragma once
#include <string>

#include "rules/game_rules.h"
#include "rules/level_set.h"

// Which of the player's controls are held during a frame.
enum TInput : unsigned char { INPUT_NONE = 0, INPUT_LEFT = 1, INPUT_UP = 2 };

class TLevelSim {
 public:
  explicit TLevelSim(const TLevelSet& levels) : levels_(levels) { events_.wantPicture = false; }

  // Starts level (1 to 100) as a game reaches it from the one before: Left to be let go before
  // the sheep walks. Every world counts as reached, so no frame tells of a new one.
  void StartLevel(int level);
  // The level's text as the file holds it (its first 101 characters).
  std::string Text() const;
  // One game frame with the given controls held; a level end that is over sets the next level up.
  void Step(unsigned input);

  const TRulesState& State() const { return state_; }
  void Restore(const TRulesState& state) { state_ = state; }
  // A hash of what decides the rest of the level: the sheep's position, jump and latches, and
  // every object. The walk animation and the random generator only pick sprites and pitches.
  static unsigned long long Key(const TRulesState& state);

 private:
  TLevelSet levels_;
  TRulesState state_;
  TFrameEvents events_;
};

// Reads a level file's levels; false when it cannot be read.
bool ReadLevelSet(const std::string& path, TLevelSet& levels);
