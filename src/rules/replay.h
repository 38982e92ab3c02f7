// A replay: every frame's input to the rules of one game, from its first frame to its end, with a
// header that says which game it is (the rules and the levels it was played by, where it started,
// who played it and when) and what it reached. Played again through the rules from the same
// start on the same levels, the inputs reach exactly that result, so a replay proves a score and
// can be watched again.
//
// The file is text, lines ending in CR LF:
//   Lambrisk replay 1
//   rules R
//   levels HHHHHHHHHHHHHHHH        the level set's hash, 16 hexadecimal digits
//   start world W mode M flags F
//   stamp T
//   name NAME                      the record's name, the rest of the line
//   result score S level L lives V frames N
//   inputs
//   a190b3c...                     runs of one input: a letter for the input ("a" + left 1 + jump
//                                  2 + skip 4 + pause ended 8), then how many frames (1 unwritten);
//                                  lines of at most 72 characters, ended by a line "end"
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "rules/game_rules.h"
#include "rules/level_set.h"

// Changes whenever the rules would play a recorded input differently.
constexpr int kRulesVersion = 1;
constexpr int kReplayFormat = 1;
// What a replay may hold: more than two hours of frames at 30 a second is no game.
constexpr int64_t kReplayMostFrames = 30 * 60 * 60 * 2;
constexpr size_t kReplayMostBytes = 1 << 20;

// What a game reached at its end.
struct TReplayResult {
  int64_t score = 0;
  int level = 0;   // LevelNumber at the end
  int lives = 0;
  int64_t frames = 0;
  bool operator==(const TReplayResult& o) const {
    return score == o.score && level == o.level && lives == o.lives && frames == o.frames;
  }
};

struct TReplay {
  int format = kReplayFormat;
  int rules = kRulesVersion;
  uint64_t levels = 0;   // LevelSetHash of the levels played
  int world = 1;         // the start world, mode and flags of the game
  int mode = 1;
  int flags = 0;
  int64_t stamp = 0;     // the score record's timestamp
  std::string name;      // and its name
  TReplayResult result;  // what the game reached
  std::vector<TFrameInput> inputs;
};

// The hash of a level set as the rules play it (each level padded as set up).
uint64_t LevelSetHash(const TLevelSet& levels);

// The replay as its file's text.
std::string ReplayText(const TReplay& replay);
// Reads a replay's text; false with the reason when it is not one (damaged, cut short, another
// format, too long).
bool ParseReplay(const std::string& text, TReplay& replay, std::string& why);

// Records a game as it is played: the inputs of every frame, then its end.
class TReplayRecorder {
 public:
  void Start(int world, int mode, int flags, uint64_t levels);
  void Frame(const TFrameInput& input) { replay_.inputs.push_back(input); }
  // The finished replay, its result taken from the state at the game's end.
  const TReplay& Finish(const TRulesState& end, int64_t stamp, const std::string& name);
  const TReplay& Replay() const { return replay_; }

 private:
  TReplay replay_;
};

// The start of the game a replay records, on its levels: the state before its first frame.
void StartReplayedGame(TRulesState& state, const TReplay& replay, const TLevelSet& levels);
// One frame of a replayed game: the step and the next level set up when the last one is over.
void ReplayFrame(TRulesState& state, const TLevelSet& levels, const TFrameInput& input, TFrameEvents& events);

// Plays the replay's inputs through the rules on levels. False with the reason when the replay
// cannot be played there (another rules version or level set, a game that ended before its
// inputs did); result is what the inputs reached. goOn, when given, is asked every
// kReplayCheckFrames frames whether to go on (a server bounds a replay's time so): when it says
// no, the play stops there, false with why "stopped after N frames".
constexpr int64_t kReplayCheckFrames = 256;
bool PlayReplay(const TReplay& replay, const TLevelSet& levels, TReplayResult& result, std::string& why,
                const std::function<bool()>& goOn = nullptr);
// What differs between the result a replay claims and the one its inputs reached; "" when none.
std::string ResultDifference(const TReplayResult& claimed, const TReplayResult& reached);
