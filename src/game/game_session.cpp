#include "game/game_session.h"

std::vector<int> BestTable;

void RunGame() {}
