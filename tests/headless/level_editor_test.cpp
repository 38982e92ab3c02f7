// The level editor: the cell edits on their own, then the editor played headless on a copy of
// "blank.txt": a click on a column, the level buttons at their limits, the pad keys and S.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/program_state.h"
#include "game/game_session.h"
#include "game/game_state.h"
#include "game/level_files.h"
#include "game/level_editor.h"
#include "platform/input.h"
#include "platform/key_codes.h"
#include "platform/random.h"
#include "support/editor_session.h"
#include "ui/controls.h"

namespace {

std::string Cell(int c) { return Game.LevelText.substr(size_t(c) * 4, 4); }

TEST(LevelEditor, CellEdits) {
  struct TStep {
    const char* before;  // cell 0
    int index, delta;
    const char* after;
  } steps[] = {
      {"    ", 1, 1, "1340"}, {"1340", 1, -1, "    "}, {"    ", 1, -1, "    "}, {"9207", 1, 1, "A308"},
      {"A308", 1, -1, "9207"}, {"N000", 1, 1, "    "},  {"1940", 2, 1, "1:40"},  {"1040", 2, -1, "1040"},
  };
  for (const TStep& s : steps) {
    Game.LevelText = std::string(s.before) + std::string(100, ' ');
    StepCellChar(s.index, s.delta);
    EXPECT_EQ(Cell(0), s.after) << s.before << " " << s.delta;
    EXPECT_EQ(Game.LevelText.size(), 104u);
  }
  EXPECT_EQ(DecodeCell("1:40", 0).speed, 10);
  // Cells 0 and 24 are neighbours; a copy and a swap rebuild the text from its cells.
  Game.LevelText = "1340" + std::string(92, ' ') + "C300";
  SwapCells(0, -1);
  EXPECT_EQ(Cell(0), "C300");
  EXPECT_EQ(Cell(24), "1340");
  CopyCell(0, 12);
  EXPECT_EQ(Cell(12), "C300");
  RandomiseCell(3);
  EXPECT_LE(Game.LevelText.size(), 108u);
}

struct TEditor : TEditorSession {
  void Post(int id, int data, int x = 0, int y = 0) { PostEvent({id, data, x, y}); }
  void Click(int button, int x, int y) {
    Post(EVENT_MOUSEMOVE, 0, x, y);
    Play(2);
    Post(EVENT_MOUSEDOWN, button);
    Play(1);
    Post(EVENT_MOUSEUP, button);
    Play(2);
  }
  void Key(int key) {
    Post(EVENT_KEYDOWN, key);
    Play(1);
    Post(EVENT_KEYUP, key);
    Play(2);
  }
};

TEST(LevelEditor, EditsGoToTheWorkFileAndSSavesOneLine) {
  TEditor e;
  const std::string blank = e.MyLevels();
  ASSERT_FALSE(blank.empty());
  // Column 5 is centred at 640 + 32 * 5 - 384.
  e.Click(1, 416, 100);
  EXPECT_EQ(Cell(5), "1340");
  e.Click(1, 416, 100);
  EXPECT_EQ(Cell(5), "2340");
  e.Key(100);  // pad 4: cell 5 and cell 4 change places
  EXPECT_EQ(Cell(4), "2340");
  e.Key(188);  // a comma on level 1 copies nothing
  EXPECT_EQ(Cell(4), "2340");
  e.Key('S');
  const std::string saved = e.MyLevels();
  // Exactly one line differs: level 1's.
  auto lines = [](const std::string& text) {
    std::vector<std::string> out;
    for (size_t at = 0, end; at < text.size(); at = end + 1) {
      end = text.find('\n', at);
      if (end == std::string::npos) end = text.size();
      out.push_back(text.substr(at, end - at));
    }
    return out;
  };
  const auto before = lines(blank), after = lines(saved);
  ASSERT_EQ(before.size(), after.size());
  int changed = 0;
  for (size_t i = 0; i < before.size(); ++i) changed += before[i] != after[i];
  EXPECT_EQ(changed, 1);
  EXPECT_NE(saved.find("\"                2340"), std::string::npos);

  // The "-" buttons stop at level 1, the "+" ones at 100.
  e.Click(1, 150, 20);
  EXPECT_EQ(Game.LevelNumber, 1);
  for (int i = 0; i < 21; ++i) e.Click(1, 100, 110);
  EXPECT_EQ(Game.LevelNumber, 100);
  e.Click(1, 150, 110);
  EXPECT_EQ(Game.LevelNumber, 100);
  EXPECT_NE(e.game.driver().FindText("Object"), nullptr);
}

// R over a column draws the cell again every frame it is held; J and P together make the world
// again every frame; letting go leaves the last one.
TEST(LevelEditor, HeldGeneratorKeysRepeatEveryFrame) {
  TEditor e;
  e.Post(EVENT_MOUSEMOVE, 0, 416, 100);
  e.Play(2);
  const struct {
    std::vector<int> keys;
    std::string (*read)(TEditor&);
  } generators[] = {
      {{'R'}, [](TEditor&) { return Cell(5); }},
      {{'J', 'P'}, [](TEditor& ed) { return ed.game.ReadFile("Levels/WIP.txt"); }},
  };
  for (const auto& g : generators) {
    for (int key : g.keys) e.Post(EVENT_KEYDOWN, key);
    std::vector<std::string> seen;
    for (int i = 0; i < 5; ++i) {
      e.Play(1);
      seen.push_back(g.read(e));
    }
    for (int key : g.keys) e.Post(EVENT_KEYUP, key);
    e.Play(2);
    const std::string last = g.read(e);
    e.Play(3);
    EXPECT_EQ(g.read(e), last) << g.keys[0];
    for (size_t i = 1; i < seen.size(); ++i) EXPECT_NE(seen[i], seen[i - 1]) << g.keys[0] << " frame " << i;
  }
}

// Quit in the pause menu ends the editor, and what was edited is in "My Levels.txt".
TEST(LevelEditor, QuittingThroughThePauseMenuKeepsTheWork) {
  TEditor e;
  TScriptedInput& script = e.game.script();
  const int frame = FrameCount();
  script.At(frame + 5, {EVENT_MOUSEMOVE, 0, 416, 100})
      .At(frame + 8, {EVENT_MOUSEDOWN, 1, 0, 0})
      .At(frame + 10, {EVENT_MOUSEUP, 1, 0, 0});
  const int ms = e.game.clock().NowMs() + 2000;
  // The menu, then Return at the name prompt the game's record brings.
  for (const auto& press : {std::pair<int, int>{0, VK_ESCAPE}, {500, VK_DOWN}, {1000, VK_ESCAPE}, {4000, VK_RETURN}})
    script.AtTime(ms + press.first, {EVENT_KEYDOWN, press.second, 0, 0})
        .AtTime(ms + press.first + 100, {EVENT_KEYUP, press.second, 0, 0});
  RunGame();
  EXPECT_EQ(Game.EndReason, 99);
  EXPECT_NE(e.MyLevels().find("\"                    1340"), std::string::npos);
}

// Every generation draws its cells from one seed: many levels, each within its style's count of
// objects (mirrored ones symmetric), and only the kinds the generator makes.
TEST(LevelEditor, GeneratedLevelsHoldTheirCountsOfObjects) {
  THeadlessGame game;  // a clock that stands still between frames, as within one millisecond
  for (int style : {0, 1}) {
    int total = 0;
    for (int k = 1; k <= 200; ++k) {
      SeedRnd(100000 + 7919 * k);  // seeds as the millisecond clock gives them
      Game.LevelText = std::string(26 * 4, ' ');
      GenerateLevel(true, style);
      int objects = 0;
      for (int c = 0; c <= 24; ++c) {
        const char kind = Game.LevelText[size_t(4 * c)];
        if (kind == ' ') continue;
        ++objects;
        EXPECT_NE(std::string("12345678ABCFHIJKLM").find(kind), std::string::npos) << kind;
        if (style != 0) {
          EXPECT_EQ(Cell(c), Cell(24 - c));
        }
      }
      EXPECT_LE(objects, 12) << style << " seed " << k;
      total += objects;
    }
    // 6 to 12 draws (3 to 6 mirrored pairs) at random cells, a few landing twice or empty.
    EXPECT_GE(total, 200 * 6) << style;
  }
}

// Continue chosen with Space, still held for a moment after the menu: the Space generator must
// not wipe the level.
TEST(LevelEditor, ContinueWithSpaceHeldChangesNothing) {
  TEditor e;
  e.Click(1, 416, 100);
  const std::string before = e.Work();
  const int ms = e.game.clock().NowMs() + 200;
  e.game.script()
      .AtTime(ms, {EVENT_KEYDOWN, VK_ESCAPE, 0, 0})
      .AtTime(ms + 100, {EVENT_KEYUP, VK_ESCAPE, 0, 0})
      .AtTime(ms + 500, {EVENT_KEYDOWN, VK_SPACE, 0, 0})
      .AtTime(ms + 1300, {EVENT_KEYUP, VK_SPACE, 0, 0});
  e.Play(60);
  EXPECT_EQ(Game.EndReason, 0);
  EXPECT_EQ(Cell(5), "1340");
  EXPECT_EQ(e.Work(), before);
  EXPECT_FALSE(KeyDown(VK_SPACE));
}

// Binding keys on the settings panel and clicking its rows, which lie over the level buttons,
// leave the level, its number and "My Levels.txt" alone.
TEST(LevelEditor, TheSettingsPanelTakesTheKeysAndClicks) {
  TEditor e;
  const std::string work = e.Work(), mine = e.MyLevels();
  e.Key(VK_TAB);
  e.Play(10);
  e.Post(EVENT_MOUSEMOVE, 0, 320, 50);  // player 1's up button
  e.Play(2);
  e.Key(VK_SPACE);
  e.Click(1, 100, 110);  // under the panel: the "+5" button
  e.Key('S');
  e.Key(VK_TAB);
  e.Play(12);
  EXPECT_EQ(ControlTable[0], VK_SPACE);
  EXPECT_EQ(Game.LevelNumber, 1);
  EXPECT_EQ(e.Work(), work);
  EXPECT_EQ(e.MyLevels(), mine);
}

// An edit in the frame the test walk reaches the left edge is saved before the level restarts.
TEST(LevelEditor, AnEditAsTheWalkEndsIsKept) {
  TEditor e;
  e.Post(EVENT_MOUSEMOVE, 0, 416, 100);
  e.Play(2);
  e.Post(EVENT_MOUSEDOWN, 1);
  e.Play(1);  // the press is taken in at the end of this frame and acts in the next
  Game.SheepX = 1.0f;
  e.Play(1);
  e.Post(EVENT_MOUSEUP, 1);
  e.Play(1);
  EXPECT_EQ(Game.SheepX, 472.0f);
  EXPECT_EQ(Cell(5), "1340");
  EXPECT_NE(e.Work().find("\"                    1340"), std::string::npos);
}

}  // namespace
