// The drawing helpers every screen draws through: fonts and aligned text, colour with clamping,
// blend kinds, counted sprites against per-frame budgets, the striped backdrop, and the small
// shared helpers (clamp, mouse-over, clock). The fonts and the icon sheet they draw with are held
// here and loaded by the common assets.
#pragma once
#include <array>
#include <string>

#include "platform/font.h"
#include "platform/image.h"

// Omitted-argument markers: leave alpha unchanged, and vertical scale equal to horizontal.
constexpr float kKeepAlpha = 37171648.0f;
constexpr float kSameAsX = -37171648.0f;

extern std::array<int, 20> SpriteCount;   // sprites drawn this frame, by budget class
extern std::array<int, 20> SpriteBudget;  // most sprites a frame, by class (1 main, 2 glow, 3 particles)
extern std::array<TFontPtr, 100> FontTable;  // entry (family - 1) * 10 + size
extern std::array<TFontPtr, 20> ScreenFonts; // entries 1 to 13: fonts of fixed roles
extern TImagePtr IconsFiltered;              // "icons.png", 64 frames of 16 x 16, filtered
extern TImagePtr IconsCrisp;                 // the same sheet unfiltered
// 1: this frame's sprites are skipped (slow-system mode); the frame presentation sets it.
extern int FrameSkipped;
extern std::array<float, 3> BackdropTint;    // red, green, blue, eased toward the target
extern std::array<float, 3> BackdropTarget;  // screens set it to recolour the backdrop

// Back to the start values: counts 0, budgets of classes 1 and 2 at 50000, fonts empty, tints
// (0.2, 0.0, 1.0).
void ResetDrawHelpers();

// Makes FontTable[(family - 1) * 10 + size] current; family 1..3 (else 1), size 0..8 (else 0).
void UseFont(int family, int size);
// Text at (x, y): alignX 0 left, 1 centre, 2 right; alignY 0 top, 1 middle, 2 bottom.
void TextAt(int x, int y, const std::string& text, int alignX = 0, int alignY = 0);
void Scale(float x, float y = kSameAsX);
void Rotate(float angle);  // degrees
// Rotation 0, scale 1, colour white, alpha 1, blend kind 1.
void ResetDrawing();
// 0 solid, 1 alpha, 2 shade (multiply), 3 light (additive); other kinds change nothing.
void SetBlendKind(int kind);
// Colour clamped to 0..255 and truncated; alpha clamped to 0..1 unless it is kKeepAlpha.
void Colour(float r, float g, float b, float a = kKeepAlpha);

// How many more sprites of the class this frame draws (0 while sprites are suppressed), and the
// count of sprites drawn another way (a copy of them) that stand for that many.
int SpriteRoom(int budgetClass);
void CountSprites(int count, int budgetClass);
// Counted sprites: nothing is drawn once the class's budget for the frame is spent.
// Top-left corner at (x, y) under the current scale.
void DrawSprite(const TImagePtr& image, float x, float y, int frame, int budgetClass = 1);
// Playfield units: the handle goes to (VW / 2 + 2x - 480, 2y).
void DrawFieldSprite(const TImagePtr& image, float x, float y, int frame, int budgetClass = 1);
// The sprite (class 1) and a light-blended glow over it (class 2), budgeted independently.
void DrawGlowSprite(const TImagePtr& image, float x, float y, int frame,
                    const TImagePtr& glowImage, float glowScale, float glowAlpha);
// Starts a frame: clears when clear is 1, then zeroes SpriteCount[1..10].
void BeginFrame(int clear);

// The animated diagonal stripes behind menus; eases BackdropTint one step toward the target.
void DrawBackdrop();

float ClampFloat(float v, float lo, float hi);
// The frame's mouse strictly inside the rectangle.
bool MouseOver(int x, int y, int w, int h);
// Milliseconds since program start.
int Millis();
