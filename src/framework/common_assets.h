// The shared fonts, icons, logos and jingle of "Files/Common/" and the game's own badge sheet,
// sound effects and screen images of "Files/003/", loaded into the handle tables every screen
// uses (the fonts and the icon sheet into the drawing helpers' tables). They belong to the open
// display, so each display-mode change reloads them all.
#pragma once
#include <array>
#include <string>

#include "platform/font.h"
#include "platform/image.h"
#include "platform/sound.h"

extern std::array<TImagePtr, 2> Logos;         // the framework's logo and the community site's
extern TSoundPtr BadgeSound;                   // "open.ogg", the jingle of the first load
extern TImagePtr BadgeSheet;                   // "badges.png", 16 frames of 64 x 64
extern TImagePtr TitleLogo;                    // the game folder's "logo.png"
extern std::array<TImagePtr, 25> TopBorders;   // entries 1 to 10: world-pair backdrops
extern std::array<TImagePtr, 25> BottomBorders;
extern TImagePtr ButtonSheet;                  // "buttons.png", 16 frames of 256 x 256
extern TImagePtr SpriteSheet;                  // "gfx_01.png", 256 frames of 32 x 32
extern TImagePtr WarnImage;                    // "warn-hd.png"

// Font scales for a real display width: large (FontScaleA) and small (FontScaleB).
float FontScaleA(int current_width);
float FontScaleB(int current_width);
// "SVBasicManual" at widths of 800 and below, "November" above.
std::string MainFontFamily(int current_width);
// Border file for entry i (1 to 10) of the top ("top_") or bottom ("bot_") strips; entries 2
// and 3 swap their files.
std::string BorderFileName(const std::string& prefix, int entry);

// Fonts, icons, logos, jingle, badges, sound effects, then the steps handed in (the previous
// scores). Runs with the working directory at the game folder and leaves it there.
void LoadCommonAssets();
// A step the layers above run at the end of every common-asset load: at start and after every
// display-mode change. A step handed in twice runs once.
void AddAssetLoadStep(void (*step)());
// The music samples, then the game's screen images (after the engine test, which the display
// step runs between the two loads).
void LoadScreenImages();
// Drops every handle (tests).
void ResetCommonAssets();
