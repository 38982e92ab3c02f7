// Joysticks: the device files found at the first query or plugged in later, and their polled
// state (name, buttons, six axes and the hat). The state is refreshed from the devices each time
// the input layer polls, so the game reads it like the keyboard. Ports are numbered 0 up in the
// order the devices were found, so a gap in the device numbers leaves no empty port; a device
// pulled out keeps its port, reads released, and takes the port again when it comes back.
// Devices the kernel lists as joysticks that are no game controller (an accelerometer, a tablet's
// axes: no button of the joystick or gamepad ranges) take no port.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The six axes in the order the game names them.
enum TJoyAxis { JOY_AXIS_X, JOY_AXIS_Y, JOY_AXIS_Z, JOY_AXIS_R, JOY_AXIS_U, JOY_AXIS_V };

// Number of joysticks. The first call probes the device files of ports 0 to 7 ("input/js" + n,
// then "js" + n, under "/dev" or the folder named by LAMBRISK_JOYSTICK_ROOT), reads their initial
// state and has PollSystem keep it fresh and look for new devices about once a second. Vendor ids
// are read under "/sys", or the folder named by LAMBRISK_SYSFS_ROOT.
int JoyCount();
// Name the device reports, or "Joystick " + its device number when it reports none; "" for no port.
std::string JoyName(int port);
// Bit b set when the joystick has button b (buttons 0 to 31).
uint32_t JoyButtonMask(int port);
// 1 while the button is held.
int JoyButtonDown(int button, int port);
// Axis position from -1 to 1; 0 for an axis the joystick lacks.
float JoyAxis(int axis, int port);
// Hat direction as a fraction of a turn clockwise from up (0 up, 0.25 right, 0.5 down, 0.75 left,
// diagonals between); -1 when centred or when there is no hat.
float JoyHat(int port);
// False once the device has gone away; its state then reads as released and centred.
bool JoyConnected(int port);

// The kernel's input code of button b: by position for a pad of the gamepad layout (PAD_SOUTH,
// PAD_START, ...); -1 when the driver gives no button map (old kernels) or there is no button b.
int JoyButtonCode(int button, int port);
// The device's vendor id as sysfs gives it (0x054c for Sony); 0 when unknown.
int JoyVendor(int port);

// The kernel's codes of a game pad's buttons, named by where they sit on the pad.
enum TPadButtonCode {
  PAD_SOUTH = 0x130, PAD_EAST = 0x131, PAD_NORTH = 0x133, PAD_WEST = 0x134,
  PAD_TL = 0x136, PAD_TR = 0x137, PAD_TL2 = 0x138, PAD_TR2 = 0x139,
  PAD_SELECT = 0x13a, PAD_START = 0x13b, PAD_MODE = 0x13c, PAD_THUMBL = 0x13d, PAD_THUMBR = 0x13e,
  PAD_DPAD_UP = 0x220, PAD_DPAD_DOWN = 0x221, PAD_DPAD_LEFT = 0x222, PAD_DPAD_RIGHT = 0x223,
};

// What the joystick driver tells of a device besides its events, asked each time it is found.
struct TJoyDriverAnswers {
  std::string name;                  // "" when it reports none
  int buttons = -1;                  // -1 when not told
  int axes = -1;
  bool button_map_known = false;     // false on kernels without the button map
  std::vector<uint16_t> button_map;  // the input code (BTN_*) of each button number
  std::vector<uint8_t> axis_map;     // the input code (ABS_*) of each axis number; empty: not told
};
// Asks the driver about the device open as fd (device file number n). The back end asks the
// device itself; a recording cannot answer, so tests hand in answers of their own.
using TJoyDriverQuery = void (*)(int fd, int device, TJoyDriverAnswers& answers);
// nullptr puts back the device's own answers.
void SetJoyDriverQuery(TJoyDriverQuery query);

// Goes up by one each time a device is found for the port: 1 from the probe, more after it was
// plugged in again; 0 for no port. Tells callers to read the port's name and rest anew.
int JoyGeneration(int port);

// Closes one device as when it is pulled out: it stays in its port and reads released and
// centred until its device is found again.
void CloseJoystick(int port);
// Closes every device and forgets them; the next JoyCount probes again (tests).
void ResetJoysticks();
