// The world objects: every frame each column's object moves by its kind's rule, is drawn, and is
// tested against the sheep.
#pragma once

// The object pass over columns 0 to 29: update, draw, and set DeathTimer = 1 on a hit.
void UpdateObjects();
// Whether a hit may count now: the sheep has left its start, is alive and has not yet passed the
// left edge (the level end).
bool SheepCanBeHit();
