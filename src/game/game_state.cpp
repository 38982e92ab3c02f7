#include "game/game_state.h"

TRulesState Game;
std::string WorkFileName = "WIP";
bool EditedFlag = false;
int GameBadges = 0;
std::vector<int> BestTable(31, 0);

void ResetGameState() {
  Game = TRulesState{};
  WorkFileName = "WIP";
  EditedFlag = false;
  GameBadges = 0;
  BestTable.assign(31, 0);
}
