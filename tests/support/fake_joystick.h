// A folder of fake joystick devices for tests: the joystick probe is pointed at it, and each
// device is either a recording (a regular file of event records) or a live FIFO the test keeps
// writing events into. Records use the kernel's joystick event layout.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct TJsRecord {
  uint32_t time = 0;    // milliseconds, unused by the reader
  int16_t value = 0;    // axis position or button state
  uint8_t type = 0;     // 1 button, 2 axis, | 0x80 for the initial state
  uint8_t number = 0;   // axis or button number
};

TJsRecord JsAxis(int number, int value, bool initial = false);
TJsRecord JsButton(int number, bool down, bool initial = false);

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
  // Writes records to a live device; they are read at the next PollSystem.
  void Send(int device, const std::vector<TJsRecord>& records);
  void SendBytes(int device, const std::string& bytes);

  const std::string& Root() const { return root_; }

 private:
  std::string PathOf(const std::string& path);

  std::string root_;
  std::string saved_root_;
  bool had_root_ = false;
  std::vector<int> writers_;
};
