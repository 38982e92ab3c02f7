#include "level_sim.h"

#include <cstring>
#include <fstream>
#include <iterator>

bool ReadLevelSet(const std::string& path, TLevelSet& levels) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return false;
  levels = LevelSetOf(SplitLevelLines(bytes));
  return true;
}

void TLevelSim::StartLevel(int level) {
  StartGame(state_, 1, 1, 20, "");
  state_.LevelNumber = level;
  SetupLevel(state_, levels_.Text(level));
  state_.WalkLatch = true;
}

std::string TLevelSim::Text() const { return state_.LevelText.substr(0, kStoredLevelLength); }

void TLevelSim::Step(unsigned input) {
  TFrameInput in;
  in.left = (input & INPUT_LEFT) != 0;
  in.jump = (input & INPUT_UP) != 0;
  StepFrame(state_, in, events_);
  if (state_.ReloadFlag) {
    SetupLevel(state_, levels_.Text(state_.LevelNumber));
    state_.ReloadFlag = false;
  }
}

unsigned long long TLevelSim::Key(const TRulesState& s) {
  unsigned long long h = 1469598103934665603ull;
  auto mix = [&h](unsigned long long v) {
    h ^= v + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2);
    h *= 1099511628211ull;
  };
  unsigned bits = 0;
  std::memcpy(&bits, &s.SheepX, sizeof bits);
  mix(bits);
  std::memcpy(&bits, &s.JumpPhase, sizeof bits);
  mix(bits);
  mix((s.WalkLatch ? 1u : 0u) | (s.JumpLatch ? 2u : 0u) | unsigned(s.DeathTimer) << 2);
  mix(unsigned(s.CompleteTimer) | unsigned(s.Bonus) << 8);
  for (const TLevelColumn& col : s.LevelColumns)
    for (int v : col) mix(unsigned(v));
  return h;
}
