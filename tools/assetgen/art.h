// The pictures the generator makes, one function per file (each in its own source file), and the
// few drawing routines that several pictures share (the sheep appears on the sprite sheet, the
// title strip and the logos).
#pragma once
#include <string>

#include "canvas.h"

namespace ag {

// Font files the generator letters with: the same files the build stages for the game.
struct Fonts {
  std::string main;     // staged as "SVBasicManual.ttf"
  std::string wide;     // staged as "November.ttf"
  std::string caption;  // staged as "Blue Highway.ttf"
  std::string display;  // staged as "Acknowledge TT ZOV.ttf"
};

// Shared figures, drawn in a 32 x 32 local frame (the sprite cell) placed by t.
void DrawSheep(Canvas& c, const Xform& t, int pose);  // pose 0..3, facing left, feet at y 30.5
void DrawSpikeBall(Canvas& c, const Xform& t, float spin);  // frames 17 then 16 rotated by spin
void DrawBallSpikes(Canvas& c, const Xform& centre);        // frame 16 alone, about its centre
void DrawBlock(Canvas& c, const Xform& t);
void DrawHayBale(Canvas& c, const Xform& t);   // the large rolling sprite, frame 41
void DrawChaserFace(Canvas& c, const Xform& t);
void DrawSpikeTrap(Canvas& c, const Xform& t, bool dangerous);
void DrawEruption(Canvas& c, const Xform& t, int stage);
void DrawLorry(Canvas& c, const Xform& t);     // 256 x 64 local units, facing right
void DrawRacer(Canvas& c, const Xform& t);     // crossing sprite of kind 10, facing left

Canvas MakeSpriteSheet();                 // gfx_01.png, 512 x 512
Canvas MakeBackdropTop(int pair);         // top_NN-hd.png, 512 x 256
Canvas MakeBackdropBottom(int pair);      // bot_NN-hd.png, 512 x 256
const char* BackdropMood(int pair);
Canvas MakeIcons();                       // icons.png, 128 x 128
Canvas MakeBadges();                      // badges.png, 256 x 256
Canvas MakeButtons(const Fonts& f);       // buttons.png, 1024 x 1024
Canvas MakeFrameworkLogo(const Fonts& f); // Common/logo.png
Canvas MakeCommunityLogo(const Fonts& f); // Common/Tamblin.png
Canvas MakeTitleLogo(const Fonts& f);     // 003/logo.png
Canvas MakeWarnSign();                    // warn-hd.png

}  // namespace ag
