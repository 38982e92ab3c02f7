// Watching a recorded game again on the game screen.
#pragma once
#include <string>

#include "rules/replay.h"

// Plays the replay on the real game screen with its sounds and messages, under a "Replay" mark,
// until its inputs end ("Game Over" then shows) or any key but Right, or a click, stops it; Right
// held plays four frames a frame. False with the reason, showing nothing, when the replay can't
// be played on the built-in levels (another level set or rules version).
bool WatchReplay(const TReplay& replay, std::string& why);
