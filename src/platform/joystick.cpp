// The Linux joystick back end: device files read without blocking as js_event records. A reader
// registered with the input layer drains every device whenever the game polls, so joystick state
// is as fresh as the keyboard's. Tests point the probe at a folder of recorded events through
// LAMBRISK_JOYSTICK_ROOT, sysfs at a folder of their own through LAMBRISK_SYSFS_ROOT, and hand in
// the driver's answers that a recording cannot give.
#include "platform/joystick.h"

#include "platform/input.h"
#include "platform/platform_log.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <linux/input-event-codes.h>
#include <linux/joystick.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kPortsProbed = 8;
constexpr float kAxisFull = 32767.0f;
constexpr uint8_t kUnmapped = 0xFF;  // no ABS code has this value
constexpr size_t kEventSize = sizeof(js_event);

static_assert(PAD_SOUTH == BTN_SOUTH && PAD_EAST == BTN_EAST && PAD_NORTH == BTN_NORTH && PAD_WEST == BTN_WEST &&
              PAD_TL == BTN_TL && PAD_TR == BTN_TR && PAD_TL2 == BTN_TL2 && PAD_TR2 == BTN_TR2 &&
              PAD_SELECT == BTN_SELECT && PAD_START == BTN_START && PAD_MODE == BTN_MODE &&
              PAD_THUMBL == BTN_THUMBL && PAD_THUMBR == BTN_THUMBR && PAD_DPAD_UP == BTN_DPAD_UP &&
              PAD_DPAD_DOWN == BTN_DPAD_DOWN && PAD_DPAD_LEFT == BTN_DPAD_LEFT && PAD_DPAD_RIGHT == BTN_DPAD_RIGHT,
              "the pad's codes are the kernel's");

struct TJoyPort {
  int fd = -1;                              // -1 once disconnected
  std::string name;                         // reported or fallback name
  std::array<uint8_t, ABS_CNT> axis_map{};  // event axis number -> ABS code
  std::array<float, 6> axes{};              // indexed by TJoyAxis, -1..1
  int hat_x = 0;                            // -1 left, 0, 1 right
  int hat_y = 0;                            // -1 up, 0, 1 down
  std::array<uint8_t, 256> buttons{};       // held flags by button number
  uint32_t button_mask = 0;                 // buttons 0..31 the device has
  bool codes_known = false;                 // the driver gave its button map
  std::vector<uint16_t> button_codes;       // button number -> BTN code
  int vendor = 0;                           // from sysfs; 0 unknown
  std::array<uint8_t, kEventSize> partial{};  // bytes of an event cut by a short read
  size_t partial_len = 0;
  int device = -1;                          // the number in its device file's name
  int generation = 0;                       // times a device was found for this port
};

std::vector<TJoyPort> ports;
bool probed = false;
int pumps = 0;
// Device numbers already reported as no game controller, so a rescan does not report them again.
uint32_t ignored_told = 0;
// Device files are looked for again every this many polls (about a second of frames), so a
// joystick plugged in while the game runs is found: a few failed open() calls are cheap.
constexpr int kRescanPolls = 30;

std::string RootFrom(const char* variable, const char* usual) {
  const char* root = std::getenv(variable);
  return (root && *root) ? std::string(root) : std::string(usual);
}

std::string ProbeRoot() { return RootFrom("LAMBRISK_JOYSTICK_ROOT", "/dev"); }

int SignOf(int value) {
  // joydev reports hat switches as full deflection; half way tells pressed from centred.
  if (value > 16384) return 1;
  if (value < -16384) return -1;
  return 0;
}

float ScaleAxis(int value) {
  return std::clamp(float(value) / kAxisFull, -1.0f, 1.0f);
}

void Disconnect(TJoyPort& p) {
  if (p.fd >= 0) close(p.fd);
  p.fd = -1;
  p.axes.fill(0.0f);
  p.hat_x = p.hat_y = 0;
  p.buttons.fill(0);
  p.partial_len = 0;
}

void ApplyAxis(TJoyPort& p, int number, int value) {
  if (number < 0 || number >= int(p.axis_map.size())) return;
  switch (p.axis_map[size_t(number)]) {
    case ABS_X: p.axes[JOY_AXIS_X] = ScaleAxis(value); break;
    case ABS_Y: p.axes[JOY_AXIS_Y] = ScaleAxis(value); break;
    case ABS_Z: p.axes[JOY_AXIS_Z] = ScaleAxis(value); break;
    case ABS_RX: p.axes[JOY_AXIS_U] = ScaleAxis(value); break;
    case ABS_RY: p.axes[JOY_AXIS_V] = ScaleAxis(value); break;
    case ABS_RZ: p.axes[JOY_AXIS_R] = ScaleAxis(value); break;
    case ABS_HAT0X: p.hat_x = SignOf(value); break;
    case ABS_HAT0Y: p.hat_y = SignOf(value); break;
    default: break;
  }
}

void ApplyEvent(TJoyPort& p, const js_event& e) {
  // JS_EVENT_INIT marks the synthetic events that report the state at open; they apply the same.
  switch (e.type & ~JS_EVENT_INIT) {
    case JS_EVENT_BUTTON:
      p.buttons[e.number] = e.value ? 1 : 0;
      if (e.number < 32) p.button_mask |= uint32_t(1) << e.number;
      break;
    case JS_EVENT_AXIS:
      ApplyAxis(p, e.number, e.value);
      break;
    default:
      break;
  }
}

// Reads every pending event of one device. End of file (a recording or a FIFO without a writer)
// and "nothing pending" just stop; any other failure means the device is gone.
void Drain(TJoyPort& p) {
  std::array<uint8_t, 64 * kEventSize> buf{};
  while (p.fd >= 0) {
    std::copy_n(p.partial.begin(), p.partial_len, buf.begin());
    ssize_t n = read(p.fd, buf.data() + p.partial_len, buf.size() - p.partial_len);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
    if (n < 0) {
      Disconnect(p);
      return;
    }
    if (n == 0) return;
    size_t have = p.partial_len + size_t(n);
    size_t whole = have - have % kEventSize;
    for (size_t at = 0; at < whole; at += kEventSize) {
      js_event e{};
      std::memcpy(&e, buf.data() + at, kEventSize);
      ApplyEvent(p, e);
    }
    p.partial_len = have - whole;
    std::copy_n(buf.begin() + long(whole), p.partial_len, p.partial.begin());
  }
}

void DefaultAxisMap(TJoyPort& p) {
  p.axis_map.fill(kUnmapped);
  const uint8_t usual[] = {ABS_X, ABS_Y, ABS_Z, ABS_RX, ABS_RY, ABS_RZ, ABS_HAT0X, ABS_HAT0Y};
  std::copy(std::begin(usual), std::end(usual), p.axis_map.begin());
}

void AskDevice(int fd, int, TJoyDriverAnswers& a) {
  char name[128] = {};
  if (ioctl(fd, JSIOCGNAME(sizeof name - 1), name) > 0 && name[0]) a.name = std::string(name, strnlen(name, sizeof name - 1));
  uint8_t count = 0;
  if (ioctl(fd, JSIOCGBUTTONS, &count) == 0) a.buttons = count;
  if (ioctl(fd, JSIOCGAXES, &count) == 0) a.axes = count;
  std::array<uint8_t, ABS_CNT> axes{};
  if (a.axes >= 0 && ioctl(fd, JSIOCGAXMAP, axes.data()) >= 0)
    a.axis_map.assign(axes.begin(), axes.begin() + std::min<long>(a.axes, ABS_CNT));
  // The driver fills the whole map; the first count entries are the buttons there are.
  std::array<uint16_t, KEY_MAX - BTN_MISC + 1> buttons{};
  if (a.buttons >= 0 && ioctl(fd, JSIOCGBTNMAP, buttons.data()) >= 0) {
    a.button_map_known = true;
    a.button_map.assign(buttons.begin(), buttons.begin() + std::min<long>(a.buttons, long(buttons.size())));
  }
}

TJoyDriverQuery driver_query = AskDevice;

int ReadVendor(int device_number) {
  const std::string path = RootFrom("LAMBRISK_SYSFS_ROOT", "/sys") + "/class/input/js" +
                           std::to_string(device_number) + "/device/id/vendor";
  std::ifstream in(path);
  std::string hex;
  if (!(in >> hex)) return 0;
  char* end = nullptr;
  const long vendor = std::strtol(hex.c_str(), &end, 16);
  return end && *end == '\0' && vendor > 0 && vendor <= 0xFFFF ? int(vendor) : 0;
}

void ReadDeviceInfo(TJoyPort& p, int device_number) {
  TJoyDriverAnswers a;
  driver_query(p.fd, device_number, a);
  p.name = a.name.empty() ? "Joystick " + std::to_string(device_number) : a.name;
  if (a.buttons >= 0) {
    int known = std::min<int>(a.buttons, 32);
    p.button_mask = known == 32 ? 0xFFFFFFFFu : (uint32_t(1) << known) - 1;
  }
  if (a.axis_map.empty()) {
    DefaultAxisMap(p);
  } else {
    p.axis_map.fill(kUnmapped);
    std::copy_n(a.axis_map.begin(), std::min(a.axis_map.size(), p.axis_map.size()), p.axis_map.begin());
  }
  p.codes_known = a.button_map_known;
  p.button_codes = a.button_map;
  p.vendor = ReadVendor(device_number);
}

// A game controller has a button of the joystick or gamepad ranges, of the d-pad or of the extra
// triggers. Without the button map there is no telling, and the device is taken as one.
bool GameController(const TJoyPort& p) {
  if (!p.codes_known) return true;
  for (uint16_t c : p.button_codes)
    if ((c >= BTN_JOYSTICK && c <= BTN_THUMBR) || (c >= BTN_DPAD_UP && c <= BTN_DPAD_RIGHT) ||
        (c >= BTN_TRIGGER_HAPPY && c <= BTN_TRIGGER_HAPPY40))
      return true;
  return false;
}

int OpenDevice(const std::string& path) {
  int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat st{};
  if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    close(fd);
    return -1;
  }
  return fd;
}

int OpenJoystick(const std::string& root, int n) {
  int fd = OpenDevice(root + "/input/js" + std::to_string(n));
  if (fd < 0) fd = OpenDevice(root + "/js" + std::to_string(n));
  return fd;
}

// The device open as fd, read; its fd is -1 when it is no game controller (closed again).
TJoyPort Connect(int fd, int n) {
  TJoyPort p;
  p.fd = fd;
  p.device = n;
  ReadDeviceInfo(p, n);
  if (!GameController(p)) {
    if (!(ignored_told >> n & 1)) PlatformWarning("Joysticks: js" + std::to_string(n) + " (" + p.name + ") is no game controller: left alone");
    ignored_told |= uint32_t(1) << n;
    Disconnect(p);
    return p;
  }
  Drain(p);
  return p;
}

// Finds devices that were plugged in since the probe: one back in its old port keeps the port
// (and so the controls bound to it), a new one takes the next free port.
void Rescan() {
  const std::string root = ProbeRoot();
  for (int n = 0; n < kPortsProbed; ++n) {
    auto known = std::find_if(ports.begin(), ports.end(), [n](const TJoyPort& p) { return p.device == n; });
    if (known != ports.end() ? known->fd >= 0 : ports.size() >= size_t(kPortsProbed)) continue;
    const int fd = OpenJoystick(root, n);
    if (fd < 0) continue;
    TJoyPort fresh = Connect(fd, n);
    if (fresh.fd < 0) continue;  // no game controller, or opens but cannot be read
    if (known != ports.end()) {
      fresh.generation = known->generation + 1;
      *known = fresh;
    } else {
      fresh.generation = 1;
      ports.push_back(fresh);
    }
  }
}

class TJoystickReader : public TEventSource {
 public:
  // Posts nothing: joystick state is read directly, not through the event queue.
  void Pump() override {
    for (TJoyPort& p : ports) Drain(p);
    if (++pumps % kRescanPolls == 0) Rescan();
  }
};

TJoystickReader reader;

void Probe() {
  if (probed) return;
  probed = true;
  const std::string root = ProbeRoot();
  for (int n = 0; n < kPortsProbed; ++n) {
    const int fd = OpenJoystick(root, n);
    if (fd < 0) continue;
    TJoyPort found = Connect(fd, n);
    if (!GameController(found)) continue;
    ports.push_back(found);
    ports.back().generation = 1;
  }
  AddEventSource(&reader);
}

const TJoyPort* PortAt(int port) {
  Probe();
  if (port < 0 || port >= int(ports.size())) return nullptr;
  return &ports[size_t(port)];
}

}  // namespace

int JoyCount() {
  Probe();
  return int(ports.size());
}

std::string JoyName(int port) {
  const TJoyPort* p = PortAt(port);
  return p ? p->name : std::string();
}

uint32_t JoyButtonMask(int port) {
  const TJoyPort* p = PortAt(port);
  return p ? p->button_mask : 0;
}

int JoyButtonDown(int button, int port) {
  const TJoyPort* p = PortAt(port);
  if (!p || button < 0 || button >= int(p->buttons.size())) return 0;
  return p->buttons[size_t(button)];
}

float JoyAxis(int axis, int port) {
  const TJoyPort* p = PortAt(port);
  if (!p || axis < 0 || axis >= int(p->axes.size())) return 0.0f;
  return p->axes[size_t(axis)];
}

float JoyHat(int port) {
  const TJoyPort* p = PortAt(port);
  if (!p) return -1.0f;
  // Eighths of a turn clockwise from up, indexed by [hat_y + 1][hat_x + 1].
  static const float kTurn[3][3] = {
      {0.875f, 0.0f, 0.125f},
      {0.75f, -1.0f, 0.25f},
      {0.625f, 0.5f, 0.375f},
  };
  return kTurn[p->hat_y + 1][p->hat_x + 1];
}

int JoyButtonCode(int button, int port) {
  const TJoyPort* p = PortAt(port);
  if (!p || !p->codes_known || button < 0 || button >= int(p->button_codes.size())) return -1;
  return p->button_codes[size_t(button)];
}

int JoyVendor(int port) {
  const TJoyPort* p = PortAt(port);
  return p ? p->vendor : 0;
}

void SetJoyDriverQuery(TJoyDriverQuery query) { driver_query = query ? query : AskDevice; }

bool JoyConnected(int port) {
  const TJoyPort* p = PortAt(port);
  return p && p->fd >= 0;
}

int JoyGeneration(int port) {
  const TJoyPort* p = PortAt(port);
  return p ? p->generation : 0;
}

void CloseJoystick(int port) {
  if (PortAt(port)) Disconnect(ports[size_t(port)]);
}

void ResetJoysticks() {
  RemoveEventSource(&reader);
  for (TJoyPort& p : ports) Disconnect(p);
  ports.clear();
  probed = false;
  pumps = 0;
  ignored_told = 0;
}
