// The end of every game: its score record, made from the game's state, named by the player and
// saved at once.
#pragma once

// The record made and saved at once, then the name entry, whose name goes into the record; saved
// again. The game session runs it through its record step once "Game Over" has shown.
void AddFinishedGame(int endReason);
