#include "rules/replay.h"

#include <cstdio>
#include <sstream>

namespace {

const char kFirstLine[] = "Lambrisk replay ";
constexpr size_t kLineLength = 72;

char InputLetter(const TFrameInput& i) {
  return char('a' + (i.left ? 1 : 0) + (i.jump ? 2 : 0) + (i.skip ? 4 : 0) + (i.pauseEnded ? 8 : 0));
}

TFrameInput InputOf(char letter) {
  const int bits = letter - 'a';
  return {(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0, (bits & 8) != 0};
}

bool Same(const TFrameInput& a, const TFrameInput& b) { return InputLetter(a) == InputLetter(b); }

// Splits text into lines at LF, dropping CR.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines(1);
  for (char c : text) {
    if (c == '\n') lines.emplace_back();
    else if (c != '\r') lines.back() += c;
  }
  if (lines.back().empty()) lines.pop_back();
  return lines;
}

// A whole decimal number, not negative, of at most 18 digits.
bool Number(const std::string& text, int64_t& value) {
  if (text.empty() || text.size() > 18) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return true;
}

// "key value key value ...": the values in order, checked against the keys; only the value of
// key number signedAt may be negative.
bool Fields(const std::string& line, const std::vector<std::string>& keys, std::vector<int64_t>& values,
            size_t signedAt = size_t(-1)) {
  std::istringstream in(line);
  values.clear();
  for (size_t k = 0; k < keys.size(); ++k) {
    std::string key, value;
    if (!(in >> key >> value) || key != keys[k]) return false;
    const bool negative = k == signedAt && value.size() > 1 && value[0] == '-';
    int64_t v = 0;
    if (!Number(negative ? value.substr(1) : value, v)) return false;
    values.push_back(negative ? -v : v);
  }
  std::string rest;
  return !(in >> rest);
}

}  // namespace

uint64_t LevelSetHash(const TLevelSet& levels) {
  uint64_t h = 1469598103934665603ull;
  for (int level = 1; level <= 100; ++level) {
    const std::string text = PaddedLevelText(levels.Text(level)) + '\n';
    for (unsigned char c : text) {
      h ^= c;
      h *= 1099511628211ull;
    }
  }
  return h;
}

std::string ReplayText(const TReplay& r) {
  char line[160];
  std::string text;
  auto add = [&text](const std::string& s) { text += s + "\r\n"; };
  add(kFirstLine + std::to_string(r.format));
  add("rules " + std::to_string(r.rules));
  std::snprintf(line, sizeof line, "levels %016llx", static_cast<unsigned long long>(r.levels));
  add(line);
  add("start world " + std::to_string(r.world) + " mode " + std::to_string(r.mode) + " flags " + std::to_string(r.flags));
  add("stamp " + std::to_string(r.stamp));
  add("name " + r.name);
  add("result score " + std::to_string(r.result.score) + " level " + std::to_string(r.result.level) + " lives " +
      std::to_string(r.result.lives) + " frames " + std::to_string(r.result.frames));
  add("inputs");
  std::string runs;
  for (size_t i = 0; i < r.inputs.size();) {
    size_t n = 1;
    while (i + n < r.inputs.size() && Same(r.inputs[i + n], r.inputs[i])) ++n;
    std::string run(1, InputLetter(r.inputs[i]));
    if (n > 1) run += std::to_string(n);
    if (runs.size() + run.size() > kLineLength) {
      add(runs);
      runs.clear();
    }
    runs += run;
    i += n;
  }
  if (!runs.empty()) add(runs);
  add("end");
  return text;
}

bool ParseReplay(const std::string& text, TReplay& r, std::string& why) {
  r = TReplay{};
  if (text.size() > kReplayMostBytes) return why = "larger than a replay can be", false;
  const std::vector<std::string> lines = Lines(text);
  if (lines.empty() || lines[0].compare(0, sizeof kFirstLine - 1, kFirstLine) != 0) return why = "not a replay", false;
  int64_t v = 0;
  if (!Number(lines[0].substr(sizeof kFirstLine - 1), v) || v != kReplayFormat)
    return why = "a replay of another format (" + lines[0].substr(sizeof kFirstLine - 1) + ")", false;
  if (lines.size() < 9) return why = "cut short", false;
  std::vector<int64_t> f;
  if (!Fields(lines[1], {"rules"}, f)) return why = "no rules version", false;
  r.rules = int(f[0]);
  if (lines[2].size() != 23 || lines[2].compare(0, 7, "levels ") != 0 ||
      lines[2].find_first_not_of("0123456789abcdef", 7) != std::string::npos)
    return why = "no level set", false;
  r.levels = std::stoull(lines[2].substr(7), nullptr, 16);
  if (lines[3].compare(0, 6, "start ") != 0 || !Fields(lines[3].substr(6), {"world", "mode", "flags"}, f) ||
      f[0] < 1 || f[0] > 20 || f[1] > 1 || f[2] > 1000000)
    return why = "no start", false;
  r.world = int(f[0]);
  r.mode = int(f[1]);
  r.flags = int(f[2]);
  if (!Fields(lines[4], {"stamp"}, f)) return why = "no stamp", false;
  r.stamp = f[0];
  if (lines[5].compare(0, 5, "name ") != 0 && lines[5] != "name") return why = "no name", false;
  r.name = lines[5].size() > 5 ? lines[5].substr(5) : "";
  if (lines[6].compare(0, 7, "result ") != 0 ||
      !Fields(lines[6].substr(7), {"score", "level", "lives", "frames"}, f, 2) || f[1] < 1 || f[1] > 101 ||
      f[3] > kReplayMostFrames)
    return why = "no result", false;
  r.result = {f[0], int(f[1]), int(f[2]), f[3]};
  if (lines[7] != "inputs") return why = "no inputs", false;
  bool ended = false;
  for (size_t l = 8; l < lines.size() && !ended; ++l) {
    const std::string& line = lines[l];
    if (line == "end") {
      ended = l + 1 == lines.size();
      if (!ended) return why = "lines after its end", false;
      break;
    }
    for (size_t i = 0; i < line.size();) {
      const char letter = line[i++];
      if (letter < 'a' || letter > 'p') return why = "a damaged input line", false;
      size_t digits = 0;
      while (i + digits < line.size() && line[i + digits] >= '0' && line[i + digits] <= '9') ++digits;
      int64_t n = 1;
      if (digits > 0 && (!Number(line.substr(i, digits), n) || n < 2)) return why = "a damaged input line", false;
      i += digits;
      if (int64_t(r.inputs.size()) + n > kReplayMostFrames) return why = "longer than a replay can be", false;
      r.inputs.insert(r.inputs.end(), size_t(n), InputOf(letter));
    }
  }
  if (!ended) return why = "cut short", false;
  return true;
}

void TReplayRecorder::Start(int world, int mode, int flags, uint64_t levels) {
  replay_ = TReplay{};
  replay_.world = world;
  replay_.mode = mode;
  replay_.flags = flags;
  replay_.levels = levels;
}

const TReplay& TReplayRecorder::Finish(const TRulesState& end, int64_t stamp, const std::string& name) {
  replay_.stamp = stamp;
  replay_.name = name;
  replay_.result = {end.GameScore, end.LevelNumber, end.Lives, int64_t(replay_.inputs.size())};
  return replay_;
}

void StartReplayedGame(TRulesState& state, const TReplay& replay, const TLevelSet& levels) {
  // Every world counts as reached: a replay tells of none.
  StartGame(state, replay.mode, replay.world, 20, levels.Text(replay.world * 5 - 4));
}

void ReplayFrame(TRulesState& state, const TLevelSet& levels, const TFrameInput& input, TFrameEvents& events) {
  StepFrame(state, input, events);
  if (state.ReloadFlag) {
    SetupLevel(state, levels.Text(state.LevelNumber));
    state.ReloadFlag = false;
  }
}

bool PlayReplay(const TReplay& replay, const TLevelSet& levels, TReplayResult& result, std::string& why,
                const std::function<bool()>& goOn) {
  result = TReplayResult{};
  if (replay.rules != kRulesVersion)
    return why = "made by rules version " + std::to_string(replay.rules) + ", not " + std::to_string(kRulesVersion), false;
  if (replay.levels != LevelSetHash(levels)) return why = "of another level set", false;
  if (replay.world < 1 || replay.world > 20 || replay.mode != 1) return why = "not a game that can be replayed", false;
  TRulesState s;
  StartReplayedGame(s, replay, levels);
  TFrameEvents events;
  events.wantPicture = false;
  for (size_t frame = 0; frame < replay.inputs.size(); ++frame) {
    if (s.EndReason != END_RUNNING) return why = "the game ended before its inputs did", false;
    if (goOn && frame % kReplayCheckFrames == kReplayCheckFrames - 1 && !goOn())
      return why = "stopped after " + std::to_string(frame) + " frames", false;
    ReplayFrame(s, levels, replay.inputs[frame], events);
  }
  result = {s.GameScore, s.LevelNumber, s.Lives, int64_t(replay.inputs.size())};
  return true;
}

std::string ResultDifference(const TReplayResult& claimed, const TReplayResult& reached) {
  std::string diff;
  auto note = [&diff](const char* what, int64_t c, int64_t r) {
    if (c == r) return;
    diff += (diff.empty() ? "" : ", ") + std::string(what) + " " + std::to_string(r) + " where it claims " + std::to_string(c);
  };
  note("score", claimed.score, reached.score);
  note("level", claimed.level, reached.level);
  note("lives", claimed.lives, reached.lives);
  note("frames", claimed.frames, reached.frames);
  return diff;
}
