#include "scores/score_table.h"

#include <string>

#include "framework/common_assets.h"
#include "framework/screen_size.h"
#include "platform/draw_state.h"
#include "platform/input.h"
#include "scores/replay_files.h"
#include "scores/score_records.h"
#include "scores/score_time.h"
#include "ui/draw_helpers.h"
#include "ui/frame_mouse.h"

int BadgeCount = 0;
int GraphScroll = 0;
int PickedIndex = 0;
TScoresPtr WatchAsked;

namespace {

TScoresPtr Selected;

// Only the newest games stay in a table for its graph, unless they are among its best.
constexpr int kKeptGames = 50;

void Line(float x0, float y0, float x1, float y1) { DrawLine(x0, y0, x1, y1); }

// The graph of the table's games, newest at the right; returns nothing, but picks the record
// under the mouse and drops the old unranked ones.
void HistoryGraph(TScoresList& list, int panelX, int mode, int level, int flags) {
  const int vw = VirtualWidth, vh = VirtualHeight;
  int x = vw + GraphScroll - 24;
  int c = 0;
  bool have_previous = false;
  float px = 0, py = 0;
  for (size_t i = 0; i < list.size();) {
    const TScoresPtr r = list[i];
    if (r->Level != level || r->GameMode != mode || r->GameFlags != flags) {
      ++i;
      continue;
    }
    ++c;
    if (PickedIndex == c && !Selected) Selected = r;
    if (x > panelX + 1) {
      // Wide enough for any score a damaged file may hold; far-off points are held near the graph.
      const __int128 wide = __int128(r->Score) * 150 / (TableMax > 0 ? TableMax : 1);
      const int v = int(wide > 100000 ? 100000 : wide < -100000 ? -100000 : wide);
      const int y = vh - 10 - v;
      Colour(float(255 - v), 255, 80, 1.0f);
      DrawSprite(IconsFiltered, float(x - 8), float(y - 8), 7);
      Colour(255, float(80 + v), 80, 1.0f);
      if (have_previous) Line(float(x), float(y), px, py);
      Colour(0, 0, 0, 0.3f);
      Line(float(x - 9), float(vh - 160), float(x - 9), float(vh - 11));
      have_previous = true;
      px = float(x);
      py = float(y);
      if (MouseOver(x - 9, vh - 160, 19, 150)) {
        Selected = r;
        if (MouseDown(1)) PickedIndex = c;
      }
      if (Selected == r) {
        Colour(255, 255, 255, 0.3f);
        DrawRect(float(x - 9), float(vh - 160), 19, 150);
      }
    }
    if (Selected == r && MouseDown(1)) PickedIndex = c;
    x -= 18;
    if (c > kKeptGames && !Ranked(r)) {
      list.erase(list.begin() + long(i));
      continue;
    }
    ++i;
  }
}

void Scrolling(int panelW) {
  const int vw = VirtualWidth, vh = VirtualHeight;
  if (MouseOver(vw - panelW - 32, vh - 160, 64, 150) && GraphScroll < 1000) GraphScroll += 8;
  if (MouseOver(vw - 32, vh - 160, 62, 150) && GraphScroll >= 1) GraphScroll -= 8;
}

std::string TwelveDigits(int64_t score) {
  const std::string s = "000000000000" + std::to_string(score);
  return s.substr(s.size() - 12);
}

void RankedList(int panelX, int panelW) {
  const int vh = VirtualHeight;
  SetImageFont(ScreenFonts[3]);
  for (int p = 1; p <= 25; ++p) {
    const TScoresPtr& s = TableSlots[size_t(p)];
    if (!s) continue;
    const int y = vh - 606 + 17 * p;
    if (PickedIndex == 1000 + p && !Selected) Selected = s;
    Colour(255, 255, 255, 1.0f);
    if (MouseOver(panelX + 9, y, panelW, 18)) {
      Selected = s;
      if (MouseDown(1)) PickedIndex = 1000 + p;
    }
    TextAt(panelX + 9, y, s->Name.substr(0, 24), 0, 0);
    TextAt(panelX + panelW + 1, y, TwelveDigits(s->Score), 2, 0);
    if (Selected == s) {
      Colour(255, 255, 255, 0.3f);
      DrawRect(float(panelX + 9), float(y), float(panelW), 17);
    }
  }
}

void DetailBox(int panelX, int panelW, int mode) {
  const int vh = VirtualHeight;
  const TScores& s = *Selected;
  if (mode < 0) Colour(125, 180, 125, 1.0f);
  else Colour(255, 255, 255, 0.6f);
  DrawRect(float(panelX + 3), float(vh - 729), float(panelW), 140);
  SetImageFont(ScreenFonts[1]);
  Colour(80, 80, 0, 1.0f);
  TextAt(panelX + 9, vh - 725, s.Name, 0, 0);
  Colour(0, 0, 80, 1.0f);
  TextAt(panelX + panelW + 1, vh - 704, std::to_string(s.Score), 2, 0);
  SetImageFont(ScreenFonts[4]);
  Colour(0, 80, 0, 1.0f);
  if (s.Best[30] == 1) TextAt(panelX + 9, vh - 679, "Complete!", 0, 1);
  Colour(0, 0, 0, 1.0f);
  SetImageFont(ScreenFonts[3]);
  TextAt(panelX + 9, vh - 593, DateText(s.Timestamp) + ", " + TimeText(s.Timestamp), 0, 2);
  // A local game that left a replay, and any online one (the server may hold its replay), can be
  // watched again.
  if (mode < 0 || HasReplay(s)) {
    const bool over = MouseOver(panelX + panelW - 80, vh - 617, 82, 26);
    if (over) Colour(0, 110, 255, 1.0f);
    else Colour(0, 0, 160, 1.0f);
    TextAt(panelX + panelW - 2, vh - 593, "Watch", 2, 2);
    if (over && ClickLeft > 0) WatchAsked = Selected;
  }
  Scale(0.28f);
  Colour(255, 255, 255, 1.0f);
  for (int n = 1; n <= BadgeCount; ++n)
    if (FlagBit(s.Badges, n)) DrawSprite(BadgeSheet, float(panelX + 20 * n - 9), float(vh - 639), n - 1);
  Scale(1);
}

}  // namespace

void ResetScoreTableAnimation() {
  GraphScroll = 0;
  PickedIndex = 0;
  WatchAsked = nullptr;
}

TScoresPtr SelectedRecord() { return Selected; }

int DrawScoreTable(int panelX, int panelW, int mode, int level, int flags, int active) {
  TScoresList& list = mode < 0 ? OnlineScores : LocalScores;
  const int first = RankTable(list, level, mode, flags, active);
  if (active != 1) return first;
  const int vw = VirtualWidth, vh = VirtualHeight;
  Scale(1);
  ResetDrawing();
  Colour(0, 0, 0, 0.6f);
  DrawRect(float(panelX + 7), float(vh - 585), float(panelW + 2), 575);
  Colour(0, 0, 80, 1.0f);
  Line(float(panelX + 7), float(vh - 160), float(vw - 8), float(vh - 160));
  Selected = nullptr;
  HistoryGraph(list, panelX, mode, level, flags);
  Scrolling(panelW);
  RankedList(panelX, panelW);
  if (Selected) DetailBox(panelX, panelW, mode);
  return first;
}
