// Fill benchmark: what the OpenGL renderer itself costs for a frame that is nothing but a clear
// and one layer over the whole window, paced at 30 frames a second like the game, as the share of
// one core the process spends (all threads, the renderer's included). It uses plain GLX and none
// of the game's code, so it shows the floor under any screen that draws a picture over the whole
// window every frame, however it asks for it.
//
//   fill_bench [--size WxH] [--seconds S]
//
// Each case runs S seconds (8 unless given) after one second of warm-up. On a software renderer a
// flat colour covering whole tiles is nearly free, while a textured layer costs per pixel.
#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string_view>
#include <vector>

namespace {

double Seconds(clockid_t clock) {
  timespec t{};
  clock_gettime(clock, &t);
  return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

struct TCase {
  const char* name;
  int texture_side;  // 0: a flat colour
  bool blended;
  int layers;
};

GLuint MakeTexture(int side, bool see_through) {
  std::vector<unsigned char> pixels(size_t(side) * side * 4);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<unsigned char>(i * 7 + i / 4093);
  if (!see_through)
    for (size_t i = 3; i < pixels.size(); i += 4) pixels[i] = 255;
  GLuint id = 0;
  glGenTextures(1, &id);
  glBindTexture(GL_TEXTURE_2D, id);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, side, side, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  return id;
}

// Plays the case for `seconds` at 30 frames a second; the CPU share of one core.
double Play(Display* display, Window window, const TCase& c, double seconds) {
  const GLuint texture = c.texture_side ? MakeTexture(c.texture_side, c.blended) : 0;
  const int frames = int(seconds * 30.0);
  double cpu0 = 0.0;
  timespec next{};
  clock_gettime(CLOCK_MONOTONIC, &next);
  for (int f = -30; f < frames; ++f) {
    if (f == 0) cpu0 = Seconds(CLOCK_PROCESS_CPUTIME_ID);
    glClearColor(0.2f, 0.3f, 0.4f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    if (c.layers > 0) {
      if (texture) {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, texture);
      }
      if (c.blended) glEnable(GL_BLEND);
      glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
      glColor4f(1.0f, 0.9f, 0.8f, 1.0f);
      glBegin(GL_QUADS);
      for (int l = 0; l < c.layers; ++l) {
        glTexCoord2f(0, 0), glVertex2f(0, 0);
        glTexCoord2f(1, 0), glVertex2f(1, 0);
        glTexCoord2f(1, 1), glVertex2f(1, 1);
        glTexCoord2f(0, 1), glVertex2f(0, 1);
      }
      glEnd();
      glDisable(GL_BLEND);
      glDisable(GL_TEXTURE_2D);
    }
    glXSwapBuffers(display, window);
    next.tv_nsec += 33333333;
    if (next.tv_nsec >= 1000000000) next.tv_nsec -= 1000000000, next.tv_sec += 1;
    clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr);
  }
  glFinish();
  const double cpu = Seconds(CLOCK_PROCESS_CPUTIME_ID) - cpu0;
  if (texture) glDeleteTextures(1, &texture);
  return 100.0 * cpu / (frames / 30.0);
}

}  // namespace

int main(int argc, char** argv) {
  int width = 1280, height = 720;
  double seconds = 8.0;
  for (int i = 1; i < argc; ++i) {
    if (i + 1 < argc && std::string_view(argv[i]) == "--size" && std::sscanf(argv[i + 1], "%dx%d", &width, &height) == 2) {
      ++i;
      continue;
    }
    if (i + 1 < argc && std::string_view(argv[i]) == "--seconds") {
      seconds = std::atof(argv[++i]);
      continue;
    }
    std::fprintf(stderr, "usage: %s [--size WxH] [--seconds S]\n", argv[0]);
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "fill_bench: no X display\n");
    return 1;
  }
  int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8, None};
  XVisualInfo* visual = glXChooseVisual(display, DefaultScreen(display), attributes);
  if (!visual) {
    std::fprintf(stderr, "fill_bench: no double-buffered RGB visual\n");
    return 1;
  }
  XSetWindowAttributes swa{};
  swa.colormap = XCreateColormap(display, RootWindow(display, visual->screen), visual->visual, AllocNone);
  const Window window = XCreateWindow(display, RootWindow(display, visual->screen), 0, 0, width, height, 0,
                                      visual->depth, InputOutput, visual->visual, CWColormap, &swa);
  XMapWindow(display, window);
  GLXContext context = glXCreateContext(display, visual, nullptr, True);
  glXMakeCurrent(display, window, context);
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, 1, 1, 0, -1, 1);
  std::printf("renderer: %s, window %d x %d, 30 frames a second, %.0f s a case\n",
              reinterpret_cast<const char*>(glGetString(GL_RENDERER)), width, height, seconds);

  const TCase cases[] = {
      {"a clear alone", 0, false, 0},
      {"a flat colour over the window", 0, false, 1},
      {"a 64 x 64 opaque texture over the window", 64, false, 1},
      {"a 1024 x 1024 opaque texture over the window", 1024, false, 1},
      {"a 1024 x 1024 see-through texture, blended, over the window", 1024, true, 1},
      {"two such blended layers", 1024, true, 2},
  };
  for (const TCase& c : cases)
    std::printf("%-60s %5.1f %% of a core\n", c.name, Play(display, window, c, seconds));
  glXMakeCurrent(display, None, nullptr);
  glXDestroyContext(display, context);
  XDestroyWindow(display, window);
  XFree(visual);
  XCloseDisplay(display);
  return 0;
}
