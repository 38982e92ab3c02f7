// app_icon: the desktop icon of the installed game, the walking sheep on a sky-and-meadow tile,
// as hicolor PNGs at every size a desktop asks for and as a scalable SVG of the same tile.
// Usage: app_icon OUT_DIR. Writes OUT_DIR/hicolor/NxN/apps/lambrisk.png for each size and
// OUT_DIR/hicolor/scalable/apps/lambrisk.svg (the folders must exist); the same bytes on every run.
#include <cstdio>
#include <string>

#include "art.h"
#include "image_io.h"

using namespace ag;

namespace {
const int kSizes[] = {16, 24, 32, 48, 64, 128, 256};

// The tile is drawn in a 32-unit frame; the sheep's own 32-unit cell sits inside it, shrunk so
// the wool and the feet stay clear of the rounded edge.
constexpr float kSheepX = 2.6f, kSheepY = 1.6f, kSheepScale = 0.82f;

Canvas MakeAppIcon(int size) {
  Canvas c(size, size);
  Xform t{0, 0, size / 32.0f, 0};
  Shape tile = Box(1, 1, 31, 31, 7);
  c.FillOutlined(t, tile, Linear({0, 1}, Rgb(120, 190, 245), {0, 31}, Rgb(60, 120, 205)), Rgb(24, 40, 80), 0.8f);
  c.Fill(t, Intersect(Ellipse(16, 38, 24, 13), tile), Linear({0, 25}, Rgb(120, 205, 95), {0, 31}, Rgb(70, 150, 60)));
  DrawSheep(c, t.Then(kSheepX, kSheepY, kSheepScale), 1);
  return c;
}

// The same tile in SVG: the sheep traced from DrawSheep's middle walking pose (pose 1, lifted
// 0.7 units), each outline drawn as a wide stroke under the plain fill, as the painter does.
std::string MakeAppIconSvg() {
  const std::string wool =
      "<ellipse cx=\"18.5\" cy=\"15.5\" rx=\"10.5\" ry=\"7\"/><circle cx=\"11\" cy=\"12.5\" r=\"3.8\"/>"
      "<circle cx=\"15\" cy=\"9.5\" r=\"4.2\"/><circle cx=\"20\" cy=\"8.8\" r=\"4.4\"/>"
      "<circle cx=\"25\" cy=\"10.5\" r=\"4\"/><circle cx=\"28\" cy=\"15\" r=\"3.6\"/>"
      "<circle cx=\"25.5\" cy=\"20\" r=\"3.8\"/><circle cx=\"20\" cy=\"21.5\" r=\"3.8\"/>"
      "<circle cx=\"14\" cy=\"21\" r=\"3.8\"/><circle cx=\"10.5\" cy=\"17.5\" r=\"3.4\"/>";
  const std::string face = "<ellipse rx=\"5\" ry=\"3.7\"/><circle cx=\"2.6\" cy=\"-1.3\" r=\"3.4\"/>";
  const std::string farLegs = "M12 21.8l0.59 8.38M23 21.8l0.59 8.38";
  const std::string nearLegs = "M10 21.8l-0.59 8.38M21 21.8l-0.59 8.38";
  char sheep[96];
  std::snprintf(sheep, sizeof sheep, "<g transform=\"translate(%.1f %.1f) scale(%.2f) translate(0 -0.7)\">\n",
                kSheepX, kSheepY, kSheepScale);
  std::string s =
      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 32 32\">\n"
      "<defs>\n"
      "<linearGradient id=\"sky\" x1=\"0\" y1=\"1\" x2=\"0\" y2=\"31\" gradientUnits=\"userSpaceOnUse\">"
      "<stop offset=\"0\" stop-color=\"#78bef5\"/><stop offset=\"1\" stop-color=\"#3c78cd\"/></linearGradient>\n"
      "<linearGradient id=\"meadow\" x1=\"0\" y1=\"25\" x2=\"0\" y2=\"31\" gradientUnits=\"userSpaceOnUse\">"
      "<stop offset=\"0\" stop-color=\"#78cd5f\"/><stop offset=\"1\" stop-color=\"#46963c\"/></linearGradient>\n"
      "<linearGradient id=\"wool\" x1=\"0\" y1=\"6\" x2=\"0\" y2=\"25\" gradientUnits=\"userSpaceOnUse\">"
      "<stop offset=\"0\" stop-color=\"#fafaf6\"/><stop offset=\"1\" stop-color=\"#ceccd6\"/></linearGradient>\n"
      "<clipPath id=\"tile\"><rect x=\"1\" y=\"1\" width=\"30\" height=\"30\" rx=\"7\"/></clipPath>\n"
      "</defs>\n"
      "<rect x=\"1\" y=\"1\" width=\"30\" height=\"30\" rx=\"7\" fill=\"url(#sky)\" stroke=\"#182850\" stroke-width=\"1.6\"/>\n"
      "<rect x=\"1\" y=\"1\" width=\"30\" height=\"30\" rx=\"7\" fill=\"url(#sky)\"/>\n"
      "<ellipse cx=\"16\" cy=\"38\" rx=\"24\" ry=\"13\" fill=\"url(#meadow)\" clip-path=\"url(#tile)\"/>\n";
  s += sheep;
  s += "<g fill=\"none\" stroke-linecap=\"round\">"
       "<path d=\"" + farLegs + nearLegs + "\" stroke=\"#261e22\" stroke-width=\"3.5\"/>"
       "<path d=\"" + farLegs + "\" stroke=\"#231d22\" stroke-width=\"2\"/>"
       "<path d=\"" + nearLegs + "\" stroke=\"#322a30\" stroke-width=\"2\"/>"
       "<path d=\"M11.7 30h1.4M22.7 30h1.4M8.5 30h1.4M19.5 30h1.4\" stroke=\"#261e22\" stroke-width=\"2.6\"/></g>\n";
  s += "<g fill=\"#261e22\" stroke=\"#261e22\" stroke-width=\"2.6\">" + wool + "</g>\n";
  s += "<g fill=\"url(#wool)\">" + wool + "</g>\n";
  s += "<g transform=\"translate(6 13.8) rotate(-14)\">"
       "<g fill=\"#261e22\" stroke=\"#261e22\" stroke-width=\"2.2\">" + face + "</g>"
       "<g fill=\"#3a3238\">" + face + "</g>"
       "<ellipse cx=\"4.6\" cy=\"1.6\" rx=\"2.9\" ry=\"1.3\" fill=\"#48404a\" stroke=\"#261e22\" stroke-width=\"0.8\"/>"
       "<circle cx=\"-1\" cy=\"-1.2\" r=\"1.35\" fill=\"#fff\"/><circle cx=\"-1.5\" cy=\"-1\" r=\"0.7\" fill=\"#261e22\"/>"
       "<circle cx=\"-4.2\" cy=\"1\" r=\"0.6\" fill=\"#141012\"/></g>\n"
       "</g>\n</svg>\n";
  return s;
}

bool WriteText(const std::string& path, const std::string& text) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return std::fclose(f) == 0 && ok;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUT_DIR\n", argv[0]);
    return 2;
  }
  const std::string out = std::string(argv[1]) + "/hicolor/";
  bool ok = true;
  for (int size : kSizes) {
    std::string path = out + std::to_string(size) + "x" + std::to_string(size) + "/apps/lambrisk.png";
    if (!WritePng(path, MakeAppIcon(size))) {
      std::fprintf(stderr, "app_icon: cannot write %s\n", path.c_str());
      ok = false;
    }
  }
  if (!WriteText(out + "scalable/apps/lambrisk.svg", MakeAppIconSvg())) {
    std::fprintf(stderr, "app_icon: cannot write %sscalable/apps/lambrisk.svg\n", out.c_str());
    ok = false;
  }
  return ok ? 0 : 1;
}
