// The check runs the solver on the work file, which holds every edit at once, and reads its
// answer a little every frame, so the level goes on at full rate meanwhile. The route is walked
// by posting the keys bound to Left and the jump, the events a keyboard would send, so the sheep
// walks exactly as the search played it.
#include "game/level_check.h"

#include <array>
#include <cstdio>
#include <memory>
#include <vector>

#include "base/debug_log.h"
#include "base/game_paths.h"
#include "framework/screen_size.h"
#include "game/game_state.h"
#include "game/level_files.h"
#include "platform/clock.h"
#include "platform/input.h"
#include "platform/key_codes.h"
#include "platform/subprocess.h"
#include "ui/controls.h"
#include "ui/draw_helpers.h"
#include "ui/messages.h"
#include "ui/panel_state.h"

std::string LevelSolverPath;

namespace {

const char kChecking[] = "Checking...";
constexpr int kGreen = 0x50FF50, kRed = 0xFF5050;
// Longer than any search the frame and state limits allow on a slow machine.
constexpr int kCheckMs = 120000;

// The check in progress: the program, and the level it is about.
struct TCheck {
  TSubprocess solver;
  int level = 0;
  std::string text;
  int started_ms = 0;
  int started_frame = 0;
};
std::unique_ptr<TCheck> check;

// The last route found, and the level text it is for.
struct TRoute {
  int level = 0;
  std::string text;
  std::string inputs;
};
TRoute found;

// The route being walked: the keys it presses, the next frame's index, and keys the player held
// when it began (F6 itself), which may be let go without taking the control back.
struct TWalk {
  bool on = false;
  int left_key = 0, jump_key = 0;
  size_t next = 0;
  bool left = false, jump = false;  // what the keys posted last hold
  std::array<bool, 256> held_at_start{};
};
TWalk walk;

std::string EditedText() { return Game.LevelText.substr(0, kStoredLevelLength); }

std::string Solver() { return LevelSolverPath.empty() ? ProgramFolder() + "/level_solver" : LevelSolverPath; }

void StopCheck() {
  check.reset();
  TakeBackMessage(kChecking);
}

void StartCheck() {
  StopCheck();
  check = std::make_unique<TCheck>();
  check->level = Game.LevelNumber;
  check->text = EditedText();
  check->started_ms = Millisecs();
  check->started_frame = FrameCount();
  const std::string range = std::to_string(Game.LevelNumber) + "-" + std::to_string(Game.LevelNumber);
  if (!check->solver.Start({Solver(), LevelsPath("WIP.txt"), "--levels", range, "--route"}, kCheckMs)) {
    LogLine("\tLevel check: can't start " + Solver());
    StopCheck();
    PostMessage("Couldn't check this level");
    return;
  }
  PostStandingMessage(kChecking);
}

void Answer() {
  const TSolverAnswer answer = ReadSolverAnswer(check->solver.Output(), check->level);
  const int frames = FrameCount() - check->started_frame, ms = Millisecs() - check->started_ms;
  std::string said;
  if (check->solver.TimedOut() || !answer.read || (check->solver.ExitCode() != 0 && check->solver.ExitCode() != 1)) {
    said = "Couldn't check this level";
    PostMessage(said);
  } else if (answer.completable) {
    char text[64];
    std::snprintf(text, sizeof text, "Completable in %d frames (%.1f s)", answer.frames, answer.frames / 30.0);
    said = text;
    PostColouredMessage(said, kGreen);
    found = {check->level, check->text, answer.route};
  } else {
    said = "No route found in 40 s of play";
    PostColouredMessage(said, kRed);
  }
  // How the frames went while the search ran beside them.
  char pace[96];
  std::snprintf(pace, sizeof pace, "; %d frames drawn in %d ms while it ran (%.1f a second)", frames, ms,
                ms > 0 ? frames * 1000.0 / ms : 0.0);
  LogLine("\tLevel check of level " + std::to_string(check->level) + ": " + said + pace);
  StopCheck();
}

void FollowCheck() {
  if (!check) return;
  // An edit or another level makes the answer about a level that is no longer there.
  if (check->level != Game.LevelNumber || check->text != EditedText()) {
    LogLine("\tLevel check of level " + std::to_string(check->level) + " cancelled by an edit");
    StopCheck();
    return;
  }
  if (check->solver.Poll()) Answer();
}

bool KeyCode(int code) { return code >= 9 && code <= 254; }

void Post(int key, bool down) { PostEvent({down ? EVENT_KEYDOWN : EVENT_KEYUP, key, 0, 0}); }

void StopWalk() {
  if (!walk.on) return;
  if (walk.left) Post(walk.left_key, false);
  if (walk.jump) Post(walk.jump_key, false);
  walk = TWalk{};
}

void StartWalk() {
  if (found.inputs.empty() || found.level != Game.LevelNumber || found.text != EditedText()) return;
  const int left = ControlTable[3];
  const int jump = KeyCode(ControlTable[0]) ? ControlTable[0] : ControlTable[10];
  if (!KeyCode(left) || !KeyCode(jump)) {
    PostMessage("Couldn't show the way: Left and the jump must be keys");
    return;
  }
  StopWalk();
  walk.on = true;
  walk.left_key = left;
  walk.jump_key = jump;
  for (int key = 1; key < 256; ++key) walk.held_at_start[size_t(key)] = KeyDown(key) != 0;
  // The level from its start, as the search played it.
  LoadLevel(WorkFileName, Game.LevelNumber);
  Game.WalkLatch = true;
  Game.JumpLatch = false;
}

// Anything the player presses or clicks takes the control back at once.
bool PlayerTookOver() {
  if (MouseDown(1) || MouseDown(2) || MouseDown(3)) return true;
  if ((KeyDown(walk.left_key) != 0) != walk.left || (KeyDown(walk.jump_key) != 0) != walk.jump) return true;
  for (int key = 1; key < 256; ++key) {
    const bool down = KeyDown(key) != 0;
    if (!down) walk.held_at_start[size_t(key)] = false;
    if (down && key != walk.left_key && key != walk.jump_key && !walk.held_at_start[size_t(key)]) return true;
  }
  return false;
}

// Posts the next frame's input: the keys change only where the route changes, as a keyboard's do.
void FollowWalk() {
  if (!walk.on) return;
  if (PlayerTookOver() || walk.next >= found.inputs.size()) {
    LogLine("\tRoute of level " + std::to_string(Game.LevelNumber) +
            (walk.next >= found.inputs.size() ? " walked to its end in " + std::to_string(walk.next) + " frames"
                                              : " handed back to the player"));
    StopWalk();
    return;
  }
  const char input = found.inputs[walk.next++];
  const bool left = input == 'L' || input == 'B', jump = input == 'U' || input == 'B';
  if (left != walk.left) Post(walk.left_key, left);
  if (jump != walk.jump) Post(walk.jump_key, jump);
  walk.left = left;
  walk.jump = jump;
  ResetDrawing();
  UseFont(2, 4);
  Colour(255, 255, 80, 1.0f);
  TextAt(VirtualWidth / 2, 10, "Route", 1, 0);
}

}  // namespace

TSolverAnswer ReadSolverAnswer(const std::string& output, int level) {
  TSolverAnswer answer;
  bool ours = false;
  size_t at = 0;
  while (at < output.size()) {
    size_t end = output.find('\n', at);
    if (end == std::string::npos) end = output.size();
    const std::string line = output.substr(at, end - at);
    at = end + 1;
    int number = 0;
    if (std::sscanf(line.c_str(), "level %d", &number) == 1) ours = number == level;
    if (!ours) continue;
    if (line == "no route") answer.read = true;
    if (std::sscanf(line.c_str(), "frames %d", &number) == 1) answer.frames = number;
    if (line.compare(0, 6, "route ") == 0) {
      answer.route = line.substr(6);
      // A route is read only when whole: as many inputs as frames, each one of the four.
      answer.completable = answer.frames > 0 && answer.route.size() == size_t(answer.frames) &&
                           answer.route.find_first_not_of(".LUB") == std::string::npos;
      answer.read = answer.completable;
    }
  }
  return answer;
}

void LevelCheckFrame() {
  // Read every frame, so keys pressed to bind a control on the panel are not kept for later.
  const bool checkKey = KeyHit(VK_F5) != 0, walkKey = KeyHit(VK_F6) != 0;
  if (!PanelShown()) {
    if (checkKey) StartCheck();
    if (walkKey) StartWalk();
  }
  FollowWalk();
  FollowCheck();
}

void ResetLevelCheck() {
  StopCheck();
  StopWalk();
  found = TRoute{};
}

bool LevelCheckRunning() { return check != nullptr; }
bool RouteWalking() { return walk.on; }
