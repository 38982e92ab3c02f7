// The drawing state and the primitives. Every setter updates the record and tells the driver
// only when something changed, so a screen may set the same colour for every sprite for free.
#include "platform/draw_state.h"

#include <cmath>

#include "platform/display.h"
#include "platform/draw_internal.h"
#include "platform/font.h"

namespace {

TDrawState state;

int ClampByte(int v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

void UpdateTransform() {
  const double rad = double(state.tform_rot) * M_PI / 180.0;
  const float c = float(std::cos(rad));
  const float s = float(std::sin(rad));
  state.tform_ix = c * state.tform_scale_x;
  state.tform_iy = -s * state.tform_scale_y;
  state.tform_jx = s * state.tform_scale_x;
  state.tform_jy = c * state.tform_scale_y;
  CurrentDrawDriver().SetTransform(state.tform_ix, state.tform_iy, state.tform_jx, state.tform_jy);
}

}  // namespace

const TDrawState& DrawState() { return state; }
TDrawState& MutableDrawState() { return state; }

void PushDrawState() {
  TDrawDriver& d = CurrentDrawDriver();
  d.SetBlend(state.blend_mode);
  d.SetAlpha(state.color_alpha);
  d.SetColor(state.color_red, state.color_green, state.color_blue);
  d.SetClsColor(state.clscolor_red, state.clscolor_green, state.clscolor_blue);
  d.SetLineWidth(state.line_width);
  d.SetTransform(state.tform_ix, state.tform_iy, state.tform_jx, state.tform_jy);
  d.SetViewport(state.viewport_x, state.viewport_y, state.viewport_w, state.viewport_h);
}

void ResetDrawState() {
  TDrawState fresh;
  fresh.vres_width = state.vres_width;
  fresh.vres_height = state.vres_height;
  fresh.vres_mousexscale = state.vres_mousexscale;
  fresh.vres_mouseyscale = state.vres_mouseyscale;
  fresh.g_width = state.g_width;
  fresh.g_height = state.g_height;
  fresh.viewport_w = int(state.vres_width);
  fresh.viewport_h = int(state.vres_height);
  state = fresh;
  PushDrawState();
}

void SetColor(int r, int g, int b) {
  r = ClampByte(r);
  g = ClampByte(g);
  b = ClampByte(b);
  if (r == state.color_red && g == state.color_green && b == state.color_blue) return;
  state.color_red = r;
  state.color_green = g;
  state.color_blue = b;
  CurrentDrawDriver().SetColor(r, g, b);
}

void GetColor(int& r, int& g, int& b) {
  r = state.color_red;
  g = state.color_green;
  b = state.color_blue;
}

void SetAlpha(float alpha) {
  if (!(alpha > 0.0f)) alpha = 0.0f;  // NaN too
  if (alpha > 1.0f) alpha = 1.0f;
  if (alpha == state.color_alpha) return;
  state.color_alpha = alpha;
  CurrentDrawDriver().SetAlpha(alpha);
}

float GetAlpha() { return state.color_alpha; }

void SetBlend(int mode) {
  if (mode < MASKBLEND || mode > SHADEBLEND || mode == state.blend_mode) return;
  state.blend_mode = mode;
  CurrentDrawDriver().SetBlend(mode);
}

int GetBlend() { return state.blend_mode; }

void SetRotation(float degrees) {
  if (degrees == state.tform_rot) return;
  state.tform_rot = degrees;
  UpdateTransform();
}

float GetRotation() { return state.tform_rot; }

void SetScale(float x, float y) {
  if (x == state.tform_scale_x && y == state.tform_scale_y) return;
  state.tform_scale_x = x;
  state.tform_scale_y = y;
  UpdateTransform();
}

void GetScale(float& x, float& y) {
  x = state.tform_scale_x;
  y = state.tform_scale_y;
}

void SetOrigin(float x, float y) {
  state.origin_x = x;
  state.origin_y = y;
}

void SetHandle(float x, float y) {
  state.handle_x = x;
  state.handle_y = y;
}

void SetViewport(int x, int y, int w, int h) {
  state.viewport_x = x;
  state.viewport_y = y;
  state.viewport_w = w;
  state.viewport_h = h;
  CurrentDrawDriver().SetViewport(x, y, w, h);
}

void SetClsColor(int r, int g, int b) {
  state.clscolor_red = ClampByte(r);
  state.clscolor_green = ClampByte(g);
  state.clscolor_blue = ClampByte(b);
  CurrentDrawDriver().SetClsColor(state.clscolor_red, state.clscolor_green, state.clscolor_blue);
}

void SetLineWidth(float width) {
  state.line_width = width;
  CurrentDrawDriver().SetLineWidth(width);
}

void SetImageFont(const std::shared_ptr<TFont>& font) { state.image_font = font; }
void SetDrawLayer(int layer) { state.layer = layer; }
std::shared_ptr<TFont> GetImageFont() { return state.image_font; }

void Cls() { CurrentDrawDriver().Cls(); }

void Plot(float x, float y) { CurrentDrawDriver().Plot(x + state.origin_x, y + state.origin_y); }

void DrawRect(float x, float y, float w, float h) {
  CurrentDrawDriver().DrawRect(-state.handle_x, -state.handle_y, w - state.handle_x,
                               h - state.handle_y, x + state.origin_x, y + state.origin_y);
}

void DrawLine(float x1, float y1, float x2, float y2, bool draw_last_pixel) {
  float dx = x2 - x1;
  float dy = y2 - y1;
  // Lines rasterise half-open; stretching by half a pixel covers the last one.
  const float len = std::sqrt(dx * dx + dy * dy);
  if (draw_last_pixel && len > 0.0f) {
    dx += 0.5f * dx / len;
    dy += 0.5f * dy / len;
  }
  CurrentDrawDriver().DrawLine(-state.handle_x, -state.handle_y, dx - state.handle_x,
                               dy - state.handle_y, x1 + state.origin_x, y1 + state.origin_y);
}

void DrawOval(float x, float y, float w, float h) {
  CurrentDrawDriver().DrawOval(-state.handle_x, -state.handle_y, w - state.handle_x,
                               h - state.handle_y, x + state.origin_x, y + state.origin_y);
}
