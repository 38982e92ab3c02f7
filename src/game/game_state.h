// The game being played: the rules' state record, which the session steps every frame and the
// screen draws from, and what only the game around the rules keeps (the work file, the editor's
// pending edit, the values handed to the score record).
#pragma once
#include <string>
#include <vector>

#include "rules/game_rules.h"

extern TRulesState Game;          // the rules' state of the game in progress
extern std::string WorkFileName;  // "WIP": the level file the game reads and writes
extern bool EditedFlag;           // save the edited level and set it up again at the frame's end
extern int GameBadges;            // badge mask handed to the score record
// Per-game values 1 to 30 handed to the score record at the end (index 0 unused); nothing in
// the game sets them.
extern std::vector<int> BestTable;

// Every value above back to its start.
void ResetGameState();
