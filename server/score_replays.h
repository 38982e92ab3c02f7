// The proof of a submitted score by its replay. The replay is played again through the game's
// rules on the level set the server holds, within bounds on its size, its frames and the
// processor time it takes, and proves its record only when it is that record's game (the same
// start world, mode and flags, stamp and name), made by this server's rules version on these
// levels, and its inputs reach exactly the result it claims, whose score is the record's. That
// the score was reached by those inputs on the real rules is all a proof says: not that a person
// pressed them.
#pragma once
#include <cstdint>
#include <string>

#include "rules/replay.h"
#include "score_store.h"

// The levels replays are proven on, read once at start.
struct TProofLevels {
  std::string file;
  TLevelSet levels;
  uint64_t hash = 0;  // LevelSetHash of levels
};

// The built-in levels: "Lambrisk.txt" beside the program (the build folder's copy), else where
// the install puts it, "share/lambrisk-score-server/" below the prefix of the program's
// "libexec/lambrisk-score-server/".
std::string BuiltInLevelFile();
// Reads a level file; false with the reason when it cannot be read or holds no level.
bool ReadProofLevels(const std::string& file, TProofLevels& levels, std::string& error);
// Reads a replay's text into replay and checks its header against the record and the server's
// rules and levels: "" when it may be played, else why not.
std::string ReplayMismatch(const std::string& text, const TServerRecord& record, uint64_t levelsHash,
                           TReplay& replay);
// Plays a replay that matched, for at most cpuSeconds of the calling thread's processor time:
// "" when its inputs reach the result it claims, with the record's score; else why not.
std::string ReplayDisproof(const TReplay& replay, const TServerRecord& record, const TLevelSet& levels,
                           double cpuSeconds);
