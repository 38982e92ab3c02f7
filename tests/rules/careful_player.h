// A player of whole games for the rules' tests: careful (it looks ahead on copies of the state
// before it walks or jumps), blind on some levels' first try so it dies too, skipping a level it
// cannot pass, and taking a pause now and then.
#pragma once
#include <cstdint>
#include <vector>

#include "rules/game_rules.h"
#include "rules/level_set.h"

struct TPlayedGame {
  std::vector<TFrameInput> inputs;   // one a frame
  std::vector<uint64_t> levelEnds;   // the state's hash at every level end, and at the game's end
  TRulesState end;                   // the state after the last frame
};

// The built-in levels of the source tree.
TLevelSet BuiltInLevels();
// A game of mode 1 from world 1, for at most frames frames or until it ends.
TPlayedGame PlayCarefully(const TLevelSet& levels, int frames);
// The same inputs played again from the start.
TPlayedGame Replay(const TLevelSet& levels, const std::vector<TFrameInput>& inputs);
