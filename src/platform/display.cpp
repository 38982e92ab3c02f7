// The display as screens see it: which driver draws, opening and closing, flipping (which also
// counts the frame and polls the input, whatever the driver), the virtual resolution and the
// mouse in virtual pixels.
#include "platform/display.h"

#include <string>

#include "platform/draw_internal.h"
#include "platform/input.h"
#include "platform/platform_log.h"

namespace {

// The drivers live until the process ends and are never destroyed: closing a window during static
// destruction would reach into modules (the input queue, fonts) that may already be gone. The
// desktop's mode is restored by the exit hook instead.
struct TDrivers {
  TDrawDriverPtr opengl;
  TDrawDriverPtr current;
};

TDrivers& Drivers() {
  static TDrivers* drivers = new TDrivers;
  return *drivers;
}

int generation = 0;
bool pointer_wanted = true;

TDrawDriverPtr OpenGLDriver() {
  if (!Drivers().opengl) Drivers().opengl = MakeOpenGLDriver();
  return Drivers().opengl;
}

void Install(const TDrawDriverPtr& next) {
  TDrawDriverPtr& driver = Drivers().current;
  if (driver == next) return;
  if (driver && driver->GraphicsOpen()) driver->CloseGraphics();
  driver = next;
  ++generation;
  PushDrawState();
}

}  // namespace

namespace {
// A driver installed by SetDrawDriver stays until it is removed, so the program's own choice of
// the OpenGL driver doesn't undo a test's recording driver.
bool driver_pinned = false;
}  // namespace

void UseOpenGLDriver(int) {
  if (!driver_pinned) Install(OpenGLDriver());
}

void SetDrawDriver(const TDrawDriverPtr& next) {
  driver_pinned = next != nullptr;
  Install(next ? next : OpenGLDriver());
}

TDrawDriver& CurrentDrawDriver() {
  TDrawDriverPtr& driver = Drivers().current;
  if (!driver) driver = OpenGLDriver();
  return *driver;
}

int DrawDriverGeneration() { return generation; }

int CountGraphicsModes() { return int(CurrentDrawDriver().GraphicsModes().size()); }

bool GetGraphicsMode(int index, TGraphicsMode& mode) {
  const std::vector<TGraphicsMode> modes = CurrentDrawDriver().GraphicsModes();
  if (index < 0 || index >= int(modes.size())) return false;
  mode = modes[size_t(index)];
  return true;
}

bool GraphicsModeExists(int width, int height, int depth, int hertz) {
  for (const TGraphicsMode& m : CurrentDrawDriver().GraphicsModes()) {
    if ((width == 0 || m.width == width) && (height == 0 || m.height == height) &&
        (depth == 0 || m.depth == depth) && (hertz == 0 || m.hertz == hertz))
      return true;
  }
  return false;
}

bool OpenGraphics(int width, int height, int depth, int hertz, int flags) {
  TDrawDriver& d = CurrentDrawDriver();
  if (d.GraphicsOpen()) d.CloseGraphics();
  ++generation;  // textures of the old display are gone either way
  if (width < 1 || height < 1 || !d.CreateGraphics(width, height, depth, hertz, flags)) {
    PlatformWarning("Graphics: could not open a " + std::to_string(width) + "x" + std::to_string(height) +
                    " display (depth " + std::to_string(depth) + ") with the " + d.Name() + " driver");
    return false;
  }
  TDrawState& s = MutableDrawState();
  s.g_width = width;
  s.g_height = height;
  SetVirtualResolution(float(width), float(height));
  PushDrawState();
  d.ShowPointer(pointer_wanted);
  return true;
}

void CloseGraphics() {
  TDrawDriver& d = CurrentDrawDriver();
  if (d.GraphicsOpen()) d.CloseGraphics();
  ++generation;
}

bool GraphicsOpen() { return CurrentDrawDriver().GraphicsOpen(); }
int GraphicsWidth() { return DrawState().g_width; }
int GraphicsHeight() { return DrawState().g_height; }

void Flip(int sync) {
  CurrentDrawDriver().Flip(sync);
  CountFrame();
  PollSystem();
}

void SetVirtualResolution(float width, float height) {
  if (!(width > 0.0f) || !(height > 0.0f)) return;
  TDrawState& s = MutableDrawState();
  s.vres_width = width;
  s.vres_height = height;
  s.vres_mousexscale = s.g_width > 0 ? width / float(s.g_width) : 1.0f;
  s.vres_mouseyscale = s.g_height > 0 ? height / float(s.g_height) : 1.0f;
  CurrentDrawDriver().SetResolution(width, height);
  SetViewport(0, 0, int(width), int(height));
}

float VirtualResolutionWidth() { return DrawState().vres_width; }
float VirtualResolutionHeight() { return DrawState().vres_height; }

float VirtualMouseX() { return float(MouseX()) * DrawState().vres_mousexscale; }
float VirtualMouseY() { return float(MouseY()) * DrawState().vres_mouseyscale; }

void MoveMouse(float x, float y) {
  const TDrawState& s = DrawState();
  if (!(s.vres_mousexscale > 0.0f) || !(s.vres_mouseyscale > 0.0f)) return;
  CurrentDrawDriver().MovePointer(int(x / s.vres_mousexscale), int(y / s.vres_mouseyscale));
}

void ShowPointer() {
  pointer_wanted = true;
  if (GraphicsOpen()) CurrentDrawDriver().ShowPointer(true);
}

void HidePointer() {
  pointer_wanted = false;
  if (GraphicsOpen()) CurrentDrawDriver().ShowPointer(false);
}

bool PointerShown() { return pointer_wanted; }
