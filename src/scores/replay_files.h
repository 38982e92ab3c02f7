// The replays of the local records: one file a game in "Files/003/replays/", named after its
// record, written beside the score file when the record is made and deleted when the score list
// drops the record. A missing or damaged replay only means the record has none to watch.
#pragma once
#include <string>

#include "rules/replay.h"
#include "scores/score_records.h"

// "replays/" + the record's stamp, score and a short hash of its name + ".txt", in the game
// folder.
std::string ReplayPath(const TScores& record);
bool HasReplay(const TScores& record);
// Written aside and renamed over, so a crash leaves the whole replay or none; false (and a line
// in the debug log) when it could not be written.
bool SaveReplay(const TScores& record, const TReplay& replay);
// The record's replay; false with the reason when it has none or it is damaged.
bool LoadReplay(const TScores& record, TReplay& replay, std::string& why);
// Deletes the replays whose record is no longer in the local list.
void PruneReplays();
