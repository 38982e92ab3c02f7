// The score file "nuscores.dat" in the game folder: the scrambled credentials line, then one
// scrambled line per local record, newest first.
#pragma once
#include <string>

#include "scores/score_records.h"
#include "scores/scramble.h"

extern std::string UserName;  // the online credentials, kept in the file's first line
extern std::string Password;

// A record as the protocol's line carries it, and back (the game's records hold 32-bit fields).
TRecordFields RecordFieldsOf(const TScores& record);
TScoresPtr ScoresFrom(const TRecordFields& fields);
// The plain text of one record's line, and the record read back from one (null when the line
// holds no record).
std::string ScoreLine(const TScores& record);
TScoresPtr ReadScoreLine(const std::string& plain);

// Replaces the local list and the stored login with the contents of "nuscores.dat". A list that
// was loaded before in this run is saved first, so a reload never loses a game played since; when
// that save fails, or while the list is held, the list stays as it is. A file with damaged lines
// is kept as "nuscores.bad" before they are dropped.
void LoadScores();
// Writes the login and the local records (online ones never) to "nuscores.dat", readable by its
// owner only, through a temporary file put on the disk and renamed over it, so neither a crash
// nor a power cut while saving leaves a cut-short file.
bool SaveScores();
// While held (the name prompt names the newest record), LoadScores saves the list but keeps it.
void HoldScoreList(bool held);
// Forgets that a list was loaded (tests).
void ResetScoreFile();
