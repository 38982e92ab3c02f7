#include "solver.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <random>
#include <unordered_set>

#include "rules/level_cells.h"

namespace {

struct TParent {
  int index;
  unsigned char input;
};

// After a frame: 1 the level is done, -1 the sheep is hit, 0 play on. Once the sheep is past the
// left edge nothing can hit it, so the level end is as good as done.
int Outcome(const TLevelSim& sim, int level) {
  const TRulesState& s = sim.State();
  if (s.DeathTimer > 0) return -1;
  return s.SheepX >= 2.0f && s.LevelNumber == level ? 0 : 1;
}

std::vector<int> KindsOf(const std::string& text) {
  std::vector<int> kinds;
  for (int c = 0; c < 26; ++c) {
    const TCell cell = DecodeCell(text, c);
    if (!cell.empty && cell.kind > 0) kinds.push_back(cell.kind);
  }
  std::sort(kinds.begin(), kinds.end());
  kinds.erase(std::unique(kinds.begin(), kinds.end()), kinds.end());
  return kinds;
}

// How the states over the cap are chosen.
enum TPruning {
  // The most advanced states, left to right: finds the hurried routes, jumps included.
  PRUNE_ADVANCED,
  // In rounds over every unit of x: the first state of each unit, then the second, ...; inside a
  // unit the sheep that has stood still longest first. Keeps patient routes (waiting beside a
  // slider until it has gone, for a crossing to pass) alive beside the hurried ones.
  PRUNE_PATIENT,
};

struct TNode {
  TRulesState state;
  int parent;
  unsigned char input;
  int still;  // frames the sheep has not moved
};

void Prune(std::vector<TNode>& next, int cap, TPruning pruning) {
  std::vector<int> order(next.size());
  for (size_t k = 0; k < order.size(); ++k) order[k] = int(k);
  auto x = [&](int k) { return next[size_t(k)].state.SheepX; };
  if (pruning == PRUNE_ADVANCED) {
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return x(a) < x(b); });
  } else {
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
      const int ua = int(std::floor(x(a))), ub = int(std::floor(x(b)));
      return ua != ub ? ua < ub : next[size_t(a)].still > next[size_t(b)].still;
    });
    std::vector<int> round(next.size());
    int unit = INT_MIN, inUnit = 0;
    for (int k : order) {
      const int u = int(std::floor(x(k)));
      if (u != unit) unit = u, inUnit = 0;
      round[size_t(k)] = inUnit++;
    }
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return round[size_t(a)] < round[size_t(b)]; });
  }
  order.resize(size_t(cap));
  std::sort(order.begin(), order.end());
  std::vector<TNode> kept;
  kept.reserve(order.size());
  for (int k : order) kept.push_back(next[size_t(k)]);
  next.swap(kept);
}

// Breadth-first, frame by frame, over the inputs that matter in the level; equal states are
// merged. The first frame a state reaches the level end is the fewest; its inputs are the route.
bool Search(TLevelSim& sim, int level, const TSolveOptions& options, TPruning pruning, TLevelReport& report) {
  const std::vector<unsigned char> inputs =
      level > 20 ? std::vector<unsigned char>{INPUT_LEFT, INPUT_NONE, INPUT_LEFT | INPUT_UP, INPUT_UP}
                 : std::vector<unsigned char>{INPUT_LEFT, INPUT_NONE};
  std::vector<TNode> frontier{{sim.State(), -1, INPUT_NONE, 0}};
  std::vector<std::vector<TParent>> layers;
  std::vector<TNode> next;
  std::unordered_set<unsigned long long> seen;
  for (int frame = 1; frame <= options.maxFrames && !frontier.empty(); ++frame) {
    next.clear();
    seen.clear();
    for (size_t i = 0; i < frontier.size(); ++i) {
      for (unsigned char input : inputs) {
        sim.Restore(frontier[i].state);
        sim.Step(input);
        ++report.states;
        const int outcome = Outcome(sim, level);
        if (outcome < 0) continue;
        if (outcome > 0) {
          report.completable = true;
          report.frames = frame;
          report.route.assign(size_t(frame), INPUT_NONE);
          report.route[size_t(frame - 1)] = input;
          int at = int(i);
          for (int f = frame - 2; f >= 0; --f) {
            report.route[size_t(f)] = layers[size_t(f)][size_t(at)].input;
            at = layers[size_t(f)][size_t(at)].index;
          }
          return true;
        }
        TRulesState state = sim.State();
        if (!seen.insert(TLevelSim::Key(state)).second) continue;
        const int still = state.SheepX == frontier[i].state.SheepX ? frontier[i].still + 1 : 0;
        next.push_back({std::move(state), int(i), input, still});
      }
    }
    if (next.size() > size_t(options.cap)) Prune(next, options.cap, pruning);
    std::vector<TParent> parents;
    parents.reserve(next.size());
    for (const TNode& node : next) parents.push_back({node.parent, node.input});
    layers.push_back(std::move(parents));
    frontier.swap(next);
  }
  return false;
}

// Plays input for up to `frames` frames from the current state: true when the sheep is still
// alive (or through) at the end. Leaves the simulation where it stopped.
bool Survives(TLevelSim& sim, int level, unsigned input, int frames) {
  for (int k = 0; k < frames; ++k) {
    sim.Step(input);
    const int outcome = Outcome(sim, level);
    if (outcome != 0) return outcome > 0;
  }
  return true;
}

// A person at the keys: walks in runs and stops in pauses of random length, decides every
// 3 frames (a tenth of a second), and where the jump works, presses it now and then. A careful
// player (foresight > 0) first looks that many frames ahead with what it means to do, and when
// that ends in a hit, does the first of stand, walk, jump that does not.
bool RandomPlayer(TLevelSim& sim, int level, const TRulesState& start, std::mt19937& rng, int maxFrames,
                  int foresight) {
  sim.Restore(start);
  auto between = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  bool walking = false;
  int modeLeft = between(1, 10);  // a first look before setting off
  int jumpLeft = 0;
  for (int frame = 0; frame < maxFrames; frame += 3) {
    if (--modeLeft <= 0) {
      walking = !walking || between(0, 1) == 0;
      modeLeft = walking ? between(2, 24) : between(1, 12);
    }
    if (jumpLeft > 0) --jumpLeft;
    else if (level > 20 && between(0, 99) < 15) jumpLeft = between(1, 4);
    unsigned input = (walking ? unsigned(INPUT_LEFT) : 0u) | (jumpLeft > 0 ? unsigned(INPUT_UP) : 0u);
    if (foresight > 0) {
      const TRulesState now = sim.State();
      const unsigned choices[] = {input, INPUT_NONE, INPUT_LEFT, INPUT_UP, INPUT_LEFT | INPUT_UP};
      const int count = level > 20 ? 5 : 3;
      for (int c = 0; c < count; ++c) {
        sim.Restore(now);
        if (Survives(sim, level, choices[c], foresight)) {
          input = choices[c];
          break;
        }
      }
      sim.Restore(now);
    }
    for (int k = 0; k < 3; ++k) {
      sim.Step(input);
      const int outcome = Outcome(sim, level);
      if (outcome != 0) return outcome > 0;
    }
  }
  return false;
}

double Odds(int runs, int passed) { return std::log2(double(runs + 1) / double(passed + 1)); }

}  // namespace

TLevelReport SolveLevel(TLevelSim& sim, int level, const TSolveOptions& options) {
  TLevelReport report;
  report.level = level;
  sim.StartLevel(level);
  report.text = sim.Text();
  report.kinds = KindsOf(report.text);
  const TRulesState start = sim.State();
  // A narrow search first when only completability is asked: most levels need no more. Then
  // the full width, hurried and then patient.
  struct TTry {
    int cap;
    TPruning pruning;
  };
  std::vector<TTry> tries;
  if (options.quickFirst) tries.push_back({std::max(1, options.cap / 4), PRUNE_ADVANCED});
  tries.push_back({options.cap, PRUNE_ADVANCED});
  tries.push_back({options.cap, PRUNE_PATIENT});
  for (const TTry& t : tries) {
    sim.Restore(start);
    TSolveOptions narrowed = options;
    narrowed.cap = t.cap;
    if (Search(sim, level, narrowed, t.pruning, report)) break;
  }

  std::mt19937 rng(options.seed + unsigned(level) * 7919u);
  report.randomRuns = options.randomRuns;
  for (int run = 0; run < options.randomRuns; ++run) {
    report.randomPassed += RandomPlayer(sim, level, start, rng, options.maxFrames, 0);
    report.carefulPassed += RandomPlayer(sim, level, start, rng, options.maxFrames, options.foresight);
  }
  report.difficulty = (Odds(report.randomRuns, report.randomPassed) + Odds(report.randomRuns, report.carefulPassed)) / 2;
  // A route counts only once it plays again from the level's start.
  if (report.completable && !PlayRoute(sim, level, report.route)) {
    report.completable = false;
    report.replayFailed = true;
  }
  return report;
}

std::string LevelLabel(int level) { return std::to_string((level + 4) / 5) + "-" + char('A' + (level - 1) % 5); }

std::string KindChars(const TLevelReport& r) {
  static const char kKindChars[] = "0123456789ABCDEFGHIJKLMN";
  std::string s;
  for (int k : r.kinds) s += kKindChars[k];
  return s.empty() ? "-" : s;
}

bool PlayRoute(TLevelSim& sim, int level, const std::vector<unsigned char>& route) {
  sim.StartLevel(level);
  for (unsigned char input : route) {
    sim.Step(input);
    const int outcome = Outcome(sim, level);
    if (outcome != 0) return outcome > 0;
  }
  return false;
}
