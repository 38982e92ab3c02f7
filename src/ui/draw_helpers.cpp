// The drawing helpers: the small vocabulary every screen draws with, on top of the drawing layer.
// Sprites are counted per frame against budgets so a slow machine keeps its frame rate.
#include "ui/draw_helpers.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "base/settings.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/draw_state.h"
#include "ui/frame_mouse.h"
#include "ui/layer_cache.h"

std::array<int, 20> SpriteCount{};
std::array<int, 20> SpriteBudget{0, 50000, 50000};
std::array<TFontPtr, 100> FontTable{};
std::array<TFontPtr, 20> ScreenFonts{};
TImagePtr IconsFiltered;
TImagePtr IconsCrisp;
int FrameSkipped = 0;
std::array<float, 3> BackdropTint{0.2f, 0.0f, 1.0f};
std::array<float, 3> BackdropTarget{0.2f, 0.0f, 1.0f};

namespace {

// The backdrop's stripes as they last settled.
TLayerCache backdrop_copy;

// Slow-system mode skips a frame's sprites; a flag value other than 0 and 1 suppresses them too.
bool SpritesSuppressed() {
  const int slow = Settings[SET_SLOW_SYSTEM];
  if (slow == 1) return FrameSkipped == 1;
  return slow != 0;
}

// At alpha 0 an alpha-blended, additive or masked sprite changes no pixel (the engine test's
// sprites are meant to cost their time unseen, and are drawn without these helpers).
bool Unseen() {
  const int blend = GetBlend();
  return GetAlpha() <= 0.0f && (blend == ALPHABLEND || blend == LIGHTBLEND || blend == MASKBLEND);
}

bool ValidClass(int budgetClass) { return budgetClass >= 0 && budgetClass < int(SpriteCount.size()); }

// Counts one sprite of the class; false (and nothing counted) when the budget is spent.
bool TakeBudget(int budgetClass) {
  if (!ValidClass(budgetClass)) return false;
  if (SpriteCount[size_t(budgetClass)] >= SpriteBudget[size_t(budgetClass)]) return false;
  ++SpriteCount[size_t(budgetClass)];
  return true;
}

}  // namespace

void ResetDrawHelpers() {
  SpriteCount.fill(0);
  SpriteBudget.fill(0);
  SpriteBudget[1] = 50000;
  SpriteBudget[2] = 50000;
  FontTable.fill(nullptr);
  BackdropTint = {0.2f, 0.0f, 1.0f};
  BackdropTarget = {0.2f, 0.0f, 1.0f};
  backdrop_copy.Forget();
}

void UseFont(int family, int size) {
  if (family < 1 || family > 3) family = 1;
  if (size < 0 || size > 8) size = 0;
  SetImageFont(FontTable[size_t((family - 1) * 10 + size)]);
}

void TextAt(int x, int y, const std::string& text, int alignX, int alignY) {
  if (alignX == 1) x -= TextWidth(text) / 2;
  if (alignX == 2) x -= TextWidth(text);
  if (alignY == 1) y -= TextHeight() / 2;
  if (alignY == 2) y -= TextHeight();
  DrawText(text, float(x), float(y));
}

void Scale(float x, float y) { SetScale(x, y == kSameAsX ? x : y); }

void Rotate(float angle) { SetRotation(angle); }

void ResetDrawing() {
  SetRotation(0.0f);
  SetScale(1.0f, 1.0f);
  SetColor(255, 255, 255);
  SetAlpha(1.0f);
  SetBlendKind(1);
}

void SetBlendKind(int kind) {
  switch (kind) {
    case 0: SetBlend(SOLIDBLEND); break;
    case 1: SetBlend(ALPHABLEND); break;
    case 2: SetBlend(SHADEBLEND); break;
    case 3: SetBlend(LIGHTBLEND); break;
    default: break;
  }
}

void Colour(float r, float g, float b, float a) {
  SetColor(int(ClampFloat(r, 0.0f, 255.0f)), int(ClampFloat(g, 0.0f, 255.0f)),
           int(ClampFloat(b, 0.0f, 255.0f)));
  if (a != kKeepAlpha) SetAlpha(ClampFloat(a, 0.0f, 1.0f));
}

int SpriteRoom(int budgetClass) {
  if (SpritesSuppressed() || !ValidClass(budgetClass)) return 0;
  return std::max(0, SpriteBudget[size_t(budgetClass)] - SpriteCount[size_t(budgetClass)]);
}

void CountSprites(int count, int budgetClass) {
  if (ValidClass(budgetClass)) SpriteCount[size_t(budgetClass)] += count;
}

void DrawSprite(const TImagePtr& image, float x, float y, int frame, int budgetClass) {
  if (SpritesSuppressed()) return;
  float sx = 1.0f;
  float sy = 1.0f;
  GetScale(sx, sy);
  if (!TakeBudget(budgetClass) || Unseen()) return;
  DrawImage(image, x + float(ImageWidth(image)) * (sx / 2.0f), y + float(ImageHeight(image)) * (sy / 2.0f), frame);
}

void DrawFieldSprite(const TImagePtr& image, float x, float y, int frame, int budgetClass) {
  if (SpritesSuppressed()) return;
  if (!TakeBudget(budgetClass) || Unseen()) return;
  const int half_width = int(VirtualResolutionWidth()) / 2;
  DrawImage(image, float(half_width) + 2.0f * x - 480.0f, 2.0f * y, frame);
}

void DrawGlowSprite(const TImagePtr& image, float x, float y, int frame, const TImagePtr& glowImage,
                    float glowScale, float glowAlpha) {
  if (SpritesSuppressed()) return;
  float sx = 1.0f;
  float sy = 1.0f;
  GetScale(sx, sy);
  const float alpha = GetAlpha();
  const int blend = GetBlend();
  const float cx = x + float(ImageWidth(image)) * sx / 2.0f;
  const float cy = y + float(ImageHeight(image)) * sy / 2.0f;
  if (TakeBudget(1)) DrawImage(image, cx, cy, frame);
  SetScale(glowScale * sx, glowScale * sy);
  SetAlpha(alpha * glowAlpha);
  SetBlend(LIGHTBLEND);
  if (TakeBudget(2)) DrawImage(glowImage ? glowImage : image, cx, cy, frame);
  SetScale(sx, sy);
  SetAlpha(alpha);
  SetBlend(blend);
}

void BeginFrame(int clear) {
  if (clear == 1) Cls();
  for (size_t i = 1; i <= 10; ++i) SpriteCount[i] = 0;
}

void DrawBackdrop() {
  ResetDrawing();
  SetDrawLayer(LAYER_BACKDROP);
  for (size_t c = 0; c < 3; ++c) {
    BackdropTint[c] = BackdropTint[c] - (BackdropTint[c] - BackdropTarget[c]) / 16.0f;
    if (std::fabs(BackdropTint[c] - BackdropTarget[c]) < 0.005f) BackdropTint[c] = BackdropTarget[c];
  }
  // The stripes are the same as long as the tint is: a copy of them once it has settled.
  const std::string key(reinterpret_cast<const char*>(BackdropTint.data()), sizeof(float) * BackdropTint.size());
  backdrop_copy.Draw(key, [] {
    float k = 25.0f;
    Rotate(-45.0f);
    const float vw = VirtualResolutionWidth();
    const float vh = VirtualResolutionHeight();
    for (int y = 0; float(y) <= vh; y += 10) {
      k += 1.0f;
      Colour(k * BackdropTint[0], k * BackdropTint[1], k * BackdropTint[2]);
      DrawRect(-100.0f, float(3 * y), vw + 1800.0f, 30.0f);
    }
  });
  ResetDrawing();
  SetDrawLayer(LAYER_OTHER);
}

float ClampFloat(float v, float lo, float hi) {
  const float upper = v < hi ? v : hi;
  return upper > lo ? upper : lo;
}

bool MouseOver(int x, int y, int w, int h) {
  return FrameMouseX > x && FrameMouseY > y && FrameMouseX < x + w && FrameMouseY < y + h;
}


int Millis() { return Millisecs(); }
