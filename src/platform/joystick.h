// Joysticks: the device files found at the first query or plugged in later, and their polled
// state (name, buttons, six axes and the hat). The state is refreshed from the devices each time
// the input layer polls, so the game reads it like the keyboard. Ports are numbered 0 up in the
// order the devices were found, so a gap in the device numbers leaves no empty port; a device
// pulled out keeps its port, reads released, and takes the port again when it comes back.
#pragma once
#include <cstdint>
#include <string>

// The six axes in the order the game names them.
enum TJoyAxis { JOY_AXIS_X, JOY_AXIS_Y, JOY_AXIS_Z, JOY_AXIS_R, JOY_AXIS_U, JOY_AXIS_V };

// Number of joysticks. The first call probes the device files of ports 0 to 7 ("input/js" + n,
// then "js" + n, under "/dev" or the folder named by LAMBRISK_JOYSTICK_ROOT), reads their initial
// state and has PollSystem keep it fresh and look for new devices about once a second.
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

// Goes up by one each time a device is found for the port: 1 from the probe, more after it was
// plugged in again; 0 for no port. Tells callers to read the port's name and rest anew.
int JoyGeneration(int port);

// Closes one device as when it is pulled out: it stays in its port and reads released and
// centred until its device is found again.
void CloseJoystick(int port);
// Closes every device and forgets them; the next JoyCount probes again (tests).
void ResetJoysticks();
