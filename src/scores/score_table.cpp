#include "scores/score_table.h"

int BadgeCount = 0;
int GraphScroll = 0;
int PickedIndex = 0;

void ResetScoreTableAnimation() {
  GraphScroll = 0;
  PickedIndex = 0;
}

int DrawScoreTable(int, int, int, int, int, int) { return 0; }
