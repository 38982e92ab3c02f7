// Turns the requested size and full-screen choice into an open display, with a guard file that
// marks the moment of switching so a crash during a mode change leaves a trace.
#include "framework/display_modes.h"

#include <algorithm>
#include <string>
#include <vector>

#include "base/debug_log.h"
#include "base/game_paths.h"
#include "base/settings.h"
#include "framework/common_assets.h"
#include "framework/engine_test.h"
#include "framework/screen_size.h"
#include "framework/setup_file.h"
#include "platform/display.h"
#include "platform/files.h"
#include "platform/stream.h"
#include "ui/draw_helpers.h"
#include "ui/messages.h"

std::array<int, 2500> ModeWidths{};
std::array<int, 2500> ModeHeights{};
int ModeCount = 0;
int DisplayDepth = 0;

// What the layers above save when the program must end without a display (the scores).
std::vector<void (*)()> keep_steps;

namespace {

const char kRule[] = "-=-=-=-=-=-=-=-=-=-=-=-=-=-";

bool AlreadyListed(int w, int h) {
  for (int i = 1; i <= ModeCount; ++i)
    if (ModeWidths[i] == w && ModeHeights[i] == h) return true;
  return false;
}

int FullScreenDepth() {
  for (int depth : {32, 24, 16})
    if (GraphicsModeExists(CurrentWidth, CurrentHeight, depth, 0)) return depth;
  PostMessage("Can't set to fullscreen in this resolution.");
  return 0;
}

// Opens at the size asked for; a refused full-screen mode gets a window of the same size.
bool OpenAt(int width, int height, int& depth) {
  if (OpenGraphics(width, height, depth, 60, 0)) return true;
  if (depth == 0) return false;
  PostMessage("Can't set to fullscreen in this resolution.");
  depth = 0;
  return OpenGraphics(width, height, 0, 60, 0);
}

// Nothing can be shown or pressed without a display: save what the run must keep and end.
[[noreturn]] void EndWithoutDisplay(bool had_display) {
  LogLine("\tCould not open a display");
  // Started over SSH or without DISPLAY, the player looks at the terminal, not at the log.
  const std::string name = XDisplayName();
  if (XDisplayReachable())
    StandardErrorLine("lambrisk: cannot open a window on the X display \"" + name + "\" (see " +
                      FilesPath("Debug.txt") + ")");
  else
    StandardErrorLine("lambrisk: cannot open the X display \"" + name + "\": is DISPLAY set?");
  if (had_display) {
    WriteSetupFile();
    for (void (*step)() : keep_steps) step();
  }
  DeleteFile(GamePath("crash.dat"));
  CloseDebugLog();
  ExitProcess(1);
}

}  // namespace

void AddKeepStep(void (*step)()) {
  if (std::find(keep_steps.begin(), keep_steps.end(), step) == keep_steps.end()) keep_steps.push_back(step);
}

bool UsableMode(int w, int h) { return h == w * 10 / 16 || h == w * 9 / 16 || h == w * 3 / 4; }

void BuildModeList() {
  ModeWidths.fill(0);
  ModeHeights.fill(0);
  ModeCount = 0;
  const int count = CountGraphicsModes();
  for (int i = 0; i < count && ModeCount + 1 < int(ModeWidths.size()); ++i) {
    TGraphicsMode mode;
    if (!GetGraphicsMode(i, mode)) continue;
    const int w = mode.width, h = mode.height;
    if (!UsableMode(w, h) || AlreadyListed(w, h)) continue;
    ++ModeCount;
    ModeWidths[ModeCount] = w;
    ModeHeights[ModeCount] = h;
    if (w == Settings[SET_WIDTH] && h == Settings[SET_HEIGHT]) {
      Settings[SET_MODE_INDEX] = ModeCount;
      CurrentWidth = w;
      CurrentHeight = h;
    }
  }
  Settings[SET_WIDTH] = CurrentWidth;
  Settings[SET_HEIGHT] = CurrentHeight;
}

void ChooseVirtualResolution(int w, int h) {
  Settings[SET_WIDESCREEN] = 0;
  VirtualWidth = 1280;
  VirtualHeight = 960;
  if (h == w * 9 / 16) {
    Settings[SET_WIDESCREEN] = 1;
    VirtualWidth = 1600;
    VirtualHeight = 900;
    LogLine("\tWidescreen mode!");
  }
  if (h == w * 10 / 16) {
    Settings[SET_WIDESCREEN] = 1;
    VirtualWidth = 1440;
    VirtualHeight = 900;
    LogLine("\tWidescreen mode B (10:16)!");
  }
}

void ApplyDisplayMode() {
  const bool had_display = DisplayOpen == 1;
  const int previous_width = CurrentWidth, previous_height = CurrentHeight;
  BuildModeList();
  LogLine("");
  LogLine(kRule);
  LogLine("Applying Graphical Settings");
  if (DisplayOpen == 1) {
    CloseGraphics();
    LogLine("\tChanged Graphics Mode ingame.");
  }
  Settings[SET_GFX_ENGINE] = 0;
  UseOpenGLDriver(2);
  LogLine("\tUsing OpenGL Driver");
  int depth = Settings[SET_FULLSCREEN] == 1 ? FullScreenDepth() : 0;
  LogLine("\tResolution : " + std::to_string(CurrentWidth) + "x" + std::to_string(CurrentHeight) +
          "," + std::to_string(depth));

  if (TStreamPtr guard = WriteFile(GamePath("crash.dat"))) guard->Close();
  bool opened = OpenAt(CurrentWidth, CurrentHeight, depth);
  if (!opened && had_display) {
    // A new mode that won't open: the one that was open a moment ago should.
    LogLine("\tCould not open it; back to " + std::to_string(previous_width) + "x" +
            std::to_string(previous_height) + "," + std::to_string(DisplayDepth));
    PostMessage("Couldn't open that display mode.");
    Settings[SET_WIDTH] = CurrentWidth = previous_width;
    Settings[SET_HEIGHT] = CurrentHeight = previous_height;
    for (int i = 1; i <= ModeCount; ++i)
      if (ModeWidths[i] == CurrentWidth && ModeHeights[i] == CurrentHeight) Settings[SET_MODE_INDEX] = i;
    depth = DisplayDepth;
    opened = OpenAt(CurrentWidth, CurrentHeight, depth);
  }
  if (!opened) EndWithoutDisplay(had_display);
  DisplayDepth = depth;
  ChooseVirtualResolution(CurrentWidth, CurrentHeight);
  SetVirtualResolution(float(VirtualWidth), float(VirtualHeight));

  LoadCommonAssets();
  RunEngineTest(60, 2);
  LoadScreenImages();
  LogLine(kRule);
  DeleteFile(GamePath("crash.dat"));
}

void ResetDisplayModes() {
  ModeWidths.fill(0);
  ModeHeights.fill(0);
  ModeCount = 0;
  ResetScreenSize();
  DisplayDepth = 0;
}
