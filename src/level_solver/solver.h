// The level solver: a breadth-first search over the player's inputs frame by frame that finds
// the fewest frames to the end of a level, and random human-like players, plain and careful,
// that tell how much room the level leaves for a person's timing.
#pragma once
#include <string>
#include <vector>

#include "level_sim.h"

struct TSolveOptions {
  int cap = 600;           // most states kept a frame: the most advanced ones
  int maxFrames = 1200;    // 40 seconds of play; a level that takes longer counts as not done
  int randomRuns = 255;    // random players of each kind per level (0 leaves the difficulty out)
  int foresight = 12;      // frames a careful player looks ahead (0.4 s)
  unsigned seed = 20240601;
  // Tries a quarter of the cap first; the fewest frames found may then be a few more.
  bool quickFirst = false;
};

struct TLevelReport {
  int level = 0;
  std::string text;
  std::vector<int> kinds;             // object kinds in the level, ascending
  bool completable = false;
  int frames = 0;                     // fewest frames until the level end begins
  std::vector<unsigned char> route;   // the inputs of that run, one a frame
  int states = 0;                     // states simulated by the search
  int randomPassed = 0;   // plain random players through
  int carefulPassed = 0;  // careful random players through
  int randomRuns = 0;     // players of each kind
  // The mean over both kinds of log2((runs + 1) / (through + 1)): 0 when every player gets
  // through, 8 when none of 255 of either kind does.
  double difficulty = 0.0;
  bool replayFailed = false;  // a route was found but did not play again from the start
};

// Searches the level's fewest frames (a route found counts once it plays again from the level's
// start), then sends the random players through it.
TLevelReport SolveLevel(TLevelSim& sim, int level, const TSolveOptions& options);
// Plays the inputs from the start of the level; true when the level ends without a death.
bool PlayRoute(TLevelSim& sim, int level, const std::vector<unsigned char>& route);
// "3-B": a level's world and letter.
std::string LevelLabel(int level);
// The level's object kinds as their characters ("1"-"9", "A"-"N"), "-" for none.
std::string KindChars(const TLevelReport& r);
