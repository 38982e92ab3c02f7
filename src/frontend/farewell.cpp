// The farewell: saves the setup and the scores before anything is drawn, so an interrupted
// farewell loses nothing, then thanks the player and waits for a key, a click or the window's
// close button.
#include "frontend/farewell.h"

#include "base/debug_log.h"
#include "base/game_paths.h"
#include "base/program_state.h"
#include "framework/common_assets.h"
#include "framework/present_frame.h"
#include "framework/screen_size.h"
#include "framework/setup_file.h"
#include "game/level_files.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/draw_state.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/quit_signals.h"
#include "scores/score_file.h"
#include "ui/controls.h"
#include "ui/draw_helpers.h"

namespace {

struct TFarewellLine {
  int offset;
  float r, g, b;
  const char* text;
};

const TFarewellLine kLines[] = {
    {40, 255, 255, 180, "Why not take the next few minutes to hop back to the site"},
    {80, 255, 255, 180, "where you found this game, and leave a comment."},
    {130, 255, 255, 180, "Good or bad, every little helps."},
    {180, 255, 210, 180, "There are so many wonderful homebrew communities"},
    {220, 255, 210, 180, "and developers out there, who bring you hundreds"},
    {260, 255, 210, 180, "of free games, every month."},
    {320, 255, 255, 180, "Give a little back."},
    {380, 180, 255, 255, "Feedback is King"},
};

// Reading the window's close request clears it, so once seen it is kept: a close during the
// release wait still ends the program.
bool close_requested = false;

bool AnyInputHeld() {
  PollSystem();
  if (AppTerminate() || QuitSignalled()) close_requested = true;
  return close_requested || ScanControl() > 0 || MouseDown(1) || MouseDown(2) || ExitHotKeyHeld();
}

void DrawThanks() {
  Cls();
  BeginFrame(1);
  DrawBackdrop();
  DrawImage(Logos[0], 256, 256);
  DrawImage(Logos[1], float(VirtualWidth - 256), 256);
  UseFont(1, 6);
  Colour(180, 255, 255, 1.0f);
  TextAt(VirtualWidth / 2, VirtualHeight / 2, "Thanks for Playing", 1, 1);
  UseFont(2, 5);
  for (const TFarewellLine& line : kLines) {
    Colour(line.r, line.g, line.b, 1.0f);
    TextAt(40, VirtualHeight / 2 + line.offset, line.text, 0, 0);
  }
  Flip(-1);
}

}  // namespace

void Farewell() {
  // Closed in the middle of an editing session (its pause menu open or not): the work goes back
  // to the player's own levels.
  if (GameMode == 0 && (GameState == 1 || GameState == 2)) CopyFromWork("My Levels");
  ShowPointer();
  WriteSetupFile();
  SaveScores();
  LogLine("Closing Up");
  LogLine("");
  LogLine("Bye!");
  LogLine("");
  LogLine("Play again, soon!!");
  // Closing an interrupted display step must not look like a crash at the next start.
  DeleteFile(GamePath("crash.dat"));

  // Asked to close by a signal, nobody is there to read the thanks or press a key.
  if (!QuitSignalled()) {
    DrawThanks();
    // Input still held from quitting is ignored for up to about two seconds.
    for (int i = 0; i < 120 && AnyInputHeld() && !close_requested; ++i) Delay(16);
    // A few milliseconds' sleep a pass keeps the wait off the processor; no one sees the delay.
    while (!AnyInputHeld()) Delay(5);
  }

  CloseGraphics();
  CloseDebugLog();
  ExitProcess(0);
}
