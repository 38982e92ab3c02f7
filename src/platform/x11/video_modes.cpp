// Listing and switching the X server's screen modes, and restoring the desktop's.
#include "platform/x11/video_modes.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include <X11/extensions/xf86vmode.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "platform/files.h"
#include "platform/x11/mode_guardian.h"

namespace {

// How to put the desktop's mode back.
struct TSavedMode {
  bool vidmode = false;  // switched through XFree86 video modes
  XF86VidModeModeInfo vidmode_original{};
  bool randr = false;  // switched through RandR
  SizeID randr_size = 0;
  Rotation randr_rotation = RR_Rotate_0;
};

void ApplySavedMode(Display* dpy, int screen, const TSavedMode& saved) {
  if (saved.vidmode) {
    XF86VidModeModeInfo original = saved.vidmode_original;
    XF86VidModeSwitchToMode(dpy, screen, &original);
    XF86VidModeSetViewPort(dpy, screen, 0, 0);
  }
  if (saved.randr) {
    const Window root = RootWindow(dpy, screen);
    if (XRRScreenConfiguration* config = XRRGetScreenInfo(dpy, root)) {
      XRRSetScreenConfig(dpy, config, root, saved.randr_size, saved.randr_rotation, CurrentTime);
      XRRFreeScreenConfigInfo(config);
    }
  }
  XSync(dpy, False);
}

// The switched display, kept at file level so the exit hooks reach it whatever state the driver
// is in.
Display* switched_display = nullptr;
int switched_screen = 0;
TSavedMode saved;
TModeGuardian guardian;

void RestoreDesktopMode() {
  if (switched_display && (saved.vidmode || saved.randr)) ApplySavedMode(switched_display, switched_screen, saved);
  saved = TSavedMode();
  guardian.Dismiss();
}

// Orderly ends restore in this process. Deaths by a signal are left to the guardian: Xlib is not
// safe to call from a signal handler (it can deadlock on its own lock), so no handler is
// installed and each signal keeps its default action.
void InstallExitHooks() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  AddExitHook(RestoreDesktopMode);
  std::atexit(RestoreDesktopMode);
}

// Saves how to undo a switch, and starts the guardian that undoes it should this process die. The
// guardian gets a copy of the saved mode and the display's name: it can't share this connection.
void SaveDesktopMode(Display* dpy, int screen, const TSavedMode& mode) {
  switched_display = dpy;
  switched_screen = screen;
  saved = mode;
  InstallExitHooks();
  const std::string name = DisplayString(dpy);
  guardian.Start([name, screen, mode]() {
    if (Display* own = XOpenDisplay(name.c_str())) {
      ApplySavedMode(own, screen, mode);
      XCloseDisplay(own);
    }
  });
}

// The modes a server can switch to, from the first extension that lists any. The list and the
// switch both read them here, so they agree on what exists.
class TServerModes {
 public:
  struct TMode {
    int width;
    int height;
    int hertz;
  };

  TServerModes(Display* dpy, int screen) : dpy_(dpy), screen_(screen) {
    int event_base = 0;
    int error_base = 0;
    if (XF86VidModeQueryExtension(dpy, &event_base, &error_base) &&
        XF86VidModeGetAllModeLines(dpy, screen, &line_count_, &lines_) && lines_) {
      for (int i = 0; i < line_count_; ++i) {
        const XF86VidModeModeInfo& m = *lines_[i];
        const double frame = double(m.htotal) * double(m.vtotal);
        modes_.push_back({m.hdisplay, m.vdisplay, frame > 0 ? int(std::lround(m.dotclock * 1000.0 / frame)) : 0});
      }
    }
    if (modes_.empty() && XRRQueryExtension(dpy, &event_base, &error_base)) {
      config_ = XRRGetScreenInfo(dpy, RootWindow(dpy, screen));
      int sizes = 0;
      XRRScreenSize* list = config_ ? XRRConfigSizes(config_, &sizes) : nullptr;
      for (int i = 0; list && i < sizes; ++i) {
        int rates = 0;
        short* rate = XRRConfigRates(config_, i, &rates);
        modes_.push_back({list[i].width, list[i].height, rates > 0 && rate ? rate[0] : 0});
      }
    }
  }
  ~TServerModes() {
    if (lines_) XFree(lines_);
    if (config_) XRRFreeScreenConfigInfo(config_);
  }
  TServerModes(const TServerModes&) = delete;
  TServerModes& operator=(const TServerModes&) = delete;

  const std::vector<TMode>& modes() const { return modes_; }

  // Switches to modes()[index], saving the desktop's mode first.
  bool Switch(size_t index) {
    TSavedMode mode;
    bool switched = false;
    if (lines_) {
      mode.vidmode = true;
      mode.vidmode_original = *lines_[0];  // the first line is the mode in force
      SaveDesktopMode(dpy_, screen_, mode);
      switched = XF86VidModeSwitchToMode(dpy_, screen_, lines_[index]);
      XF86VidModeSetViewPort(dpy_, screen_, 0, 0);
    } else if (config_) {
      Rotation rotation = RR_Rotate_0;
      mode.randr = true;
      mode.randr_size = XRRConfigCurrentConfiguration(config_, &rotation);
      mode.randr_rotation = rotation;
      SaveDesktopMode(dpy_, screen_, mode);
      switched = XRRSetScreenConfig(dpy_, config_, RootWindow(dpy_, screen_), SizeID(index), rotation,
                                    CurrentTime) == Success;
    }
    XSync(dpy_, False);
    return switched;
  }

 private:
  Display* dpy_;
  int screen_;
  XF86VidModeModeInfo** lines_ = nullptr;
  int line_count_ = 0;
  XRRScreenConfiguration* config_ = nullptr;
  std::vector<TMode> modes_;
};

}  // namespace

std::vector<TGraphicsMode> ListX11Modes(Display* dpy) {
  const int screen = DefaultScreen(dpy);
  const int depth = DefaultDepth(dpy, screen) >= 24 ? 32 : DefaultDepth(dpy, screen);
  std::vector<TGraphicsMode> modes;
  const TServerModes server(dpy, screen);
  for (const TServerModes::TMode& m : server.modes())
    modes.push_back({m.width, m.height, depth, m.hertz});
  const int dw = DisplayWidth(dpy, screen);
  const int dh = DisplayHeight(dpy, screen);
  if (modes.empty()) modes.push_back({dw, dh, depth, 0});
  // Window sizes that fit on the desktop, so a window can be chosen even where the server offers
  // a single mode (virtual servers, many single-monitor desktops).
  const int sizes[][2] = {{640, 480},  {800, 600},   {1024, 768}, {1280, 960}, {1280, 800},  {1440, 900},
                          {1680, 1050}, {1280, 720}, {1366, 768}, {1600, 900}, {1920, 1080}};
  for (const auto& s : sizes) {
    bool listed = false;
    for (const TGraphicsMode& m : modes) listed = listed || (m.width == s[0] && m.height == s[1]);
    if (!listed && s[0] <= dw && s[1] <= dh) modes.push_back({s[0], s[1], 0, 0});
  }
  return modes;
}

bool SwitchX11Mode(Display* dpy, int width, int height) {
  const int screen = DefaultScreen(dpy);
  if (DisplayWidth(dpy, screen) == width && DisplayHeight(dpy, screen) == height) return true;
  TServerModes server(dpy, screen);
  for (size_t i = 0; i < server.modes().size(); ++i)
    if (server.modes()[i].width == width && server.modes()[i].height == height) return server.Switch(i);
  return false;
}

void RestoreX11DesktopMode(Display* dpy) {
  if (!dpy || dpy != switched_display) return;
  RestoreDesktopMode();
  switched_display = nullptr;
}
