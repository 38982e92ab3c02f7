// level_docs: the table of the built-in levels and its chart for the documentation, from the
// level solver's search and its random players.
//
//   level_docs LEVELFILE --table FILE.md --plot FILE.png [--levels FIRST-LAST] [--cap N] [--runs N]
//
// The table lists every level with its name (from the comment line before it), kinds, fewest
// frames, random and careful players through and difficulty; the chart draws the difficulty by
// level with the game's built-in bitmap font.
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "level_solver/level_sim.h"
#include "level_solver/solver.h"
#include "platform/font_glyphs.h"
#include "platform/pixmap.h"

namespace {

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

void WriteTable(const std::string& path, const std::vector<TLevelReport>& reports,
                const std::map<int, std::string>& names, const TSolveOptions& options) {
  std::ofstream out(path, std::ios::binary);
  out << "# The built-in levels\n\n"
         "Written by `level_docs` (tools/level_docs/) from `data/levels/Lambrisk.txt` with the level\n"
         "solver's search; do not edit by hand. To refresh it and the chart beside it, from a build\n"
         "folder:\n\n"
         "    tools/level_docs/level_docs ../data/levels/Lambrisk.txt \\\n"
         "        --table ../docs/levels.md --plot ../docs/levels.png\n\n"
         "The solver plays each level by the game's own rules, with no drawing. *Frames* is the\n"
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
    out << "| " << LevelLabel(r.level) << " | " << (name != names.end() ? name->second : "") << " | "
        << KindChars(r) << " | " << (r.completable ? std::to_string(r.frames) : "not completable") << " | "
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

int Usage() {
  std::fprintf(stderr, "usage: level_docs LEVELFILE --table FILE.md --plot FILE.png [--levels FIRST-LAST] [--cap N] [--runs N]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string file = argv[1];
  TSolveOptions options;
  int first = 1, last = 100;
  std::string table, plot;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--cap" && hasValue) options.cap = std::atoi(argv[++i]);
    else if (arg == "--runs" && hasValue) options.randomRuns = std::atoi(argv[++i]);
    else if (arg == "--table" && hasValue) table = argv[++i];
    else if (arg == "--plot" && hasValue) plot = argv[++i];
    else if (arg == "--levels" && hasValue && std::sscanf(argv[++i], "%d-%d", &first, &last) >= 1) {
      if (last < first) last = first;
    } else return Usage();
  }
  if (first < 1 || last > 100 || options.cap < 1 || options.randomRuns < 0 || (table.empty() && plot.empty()))
    return Usage();
  TLevelSet levels;
  if (!ReadLevelSet(file, levels)) {
    std::fprintf(stderr, "cannot read %s\n", file.c_str());
    return 2;
  }
  TLevelSim sim(levels);
  std::vector<TLevelReport> reports;
  const auto started = std::chrono::steady_clock::now();
  for (int level = first; level <= last; ++level) {
    reports.push_back(SolveLevel(sim, level, options));
    const TLevelReport& r = reports.back();
    std::fprintf(stderr, "%-5s %s frames %4d  difficulty %.1f\n", LevelLabel(level).c_str(),
                 r.completable ? "ok  " : "FAIL", r.frames, r.difficulty);
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::fprintf(stderr, "%zu levels in %.1f s\n", reports.size(), seconds);
  if (!table.empty()) WriteTable(table, reports, LevelNames(file), options);
  if (!plot.empty()) WritePlot(plot, reports);
  return 0;
}
