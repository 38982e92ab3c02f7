// A folder of fake joystick devices for tests: the joystick probe is pointed at it, and each
// device is either a recording (a regular file of event records) or a live FIFO the test keeps
// writing events into. Records use the kernel's joystick event layout. What the driver would say
// of a device (its name and maps) and its vendor in sysfs are the test's to give as well.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/joystick.h"

struct TJsRecord {
  uint32_t time = 0;    // milliseconds, unused by the reader
  int16_t value = 0;    // axis position or button state
  uint8_t type = 0;     // 1 button, 2 axis, | 0x80 for the initial state
  uint8_t number = 0;   // axis or button number
};

TJsRecord JsAxis(int number, int value, bool initial = false);
TJsRecord JsButton(int number, bool down, bool initial = false);

// The driver's answers for a pad of the usual layout: A B X Y, LB RB, Back Start, the guide and
// both stick buttons (buttons 0 to 10 by code, as the kernel numbers them); both sticks, the two
// triggers and the hat (axes 0 to 7).
TJoyDriverAnswers StandardPadAnswers(const std::string& name = "Generic X-Box pad");
// A Sony pad's: Cross Circle Triangle Square, L1 R1 L2 R2, Share Options PS, L3 R3 (buttons 0 to
// 12); the same eight axes.
TJoyDriverAnswers SonyPadAnswers();
// An accelerometer's: three axes and no button.
TJoyDriverAnswers AccelerometerAnswers();

class TFakeJoysticks {
 public:
  // Creates an empty folder, points the probe at it and forgets any joysticks probed before.
  TFakeJoysticks();
  // Forgets the joysticks, restores the probe folder and deletes the fake devices.
  ~TFakeJoysticks();
  TFakeJoysticks(const TFakeJoysticks&) = delete;
  TFakeJoysticks& operator=(const TFakeJoysticks&) = delete;

  // A regular file at path (relative to the folder, e.g. "input/js0") holding the records.
  void Recording(const std::string& path, const std::vector<TJsRecord>& records);
  // Raw bytes at path, for truncated or damaged recordings.
  void RawRecording(const std::string& path, const std::string& bytes);
  // A FIFO at path kept open for writing; returns the device index for Send.
  int Live(const std::string& path);
  // A pad plugged in at device file number n ("input/jsN"), live, sending its start-up state:
  // every button up and eight axes centred. Returns the device index for Send.
  int PlugInAtRest(int n, int buttons);
  // Writes records to a live device; they are read at the next PollSystem.
  void Send(int device, const std::vector<TJsRecord>& records);
  void SendBytes(int device, const std::string& bytes);

  // The driver's answers for device file number n; a device without any answers none, as a
  // kernel without the maps would.
  void Answers(int device, const TJoyDriverAnswers& answers);
  // The vendor id sysfs shows for device file number n ("054c").
  void Vendor(int device, const std::string& hex);

  const std::string& Root() const { return root_; }

 private:
  std::string PathOf(const std::string& path);

  std::string root_;
  std::string saved_root_;
  bool had_root_ = false;
  std::vector<int> writers_;
};
