// The settings panel's slide and background.
#include "ui/settings_panel.h"

#include "framework/common_assets.h"
#include "framework/display_modes.h"
#include "platform/draw_state.h"
#include "ui/draw_helpers.h"
#include "ui/frame_mouse.h"

int PanelOpen = 0;
int PanelOffset = -300;

namespace {
int PanelClickLeft = 0;
int PanelClickRight = 0;
}  // namespace

void ClaimPanelClicks() {
  const bool shown = PanelOffset >= -299;
  if (shown && FrameMouseY < PanelOffset + 300) {
    PanelClickLeft = ClickLeft;
    PanelClickRight = ClickRight;
    ClickLeft = ClickRight = 0;
  } else {
    PanelClickLeft = PanelClickRight = 0;
  }
}

void DrawSettingsPanel() {
  ClickLeft = PanelClickLeft;
  ClickRight = PanelClickRight;
  PanelClickLeft = PanelClickRight = 0;
  // Ten frames of 32 pixels to open, ten to close.
  if (PanelOpen == 1 && PanelOffset < 0) PanelOffset += 32;
  if (PanelOpen == 0 && PanelOffset >= -299) PanelOffset -= 32;
  if (PanelOffset < -299) return;

  SetImageFont(ScreenFonts[2]);
  ResetDrawing();
  const float w = float(VirtualWidth);
  SetBlendKind(2);
  Colour(40, 40, 40, 0.8f);
  DrawRect(0, 0, w, float(PanelOffset + 300));
  SetBlendKind(1);
  Colour(80, 80, 80, 0.4f);
  DrawRect(0, 0, w, float(PanelOffset + 298));
  Colour(180, 255, 180, 1.0f);
  DrawRect(0, float(PanelOffset + 298), w, 2);
  SpriteCount[1] = 0;
  SpriteCount[2] = 0;
}

void ResetSettingsPanel() {
  PanelOpen = 0;
  PanelOffset = -300;
  PanelClickLeft = PanelClickRight = 0;
}
