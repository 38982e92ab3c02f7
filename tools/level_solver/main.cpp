// level_solver: proves every level of a level file can be completed, by the game's own frames.
//
//   level_solver LEVELFILE [--levels FIRST-LAST] [--cap N] [--runs N] [--check] [--route]
//                [--table docs/levels.md] [--plot docs/levels.png]
//
// For each level: whether it can be completed, the fewest frames to the start of its level end,
// and how many of the random human-like players get through (difficulty 0 to 8, see solver.h).
// Every route found is played again from the level's start before it counts. --check skips the
// random players and searches narrow first (completability only, for the test run). The exit status is 1 when a level
// cannot be completed. --table writes the levels as a Markdown table, --plot a PNG chart of the
// difficulty by level.
//
// --route searches as --check does and writes, for each level, its answer on standard output,
// for the level editor to read and show:
//   level N            the level number
//   frames F           fewest frames from the level's start until the sheep passes the left edge
//   route IIII...      the inputs of those F frames, one character a frame: "." nothing held,
//                      "L" Left, "U" the jump, "B" both
// or, when no route was found within the frame and state limits:
//   level N
//   no route
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <fstream>
#include <map>
#include <memory>
#include <utility>
#include <cctype>
#include <sstream>
#include <string>
#include <vector>

#include "level_sim.h"
#include "platform/font_glyphs.h"
#include "platform/pixmap.h"
#include "solver.h"

namespace {

const char kKindChars[] = "0123456789ABCDEFGHIJKLMN";

// Level names from the comment line before each level: "// 3-B  Name: what it is".
std::map<int, std::string> LevelNames(const std::string& path) {
  std::map<int, std::string> names;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    size_t at = line.find_first_not_of(" \t");
    if (at == std::string::npos || line.compare(at, 2, "//") != 0) continue;
    at = line.find_first_not_of(" \t", at + 2);
    if (at == std::string::npos || !std::isdigit(static_cast<unsigned char>(line[at]))) continue;
    int world = 0;
    while (at < line.size() && std::isdigit(static_cast<unsigned char>(line[at])) && world < 100)
      world = world * 10 + (line[at++] - '0');
    if (at + 2 >= line.size() || line[at] != '-' || line[at + 1] < 'A' || line[at + 1] > 'E') continue;
    const int level = (world - 1) * 5 + (line[at + 1] - 'A') + 1;
    at = line.find_first_not_of(" \t", at + 2);
    if (at == std::string::npos) continue;
    std::string name = line.substr(at, line.find_first_of(":\r", at) - at);
    while (!name.empty() && name.back() == ' ') name.pop_back();
    names[level] = name;
  }
  return names;
}

std::string Kinds(const TLevelReport& r) {
  std::string s;
  for (int k : r.kinds) s += kKindChars[k];
  return s.empty() ? "-" : s;
}

std::string Label(int level) {
  return std::to_string((level + 4) / 5) + "-" + char('A' + (level - 1) % 5);
}

void WriteTable(const std::string& path, const std::vector<TLevelReport>& reports,
                const std::map<int, std::string>& names, const TSolveOptions& options) {
  std::ofstream out(path, std::ios::binary);
  out << "# The built-in levels\n\n"
         "Written by `level_solver` (tools/level_solver/) from `data/levels/Lambrisk.txt`; do not edit\n"
         "by hand. To refresh it and the chart beside it, from a build folder:\n\n"
         "    game/level_solver ../data/levels/Lambrisk.txt \\\n"
         "        --table ../docs/levels.md --plot ../docs/levels.png\n\n"
         "The solver plays each level through the game's own frames, with no drawing. *Frames* is the\n"
         "fewest frames (30 a second) from the level's start until the sheep passes the left edge,\n"
         "found by a search over the player's inputs frame by frame (Left held or not, jump pressed or\n"
         "not), keeping at most "
      << options.cap
      << " states a frame. *Random* is how many of " << options.randomRuns
      << " random human-like players get\n"
         "through: they walk in runs and pause for random times, deciding every 3 frames, and from\n"
         "level 21 press the jump now and then. *Careful* is how many of as many careful players get\n"
         "through: the same, but before each decision they look "
      << options.foresight
      << " frames ahead, and when what\n"
         "they mean to do ends in a hit, they stand, walk or jump instead, whichever does not.\n"
         "*Difficulty* is the mean over both kinds of log2((runs + 1) / (through + 1)): 0 when all\n"
         "get through, 8 when none of either kind does. Kinds are the object kinds of the level\n"
         "(1-9, A-N).\n\n"
         "![difficulty by level](levels.png)\n\n"
         "| level | name | kinds | frames | random | careful | difficulty |\n"
         "|---|---|---|---:|---:|---:|---:|\n";
  for (const TLevelReport& r : reports) {
    const auto name = names.find(r.level);
    char difficulty[16];
    std::snprintf(difficulty, sizeof difficulty, "%.1f", r.difficulty);
    out << "| " << Label(r.level) << " | " << (name != names.end() ? name->second : "") << " | "
        << Kinds(r) << " | " << (r.completable ? std::to_string(r.frames) : "not completable") << " | "
        << r.randomPassed << " | " << r.carefulPassed << " | " << difficulty << " |\n";
  }
}

// Writes text with the game's built-in bitmap font (12 pixels a character), its top-left at (x, y).
void PlotText(TPixmap& pic, int x, int y, const std::string& text, uint32_t argb) {
  static const std::unique_ptr<TGlyphSource> glyphs = MakeBuiltinGlyphs();
  for (unsigned char c : text) {
    const TGlyphPicture g = glyphs->Render(c);
    if (g.picture)
      for (int py = 0; py < g.picture->height; ++py)
        for (int px = 0; px < g.picture->width; ++px)
          if (ReadPixel(*g.picture, px, py) >> 24) WritePixel(pic, x + g.left + px, y + g.top + py, argb);
    x += g.advance;
  }
}

int PlotTextWidth(const std::string& text) { return int(text.size()) * 12; }

// Bars of the difficulty by level number, the worlds in alternating colours, with a title, both
// axes labelled and a key to the colours.
void WritePlot(const std::string& path, const std::vector<TLevelReport>& reports) {
  const uint32_t ink = 0xFF202020u, blue = 0xFF3060C0u, green = 0xFF60A040u, red = 0xFFD02020u;
  const int barW = 8, left = 60, top = 60, chartH = 320, chartW = 100 * barW;
  const int width = left + chartW + 30, height = top + chartH + 110;
  TPixmapPtr pic = CreatePixmap(width, height, 0xFFFFFFFFu, false);
  auto fill = [&](int x0, int y0, int x1, int y1, uint32_t argb) {
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) WritePixel(*pic, x, y, argb);
  };
  const std::string title = "How hard each built-in level is";
  PlotText(*pic, (width - PlotTextWidth(title)) / 2, 8, title, ink);
  PlotText(*pic, 8, top - 28, "difficulty (0: every random player passes, 8: none does)", ink);
  const double scale = chartH / 8.0;
  for (int g = 0; g <= 8; ++g) {
    const int y = top + chartH - int(g * scale);
    fill(left, y, left + chartW, y + 1, g == 0 ? ink : 0xFFDDDDDDu);
    PlotText(*pic, left - 22, y - 9, std::to_string(g), ink);
  }
  fill(left - 1, top, left, top + chartH + 1, ink);
  for (int w = 0; w <= 20; ++w) fill(left + w * 5 * barW, top, left + w * 5 * barW + 1, top + chartH, 0xFFBBBBBBu);
  for (int w = 1; w <= 20; ++w) {
    const std::string number = std::to_string(w);
    PlotText(*pic, left + (w - 1) * 5 * barW + (5 * barW - PlotTextWidth(number)) / 2, top + chartH + 6, number, ink);
  }
  const std::string axis = "world (five levels each: levels 1 to 100, left to right)";
  PlotText(*pic, left + (chartW - PlotTextWidth(axis)) / 2, top + chartH + 30, axis, ink);
  for (const TLevelReport& r : reports) {
    const int world = (r.level + 4) / 5;
    const int x = left + (r.level - 1) * barW;
    const int h = r.completable ? std::max(2, int(r.difficulty * scale)) : chartH;
    fill(x + 1, top + chartH - h, x + barW - 1, top + chartH, r.completable ? (world % 2 ? blue : green) : red);
  }
  // The key: a swatch and its meaning.
  int kx = left;
  const int ky = top + chartH + 62;
  for (const auto& [colour, text] : {std::pair<uint32_t, std::string>{blue, "odd worlds"},
                                     {green, "even worlds"},
                                     {red, "no route found"}}) {
    fill(kx, ky + 4, kx + 14, ky + 18, colour);
    PlotText(*pic, kx + 20, ky, text, ink);
    kx += 20 + PlotTextWidth(text) + 30;
  }
  if (!SavePixmapPNG(*pic, path, 9)) std::fprintf(stderr, "cannot write %s\n", path.c_str());
}

void WriteAnswer(std::FILE* out, const TLevelReport& r) {
  std::fprintf(out, "level %d\n", r.level);
  if (!r.completable) {
    std::fprintf(out, "no route\n");
  } else {
    std::string inputs;
    for (unsigned char input : r.route) inputs += ".LUB"[input & 3];
    std::fprintf(out, "frames %d\nroute %s\n", r.frames, inputs.c_str());
  }
  std::fflush(out);
}

int Usage() {
  std::fprintf(stderr,
               "usage: level_solver LEVELFILE [--levels FIRST-LAST] [--cap N] [--runs N] [--check] [--route]\n"
               "                    [--table FILE.md] [--plot FILE.png]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string file = argv[1];
  TSolveOptions options;
  int first = 1, last = 100;
  std::string table, plot;
  bool route = false;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--check") options.randomRuns = 0, options.quickFirst = true;
    else if (arg == "--route") options.randomRuns = 0, options.quickFirst = true, route = true;
    else if (arg == "--cap" && hasValue) options.cap = std::atoi(argv[++i]);
    else if (arg == "--runs" && hasValue) options.randomRuns = std::atoi(argv[++i]);
    else if (arg == "--table" && hasValue) table = argv[++i];
    else if (arg == "--plot" && hasValue) plot = argv[++i];
    else if (arg == "--levels" && hasValue && std::sscanf(argv[++i], "%d-%d", &first, &last) >= 1) {
      if (last < first) last = first;
    } else return Usage();
  }
  if (first < 1 || last > 100 || options.cap < 1 || options.randomRuns < 0) return Usage();
  std::ifstream probe(file);
  if (!probe) {
    std::fprintf(stderr, "cannot read %s\n", file.c_str());
    return 2;
  }

  // The level set-up prints each level text on standard output; the report goes to standard
  // error, and standard output is let go. The answers of --route keep the real one.
  std::FILE* answers = route ? fdopen(dup(1), "w") : nullptr;
  if (route && !answers) return 2;
  if (!std::freopen("/dev/null", "w", stdout)) return 2;
  TLevelSim sim(file);
  std::vector<TLevelReport> reports;
  int failures = 0;
  const auto started = std::chrono::steady_clock::now();
  for (int level = first; level <= last; ++level) {
    const auto t0 = std::chrono::steady_clock::now();
    TLevelReport r = SolveLevel(sim, level, options);
    if (r.completable && !PlayRoute(sim, level, r.route)) {
      std::fprintf(stderr, "level %s: the route found does not replay\n", Label(level).c_str());
      r.completable = false;
    }
    failures += !r.completable;
    if (answers) WriteAnswer(answers, r);
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    std::fprintf(stderr, "%-5s %-10s %s frames %4d  random %3d  careful %3d of %-3d  difficulty %.1f  (%d states, %.0f ms)\n",
                 Label(level).c_str(), Kinds(r).c_str(), r.completable ? "ok  " : "FAIL", r.frames,
                 r.randomPassed, r.carefulPassed, r.randomRuns, r.difficulty, r.states, ms);
    reports.push_back(std::move(r));
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::fprintf(stderr, "%d of %d levels completable in %.1f s\n", int(reports.size()) - failures,
               int(reports.size()), seconds);
  if (!table.empty()) WriteTable(table, reports, LevelNames(file), options);
  if (!plot.empty()) WritePlot(plot, reports);
  return failures ? 1 : 0;
}
