// The score table the title screen shows in its side panel: the history graph of recent games,
// the best 25 and the detail box of one record.
#pragma once
#include "scores/score_records.h"

extern int BadgeCount;   // badges a record can hold; start-up sets 16
extern int GraphScroll;  // horizontal scroll of the history graph, 0 .. 1000 in steps of 8
extern int PickedIndex;  // the remembered selection: graph position, or 1000 + list rank
// The record whose "Watch" was clicked in the detail box; the screen that shows the table plays
// its replay and clears it.
extern TScoresPtr WatchAsked;

// Forgets the scroll and the selection; the title screen calls it after every game.
void ResetScoreTableAnimation();
// Ranks the table of this mode, start world and flags in the local list (a negative mode: the
// online list) and, when active, draws it in the panel at panelX of width panelW and drops the
// table's records older than its 50 newest that are not among its best 25. Returns the
// first-ranked score.
int DrawScoreTable(int panelX, int panelW, int mode, int level, int flags, int active);
// The record the last drawn table shows in its detail box; null when none.
TScoresPtr SelectedRecord();
