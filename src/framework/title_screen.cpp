// The title screen. Until the full front end exists it holds the game's name over the backdrop
// and ends on Escape.
#include "framework/title_screen.h"

#include "framework/common_assets.h"
#include "framework/display_modes.h"
#include "framework/main_program.h"
#include "framework/present_frame.h"
#include "platform/draw_state.h"
#include "platform/input.h"
#include "platform/key_codes.h"
#include "ui/draw_helpers.h"

void RunTitleScreen() {
  for (;;) {
    BeginFrame(1);
    ResetDrawing();
    DrawBackdrop();
    SetImageFont(ScreenFonts[5]);
    TextAt(VirtualWidth / 2, VirtualHeight / 2 - 60, GameTitle, 1, 1);
    SetImageFont(ScreenFonts[7]);
    Colour(180, 255, 255, 1.0f);
    TextAt(VirtualWidth / 2, VirtualHeight / 2 + 60, "Press Escape to leave", 1, 1);
    PresentFrame(1);
    if (KeyDown(VK_ESCAPE)) return;
  }
}
