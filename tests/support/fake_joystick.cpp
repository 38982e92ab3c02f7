// Fake joystick devices: recordings and FIFOs in a temporary folder the probe is redirected to.
#include "support/fake_joystick.h"

#include "platform/joystick.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <linux/input-event-codes.h>
#include <linux/joystick.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

static_assert(sizeof(TJsRecord) == sizeof(js_event), "records must match the kernel layout");
static_assert(offsetof(TJsRecord, value) == offsetof(js_event, value), "value offset");
static_assert(offsetof(TJsRecord, number) == offsetof(js_event, number), "number offset");

TJsRecord JsAxis(int number, int value, bool initial) {
  TJsRecord r;
  r.value = int16_t(value);
  r.type = uint8_t(JS_EVENT_AXIS | (initial ? JS_EVENT_INIT : 0));
  r.number = uint8_t(number);
  return r;
}

TJsRecord JsButton(int number, bool down, bool initial) {
  TJsRecord r;
  r.value = down ? 1 : 0;
  r.type = uint8_t(JS_EVENT_BUTTON | (initial ? JS_EVENT_INIT : 0));
  r.number = uint8_t(number);
  return r;
}

namespace {

std::map<int, TJoyDriverAnswers> answers_given;

void GivenAnswers(int, int device, TJoyDriverAnswers& answers) {
  auto found = answers_given.find(device);
  if (found != answers_given.end()) answers = found->second;
}

TJoyDriverAnswers PadAnswers(const std::string& name, std::vector<uint16_t> buttons) {
  TJoyDriverAnswers a;
  a.name = name;
  a.buttons = int(buttons.size());
  a.button_map_known = true;
  a.button_map = std::move(buttons);
  a.axis_map = {ABS_X, ABS_Y, ABS_Z, ABS_RX, ABS_RY, ABS_RZ, ABS_HAT0X, ABS_HAT0Y};
  a.axes = int(a.axis_map.size());
  return a;
}

}  // namespace

TJoyDriverAnswers StandardPadAnswers(const std::string& name) {
  return PadAnswers(name, {BTN_SOUTH, BTN_EAST, BTN_NORTH, BTN_WEST, BTN_TL, BTN_TR, BTN_SELECT, BTN_START,
                           BTN_MODE, BTN_THUMBL, BTN_THUMBR});
}

TJoyDriverAnswers SonyPadAnswers() {
  return PadAnswers("Sony Interactive Entertainment Wireless Controller",
                    {BTN_SOUTH, BTN_EAST, BTN_NORTH, BTN_WEST, BTN_TL, BTN_TR, BTN_TL2, BTN_TR2, BTN_SELECT,
                     BTN_START, BTN_MODE, BTN_THUMBL, BTN_THUMBR});
}

TJoyDriverAnswers AccelerometerAnswers() {
  TJoyDriverAnswers a;
  a.name = "ST LIS3LV02DL Accelerometer";
  a.buttons = 0;
  a.button_map_known = true;
  a.axis_map = {ABS_X, ABS_Y, ABS_Z};
  a.axes = 3;
  return a;
}

TFakeJoysticks::TFakeJoysticks() {
  std::string pattern = (std::filesystem::temp_directory_path() / "lambrisk-joy-XXXXXX").string();
  if (mkdtemp(&pattern[0])) root_ = pattern;
  EXPECT_FALSE(root_.empty()) << "cannot create a temporary folder";
  if (const char* old = std::getenv("LAMBRISK_JOYSTICK_ROOT")) {
    had_root_ = true;
    saved_root_ = old;
  }
  setenv("LAMBRISK_JOYSTICK_ROOT", root_.c_str(), 1);
  setenv("LAMBRISK_SYSFS_ROOT", (root_ + "/sys").c_str(), 1);
  answers_given.clear();
  SetJoyDriverQuery(GivenAnswers);
  ResetJoysticks();
}

TFakeJoysticks::~TFakeJoysticks() {
  ResetJoysticks();
  SetJoyDriverQuery(nullptr);
  answers_given.clear();
  unsetenv("LAMBRISK_SYSFS_ROOT");
  for (int fd : writers_) close(fd);
  if (had_root_) {
    setenv("LAMBRISK_JOYSTICK_ROOT", saved_root_.c_str(), 1);
  } else {
    unsetenv("LAMBRISK_JOYSTICK_ROOT");
  }
  std::error_code ignored;
  if (!root_.empty()) std::filesystem::remove_all(root_, ignored);
}

std::string TFakeJoysticks::PathOf(const std::string& path) {
  std::filesystem::path full = std::filesystem::path(root_) / path;
  std::filesystem::create_directories(full.parent_path());
  return full.string();
}

void TFakeJoysticks::Recording(const std::string& path, const std::vector<TJsRecord>& records) {
  RawRecording(path, std::string(reinterpret_cast<const char*>(records.data()),
                                 records.size() * sizeof(TJsRecord)));
}

void TFakeJoysticks::RawRecording(const std::string& path, const std::string& bytes) {
  std::ofstream out(PathOf(path), std::ios::binary);
  out.write(bytes.data(), std::streamsize(bytes.size()));
  EXPECT_TRUE(out.good()) << "cannot write " << path;
}

int TFakeJoysticks::Live(const std::string& path) {
  std::string full = PathOf(path);
  EXPECT_EQ(mkfifo(full.c_str(), 0600), 0) << "cannot make FIFO " << full;
  // Read-write so the open neither blocks nor needs a reader yet.
  int fd = open(full.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  EXPECT_GE(fd, 0) << "cannot open FIFO " << full;
  writers_.push_back(fd);
  return int(writers_.size()) - 1;
}

int TFakeJoysticks::PlugInAtRest(int n, int buttons) {
  const int dev = Live("input/js" + std::to_string(n));
  std::vector<TJsRecord> rest;
  for (int b = 0; b < buttons; ++b) rest.push_back(JsButton(b, false, true));
  for (int a = 0; a < 8; ++a) rest.push_back(JsAxis(a, 0, true));
  Send(dev, rest);
  return dev;
}

void TFakeJoysticks::Send(int device, const std::vector<TJsRecord>& records) {
  SendBytes(device, std::string(reinterpret_cast<const char*>(records.data()),
                                records.size() * sizeof(TJsRecord)));
}

void TFakeJoysticks::SendBytes(int device, const std::string& bytes) {
  ASSERT_GE(device, 0);
  ASSERT_LT(device, int(writers_.size()));
  ssize_t n = write(writers_[size_t(device)], bytes.data(), bytes.size());
  EXPECT_EQ(n, ssize_t(bytes.size()));
}

void TFakeJoysticks::Answers(int device, const TJoyDriverAnswers& answers) { answers_given[device] = answers; }

void TFakeJoysticks::Vendor(int device, const std::string& hex) {
  std::ofstream out(PathOf("sys/class/input/js" + std::to_string(device) + "/device/id/vendor"));
  out << hex << "\n";
  EXPECT_TRUE(out.good()) << "cannot write the vendor of js" << device;
}
