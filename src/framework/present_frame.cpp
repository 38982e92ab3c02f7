// The end of every frame, in a fixed order: hot keys, the settings panel, the overlay, the mouse
// pointer, pacing, music, floating messages, the flip, the frame rate and the exit hot key.
#include "framework/present_frame.h"

#include <cstdio>
#include <unistd.h>

#include "audio/music_player.h"
#include "base/program_state.h"
#include "base/settings.h"
#include "framework/pause_menu.h"
#include "framework/screen_size.h"
#include "framework/screenshot.h"
#include "framework/setup_file.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/draw_state.h"
#include "platform/files.h"
#include "platform/font.h"
#include "platform/input.h"
#include "platform/key_codes.h"
#include "platform/quit_signals.h"
#include "ui/controls.h"
#include "ui/draw_helpers.h"
#include "ui/messages.h"
#include "ui/pad_layout.h"
#include "ui/panel_state.h"

int OverlayOn = 1;
int LastFrameTime = 0;
int FrameTime = 0;
int FrameRate = 0;

namespace {

const int kHighlightTicks = 60, kMessageTicks = 180;

// The front end's steps; without them there is no panel to draw and the program just ends.
void (*panel_drawing)() = nullptr;
void (*panel_clicks)() = nullptr;
void (*farewell)() = nullptr;

// Escape closed the settings panel and has not been let go since: that press means nothing else.
bool EscapeTakenByPanel = false;

void CloseSettingsPanel() {
  PanelOpen = 0;
  WriteSetupFile();
}

void DrawOverlay() {
  TextAt(2, 2, std::to_string(FrameRate), 0, 0);
  SetImageFont(ScreenFonts[2]);
  // Objects a garbage pass released: the program frees its memory as it goes and has no such
  // pass, so the overlay's line always reads 0.
  TextAt(2, 40, "Collection : 0", 0, 0);
  TextAt(2, 60, "Used Memory : " + std::to_string(UsedMemory()), 0, 0);
  TextAt(2, 80, "Drawn Images : " + std::to_string(SpriteCount[1]) + "/" + std::to_string(SpriteBudget[1]), 0, 0);
  TextAt(2, 100, "Drawn Glow : " + std::to_string(SpriteCount[2]) + "/" + std::to_string(SpriteBudget[2]), 0, 0);
  TextAt(2, 120, "Drawn Particles : " + std::to_string(SpriteCount[3]) + "/" + std::to_string(SpriteBudget[3]), 0, 0);
  TextAt(2, 150, "Hit F12 to remove this", 0, 0);
  Scale(1.5f, 1.5f);
}

// Stacks upwards from the bottom-left corner, the oldest at the bottom.
void DrawMessages() {
  UseFont(1, 4);
  Scale(1, 1);
  const int height = TextHeight();
  int y = VirtualHeight - height;
  for (size_t i = 0; i < MessageList.size();) {
    ment& m = MessageList[i];
    ++m.tick;
    // A coloured message is read by its colour: it never takes the yellow highlight.
    const bool fresh = m.tick < kHighlightTicks && m.colour < 0;
    if (fresh) Colour(255, 255, 0, 0.7f);
    else Colour(0, 0, 0, 0.5f);
    DrawRect(0, float(y), float(TextWidth(m.txt)), float(height));
    if (fresh) Colour(0, 0, 0, 1.0f);
    else if (m.colour >= 0) Colour(float(m.colour >> 16 & 255), float(m.colour >> 8 & 255), float(m.colour & 255), 1.0f);
    else Colour(255, 255, 255, 1.0f);
    TextAt(0, y, m.txt, 0, 0);
    y -= height;
    if (m.standing && m.tick > kHighlightTicks) m.tick = kHighlightTicks;
    if (m.tick == kMessageTicks) MessageList.erase(MessageList.begin() + long(i));
    else ++i;
  }
}

}  // namespace

void SetFrontEndSteps(void (*drawPanel)(), void (*claimPanelClicks)(), void (*endProgram)()) {
  panel_drawing = drawPanel;
  panel_clicks = claimPanelClicks;
  farewell = endProgram;
}

bool EscapeHeld() { return KeyDown(VK_ESCAPE) && !PanelShown() && !EscapeTakenByPanel; }

bool PauseInputHeld() { return EscapeHeld() || (PadStartHeld() && !PanelShown()); }

bool ExitHotKeyHeld() {
  return KeyDown(VK_F4) && (KeyDown(VK_LEFT_ALT) || KeyDown(VK_RIGHT_ALT));
}

void ResetPresentFrame() {
  OverlayOn = 1;
  FrameSkipped = 0;
  LastFrameTime = Millis();
  FrameTime = 0;
  FrameRate = 0;
  ResetFrameMouse();
  MessageList.clear();
  EscapeTakenByPanel = false;
}

int SmoothFrameRate(int rate, int frameTime) {
  if (frameTime < 1) frameTime = 1;  // a frame can't take no time; avoid dividing by zero
  return (1000 / frameTime + 2 * rate) / 3;
}

long UsedMemory() {
  // Resident pages: what the program holds, whatever allocator it runs with.
  std::FILE* statm = std::fopen("/proc/self/statm", "r");
  if (!statm) return 0;
  long size = 0, resident = 0;
  const bool read = std::fscanf(statm, "%ld %ld", &size, &resident) == 2;
  std::fclose(statm);
  return read ? resident * sysconf(_SC_PAGESIZE) : 0;
}

int PresentFrame(int showPointer, double frameRate) {
  if (!(frameRate > 0)) frameRate = kFullFrameRate;
  int result = 0;
  Settings[SET_SLOW_SYSTEM] = 0;
  FrameSkipped = 0;
  SetImageFont(ScreenFonts[3]);
  ResetDrawing();

  if (KeyHit(VK_TAB)) {
    PanelOpen = 1 - PanelOpen;
    WriteSetupFile();
  }
  if (!KeyDown(VK_ESCAPE)) EscapeTakenByPanel = false;
  if (PanelShown() && KeyDown(VK_ESCAPE) && !EscapeTakenByPanel) {
    EscapeTakenByPanel = true;
    if (PanelOpen == 1) CloseSettingsPanel();
  }
  if (FrameSkipped == 0 || Settings[SET_SLOW_SYSTEM] == 0) {
    if (KeyHit(VK_F11)) TakeScreenshot();
    // Losing the window's focus in a game pauses it as Escape would, so nothing moves on while
    // the player is elsewhere. Read every frame, so a loss outside a game is not kept for later.
    const bool focusLost = FocusLostHit() && PauseOnFocusLoss;
    if ((PauseInputHeld() || focusLost) && GameState == 1) {
      GameState = 2;
      const int paused_at = Millis();
      result = PauseMenu();
      GameState = 1;
      GameClockStart += Millis() - paused_at;
    }
  }
  FollowJoysticks();
  SetDrawLayer(LAYER_PANEL);
  if (panel_drawing) panel_drawing();
  SetDrawLayer(LAYER_OTHER);

  ResetDrawing();
  Scale(1.5f, 1.5f);
  SetImageFont(ScreenFonts[1]);
  if (KeyHit(VK_F12)) OverlayOn = 1 - OverlayOn;
  if (OverlayOn == 1) DrawOverlay();
  if (showPointer == 1 || PanelOpen == 1)
    DrawImage(IconsFiltered, VirtualMouseX() + 12, VirtualMouseY() + 12, 63);

  CaptureFrameMouse();
  if (panel_clicks) panel_clicks();

  int now = 0;
  do {
    Delay(1);
    now = Millis();
  } while (now < LastFrameTime - 2 + 1000.0 / frameRate);

  MusicUpdate();
  DrawMessages();
  Flip(0);

  FrameTime = now - LastFrameTime;
  FrameRate = SmoothFrameRate(FrameRate, FrameTime);
  LastFrameTime = Millis();
  FrameSkipped = 0;

  if (ExitHotKeyHeld() || AppTerminate() || QuitSignalled()) {
    if (farewell) farewell();
    ExitProcess(0);
  }
  return result;
}
