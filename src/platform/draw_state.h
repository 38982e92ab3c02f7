// The current drawing state and the primitive draws: colour, alpha, blend, rotation, scale,
// origin, handle, viewport and font, kept once here and pushed to the driver when they change.
#pragma once
#include <memory>
#include <string>

class TFont;

// What a draw belongs to on the screen, for the drawing report: set by the code that draws each
// layer, read by a driver that counts (it changes nothing drawn).
enum TDrawLayer { LAYER_OTHER = 0, LAYER_BACKDROP, LAYER_BORDERS, LAYER_OBJECTS, LAYER_PANEL };

struct TDrawState {
  int color_red = 255;           // drawing colour, multiplies texels
  int color_green = 255;
  int color_blue = 255;
  float color_alpha = 1.0f;      // 0..1
  int clscolor_red = 0;          // colour used by Cls
  int clscolor_green = 0;
  int clscolor_blue = 0;
  float line_width = 1.0f;       // pixels
  float tform_rot = 0.0f;        // degrees
  float tform_scale_x = 1.0f;
  float tform_scale_y = 1.0f;
  float tform_ix = 1.0f;         // 2x2 transform from rotation and scale
  float tform_iy = 0.0f;
  float tform_jx = 0.0f;
  float tform_jy = 1.0f;
  int viewport_x = 0;            // clipping rectangle, virtual pixels
  int viewport_y = 0;
  int viewport_w = 0;
  int viewport_h = 0;
  float origin_x = 0.0f;         // added to every drawing position
  float origin_y = 0.0f;
  float handle_x = 0.0f;         // subtracted from rectangles and text before transforming
  float handle_y = 0.0f;
  std::shared_ptr<TFont> image_font;  // current font; null means the built-in default font
  int blend_mode = 2;            // SOLIDBLEND
  float vres_width = 0.0f;       // virtual resolution
  float vres_height = 0.0f;
  float vres_mousexscale = 1.0f; // virtual width / real width
  float vres_mouseyscale = 1.0f; // virtual height / real height
  int g_width = 0;               // real display size
  int g_height = 0;
  int layer = LAYER_OTHER;       // TDrawLayer of what is being drawn
};

// The state as it is now (read-only; change it with the setters).
const TDrawState& DrawState();
// Back to the defaults, keeping the display's size and virtual resolution (tests, display open).
void ResetDrawState();

void SetColor(int r, int g, int b);
void GetColor(int& r, int& g, int& b);
void SetAlpha(float alpha);   // clamped to 0..1
float GetAlpha();
void SetBlend(int mode);      // MASKBLEND .. SHADEBLEND; other values change nothing
int GetBlend();
void SetRotation(float degrees);
float GetRotation();
void SetScale(float x, float y);
void GetScale(float& x, float& y);
void SetOrigin(float x, float y);
void SetHandle(float x, float y);
void SetViewport(int x, int y, int w, int h);
void SetClsColor(int r, int g, int b);
void SetLineWidth(float width);
void SetImageFont(const std::shared_ptr<TFont>& font);  // null selects the built-in font
void SetDrawLayer(int layer);
std::shared_ptr<TFont> GetImageFont();                   // as set (may be null)

// Primitives, in virtual pixels, under handle, transform, origin, colour, alpha and blend.
void Cls();
void Plot(float x, float y);
void DrawRect(float x, float y, float w, float h);
void DrawLine(float x1, float y1, float x2, float y2, bool draw_last_pixel = true);
void DrawOval(float x, float y, float w, float h);
