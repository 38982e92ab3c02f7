// Turns the requested size and full-screen choice into an open display, with a guard file that
// marks the moment of switching so a crash during a mode change leaves a trace.
#include "framework/display_modes.h"

#include <string>

#include "framework/common_assets.h"
#include "framework/debug_log.h"
#include "framework/farewell.h"
#include "framework/game_paths.h"
#include "framework/main_program.h"
#include "platform/display.h"
#include "platform/files.h"
#include "platform/stream.h"
#include "ui/draw_helpers.h"

std::array<int, 2500> ModeWidths{};
std::array<int, 2500> ModeHeights{};
int ModeCount = 0;
int CurrentWidth = 800;
int CurrentHeight = 600;
int VirtualWidth = 1280;
int VirtualHeight = 960;
int DisplayOpen = 0;

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

}  // namespace

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
  bool opened = OpenGraphics(CurrentWidth, CurrentHeight, depth, 60, 0);
  if (!opened && depth != 0) {
    // The mode was listed but refused: a window of the same size is the next best thing.
    PostMessage("Can't set to fullscreen in this resolution.");
    opened = OpenGraphics(CurrentWidth, CurrentHeight, 0, 60, 0);
  }
  if (!opened) {
    // Without any display nothing can be shown or pressed; end instead of running unseen.
    LogLine("\tCould not open a display");
    DeleteFile(GamePath("crash.dat"));
    CloseDebugLog();
    ExitProcess(1);
  }
  ChooseVirtualResolution(CurrentWidth, CurrentHeight);
  SetVirtualResolution(float(VirtualWidth), float(VirtualHeight));

  LoadCommonAssets();
  LoadScreenImages();
  LogLine(kRule);
  DeleteFile(GamePath("crash.dat"));
}

void ResetDisplayModes() {
  ModeWidths.fill(0);
  ModeHeights.fill(0);
  ModeCount = 0;
  CurrentWidth = 800;
  CurrentHeight = 600;
  VirtualWidth = 1280;
  VirtualHeight = 960;
  DisplayOpen = 0;
}
