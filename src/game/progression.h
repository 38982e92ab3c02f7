// Progression in a normal game: lives, the bonus and its payment at the level end, the saved
// highest world, the heads-up texts and the end of the game.
#pragma once

// In the sheep's step after the death timer: the life lost at timer 30 and the world reached
// saved to "zivazo.dat".
void ProgressBookkeeping();
// After the screen frame: the heads-up texts, the bonus count-down, the J skip and the level end.
void LevelEndStep();
// Writes the highest world reached to "zivazo.dat" (one 32-bit little-endian integer).
bool SaveWorldReached(int world);
